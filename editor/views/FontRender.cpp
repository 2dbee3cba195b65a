#include "views/FontRender.h"

namespace dw {

bool g_typedCharacter = false;
int32_t g_typedCharacterSeen = 0;

std::vector<int32_t>& RenderedCharacters() {
  static std::vector<int32_t> chars;
  return chars;
}

void RenderFontCharacter(int32_t character) {
  g_typedCharacterSeen = g_typedCharacter ? 1 : 0;
  RenderedCharacters().push_back(character);
}

// Stand-ins until the box is built.
void OpenMakingTTFont(const char*) {}
void SetMakingTTFontTitle(const char*) {}
void CloseMakingTTFont() {}

}  // namespace dw
