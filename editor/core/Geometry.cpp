#include "core/Geometry.h"

#include <cstdio>
#include <cstring>

#include "core/EditorState.h"
#include "core/Services.h"
#include "views/StatusLine.h"

namespace dw {

static int32_t AtLeast(int32_t v, int32_t lo) { return v < lo ? lo : v; }
static int32_t RoundHalfUp(double v) { return static_cast<int32_t>(v + 0.5); }

// Keep Aspectratio: the cell height follows the width by the LCD's pixel shape.
static void KeepAspect(int32_t* w, int32_t* h, double aspect, int32_t minCell) {
  int32_t fromHeight = RoundHalfUp(*h / aspect);
  if (fromHeight < *w) *w = fromHeight;
  *w = AtLeast(*w, minCell);
  *h = AtLeast(RoundHalfUp(*w * aspect), 1);
}

double LcdAspectRatio(const GlobalSettings& cfg) {
  double sizeX = cfg.pixelSizeXmm + cfg.spacingXmm;
  double sizeY = cfg.pixelSizeYmm + cfg.spacingYmm;
  return sizeX > 0 && sizeY > 0 ? sizeY / sizeX : 1.0;
}

void PlaceCaret() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  int32_t x, y;
  if (s.viewMode == 10096) {
    x = (s.textCursorX + s.scrollOffsetX - s.activeLeft) * s.elementCellWidth;
    y = (s.textCursorY + s.scrollOffsetY - s.activeTop) * s.elementCellHeight + st.workSheetTop;
  } else {
    x = (s.textCursorX + s.scrollOffsetX) * s.mainCellWidth;
    y = (s.textCursorY + s.scrollOffsetY) * s.mainCellHeight + st.workSheetTop;
  }
  Svc().windows->SetCaretPos(x, y);
}

