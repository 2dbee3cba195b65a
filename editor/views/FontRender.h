// Drawing characters of the current font into the picture.
#ifndef DOTWERK_VIEWS_FONTRENDER_H
#define DOTWERK_VIEWS_FONTRENDER_H

#include <cstdint>
#include <vector>

namespace dw {

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

}  // namespace dw

#endif
