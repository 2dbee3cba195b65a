// Drawing characters of the current font into the picture, and the program's
// one Font View font.
#ifndef DOTWERK_VIEWS_FONTRENDER_H
#define DOTWERK_VIEWS_FONTRENDER_H

#include <cstdint>
#include <string>
#include <vector>

namespace dw {

// Layout of the Font View's character table.
constexpr int32_t kFontTableColumns = 32;
constexpr int32_t kFontTableRows = 8;
constexpr int32_t kHighestUnicodePlane = 0x10;

// The Font View font (one for the program). What the settings file keeps
// lives in the settings record (GlobalSettings) and is known there by its
// key's name:
//   fontCommand               -> cfg.fontType       (10405..10412, 10413 loaded, 10418 TrueType)
//   cellWidth, cellHeight     -> cfg.fontSizeX, cfg.fontSizeY
//   unicode                   -> cfg.fontTypeUnicode
//   paintBackground           -> cfg.paintBack
//   zoom                      -> cfg.fontViewSize - 10082
//   logFont                   -> cfg.lfHeight ... cfg.lfFaceName
//   typedCharacter            -> g_typedCharacter (below)
// The rest lives for the run only.
struct FontViewFont {
  int32_t columns = kFontTableColumns, rows = kFontTableRows;
  int32_t squeezeTop = 0, squeezeBottom = 0;  // rows cut from a TrueType glyph
  int32_t unicodePage = 0;                    // bits 8..15 of the characters shown
  int32_t unicodePlane = 0;                   // bits 16..20, 0..kHighestUnicodePlane
  // The widest glyph of the chosen TrueType font; 0 until a font is chosen in
  // this run (FontSizeX then holds it, as the last run left it).
  int32_t trueTypeWidth = 0;
  bool wholeFontMode = false;                 // a whole font is being drawn
  bool fontChanged = false;                   // a chooser or a load changed the font
  bool relayoutRequested = false;             // the Font View lays itself out at its next tick
};

FontViewFont& TheFontViewFont();
// Back to the state of a fresh start (tests and the fuzzer begin each case here).
void ResetFontViewFont();

// Stand-in: records the character; the glyph tables arrive with the Font View.
void RenderFontCharacter(int32_t character);
// Characters handed to RenderFontCharacter since the last clear (for tests).
std::vector<int32_t>& RenderedCharacters();
// Set around a call while the loaded font (10413) draws a typed character.
extern bool g_typedCharacter;
extern int32_t g_typedCharacterSeen;  // the mark as RenderFontCharacter saw it

// The modeless "Making TrueType Font" box shown while a line of symbols or a
// whole font is drawn: opened with a title, retitled, ended by WM_USER.
void OpenMakingTTFont(const char* title);
void SetMakingTTFontTitle(const char* title);
void CloseMakingTTFont();
// Whether the box is open, and every title it was given since it last opened.
bool MakingTTFontOpen();
const std::vector<std::string>& MakingTTFontTitles();

// The window behind the box. The program installs the real one (the dialog
// MAKINGTTFONT); without one the box is only recorded.
struct MakingTTFontWindow {
  void (*open)(const char* title);
  void (*setTitle)(const char* title);
  void (*close)();
};
void SetMakingTTFontWindow(const MakingTTFontWindow* window);

#ifdef _WIN32
// The dialog MAKINGTTFONT as that window (the Windows build installs it at
// start-up with SetMakingTTFontWindow).
const MakingTTFontWindow* Win32MakingTTFontWindow();
#endif

}  // namespace dw

#endif
