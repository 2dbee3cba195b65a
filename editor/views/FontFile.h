// The font loaded from a file into the Font View: a black-and-white symbol
// file whose elements form a group. Loading reads the file with the editor's
// own reader into the current data set and then puts the set back exactly as
// it was, so loading a font never changes the user's work.
#ifndef DOTWERK_VIEWS_FONTFILE_H
#define DOTWERK_VIEWS_FONTFILE_H

#include <cstdint>
#include <string>

namespace dw {

// The loaded font (one for the program). Its glyph canvas arrives with the
// renderer; the font commands need its count and size.
struct LoadedFont {
  int32_t symbolWidth = 0, symbolHeight = 0;  // symbolWidth 0: no font loaded
  int32_t symbolCount = 0;
  int32_t countX = 0;         // symbols per row of the canvas
  bool usesCodePage = false;  // characters map to symbols through code-page slot 2
  std::string name;           // the symbol name the file gives
  bool Loaded() const { return symbolWidth > 0; }
};

LoadedFont& TheLoadedFont();

// Loads the file named by the "FontFileName" setting. 1 when the font was
// taken, 0 when refused (not a group of elements, a colour file, or a file
// the reader could not read); a refusal posts the OEM 6x8 font (10405).
// While it reads, the picture-size messages are suppressed (fontLoading).
int LoadFontFile();

// Forgets the loaded font; with clearName also its file name (kept as the
// previous name).
void ClearFontView(int clearName);

}  // namespace dw

#endif
