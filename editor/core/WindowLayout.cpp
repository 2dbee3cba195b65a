#include "core/WindowLayout.h"

namespace dw {

void ComputeLayout(const ScreenMetrics& m, int32_t paletteWidth, int32_t paletteHeight,
                   int32_t earlierPaletteY, WindowPlacement out[WIN_COUNT]) {
  for (int i = 0; i < WIN_COUNT; ++i) out[i] = WindowPlacement();
  WindowPlacement& tb = out[WIN_TOOLBOX];
  tb.width = 2 * m.borderWidth + 8 * m.iconWidth + 48;
  tb.height = 7 * (m.iconHeight + 4) + m.captionHeight + 8 + 2 * m.borderHeight;
  tb.x = m.fullScreenWidth - tb.width;
  tb.y = m.fullScreenHeight - tb.height + m.captionHeight;

  WindowPlacement& fv = out[WIN_FONTVIEW];
  fv.width = 17 * (m.iconWidth + 4) + 68;
  fv.height = (m.iconHeight + 12) + m.captionHeight + 3 * m.borderHeight;
  fv.x = 0;
  fv.y = tb.y;

  WindowPlacement& mw = out[WIN_MAIN];
  mw.x = 0;
  mw.y = 0;
  mw.height = m.fullScreenHeight - tb.height + m.captionHeight;
  mw.width = m.fullScreenWidth - paletteWidth;

  int32_t swapY = earlierPaletteY / 3;
  if (swapY < m.captionHeight) swapY = tb.y / 4;

  WindowPlacement& pal = out[WIN_PALETTE];
  pal.width = paletteWidth;
  pal.height = paletteHeight;
  pal.x = m.screenWidth - paletteWidth;
  pal.y = tb.y - paletteHeight;

  int32_t viewHeight = swapY;
  if (viewHeight < tb.height / 2) viewHeight = tb.height / 2;
  WindowPlacement& pv = out[WIN_PIXELVIEW];
  pv.x = mw.width;
  pv.y = 0;
  pv.width = paletteWidth;
  pv.height = viewHeight;
  WindowPlacement& sv = out[WIN_SWAPVIEW];
  sv.x = mw.width;
  sv.y = swapY;
  sv.width = paletteWidth;
  sv.height = viewHeight;
  WindowPlacement& rb = out[WIN_RAINBOW];
  rb.x = mw.width;
  rb.y = 2 * swapY;
  rb.width = paletteWidth;
  rb.height = viewHeight;

  WindowPlacement& cp = out[WIN_CODEPAGE];
  int32_t w = mw.width - fv.width;
  int32_t wide = tb.width * 9 / 8;
  cp.width = w > wide ? w : wide;
  cp.height = tb.height;
  cp.x = tb.x - cp.width;
  cp.y = mw.height;
}

int32_t ClampWindowX(const ScreenMetrics& m, int32_t x, bool toolBox) {
  int32_t limit = toolBox ? m.screenWidth - 3 * m.iconWidth / 2 : m.screenWidth - 3 * m.iconWidth;
  if (x > limit) x = limit;
  if (x < 0) x = 0;
  return x;
}

int32_t ClampWindowY(const ScreenMetrics& m, int32_t y) {
  int32_t limit = m.screenHeight - 3 * m.iconHeight;
  if (y > limit) y = limit;
  if (y < 0) y = 0;
  return y;
}

int32_t ClampMainWidth(const ScreenMetrics& m, int32_t w) { return w > m.screenWidth ? m.screenWidth - 4 : w; }
int32_t ClampMainHeight(const ScreenMetrics& m, int32_t h) {
  return h > m.screenHeight ? m.screenHeight - 4 : h;
}

void ComputeToolbarRects(int32_t iconWidth, int32_t iconHeight, Rect out[kToolbarButtons]) {
  static const int kGap[kToolbarButtons] = {2, 4, 4, 6, 8, 8, 8, 8, 10, 12, 14, 14};
  for (int i = 0; i < kToolbarButtons; ++i) {
    out[i].left = i * iconWidth + 4 * (i + kGap[i] + 1);
    out[i].right = out[i].left + iconWidth;
    out[i].top = 4;
    out[i].bottom = 4 + iconHeight;
  }
}

}  // namespace dw
