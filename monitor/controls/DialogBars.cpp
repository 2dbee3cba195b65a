#include "controls/DialogBars.h"

#include <string.h>

int ReplaceLightGrey(BYTE* bgr, size_t size, int width, int height, COLORREF face) {
  if (bgr == nullptr || width <= 0 || height <= 0) return 0;
  size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (pixels > size / 3) pixels = size / 3;
  int replaced = 0;
  for (size_t i = 0; i < pixels; ++i) {
    BYTE* p = bgr + i * 3;
    if (p[0] == 192 && p[1] == 192 && p[2] == 192) {
      p[0] = GetBValue(face);
      p[1] = GetGValue(face);
      p[2] = GetRValue(face);
      ++replaced;
    }
  }
  return replaced;
}

int DialogFontHeight(int points, int logPixelsY) { return -(points * logPixelsY / 72); }

CString ToolTipFromString(const char* resourceText) {
  if (resourceText == nullptr) return CString();
  const char* nl = strchr(resourceText, '\n');
  if (nl == nullptr) return CString();
  const char* tip = nl + 1;
  return CString(tip, static_cast<int>(strnlen(tip, 80)));
}

CString AlignPaneText(const char* text, int alignment) {
  CString s = alignment == 0 ? "\t" : alignment == 1 ? "\t\t" : "";
  s += text != nullptr ? text : "";
  return s;
}

BarLayoutChange ComputeBarLayout(BarLayoutState& state, bool toolBarVisible, const RECT& client,
                                 const RECT& area) {
  BarLayoutChange change;
  if (toolBarVisible) state.shownToolBarHeight = area.top - client.top;
  int top = toolBarVisible ? state.shownToolBarHeight : 0;
  int status = client.bottom - area.bottom;
  change.moveX = 0;
  change.moveY = top - state.barOffset;
  change.growY = change.moveY + (status - state.statusHeight);
  state.barOffset = top;
  state.statusHeight = status;
  return change;
}
