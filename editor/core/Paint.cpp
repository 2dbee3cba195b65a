#include "core/Paint.h"

#include "core/EditorState.h"
#include "core/MouseTools.h"
#include "core/Services.h"
#include "views/StatusLine.h"

namespace dw {

FillMode g_fillCellRectMode = FILL_AUTO;

static int32_t Clamp32(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}
static int64_t Max0(int64_t v) { return v < 0 ? 0 : v; }

uint32_t CellColor(uint32_t value) {
  // The colour-mode rule whatever the mode: a palette index beyond the
  // palette (from a damaged file) shows black.
  const DataSet& s = g_ed->Cur();
  if (s.colorKind == 10668) {
    return value < static_cast<uint32_t>(kMaxPaletteEntries) ? s.palette[value] & 0xFFFFFF : 0;
  }
  return value & 0xFFFFFF;
}

void FillCellRect(ICanvas& dc, int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t color) {
  if (right <= left || bottom <= top) return;
  bool onePixel = right - left == 1 && bottom - top == 1;
  if (g_fillCellRectMode == FILL_BRUSH || (g_fillCellRectMode == FILL_AUTO && !onePixel)) {
    dc.FillSolid(left, top, right, bottom, color);
    return;
  }
  for (int32_t y = top; y < bottom; ++y) {
    for (int32_t x = left; x < right; ++x) dc.SetPixel(x, y, color);
  }
}

void SetWorkSheetPaintCellSize() {
  EditorState& st = *g_ed;
  const DataSet& s = st.Cur();
  if (s.viewMode == 10096) {
    st.paintCellWidth = s.elementCellWidth;
    st.paintCellHeight = s.elementCellHeight;
  } else {
    st.paintCellWidth = s.mainCellWidth;
    st.paintCellHeight = s.mainCellHeight;
  }
  if (st.paintCellWidth < 1) st.paintCellWidth = 1;
  if (st.paintCellHeight < 1) st.paintCellHeight = 1;
  st.paintOriginX = 0;
  st.paintOriginY = 0;
}

void PaintWorkSheetCell(ICanvas& dc, int32_t column, int32_t row, int32_t screenColumn, int32_t screenRow) {
  EditorState& st = *g_ed;
  const DataSet& s = st.Cur();
  int32_t w = st.paintCellWidth, h = st.paintCellHeight, g = st.pixelGridGap;
  if (screenColumn < 0 || screenRow < 0) return;
  if (screenColumn >= static_cast<int64_t>(s.activeRight) - s.activeLeft ||
      screenRow >= static_cast<int64_t>(s.activeBottom) - s.activeTop)
    return;
  if (static_cast<int64_t>(screenColumn) * w >= st.clientWidth ||
      static_cast<int64_t>(screenRow) * h >= st.workSheetHeight)
    return;
  int32_t x = screenColumn * w + st.paintOriginX;
  int32_t y = screenRow * h + st.paintOriginY + st.workSheetTop;
  uint32_t value = ReadCellForPaint(s, column, row);
  if (s.colorMode != 10666) {
    dc.PatBlt(x, y, w - g, h - g, value ? ROP_BLACKNESS : ROP_WHITENESS);
  } else {
    FillCellRect(dc, x, y, x + w - g, y + h - g, CellColor(value));
  }
}

void PaintWorkSheet(ICanvas& dc) {
  EditorState& st = *g_ed;
  const DataSet& s = st.Cur();
  Svc().windows->WaitCursor(true);
  SetWorkSheetPaintCellSize();
  int32_t w = st.paintCellWidth, h = st.paintCellHeight;
  // Only screen cells that can be painted are visited; the cell painter's own
  // tests decide the rest, so the result is the same as visiting every cell.
  int64_t visibleCols = (static_cast<int64_t>(st.clientWidth) + w - 1) / w;
  int64_t visibleRows = (static_cast<int64_t>(st.workSheetHeight) + h - 1) / h;
  if (visibleCols < 0) visibleCols = 0;
  if (visibleRows < 0) visibleRows = 0;
  if (s.viewMode != 10099) {
    int64_t c0 = static_cast<int64_t>(s.activeLeft) - s.scrollOffsetX;
    int64_t r0 = static_cast<int64_t>(s.activeTop) - s.scrollOffsetY;
    int64_t c1 = s.activeRight, r1 = s.activeBottom;
    if (c1 > c0 + visibleCols) c1 = c0 + visibleCols;
    if (r1 > r0 + visibleRows) r1 = r0 + visibleRows;
    for (int64_t c = c0; c < c1; ++c) {
      for (int64_t r = r0; r < r1; ++r) {
        PaintWorkSheetCell(dc, static_cast<int32_t>(c), static_cast<int32_t>(r),
                           Clamp32(c - s.activeLeft + s.scrollOffsetX), Clamp32(r - s.activeTop + s.scrollOffsetY));
      }
    }
  } else {
    int32_t countX = s.elementCountX > 0 ? s.elementCountX : 1;
    int32_t count = s.elementCount;
    if (count > kMaxElements) count = kMaxElements;
    // Picture cells that map to screen cells 0 .. visible - 1.
    int64_t cMin = -static_cast<int64_t>(s.scrollOffsetX), cMax = cMin + visibleCols;
    int64_t rMin = -static_cast<int64_t>(s.scrollOffsetY), rMax = rMin + visibleRows;
    // Elements of the grid rows that start at or below rMax paint nothing.
    if (s.elementHeight > 0) {
      int64_t rows = rMax <= 0 ? 0 : (rMax + s.elementHeight - 1) / s.elementHeight;
      if (rows * countX < count) count = static_cast<int32_t>(rows * countX);
    }
    for (int32_t n = 0; n < count; ++n) {
      int64_t x0 = static_cast<int64_t>(n % countX) * s.elementWidth;
      int64_t y0 = static_cast<int64_t>(n / countX) * s.elementHeight;
      int64_t x1 = x0 + s.elementWidths[n], y1 = y0 + s.elementHeights[n];
      if (x0 < cMin) x0 = cMin;
      if (y0 < rMin) y0 = rMin;
      if (x1 > cMax) x1 = cMax;
      if (y1 > rMax) y1 = rMax;
      for (int64_t c = x0; c < x1; ++c) {
        for (int64_t r = y0; r < y1; ++r) {
          PaintWorkSheetCell(dc, static_cast<int32_t>(c), static_cast<int32_t>(r),
                             Clamp32(c + s.scrollOffsetX), Clamp32(r + s.scrollOffsetY));
        }
      }
    }
  }
  PaintGridLines(dc);
  PaintEditFrame(dc);
  Svc().windows->WaitCursor(false);
}

void PaintGridLines(ICanvas& dc) {
  EditorState& st = *g_ed;
  const DataSet& s = st.Cur();
  if (s.viewMode == 10097) return;
  int64_t w = st.paintCellWidth, h = st.paintCellHeight;
  int64_t ox = st.paintOriginX + w * s.scrollOffsetX;
  int64_t oy = st.paintOriginY + h * s.scrollOffsetY;
  int64_t T = st.workSheetTop;
  int64_t W = s.elementWidth, H = s.elementHeight;
  int64_t X = s.elementCountX > 0 ? s.elementCountX : 1;
  int64_t N = s.elementCount > 0 ? s.elementCount : 1;
  int penKind = st.cfg.showGreenGrid ? PEN_SOLID : PEN_NULL;

  dc.SelectPen(penKind, static_cast<uint32_t>(st.cfg.rgbGreenGrid));
  if (s.viewMode == 10099) {
    int64_t R = (N + X - 1) / X;
    int64_t L = N % X;
    int64_t top = Max0(s.activeTop * h + oy) + T;
    int64_t bottom = Max0((s.activeTop + R * H) * h + oy) + T;
    int64_t shortBottom = Max0((s.activeTop + (R - 1) * H) * h + oy) + T;
    // Lines right of or below the client area would be clipped away whole;
    // past the first of them (positions only grow) none is drawn.
    const int64_t clientRight = st.clientWidth;
    const int64_t clientBottom = T + static_cast<int64_t>(st.workSheetHeight) + st.statusLineHeight;
    for (int64_t k = 0; k <= X; ++k) {
      int64_t x = Max0(k * W * w + ox);
      if (x >= clientRight && W * w > 0) break;
      dc.Line(Clamp32(x), Clamp32(top), Clamp32(x), Clamp32(L != 0 && k > L ? shortBottom : bottom));
    }
    int64_t left = Max0(s.activeLeft * w + ox);
    int64_t right = Max0((s.activeLeft + (X < N ? X : N) * W) * w + ox);
    int64_t lastRight = Max0((s.activeLeft + L * W) * w + ox);
    for (int64_t j = 0; j <= R; ++j) {
      int64_t y = Max0(j * H * h + oy) + T;
      if (y >= clientBottom && H * h > 0) break;
      dc.Line(Clamp32(left), Clamp32(y), Clamp32(j == R && L != 0 ? lastRight : right), Clamp32(y));
    }
  }
  dc.ReleasePen();

  dc.SelectPen(penKind, static_cast<uint32_t>(st.cfg.rgbRedGrid));
  if (s.viewMode == 10096) {
    int64_t x0 = ox, y0 = oy + T, x1 = ox + W * w, y1 = oy + T + H * h;
    dc.Line(Clamp32(x0), Clamp32(y0), Clamp32(x0), Clamp32(y1));
    dc.Line(Clamp32(x1), Clamp32(y0), Clamp32(x1), Clamp32(y1));
    dc.Line(Clamp32(x0), Clamp32(y0), Clamp32(x1), Clamp32(y0));
    dc.Line(Clamp32(x0), Clamp32(y1), Clamp32(x1), Clamp32(y1));
  } else if (s.viewMode == 10099) {
    int64_t col = s.currentElement % X, row = s.currentElement / X;
    int64_t xa = col * W * w + ox, xb = (col + 1) * W * w + ox;
    int64_t ya = row * H * h + oy + T, yb = (row + 1) * H * h + oy + T;
    dc.Line(Clamp32(xa), Clamp32(ya), Clamp32(xa), Clamp32(yb));
    dc.Line(Clamp32(xb), Clamp32(ya), Clamp32(xb), Clamp32(yb));
    dc.Line(Clamp32(xa), Clamp32(ya), Clamp32(xb), Clamp32(ya));
    dc.Line(Clamp32(xa), Clamp32(yb), Clamp32(xb), Clamp32(yb));
  }
  dc.ReleasePen();
}

int ToolbarIconId(int slot) {
  const EditorState& st = *g_ed;
  const DataSet& s = st.Cur();
  bool pressed = st.pressedToolbarButton == slot;
  bool lower = st.pressedLowerHalf, right = st.pressedRightHalf;
  bool icon = s.viewMode == 10097;
  bool iconModes = s.viewMode == 10097 || s.viewMode == 10098;
  switch (slot) {
    case 0:
      if (s.colorMode != 10666) return icon ? 927 : 1649;
      if (s.colorKind == 10668) {
        if (s.grayNotColor) return icon ? 931 : 1651;
        return icon ? 928 : 1648;
      }
      if (s.colorKind == 10667) {
        if (s.grayNotColor) return 932;
        return icon ? 929 : 1650;
      }
      return 391;
    case 1: return pressed ? 801 : 701;
    case 2: return pressed ? 802 : 702;
    case 3: return pressed ? 803 : 703;
    case 4:
      if (s.mouseMode == 105) return pressed ? 804 : 704;
      if (iconModes) return pressed ? 2011 : 2010;
      return pressed ? 1996 : 1995;
    case 5: return pressed ? 805 : 705;
    case 6: return pressed ? 806 : 706;
    case 7:
      if (!pressed) return 2001;
      return lower ? 2003 : 2002;
    case 8:
      if (iconModes) return 2012;
      if (!pressed) return 1727;
      return lower ? 2004 : 1508;
    case 9:
      if (!pressed) return 1630;
      if (!right) return lower ? 1632 : 1631;
      return lower ? 1634 : 1633;
    case 10: return st.currentDataSet == 0 ? 810 : 710;
    case 11: return st.currentDataSet == 1 ? 811 : 711;
    default: return 0;
  }
}

void PaintMainWindowContent(ICanvas& dc) {
  EditorState& st = *g_ed;
  SetWorkSheetPaintCellSize();
  PaintWorkSheet(dc);
  int32_t T = st.workSheetTop;
  dc.SelectPen(PEN_STOCK_BLACK, 0);
  dc.Line(0, 0, st.clientWidth, 0);
  dc.Line(0, T - 5, st.clientWidth, T - 5);
  dc.SelectPen(PEN_STOCK_WHITE, 0xFFFFFF);
  dc.Line(0, 1, st.clientWidth, 1);
  dc.Line(0, T - 4, st.clientWidth, T - 4);
  for (int i = 0; i < kToolbarButtons; ++i) {
    dc.DrawIcon(st.toolbarRects[i].left, st.toolbarRects[i].top, ToolbarIconId(i));
  }
  ShowStatus(1);
  const DataSet& s = st.Cur();
  if (s.mouseMode == 110 && st.crosshairActive) {
    dc.SetXorMode(true);
    dc.Line(Clamp32(static_cast<int64_t>(s.pictureWidth) * st.paintCellWidth), st.crosshairY, 0, st.crosshairY);
    dc.Line(st.crosshairX, T, st.crosshairX, Clamp32(T + static_cast<int64_t>(s.pictureHeight) * st.paintCellHeight));
    dc.SetXorMode(false);
  }
}

void PaintViewPicture(ICanvas& dc, int32_t cw, int32_t ch, int32_t maxX, int32_t maxY) {
  EditorState& st = *g_ed;
  const DataSet& s = st.Cur();
  if (cw < 1 || ch < 1) return;
  int64_t ox = s.pixelViewOriginX, oy = s.pixelViewOriginY;
  // Cells whose top-left corner lies in [0, maxX] x [0, maxY].
  int64_t i0 = -ox, j0 = -oy;
  int64_t i1 = maxX / cw - ox, j1 = maxY / ch - oy;
  if (i0 < 0) i0 = 0;
  if (j0 < 0) j0 = 0;
  if (i1 > s.pictureWidth - 1) i1 = s.pictureWidth - 1;
  if (j1 > s.pictureHeight - 1) j1 = s.pictureHeight - 1;
  bool bw = s.colorMode != 10666;
  for (int64_t i = i0; i <= i1; ++i) {
    for (int64_t j = j0; j <= j1; ++j) {
      int32_t x = Clamp32(cw * (i + ox)), y = Clamp32(ch * (j + oy));
      if (x < 0 || x > maxX || y < 0 || y > maxY) continue;
      uint32_t value = ReadCellForPaint(s, static_cast<int32_t>(i), static_cast<int32_t>(j));
      if (bw && !st.cfg.monoShow) {
        dc.PatBlt(x, y, cw, ch, value ? ROP_BLACKNESS : ROP_WHITENESS);
      } else {
        uint32_t color = bw ? (value ? st.lcdBlack : st.lcdWhite) : CellColor(value);
        FillCellRect(dc, x, y, x + cw, y + ch, color);
      }
    }
  }
}

void HighlightActiveElement(ICanvas& dc, int32_t cw, int32_t ch) {
  const DataSet& s = g_ed->Cur();
  int64_t ox = s.pixelViewOriginX, oy = s.pixelViewOriginY;
  int64_t width = s.elementWidth;
  if (s.variableElementSizes && s.currentElement >= 0 && s.currentElement < kMaxElements)
    width = s.elementWidths[s.currentElement];
  int64_t height = s.elementHeight;
  int64_t X = s.elementCountX > 0 ? s.elementCountX : 1;
  int64_t x, y;
  if (s.viewMode == 10096) {
    x = (s.activeLeft + ox) * cw;
    y = (s.activeTop + oy) * ch;
  } else if (s.viewMode == 10099) {
    x = ((s.currentElement % X) * s.elementWidth + ox) * cw;
    y = ((s.currentElement / X) * s.elementHeight + oy) * ch;
  } else {
    return;
  }
  dc.PatBlt(Clamp32(x), Clamp32(y), Clamp32(width * cw), Clamp32(height * ch), ROP_DSTINVERT);
}

void RenderActiveAreaBitmap(ICanvas& dc, uint32_t zeroColor, uint32_t setColor) {
  const DataSet& s = g_ed->Cur();
  bool bw = s.colorMode != 10666;
  // The active area never reaches beyond the store's own size in use.
  int32_t c1 = s.activeRight, r1 = s.activeBottom;
  if (c1 > s.activeLeft + kMaxPictureWidth) c1 = s.activeLeft + kMaxPictureWidth;
  if (r1 > s.activeTop + kMaxPictureHeight) r1 = s.activeTop + kMaxPictureHeight;
  for (int32_t c = s.activeLeft; c < c1; ++c) {
    for (int32_t r = s.activeTop; r < r1; ++r) {
      uint32_t value = ReadCellForPaint(s, c, r);
      uint32_t color = bw ? (value ? setColor : zeroColor) : CellColor(value);
      dc.SetPixel(c - s.activeLeft, r - s.activeTop, color);
    }
  }
}

}  // namespace dw
