#include "views/FontRender.h"

namespace dw {

bool g_typedCharacter = false;
int32_t g_typedCharacterSeen = 0;

FontViewFont& TheFontViewFont() {
  static FontViewFont font;
  return font;
}

std::vector<int32_t>& RenderedCharacters() {
  static std::vector<int32_t> chars;
  return chars;
}

void RenderFontCharacter(int32_t character) {
  g_typedCharacterSeen = g_typedCharacter ? 1 : 0;
  RenderedCharacters().push_back(character);
}

namespace {

struct MakingTTFontBox {
  const MakingTTFontWindow* window = nullptr;
  bool open = false;
  std::vector<std::string> titles;
};

MakingTTFontBox& Box() {
  static MakingTTFontBox box;
  return box;
}

}  // namespace

void SetMakingTTFontWindow(const MakingTTFontWindow* window) { Box().window = window; }

void OpenMakingTTFont(const char* title) {
  MakingTTFontBox& b = Box();
  // One box at a time: a second opening only retitles the first.
  if (b.open) {
    SetMakingTTFontTitle(title);
    return;
  }
  b.open = true;
  b.titles.assign(1, title ? title : "");
  if (b.window && b.window->open) b.window->open(title ? title : "");
}

void SetMakingTTFontTitle(const char* title) {
  MakingTTFontBox& b = Box();
  if (!b.open) return;
  b.titles.push_back(title ? title : "");
  if (b.window && b.window->setTitle) b.window->setTitle(title ? title : "");
}

void CloseMakingTTFont() {
  MakingTTFontBox& b = Box();
  if (!b.open) return;
  b.open = false;
  if (b.window && b.window->close) b.window->close();
}

bool MakingTTFontOpen() { return Box().open; }
const std::vector<std::string>& MakingTTFontTitles() { return Box().titles; }

void ResetFontViewFont() {
  TheFontViewFont() = FontViewFont();
  RenderedCharacters().clear();
  g_typedCharacter = false;
  g_typedCharacterSeen = 0;
  CloseMakingTTFont();
  Box().titles.clear();
}

}  // namespace dw
