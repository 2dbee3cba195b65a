#include "core/MouseTools.h"

#include <cstdio>
#include <cstring>

#include "core/Elements.h"
#include "core/Geometry.h"
#include "core/MenuState.h"
#include "core/Paint.h"
#include "core/Raster.h"
#include "core/Services.h"
#include "core/Undo.h"
#include "views/CodePage.h"
#include "views/StatusLine.h"

namespace dw {

namespace {

// View modes.
constexpr int32_t kShowElement = 10096;
constexpr int32_t kShowGroupAsIcon = 10098;
constexpr int32_t kShowGroup = 10099;
// Mouse modes.
constexpr int32_t kModePutPixel = 100;
constexpr int32_t kModeColumnRow = 102;
constexpr int32_t kModeShapes = 103;
constexpr int32_t kModeTyping = 104;
constexpr int32_t kModeEditFrame = 105;
constexpr int32_t kModeFloodFill = 106;
constexpr int32_t kModeElementTools = 107;
constexpr int32_t kModeCodePageIndexes = 108;
constexpr int32_t kModeCrossHair = 110;
// Tools.
constexpr int32_t kToolFirstShape = 10014;
constexpr int32_t kToolNoShapeDrag = 10031;
constexpr int32_t kToolInsertColumn = 10034;
constexpr int32_t kToolInsertRow = 10035;
constexpr int32_t kToolDeleteColumn = 10037;
constexpr int32_t kToolDeleteRow = 10038;
// Commands the mouse posts.
constexpr int kCmdUndo = 57643;
constexpr int kCmdRedo = 57644;
constexpr int kCmdShowElement = 10096;
constexpr int kCmdShowGroup = 10099;
constexpr int kCmdPenBlack = 10019;
constexpr int kCmdPenWhite = 10020;
constexpr int kCmdPixelPlusOne = 10235, kCmdPixelMinusOne = 10236;
constexpr int kCmdPixelTimesTwo = 10680, kCmdPixelHalf = 10681;
// Toolbar buttons with more than one command.
constexpr int kButtonUndoRedo = 7;
constexpr int kButtonElementStep = 8;
constexpr int kButtonPixelSize = 9;
constexpr int kToolbarCommands[kToolbarButtons] = {10660, 57601, 10661, 57607, 57635, 57634,
                                                   57637, 0,     0,     0,     10153, 10154};
// Cursors of the code-page tool: waiting for the last element, then done.
constexpr int kCursorRangeEnd = 967;
constexpr int kCursorRangeStart = 968;
// Code-page tool states: waiting for the first element, for the last one.
constexpr int kRangeFirstClick = 201;
constexpr int kRangeSecondClick = 202;
// Frame colours (0x00BBGGRR).
constexpr uint32_t kFrameActive = 0x00FF0000;
constexpr uint32_t kFrameInactive = 0x00BDBDBD;
constexpr int32_t kStripTop = 4;  // the toolbar buttons start 4 pixels down
constexpr unsigned kBeep = MBX_OK;

struct MouseState {
  // Strokes and drags.
  bool dragging = false;
  bool stroke = false;
  bool snapshotPending = false;  // the next changed cell takes the snapshot first
  int32_t lastPenX = -1, lastPenY = -1;
  // Shape drag: corner cells on the screen (relative to the work sheet).
  int32_t startCol = 0, startRow = 0, endCol = 0, endRow = 0;
  // The rubber band on the screen, as drawn (so it can be drawn away).
  bool bandShown = false;
  int bandKind = SHAPE_LINE;
  int32_t bandX0 = 0, bandY0 = 0, bandX1 = 0, bandY1 = 0;
  Rect bandClip;
  // Edit frame in cells relative to the element origin (Show Element) or the
  // picture; the drag's corners likewise.
  bool frameExists = false;
  Rect frame;  // inclusive cells: left..right, top..bottom
  int32_t frameStartX = 0, frameStartY = 0, frameEndX = 0, frameEndY = 0;
  bool narrowed = false;
  int32_t savedLeft = 0, savedTop = 0, savedRight = 0, savedBottom = 0;
  // Code-page ranges by mouse.
  int rangeState = kRangeFirstClick;
  int32_t rangeFirstElement = 0, rangeStart = 0, rangeIndex = 0;
  EditIndexStartHook editIndexStart = nullptr;
  // Pens.
  ICanvas* preview = nullptr;
  bool paintSuspended = false;
  int batchDepth = 0;
  ICanvas* sheetCanvas = nullptr;
  ICanvas* pixelViewCanvas = nullptr;
};

MouseState& M() {
  static MouseState state;
  return state;
}

int32_t Max32(int32_t a, int32_t b) { return a > b ? a : b; }
int32_t Min32(int32_t a, int32_t b) { return a < b ? a : b; }

int32_t Fit32(int64_t v) {
  if (v > INT32_MAX / 2) return INT32_MAX / 2;
  if (v < INT32_MIN / 2) return INT32_MIN / 2;
  return static_cast<int32_t>(v);
}

int32_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  if (q > INT32_MAX / 4) q = INT32_MAX / 4;
  if (q < INT32_MIN / 4) q = INT32_MIN / 4;
  return static_cast<int32_t>(q);
}

struct Point {
  int32_t x, y;
};

Point Unpack(intptr_t lParam) {
  uintptr_t v = static_cast<uintptr_t>(lParam);
  return Point{static_cast<int16_t>(v & 0xFFFF), static_cast<int16_t>((v >> 16) & 0xFFFF)};
}

void SetStatus(const char* text) {
  g_ed->statusText = text;
  ShowStatus(0);
}

void Beep() { Svc().prompter->Beep(kBeep); }

int32_t SheetCellWidth(const DataSet& s) {
  return Max32(1, s.viewMode == kShowElement ? s.elementCellWidth : s.mainCellWidth);
}
int32_t SheetCellHeight(const DataSet& s) {
  return Max32(1, s.viewMode == kShowElement ? s.elementCellHeight : s.mainCellHeight);
}

// Screen cell under a client position, relative to the work sheet.
int32_t ScreenColumn(int32_t px, int32_t cw) { return FloorDiv(px, cw); }
int32_t ScreenRow(int32_t py, int32_t ch) { return FloorDiv(static_cast<int64_t>(py) - g_ed->workSheetTop, ch); }
// Picture cell of a screen cell: the scroll position and the active area's
// origin added.
int32_t PictureColumn(const DataSet& s, int32_t screenCol) {
  return static_cast<int32_t>(static_cast<int64_t>(screenCol) + s.activeLeft - s.scrollOffsetX);
}
int32_t PictureRow(const DataSet& s, int32_t screenRow) {
  return static_cast<int32_t>(static_cast<int64_t>(screenRow) + s.activeTop - s.scrollOffsetY);
}

bool InStrip(int32_t py) { return py >= kStripTop && py <= g_ed->metrics.iconHeight + kStripTop; }
bool OnSheet(int32_t py) { return py >= g_ed->workSheetTop; }

// Element of the grid under picture cell (x, y), or -1.
int32_t ElementAt(const DataSet& s, int32_t x, int32_t y) {
  if (x < 0 || y < 0) return -1;
  int32_t w = Max32(1, s.elementWidth), h = Max32(1, s.elementHeight), countX = Max32(1, s.elementCountX);
  int32_t col = x / w, row = y / h;
  if (col >= countX) return -1;
  int64_t n = static_cast<int64_t>(row) * countX + col;
  if (n >= s.elementCount || n >= kMaxElements) return -1;
  return static_cast<int32_t>(n);
}

void ElementOrigin(const DataSet& s, int32_t n, int32_t* x, int32_t* y) {
  int32_t countX = Max32(1, s.elementCountX);
  *x = (n % countX) * s.elementWidth;
  *y = (n / countX) * s.elementHeight;
}

Rect ActiveArea(const DataSet& s) { return Rect{s.activeLeft, s.activeTop, s.activeRight, s.activeBottom}; }

Rect Intersect(const Rect& a, const Rect& b) {
  Rect r{Max32(a.left, b.left), Max32(a.top, b.top), Min32(a.right, b.right), Min32(a.bottom, b.bottom)};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

Rect PictureRect(const DataSet& s) { return Rect{0, 0, s.pictureWidth, s.pictureHeight}; }

// ---- Painting the pens' cells ------------------------------------------

// The client canvases the pens paint into, opened once for a batch of cells.
class PenCanvases {
 public:
  PenCanvases() {
    MouseState& m = M();
    if (m.batchDepth++ == 0) {
      m.sheetCanvas = Svc().windows->ClientCanvas(WIN_MAIN);
      m.pixelViewCanvas = Svc().windows->ClientCanvas(WIN_PIXELVIEW);
    }
  }
  ~PenCanvases() {
    MouseState& m = M();
    if (--m.batchDepth == 0) {
      if (m.sheetCanvas) Svc().windows->ReleaseClientCanvas(m.sheetCanvas);
      if (m.pixelViewCanvas) Svc().windows->ReleaseClientCanvas(m.pixelViewCanvas);
      m.sheetCanvas = m.pixelViewCanvas = nullptr;
    }
  }
  PenCanvases(const PenCanvases&) = delete;
  PenCanvases& operator=(const PenCanvases&) = delete;
};

void PaintPixelViewCell(ICanvas& dc, int32_t x, int32_t y) {
  EditorState& st = *g_ed;
  const DataSet& s = st.Cur();
  int32_t cw = Max32(1, s.viewCellWidth), ch = Max32(1, s.viewCellHeight);
  if (st.cfg.flashActiveElement && st.activeElementInverted) {
    HighlightActiveElement(dc, cw, ch);
    st.activeElementInverted = false;
  }
  int64_t px = (static_cast<int64_t>(x) + s.pixelViewOriginX) * cw;
  int64_t py = (static_cast<int64_t>(y) + s.pixelViewOriginY) * ch;
  if (px < 0 || py < 0 || px > INT32_MAX - cw || py > INT32_MAX - ch) return;
  int32_t left = static_cast<int32_t>(px), top = static_cast<int32_t>(py);
  uint32_t value = ReadCellForPaint(s, x, y);
  bool bw = s.colorMode != 10666;
  if (bw && !st.cfg.monoShow) {
    dc.PatBlt(left, top, cw, ch, value ? ROP_BLACKNESS : ROP_WHITENESS);
  } else {
    uint32_t color = bw ? (value ? st.lcdBlack : st.lcdWhite) : CellColor(value);
    FillCellRect(dc, left, top, left + cw, top + ch, color);
  }
}

void PaintPenCell(int32_t x, int32_t y) {
  MouseState& m = M();
  if (m.paintSuspended) return;
  const DataSet& s = g_ed->Cur();
  PenCanvases canvases;
  if (m.sheetCanvas) {
    SetWorkSheetPaintCellSize();
    int32_t ox = 0, oy = 0;
    if (s.viewMode == kShowElement) ElementOrigin(s, s.currentElement, &ox, &oy);
    int64_t sc = static_cast<int64_t>(x) - ox + s.scrollOffsetX;
    int64_t sr = static_cast<int64_t>(y) - oy + s.scrollOffsetY;
    if (sc >= 0 && sr >= 0 && sc <= INT32_MAX && sr <= INT32_MAX)
      PaintWorkSheetCell(*m.sheetCanvas, x, y, static_cast<int32_t>(sc), static_cast<int32_t>(sr));
  }
  if (m.pixelViewCanvas) PaintPixelViewCell(*m.pixelViewCanvas, x, y);
}

// Writes a pen's value; the first change of a pending edit takes its snapshot.
void WriteCell(uint32_t* cell, uint32_t value) {
  if (*cell == value) return;
  MouseState& m = M();
  if (m.snapshotPending) {
    m.snapshotPending = false;
    PushUndo();
  }
  *cell = value;
}

bool PenPreview(int32_t x, int32_t y) {
  ICanvas* p = M().preview;
  if (!p) return false;
  int64_t px = 3 * static_cast<int64_t>(x), py = 3 * static_cast<int64_t>(y);
  if (px >= 0 && py >= 0 && px <= INT32_MAX - 3 && py <= INT32_MAX - 3)
    p->PatBlt(static_cast<int32_t>(px), static_cast<int32_t>(py), 3, 3, ROP_BLACKNESS);
  return true;
}

// ---- Status texts ------------------------------------------------------

// Character of element n while the code page is in use; a range being made
// by mouse counts from its start. -1 when no range covers the element.
int32_t StatusChar(const DataSet& s, int32_t n) {
  const MouseState& m = M();
  if (s.mouseMode == kModeCodePageIndexes && m.rangeState == kRangeSecondClick && n >= m.rangeFirstElement)
    return m.rangeStart + (n - m.rangeFirstElement);
  return ElementToChar(n);
}

void AppendColour(const DataSet& s, uint32_t value, char* buf, size_t size) {
  if (s.colorMode != 10666) return;
  size_t len = std::strlen(buf);
  if (s.colorKind == 10668) {
    uint32_t c = CellColorOf(s, value);
    std::snprintf(buf + len, size - len, "   PaletteIndex 0x%02X   RGB %d,%d,%d", static_cast<unsigned>(value),
                  static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
  } else {
    std::snprintf(buf + len, size - len, "   RGB %d,%d,%d", static_cast<int>(value & 0xFF),
                  static_cast<int>((value >> 8) & 0xFF), static_cast<int>((value >> 16) & 0xFF));
  }
}

void CellStatus(const DataSet& s, int32_t x, int32_t y, char* buf, size_t size) {
  bool hex = s.useHexInCodePage != 0;
  if (s.viewMode == kShowGroup) {
    int32_t n = ElementAt(s, x, y);
    if (n < 0) n = 0;
    int32_t ex, ey;
    ElementOrigin(s, n, &ex, &ey);
    int32_t c = s.useCodePage ? StatusChar(s, n) : -1;
    if (c >= 0) {
      std::snprintf(buf, size, hex ? "%d,%d   Element 0x%02X: %d,%d  Char 0x%04X" : "%d,%d   Element %d: %d,%d  Char %d",
                    x, y, n, x - ex, y - ey, c);
    } else {
      std::snprintf(buf, size, hex ? "%d,%d   Element 0x%02X: %d,%d" : "%d,%d   Element %d: %d,%d", x, y, n, x - ex,
                    y - ey);
    }
    if (s.variableElementSizes) {
      size_t len = std::strlen(buf);
      std::snprintf(buf + len, size - len, "  Size %d,%d", s.elementWidths[n], s.elementHeights[n]);
    }
  } else if (s.viewMode == kShowElement) {
    int32_t n = s.currentElement;
    std::snprintf(buf, size, hex ? "Element 0x%02X  %d,%d" : "Element %d  %d,%d", n, x - s.activeLeft,
                  y - s.activeTop);
    int32_t c = s.useCodePage ? StatusChar(s, n) : -1;
    if (c >= 0) {
      size_t len = std::strlen(buf);
      std::snprintf(buf + len, size - len, hex ? "  Char 0x%04X" : "  Char %d", c);
    }
  } else {
    std::snprintf(buf, size, "%d,%d", x, y);
  }
  AppendColour(s, ReadCellForPaint(s, x, y), buf, size);
}

void DragStatus(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  char buf[80];
  int32_t w = (x1 > x0 ? x1 - x0 : x0 - x1) + 1, h = (y1 > y0 ? y1 - y0 : y0 - y1) + 1;
  std::snprintf(buf, sizeof buf, "%d , %d    %d x %d", x0, y0, w, h);
  g_ed->statusText = buf;
}

// ---- Toolbar strip -----------------------------------------------------

int ButtonAt(int32_t px) {
  for (int i = 0; i < kToolbarButtons; ++i) {
    const Rect& r = g_ed->toolbarRects[i];
    if (px >= r.left && px <= r.right) return i;
  }
  return -1;
}

void RepaintButtons(int a, int b) {
  ICanvas* dc = Svc().windows->ClientCanvas(WIN_MAIN);
  if (!dc) return;
  for (int i : {a, b}) {
    if (i < 0 || i >= kToolbarButtons) continue;
    dc->DrawIcon(g_ed->toolbarRects[i].left, g_ed->toolbarRects[i].top, ToolbarIconId(i));
  }
  Svc().windows->ReleaseClientCanvas(dc);
}

// Presses the button under px; -1 when there is none.
int PressButton(Point p) {
  EditorState& st = *g_ed;
  int i = ButtonAt(p.x);
  if (i < 0) return -1;
  const Rect& r = st.toolbarRects[i];
  st.pressedLowerHalf = p.y > st.metrics.iconHeight / 2 + kStripTop;
  st.pressedRightHalf = p.x > (r.left + r.right) / 2;
  int old = st.pressedToolbarButton;
  st.pressedToolbarButton = i;
  RepaintButtons(old == i ? -1 : old, i);
  return i;
}

void ReleaseButton() {
  EditorState& st = *g_ed;
  int old = st.pressedToolbarButton;
  if (old < 0) return;
  st.pressedToolbarButton = -1;
  RepaintButtons(old, -1);
}

// Toolbar button 8: the next or the previous element.
void StepElement(int direction) {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  if (s.viewMode != kShowElement && s.viewMode != kShowGroup) {
    Beep();
    return;
  }
  int32_t count = Max32(1, Min32(s.elementCount, kMaxElements));
  int32_t n = s.currentElement + direction;
  if (n >= count) n = 0;
  if (n < 0) n = count - 1;
  s.currentElement = n;
  int32_t countX = Max32(1, s.elementCountX);
  s.currentElementColumn = n % countX;
  s.currentElementRow = n / countX;
  UpdateWorkSheetGeometry();
  UpdateMainScrollBars();
  Svc().windows->InvalidateWorkSheet(true);
  Svc().windows->Invalidate(WIN_PIXELVIEW, true);
}

void ToolbarLeftDown(Point p) {
  EditorState& st = *g_ed;
  int i = PressButton(p);
  if (i < 0) return;
  IWindowOps& w = *Svc().windows;
  switch (i) {
    case kButtonUndoRedo: w.PostCommand(st.pressedLowerHalf ? kCmdRedo : kCmdUndo); return;
    case kButtonElementStep: StepElement(st.pressedLowerHalf ? -1 : 1); return;
    case kButtonPixelSize: {
      int cmd = st.pressedRightHalf ? (st.pressedLowerHalf ? kCmdPixelHalf : kCmdPixelTimesTwo)
                                    : (st.pressedLowerHalf ? kCmdPixelMinusOne : kCmdPixelPlusOne);
      w.PostCommand(cmd);
      st.repeatHeld = true;
      st.repeatCount = 0;
      st.repeatCommand = cmd;
      return;
    }
    default: w.PostCommand(kToolbarCommands[i]); return;
  }
}

// ---- Rubber band of the shape tools ------------------------------------

// Draws each run of the band as a line of the inverting pen.
struct BandSink : SpanSink {
  ICanvas* dc;
  int32_t top;
  void Span(int32_t y, int32_t x0, int32_t x1) override { dc->Line(x0, y + top, x1, y + top); }
};

int BandKind(int32_t tool) {
  int kind = tool - kToolFirstShape;
  if (kind == SHAPE_SOLID_ELLIPSE) return SHAPE_HOLLOW_ELLIPSE;
  if (kind == SHAPE_SOLID_RECTANGLE) return SHAPE_HOLLOW_RECTANGLE;
  return kind;
}

// Inverting the band a second time takes it away.
void InvertBand() {
  MouseState& m = M();
  ICanvas* dc = Svc().windows->ClientCanvas(WIN_MAIN);
  if (!dc) return;
  dc->SelectPen(PEN_STOCK_WHITE, 0xFFFFFF);
  dc->SetXorMode(true);
  BandSink sink;
  sink.dc = dc;
  sink.top = g_ed->workSheetTop;
  RasterShape(m.bandKind, m.bandX0, m.bandY0, m.bandX1, m.bandY1, m.bandClip, sink);
  dc->SetXorMode(false);
  dc->ReleasePen();
  Svc().windows->ReleaseClientCanvas(dc);
}

void EraseBand() {
  MouseState& m = M();
  if (!m.bandShown) return;
  InvertBand();
  m.bandShown = false;
}

void ShowBand() {
  MouseState& m = M();
  EditorState& st = *g_ed;
  const DataSet& s = st.Cur();
  int64_t cw = SheetCellWidth(s), ch = SheetCellHeight(s);
  m.bandKind = BandKind(s.currentTool);
  m.bandX0 = Fit32(m.startCol * cw + cw / 2);
  m.bandY0 = Fit32(m.startRow * ch + ch / 2);
  m.bandX1 = Fit32(m.endCol * cw + cw / 2);
  m.bandY1 = Fit32(m.endRow * ch + ch / 2);
  m.bandClip = Rect{0, 0, st.clientWidth, st.workSheetHeight};
  InvertBand();
  m.bandShown = true;
}

struct PenSink : SpanSink {
  void Span(int32_t y, int32_t x0, int32_t x1) override {
    for (int32_t x = x0; x < x1; ++x) DrawPixelWithPen(x, y);
  }
};

void FinishShape() {
  MouseState& m = M();
  DataSet& s = g_ed->Cur();
  EraseBand();
  int kind = s.currentTool - kToolFirstShape;
  if (kind < 0 || kind >= kShapeKinds) return;
  Rect clip = ClipToStore(Intersect(ActiveArea(s), PictureRect(s)));
  m.snapshotPending = true;
  {
    PenCanvases canvases;
    PenSink sink;
    RasterShape(kind, PictureColumn(s, m.startCol), PictureRow(s, m.startRow), PictureColumn(s, m.endCol),
                PictureRow(s, m.endRow), clip, sink);
  }
  m.snapshotPending = false;
}

// ---- Edit frame ----------------------------------------------------------

// The element or picture the frame is drawn on, relative to its origin.
int32_t DrawnWidth(const DataSet& s) {
  const MouseState& m = M();
  return m.narrowed ? m.savedRight - m.savedLeft : s.activeRight - s.activeLeft;
}
int32_t DrawnHeight(const DataSet& s) {
  const MouseState& m = M();
  return m.narrowed ? m.savedBottom - m.savedTop : s.activeBottom - s.activeTop;
}

Rect DragFrame() {
  const MouseState& m = M();
  return Rect{Min32(m.frameStartX, m.frameEndX), Min32(m.frameStartY, m.frameEndY),
              Max32(m.frameStartX, m.frameEndX), Max32(m.frameStartY, m.frameEndY)};
}

// Screen corners of a frame of inclusive cells: on the grid gaps around
// them, one pixel outside at the top left.
void FrameCorners(const Rect& f, int32_t* x0, int32_t* y0, int32_t* x1, int32_t* y1) {
  const DataSet& s = g_ed->Cur();
  int64_t cw = SheetCellWidth(s), ch = SheetCellHeight(s), top = g_ed->workSheetTop;
  auto fit = Fit32;
  *x0 = fit((f.left + static_cast<int64_t>(s.scrollOffsetX)) * cw - 1);
  *x1 = fit((f.right + 1 + static_cast<int64_t>(s.scrollOffsetX)) * cw - 1);
  // Never over the toolbar strip when the sheet is scrolled.
  *y0 = fit(Max32(fit((f.top + static_cast<int64_t>(s.scrollOffsetY)) * ch - 1 + top), fit(top - 1)));
  *y1 = fit(Max32(fit((f.bottom + 1 + static_cast<int64_t>(s.scrollOffsetY)) * ch - 1 + top), fit(top - 1)));
}

void DrawFrameOn(ICanvas& dc, const Rect& f, uint32_t colour) {
  int32_t x0, y0, x1, y1;
  FrameCorners(f, &x0, &y0, &x1, &y1);
  dc.SelectPen(PEN_SOLID, colour);
  dc.Line(x0, y0, x1, y0);
  dc.Line(x1, y0, x1, y1);
  dc.Line(x1, y1, x0, y1);
  dc.Line(x0, y1, x0, y0);
  dc.ReleasePen();
}

// Without the pixel grid the frame lies on cells: paint back the cells its
// lines crossed.
void RepaintFrameCells(ICanvas& dc, const Rect& f) {
  const EditorState& st = *g_ed;
  if (st.pixelGridGap != 0) return;
  const DataSet& s = st.Cur();
  SetWorkSheetPaintCellSize();
  auto paint = [&](int32_t c, int32_t r) {
    int64_t sc = static_cast<int64_t>(c) + s.scrollOffsetX, sr = static_cast<int64_t>(r) + s.scrollOffsetY;
    if (sc < 0 || sr < 0 || sc > INT32_MAX || sr > INT32_MAX) return;
    PaintWorkSheetCell(dc, s.activeLeft + c, s.activeTop + r, static_cast<int32_t>(sc), static_cast<int32_t>(sr));
  };
  for (int32_t c = f.left - 1; c <= f.right; ++c) {
    paint(c, f.top - 1);
    paint(c, f.bottom);
  }
  for (int32_t r = f.top; r < f.bottom; ++r) {
    paint(f.left - 1, r);
    paint(f.right, r);
  }
}

bool FrameToDraw(Rect* f) {
  const MouseState& m = M();
  if (m.frameExists) {
    *f = m.frame;
    return true;
  }
  if (m.dragging && g_ed->Cur().mouseMode == kModeEditFrame) {
    *f = DragFrame();
    return true;
  }
  return false;
}

void EraseEditFrame() {
  Rect f;
  if (!FrameToDraw(&f)) return;
  ICanvas* dc = Svc().windows->ClientCanvas(WIN_MAIN);
  if (!dc) return;
  DrawFrameOn(*dc, f, kFrameInactive);
  RepaintFrameCells(*dc, f);
  Svc().windows->ReleaseClientCanvas(dc);
}

// Cell of the element or picture under a position, relative to its origin.
void FrameCellAt(Point p, int32_t* x, int32_t* y) {
  const DataSet& s = g_ed->Cur();
  *x = static_cast<int32_t>(static_cast<int64_t>(ScreenColumn(p.x, SheetCellWidth(s))) - s.scrollOffsetX);
  *y = static_cast<int32_t>(static_cast<int64_t>(ScreenRow(p.y, SheetCellHeight(s))) - s.scrollOffsetY);
}

void FrameDown(Point p) {
  MouseState& m = M();
  if (m.frameExists) {
    EraseEditFrame();
    if (m.narrowed) ToggleEditFrame(0);
    m.frameExists = false;
  }
  FrameCellAt(p, &m.frameStartX, &m.frameStartY);
  m.frameEndX = m.frameStartX;
  m.frameEndY = m.frameStartY;
  m.dragging = true;
  DrawEditFrame(1);
}

void FrameMove(Point p) {
  MouseState& m = M();
  const DataSet& s = g_ed->Cur();
  EraseEditFrame();
  FrameCellAt(p, &m.frameEndX, &m.frameEndY);
  DrawEditFrame(1);
  DragStatus(s.activeLeft + m.frameStartX, s.activeTop + m.frameStartY, s.activeLeft + m.frameEndX,
             s.activeTop + m.frameEndY);
}

void FrameUp(Point p) {
  MouseState& m = M();
  const DataSet& s = g_ed->Cur();
  EraseEditFrame();
  FrameCellAt(p, &m.frameEndX, &m.frameEndY);
  Rect f = DragFrame();
  // Clamped to the element or picture it was drawn on.
  int32_t w = Max32(1, Min32(DrawnWidth(s), kMaxPictureWidth));
  int32_t h = Max32(1, Min32(DrawnHeight(s), kMaxPictureHeight));
  auto clamp = [](int32_t v, int32_t hi) { return v < 0 ? 0 : v > hi ? hi : v; };
  m.frame = Rect{clamp(f.left, w - 1), clamp(f.top, h - 1), clamp(f.right, w - 1), clamp(f.bottom, h - 1)};
  m.frameExists = true;
  m.dragging = false;
  if (g_ed->pixelGridGap == 0) Svc().windows->InvalidateWorkSheet(false);
  DrawEditFrame(1);
}

// ---- Column and row tools ----------------------------------------------

uint32_t* Column(DataSet& s, int32_t x) {
  WidenCellColumns(s, static_cast<int64_t>(x) + 1);
  return s.cells + static_cast<size_t>(x) * kColumnStride;
}

bool ColumnsDiffer(DataSet& s, const Rect& a, int32_t x0, int32_t x1) {
  return std::memcmp(Column(s, x0) + a.top, Column(s, x1) + a.top,
                     static_cast<size_t>(a.Height()) * sizeof(uint32_t)) != 0;
}

void CopyColumn(DataSet& s, const Rect& a, int32_t from, int32_t to) {
  std::memmove(Column(s, to) + a.top, Column(s, from) + a.top, static_cast<size_t>(a.Height()) * sizeof(uint32_t));
}

bool RowsDiffer(DataSet& s, const Rect& a, int32_t y0, int32_t y1) {
  for (int32_t x = a.left; x < a.right; ++x) {
    if (Column(s, x)[y0] != Column(s, x)[y1]) return true;
  }
  return false;
}

// Inserts at column boundary b: the cells right of it move one column on, the
// last column drops out, column b keeps its cells.
bool InsertColumn(DataSet& s, const Rect& a, int32_t b) {
  if (b < a.left || b >= a.right) return false;
  bool changes = false;
  for (int32_t x = b + 1; x < a.right && !changes; ++x) changes = ColumnsDiffer(s, a, x - 1, x);
  if (!changes) return false;
  PushUndo();
  for (int32_t x = a.right - 1; x > b; --x) CopyColumn(s, a, x - 1, x);
  return true;
}

// Deletes column d: the cells right of it move one column back, the last
// column keeps its cells.
bool DeleteColumn(DataSet& s, const Rect& a, int32_t d) {
  if (d < a.left || d >= a.right) return false;
  bool changes = false;
  for (int32_t x = d; x + 1 < a.right && !changes; ++x) changes = ColumnsDiffer(s, a, x, x + 1);
  if (!changes) return false;
  PushUndo();
  for (int32_t x = d; x + 1 < a.right; ++x) CopyColumn(s, a, x + 1, x);
  return true;
}

bool InsertRow(DataSet& s, const Rect& a, int32_t b) {
  if (b < a.top || b >= a.bottom) return false;
  bool changes = false;
  for (int32_t y = b + 1; y < a.bottom && !changes; ++y) changes = RowsDiffer(s, a, y - 1, y);
  if (!changes) return false;
  PushUndo();
  size_t n = static_cast<size_t>(a.bottom - b - 1);
  for (int32_t x = a.left; x < a.right; ++x) std::memmove(Column(s, x) + b + 1, Column(s, x) + b, n * sizeof(uint32_t));
  return true;
}

bool DeleteRow(DataSet& s, const Rect& a, int32_t d) {
  if (d < a.top || d >= a.bottom) return false;
  bool changes = false;
  for (int32_t y = d; y + 1 < a.bottom && !changes; ++y) changes = RowsDiffer(s, a, y, y + 1);
  if (!changes) return false;
  PushUndo();
  size_t n = static_cast<size_t>(a.bottom - d - 1);
  for (int32_t x = a.left; x < a.right; ++x) std::memmove(Column(s, x) + d, Column(s, x) + d + 1, n * sizeof(uint32_t));
  return true;
}

void ColumnRowTool(Point p, int32_t cx, int32_t cy) {
  DataSet& s = g_ed->Cur();
  Rect area = ActiveArea(s);
  if (s.viewMode == kShowGroup) {
    // Only inside the clicked element.
    int32_t n = ElementAt(s, cx, cy);
    if (n < 0) return;
    int32_t x0, y0;
    ElementOrigin(s, n, &x0, &y0);
    int32_t w = s.variableElementSizes ? s.elementWidths[n] : s.elementWidth;
    int32_t h = s.variableElementSizes ? s.elementHeights[n] : s.elementHeight;
    area = Intersect(area, Rect{x0, y0, x0 + w, y0 + h});
  }
  area = ClipToStore(area);
  int32_t cw = SheetCellWidth(s), ch = SheetCellHeight(s);
  // Insertions go at the nearest cell boundary.
  int32_t bx = PictureColumn(s, FloorDiv(static_cast<int64_t>(p.x) + cw / 2, cw));
  int32_t by = PictureRow(s, FloorDiv(static_cast<int64_t>(p.y) - g_ed->workSheetTop + ch / 2, ch));
  bool changed = false;
  switch (s.currentTool) {
    case kToolInsertColumn: changed = InsertColumn(s, area, bx); break;
    case kToolInsertRow: changed = InsertRow(s, area, by); break;
    case kToolDeleteColumn: changed = DeleteColumn(s, area, cx); break;
    case kToolDeleteRow: changed = DeleteRow(s, area, cy); break;
    default: break;
  }
  if (!changed) return;
  Svc().windows->InvalidateWorkSheet(false);
  Svc().windows->Invalidate(WIN_PIXELVIEW, false);
}

// ---- Typing, cross-hair, code-page ranges --------------------------------

void TypingClick(int32_t cx, int32_t cy) {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  s.textCursorX = Min32(cx, s.activeRight - 1);
  s.textCursorY = Min32(cy, s.activeBottom - 1);
  IWindowOps& w = *Svc().windows;
  w.HideCaret();
  PlaceCaret();
  w.ShowCaret();
  if (static_cast<int64_t>(s.textCursorX) + st.cfg.fontSizeX > s.pictureWidth ||
      static_cast<int64_t>(s.textCursorY) + st.cfg.fontSizeY > s.pictureHeight)
    w.InvalidateWorkSheet(true);
}

void InvertCrossHair() {
  EditorState& st = *g_ed;
  const DataSet& s = st.Cur();
  ICanvas* dc = Svc().windows->ClientCanvas(WIN_MAIN);
  if (!dc) return;
  int32_t right = Fit32(static_cast<int64_t>(s.pictureWidth) * SheetCellWidth(s));
  int32_t bottom = Fit32(st.workSheetTop + static_cast<int64_t>(s.pictureHeight) * SheetCellHeight(s));
  dc->SelectPen(PEN_STOCK_WHITE, 0xFFFFFF);
  dc->SetXorMode(true);
  dc->Line(right, st.crosshairY, 0, st.crosshairY);
  dc->Line(st.crosshairX, st.workSheetTop, st.crosshairX, bottom);
  dc->SetXorMode(false);
  dc->ReleasePen();
  Svc().windows->ReleaseClientCanvas(dc);
}

void CrossHairClick(Point p) {
  EditorState& st = *g_ed;
  if (!st.crosshairActive) {
    st.crosshairX = p.x;
    st.crosshairY = p.y;
    st.crosshairActive = true;
    InvertCrossHair();
  } else {
    InvertCrossHair();
    st.crosshairActive = false;
  }
}

void RefreshCodePageView() {
  UpdateCodePageViewScrollBars();
  Svc().windows->Invalidate(WIN_CODEPAGE, true);
}

// First click: a new range starting at the clicked element (range 0 is
// replaced while the code page is the fresh one a whole font gave the set).
void RangeFirstClick(DataSet& s, const CodePageTable& t, int32_t n) {
  MouseState& m = M();
  bool replace = s.codePageModeFlag && *t.count >= 1;
  if (!replace && *t.count >= kMaxCodePageRanges) {
    Beep();
    return;
  }
  int32_t start = replace ? t.startChar[0] : t.startChar[Min32(Max32(*t.count, 0), kMaxCodePageRanges - 1)];
  if (!m.editIndexStart || !m.editIndexStart(&start)) return;
  if (start < 0) start = 0;
  PushUndo();
  int32_t count = *t.count;
  if (replace) {
    // Range 0 leaves the table and comes back sorted with its new start.
    for (int32_t i = 0; i + 1 < count; ++i) {
      t.symbolBase[i] = t.symbolBase[i + 1];
      t.startChar[i] = t.startChar[i + 1];
      t.endChar[i] = t.endChar[i + 1];
    }
    s.codePageModeFlag = false;
  } else {
    *t.count = ++count;
  }
  t.symbolBase[kCodePageScratch] = n;
  t.startChar[kCodePageScratch] = start;
  t.endChar[kCodePageScratch] = start;
  m.rangeIndex = InsertCodePageRange(count, t.symbolBase, t.startChar, t.endChar);
  m.rangeFirstElement = n;
  m.rangeStart = start;
  m.rangeState = kRangeSecondClick;
  s.useCodePage = 1;
  DisableDataSetMenus(g_ed->currentDataSet);
  EnableDataSetMenus(g_ed->currentDataSet);
  Svc().windows->SetClassCursor(WIN_MAIN, kCursorRangeEnd);
  RefreshCodePageView();
}

// Second click: the range ends at the clicked element.
void RangeSecondClick(DataSet& s, const CodePageTable& t, int32_t n) {
  MouseState& m = M();
  int32_t i = m.rangeIndex;
  bool same = i >= 0 && i < *t.count && t.symbolBase[i] == m.rangeFirstElement && t.startChar[i] == m.rangeStart;
  if (!same) {
    // The table changed under the tool (an undo, a file): start afresh.
    m.rangeState = kRangeFirstClick;
    Beep();
    return;
  }
  if (n < m.rangeFirstElement) {
    Beep();
    return;
  }
  int32_t end = m.rangeStart + (n - m.rangeFirstElement);
  if (t.endChar[i] != end) PushUndo();
  t.endChar[i] = end;
  m.rangeState = kRangeFirstClick;
  Svc().windows->SetClassCursor(WIN_MAIN, kCursorRangeStart);
  char buf[80];
  bool hex = s.useHexInCodePage != 0;
  std::snprintf(buf, sizeof buf, hex ? "Element 0x%02X  Char 0x%04X" : "Element %d  Char %d", n, end);
  SetStatus(buf);
  RefreshCodePageView();
}

void CodePageIndexClick(int32_t cx, int32_t cy) {
  DataSet& s = g_ed->Cur();
  int32_t n = s.viewMode == kShowGroup ? ElementAt(s, cx, cy) : -1;
  CodePageTable t = CurrentCodePage();
  if (n < 0 || !t.Valid()) {
    Beep();
    return;
  }
  if (M().rangeState == kRangeSecondClick) RangeSecondClick(s, t, n);
  else RangeFirstClick(s, t, n);
}

}  // namespace

// ---- Public ----------------------------------------------------------------

intptr_t MousePosition(int32_t x, int32_t y) {
  uintptr_t v = (static_cast<uintptr_t>(static_cast<uint16_t>(y)) << 16) | static_cast<uint16_t>(x);
  return static_cast<intptr_t>(v);
}

void ResetMouseTools() {
  EditIndexStartHook hook = M().editIndexStart;
  M() = MouseState();
  M().editIndexStart = hook;
}

void SetEditIndexStartHook(EditIndexStartHook hook) { M().editIndexStart = hook; }
void StartCodePageIndexTool() { M().rangeState = kRangeFirstClick; }
void SetPenPreviewSurface(ICanvas* surface) { M().preview = surface; }
void SetPenPaintingSuspended(bool suspended) { M().paintSuspended = suspended; }

int ShowCursorPosition(uintptr_t, intptr_t position, int32_t cellWidth, int32_t cellHeight) {
  EditorState& st = *g_ed;
  const DataSet& s = st.Cur();
  Point p = Unpack(position);
  int32_t cw = Max32(1, cellWidth), ch = Max32(1, cellHeight);
  int32_t x = PictureColumn(s, ScreenColumn(p.x, cw)), y = PictureRow(s, ScreenRow(p.y, ch));
  bool outside = p.x < 0 || p.x >= st.clientWidth || p.y < st.workSheetTop ||
                 static_cast<int64_t>(p.y) >= static_cast<int64_t>(st.workSheetTop) + st.workSheetHeight;
  outside = outside || x < s.activeLeft || x >= s.activeRight || y < s.activeTop || y >= s.activeBottom;
  if (!outside && s.viewMode == kShowGroup) {
    int32_t n = ElementAt(s, x, y);
    if (n < 0) {
      outside = true;
    } else if (s.variableElementSizes && s.mouseMode != kModeElementTools) {
      int32_t ex, ey;
      ElementOrigin(s, n, &ex, &ey);
      outside = x - ex >= s.elementWidths[n];
    }
  }
  if (!outside) return 1;
  if (!M().dragging) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d,%d  Outside Picture", x, y);
    SetStatus(buf);
  }
  return 0;
}

void HandleLButtonDown(uintptr_t keys, intptr_t lParam) {
  EditorState& st = *g_ed;
  MouseState& m = M();
  st.repeatHeld = false;
  Point p = Unpack(lParam);
  if (InStrip(p.y)) {
    ToolbarLeftDown(p);
    return;
  }
  if (!OnSheet(p.y)) return;
  DataSet& s = st.Cur();
  int32_t cw = SheetCellWidth(s), ch = SheetCellHeight(s);
  int32_t mode = s.mouseMode;
  bool onPicture = ShowCursorPosition(keys, lParam, cw, ch) != 0;
  if (!onPicture && mode != kModeShapes && mode != kModeEditFrame) return;
  int32_t col = ScreenColumn(p.x, cw), row = ScreenRow(p.y, ch);
  int32_t cx = PictureColumn(s, col), cy = PictureRow(s, row);
  m.stroke = true;
  switch (mode) {
    case kModePutPixel:
      m.snapshotPending = true;
      m.lastPenX = m.lastPenY = -1;
      DrawPixelWithPen(cx, cy);
      return;
    case kModeColumnRow: ColumnRowTool(p, cx, cy); return;
    case kModeShapes:
      if (s.currentTool == kToolNoShapeDrag) return;
      EraseBand();
      m.dragging = true;
      m.startCol = m.endCol = col;
      m.startRow = m.endRow = row;
      ShowBand();
      return;
    case kModeTyping: TypingClick(cx, cy); return;
    case kModeEditFrame: FrameDown(p); return;
    case kModeFloodFill: FloodFill(cx, cy); return;
    case kModeElementTools: ElementToolLButtonDown(cx, cy); return;
    case kModeCodePageIndexes: CodePageIndexClick(cx, cy); return;
    case kModeCrossHair: CrossHairClick(p); return;
    default: return;
  }
}

void HandleMouseMove(uintptr_t keys, intptr_t lParam) {
  EditorState& st = *g_ed;
  MouseState& m = M();
  DataSet& s = st.Cur();
  Point p = Unpack(lParam);
  int32_t cw = SheetCellWidth(s), ch = SheetCellHeight(s);
  bool onPicture = ShowCursorPosition(keys, lParam, cw, ch) != 0;
  if (!onPicture && !m.dragging) return;
  if (m.stroke && !(keys & MKEY_LBUTTON)) {
    // The button went up where this window did not see it.
    EraseBand();
    m.dragging = m.stroke = false;
    m.snapshotPending = false;
    Svc().windows->InvalidateWorkSheet(false);
  }
  int32_t col = ScreenColumn(p.x, cw), row = ScreenRow(p.y, ch);
  int32_t cx = PictureColumn(s, col), cy = PictureRow(s, row);
  if (onPicture) {
    char buf[200];
    CellStatus(s, cx, cy, buf, sizeof buf);
    st.statusText = buf;
  } else {
    st.statusText = "Outside picture! This can't happen, please contact Technical Support";
  }
  if (s.mouseMode == kModePutPixel && m.stroke && onPicture) DrawPixelWithPen(cx, cy);
  if (s.mouseMode == kModeEditFrame && m.dragging) FrameMove(p);
  if (s.mouseMode == kModeShapes && m.dragging) {
    EraseBand();
    m.endCol = col;
    m.endRow = row;
    ShowBand();
    DragStatus(PictureColumn(s, m.startCol), PictureRow(s, m.startRow), cx, cy);
  }
  if (onPicture || m.dragging) ShowStatus(0);
}

void HandleLButtonUp(uintptr_t keys, intptr_t lParam) {
  EditorState& st = *g_ed;
  MouseState& m = M();
  st.repeatHeld = false;
  ReleaseButton();
  Point p = Unpack(lParam);
  if (!m.dragging && !OnSheet(p.y)) {
    m.stroke = false;
    m.snapshotPending = false;
    return;
  }
  DataSet& s = st.Cur();
  int32_t cw = SheetCellWidth(s), ch = SheetCellHeight(s);
  ShowCursorPosition(keys, lParam, cw, ch);  // the status of the release point
  m.stroke = false;
  if (m.dragging && s.mouseMode == kModeShapes) {
    m.endCol = ScreenColumn(p.x, cw);
    m.endRow = ScreenRow(p.y, ch);
    FinishShape();
  } else if (m.dragging && s.mouseMode == kModeEditFrame) {
    FrameUp(p);
  }
  EraseBand();
  m.dragging = false;
  m.snapshotPending = false;
}

void HandleRButtonDown(uintptr_t keys, intptr_t lParam) {
  EditorState& st = *g_ed;
  st.repeatHeld = false;
  Point p = Unpack(lParam);
  if (InStrip(p.y)) {
    PressButton(p);
    return;
  }
  if (!OnSheet(p.y)) return;
  DataSet& s = st.Cur();
  int32_t cw = SheetCellWidth(s), ch = SheetCellHeight(s);
  int32_t cx = PictureColumn(s, ScreenColumn(p.x, cw)), cy = PictureRow(s, ScreenRow(p.y, ch));
  IWindowOps& w = *Svc().windows;
  if (!(keys & MKEY_CONTROL)) {
    if (s.viewMode == kShowGroup || s.viewMode == kShowGroupAsIcon) {
      bool onPicture = cx >= 0 && cy >= 0 && cx < s.pictureWidth && cy < s.pictureHeight;
      int32_t n = onPicture ? ElementAt(s, cx, cy) : -1;
      if (n < 0) {
        Beep();
      } else {
        s.currentElement = n;
        int32_t countX = Max32(1, s.elementCountX);
        s.currentElementColumn = n % countX;
        s.currentElementRow = n / countX;
        char buf[40];
        std::snprintf(buf, sizeof buf, "0x%02X  %d", n, n);
        st.statusText = buf;
        w.PostCommand(kCmdShowElement);
      }
    } else if (s.viewMode == kShowElement) {
      w.PostCommand(kCmdShowGroup);
    } else {
      Beep();
    }
    ShowStatus(0);
    return;
  }
  // Ctrl: the cell's colour becomes the drawing colour.
  uint32_t* cell = ShowCursorPosition(keys, lParam, cw, ch) ? CellPtr(st, st.currentDataSet, cx, cy) : nullptr;
  if (!cell) {
    Beep();
  } else if (s.colorMode != 10666) {
    w.PostCommand(*cell == 1 ? kCmdPenBlack : kCmdPenWhite);
  } else if (s.colorKind == 10668) {
    if (*cell < static_cast<uint32_t>(kMaxPaletteEntries)) s.toolColorIndex = static_cast<int32_t>(*cell);
    else Beep();
    w.Invalidate(WIN_PALETTE, true);
  } else {
    s.rgbToolColor = *cell & 0xFFFFFF;
    w.Invalidate(WIN_PALETTE, true);
  }
  ShowStatus(0);
}

void HandleRButtonUp(uintptr_t, intptr_t) {
  g_ed->repeatHeld = false;
  ReleaseButton();
}

void DrawPixelWithPen(int32_t x, int32_t y) {
  MouseState& m = M();
  DataSet& s = g_ed->Cur();
  if (s.mouseMode == kModePutPixel && x == m.lastPenX && y == m.lastPenY) return;
  m.lastPenX = x;
  m.lastPenY = y;
  if (PenPreview(x, y)) return;
  uint32_t* cell = CellPtr(*g_ed, g_ed->currentDataSet, x, y);
  uint32_t value;
  if (!cell || !PenValue(s, *cell, &value)) return;
  WriteCell(cell, value);
  PaintPenCell(x, y);
}

void DrawPixelWithInversePen(int32_t x, int32_t y) {
  if (PenPreview(x, y)) return;
  DataSet& s = g_ed->Cur();
  uint32_t* cell = CellPtr(*g_ed, g_ed->currentDataSet, x, y);
  uint32_t value;
  if (!cell || !InversePenValue(s, *cell, &value)) return;
  WriteCell(cell, value);
  PaintPenCell(x, y);
}

void DrawEditFrame(int active) {
  Rect f;
  if (!FrameToDraw(&f)) return;
  ICanvas* dc = Svc().windows->ClientCanvas(WIN_MAIN);
  if (!dc) return;
  DrawFrameOn(*dc, f, active ? kFrameActive : kFrameInactive);
  Svc().windows->ReleaseClientCanvas(dc);
}

void PaintEditFrame(ICanvas& dc) {
  const MouseState& m = M();
  if (g_ed->Cur().mouseMode != kModeEditFrame || !m.frameExists) return;
  DrawFrameOn(dc, m.frame, kFrameActive);
}

bool EditFrameExists() { return M().frameExists; }

bool GetEditFrame(Rect* cells) {
  if (!M().frameExists) return false;
  *cells = M().frame;
  return true;
}

void ClearEditFrame() {
  if (M().narrowed) ToggleEditFrame(0);
  M().frameExists = false;
}

void ToggleEditFrame(int narrow) {
  MouseState& m = M();
  DataSet& s = g_ed->Cur();
  if (!narrow) {
    if (!m.narrowed) return;
    s.activeLeft = m.savedLeft;
    s.activeTop = m.savedTop;
    s.activeRight = m.savedRight;
    s.activeBottom = m.savedBottom;
    m.narrowed = false;
    return;
  }
  if (s.mouseMode != kModeEditFrame || !m.frameExists || m.narrowed) return;
  m.savedLeft = s.activeLeft;
  m.savedTop = s.activeTop;
  m.savedRight = s.activeRight;
  m.savedBottom = s.activeBottom;
  // The frame on the element or picture it was drawn on, inside the picture.
  int64_t x0 = static_cast<int64_t>(s.activeLeft) + m.frame.left, y0 = static_cast<int64_t>(s.activeTop) + m.frame.top;
  int64_t x1 = static_cast<int64_t>(s.activeLeft) + m.frame.right + 1;
  int64_t y1 = static_cast<int64_t>(s.activeTop) + m.frame.bottom + 1;
  auto fit = [](int64_t v) { return static_cast<int32_t>(v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : v); };
  Rect r = Intersect(Intersect(Rect{fit(x0), fit(y0), fit(x1), fit(y1)}, ActiveArea(s)), PictureRect(s));
  s.activeLeft = r.left;
  s.activeTop = r.top;
  s.activeRight = r.right;
  s.activeBottom = r.bottom;
  m.narrowed = true;
}

void FloodFill(int32_t x, int32_t y) {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  IWindowOps& w = *Svc().windows;
  uint32_t* seed = CellPtr(st, st.currentDataSet, x, y);
  uint32_t value;
  if (!seed || !st.fillWork || !FillValue(s, *seed, &value)) return;
  w.WaitCursor(true);
  Rect area = ClipToStore(ActiveArea(s));
  int64_t changes = 0;
  int64_t cells = MarkFillRegion(s, area, x, y, value, st.fillWork, &changes);
  if (cells > 0 && changes > 0) {
    PushUndo();
    WriteFillRegion(s, area, value, st.fillWork);
    w.InvalidateWorkSheet(false);
    w.Invalidate(WIN_PIXELVIEW, false);
  }
  w.WaitCursor(false);
}

}  // namespace dw
