#include "views/StatusLine.h"

#include "core/EditorState.h"
#include "core/Services.h"

namespace dw {

void ShowStatus(int) {}

// The largest position that still shows the last row or column:
// (count x cell - visible) / cell + 1, truncated, 0 when negative.
static int32_t ScrollMaximum(int32_t count, int32_t cell, int32_t visible) {
  if (cell < 1) cell = 1;
  // Truncation toward zero is meant: less than one cell to spare still gives 1.
  int64_t m = (static_cast<int64_t>(count) * cell - visible) / cell + 1;
  if (m < 0) m = 0;
  return static_cast<int32_t>(m);
}

void UpdateMainScrollBars() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  int32_t rows = s.viewMode == 10096 ? s.elementHeight : s.pictureHeight;
  int32_t cols = s.viewMode == 10096 ? s.elementWidth : s.pictureWidth;
  s.mainScrollMaxY = ScrollMaximum(rows, s.workSheetCellHeight, st.workSheetHeight);
  if (s.mainScrollPosY > s.mainScrollMaxY) s.mainScrollPosY = s.mainScrollMaxY;
  if (s.mainScrollPosY < 0) s.mainScrollPosY = 0;
  Svc().windows->SetScroll(WIN_MAIN, SB_VERT_BAR, s.mainScrollMaxY, s.mainScrollPosY);
  s.mainScrollMaxX = ScrollMaximum(cols, s.workSheetCellWidth, st.clientWidth);
  if (s.mainScrollPosX > s.mainScrollMaxX) s.mainScrollPosX = s.mainScrollMaxX;
  if (s.mainScrollPosX < 0) s.mainScrollPosX = 0;
  Svc().windows->SetScroll(WIN_MAIN, SB_HORZ_BAR, s.mainScrollMaxX, s.mainScrollPosX);
  s.scrollOffsetX = -s.mainScrollPosX;
  s.scrollOffsetY = -s.mainScrollPosY;
}

void UpdatePixelViewScrollBars() {}
void UpdateSwapViewScrollBars() {}
void UpdateCodePageViewScrollBars() {}

}  // namespace dw