void UpdateWorkSheetGeometry() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  char text[200];

  // 1. Picture limits.
  if (s.pictureWidth > kMaxPictureWidth) {
    if (!st.fontLoading) {
      std::snprintf(text, sizeof text,
                    "Picture X Size is %d\nMaximum allowed LCD X Screensize is %d, have to reduce Icon",
                    static_cast<int>(s.pictureWidth), kMaxPictureWidth);
      Svc().prompter->Ask(text, "Size of Icon", MBX_OK);
    }
    s.pictureWidth = kMaxPictureWidth;
  }
  if (s.pictureHeight > kMaxPictureHeight) {
    if (!st.fontLoading) {
      std::snprintf(text, sizeof text,
                    "Picture Y Size is %d\nMaximum allowed LCD Y Screensize is %d, have to reduce Icon",
                    static_cast<int>(s.pictureHeight), kMaxPictureHeight);
      Svc().prompter->Ask(text, "Size of Icon", MBX_OK);
    }
    s.pictureHeight = kMaxPictureHeight;
  }
  // The geometry divides by these; nothing below 1 can be shown.
  s.pictureWidth = AtLeast(s.pictureWidth, 1);
  s.pictureHeight = AtLeast(s.pictureHeight, 1);
  s.elementWidth = AtLeast(s.elementWidth, 1);
  s.elementHeight = AtLeast(s.elementHeight, 1);
  s.elementCountX = AtLeast(s.elementCountX, 1);
  s.elementCount = AtLeast(s.elementCount, 1);
  if (s.elementCount > kMaxElements) s.elementCount = kMaxElements;
  int32_t minCell = AtLeast(st.minimumCellSize, 1);

  // 2. Pixel-size command of the view mode.
  s.pixelSizeCommand = s.viewMode == 10096 ? s.mainElementPixSize : s.mainGroupPixSize;
  double sizeX = st.cfg.pixelSizeXmm + st.cfg.spacingXmm;
  double sizeY = st.cfg.pixelSizeYmm + st.cfg.spacingYmm;
  st.lcdAspectRatio = LcdAspectRatio(st.cfg);

  if (s.pixelSizeCommand == 10200) {
    // 3. Auto: the cells fill the work sheet.
    s.mainCellWidth = st.clientWidth / s.pictureWidth;
    s.mainCellHeight = st.workSheetHeight / s.pictureHeight;
    int32_t rows = (s.elementCount + s.elementCountX - 1) / s.elementCountX;
    s.elementWidth = AtLeast(s.pictureWidth / s.elementCountX, 1);
    s.elementHeight = AtLeast(s.pictureHeight / AtLeast(rows, 1), 1);
    s.elementCellWidth = st.clientWidth / s.elementWidth;
    s.elementCellHeight = st.workSheetHeight / s.elementHeight;
    s.mainCellWidth = AtLeast(s.mainCellWidth, minCell);
    s.mainCellHeight = AtLeast(s.mainCellHeight, minCell);
    s.elementCellWidth = AtLeast(s.elementCellWidth, minCell);
    s.elementCellHeight = AtLeast(s.elementCellHeight, minCell);
    if (st.cfg.screenFixedAspectRatio == 1030) {
      KeepAspect(&s.elementCellWidth, &s.elementCellHeight, st.lcdAspectRatio, minCell);
      KeepAspect(&s.mainCellWidth, &s.mainCellHeight, st.lcdAspectRatio, minCell);
    }
    s.pixelSizeX = s.mainCellWidth;
    s.pixelSizeY = s.mainCellHeight;
    s.workSheetCellWidth = s.mainCellWidth;
    s.workSheetCellHeight = s.mainCellHeight;
  } else {
    // 4. Fixed sizes: 1..7 screen pixels a cell from the menu, larger ones
    // from the size steps; a stored value past the largest is taken as it.
    int32_t px = AtLeast(s.pixelSizeCommand - 10200, 1);
    if (px > kMaxWorkSheetCellPixels) px = kMaxWorkSheetCellPixels;
    s.mainCellWidth = s.mainCellHeight = px;
    s.elementCellWidth = s.elementCellHeight = px;
    s.pixelSizeX = s.pixelSizeY = px;
    s.workSheetCellWidth = s.workSheetCellHeight = px;
  }

  // 5. Active area.
  if (s.viewMode == 10096) {
    if (s.currentElement < 0) s.currentElement = 0;
    if (s.currentElement >= s.elementCount) s.currentElement = s.elementCount - 1;
    int32_t col = s.currentElement % s.elementCountX, row = s.currentElement / s.elementCountX;
    s.currentElementColumn = col;
    s.currentElementRow = row;
    int64_t x0 = static_cast<int64_t>(col) * s.elementWidth;
    int64_t y0 = static_cast<int64_t>(row) * s.elementHeight;
    int32_t w = s.variableElementSizes ? s.elementWidths[s.currentElement] : s.elementWidth;
    int32_t h = s.variableElementSizes ? s.elementHeights[s.currentElement] : s.elementHeight;
    auto fit = [](int64_t v) { return static_cast<int32_t>(v > INT32_MAX / 2 ? INT32_MAX / 2 : v); };
    s.activeLeft = fit(x0);
    s.activeTop = fit(y0);
    s.activeRight = fit(x0 + w);
    s.activeBottom = fit(y0 + h);
  } else {
    s.activeLeft = 0;
    s.activeTop = 0;
    s.activeRight = s.pictureWidth;
    s.activeBottom = s.pictureHeight;
  }

  // 6. Caret of the typing mode.
  if (s.mouseMode == 104) {
    IWindowOps& w = *Svc().windows;
    w.HideCaret();
    w.DestroyCaret();
    if (s.viewMode == 10096) {
      w.CreateCaret(st.cfg.fontSizeX * s.elementCellWidth, st.cfg.fontSizeY * s.elementCellHeight);
      s.textCursorX = s.activeLeft;
      s.textCursorY = s.activeTop;
    } else {
      w.CreateCaret(st.cfg.fontSizeX * s.mainCellWidth, st.cfg.fontSizeY * s.mainCellHeight);
    }
    PlaceCaret();
    w.ShowCaret();
  }

  // 7. Titles.
  char title[3 * kPathSlot];
  if (s.useCodePage) {
    std::snprintf(title, sizeof title, "%s - %s - %s", s.symbolTitle, s.codePageTitle, kProgramTitle);
  } else {
    std::snprintf(title, sizeof title, "%s - %s", s.symbolTitle, kProgramTitle);
  }
  Svc().windows->SetTitle(WIN_MAIN, title);
  std::snprintf(title, sizeof title, "Pixel View  - %s", s.symbolTitle);
  Svc().windows->SetTitle(WIN_PIXELVIEW, title);

  // 8. Status line.
  ShowStatus(1);

  // 9. Printed size and the spare height below the picture.
  s.printWidthMm = sizeX * st.cfg.printFactorX * s.pictureWidth;
  s.printHeightMm = sizeY * st.cfg.printFactorY * s.pictureHeight;
  s.printedWidthMm = static_cast<int32_t>(s.printWidthMm + 1e-9);
  s.printedHeightMm = static_cast<int32_t>(s.printHeightMm + 1e-9);
  s.spareHeight = st.workSheetHeight - s.mainCellHeight * s.pictureHeight;
}

}  // namespace dw
