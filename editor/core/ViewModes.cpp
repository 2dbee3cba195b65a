#include "core/ViewModes.h"

#include <cmath>
#include <cstdio>

#include "core/Geometry.h"
#include "core/MenuState.h"
#include "core/MouseTools.h"
#include "core/Services.h"
#include "files/FileServices.h"
#include "views/ColorModel.h"
#include "views/StatusLine.h"

namespace dw {

namespace {

// ToolBox button states of the button protocol.
constexpr int kReleased = -1, kGreyed = -2, kEnabled = -3;

const ToolRow kTools[] = {
    {10079, 16, 100, 141},  // Put Pixel
    {10034, 32, 102, 110},  // insert column
    {10035, 33, 102, 111},  // insert row
    {10037, 34, 102, 108},  // delete column
    {10038, 35, 102, 109},  // delete row
    {10014, 17, 103, 138},  // hollow ellipse
    {10015, 25, 103, 139},  // solid ellipse
    {10016, 18, 103, 142},  // hollow rectangle
    {10017, 26, 103, 140},  // solid rectangle
    {10018, 24, 103, 143},  // line
    {10120, 11, 105, 556},  // edit frame
    {10282, 19, 106, 933},  // flood fill
    {10350, 40, 107, 958},  // insert empty element
    {10351, 41, 107, 957},  // insert copy of element
    {10352, 43, 107, kDeleteMethodCursor},  // delete element
    {10353, 69, 107, 959},  // clear element
    // Draw a line of symbols: the Font View carries its cursor, the work
    // sheet keeps the arrow.
    {10501, 42, 107, kArrowCursor},
    {10356, 48, 108, 968},  // code-page indexes by mouse
    {10910, kKeepButton, 112, 1938},
};

struct DeleteCursor {
  int32_t method, cursor;
};
const DeleteCursor kDeleteCursors[] = {{10503, 956}, {10504, 1512}, {10505, 1514}};

struct PenRow {
  int32_t pen, button;
};
const PenRow kPens[] = {{kPenBlack, 8}, {kPenToggle, 9}, {kPenWhite, 10}};

// Buttons of the element tools (40..43) and code-page tools (48..51), the
// twist-and-turn tools (44..47, 52..55) and the picture tools the frame tool
// greys (12..15, 20..23, 28..31, 36..39).
const int kElementButtons[] = {40, 41, 42, 43};
const int kCodePageButtons[] = {48, 49, 50, 51};
const int kTwistButtons[] = {44, 45, 46, 47, 52, 53, 54, 55};
const int kPictureButtons[] = {12, 13, 14, 15, 20, 21, 22, 23, 28, 29, 30, 31, 36, 37, 38, 39};
// The view buttons: 4 the icon views, 5 Show Element, 6 Show Group.
constexpr int kIconViewButton = 4, kElementViewButton = 5, kGroupViewButton = 6;

// The Font View's From/To selection waits for its From symbol.
constexpr int32_t kSymbolSelectFrom = 301;

// The largest Pixel View cell side: a far-off LCD shape must not make a
// cell wider than any screen.
constexpr int32_t kMaxViewCell = 4096;

int g_resendDepth = 0;

void Check(int id, bool on) { Svc().menu->Check(id, on); }
void Enable(int id, bool on) { Svc().menu->Enable(id, on); }
void Button(int b, int state) { Svc().toolbox->Button(b, state, false); }
void Press(int b) {
  if (b >= 0) Button(b, b);
}
void Release(int b) {
  if (b >= 0) Button(b, kReleased);
}
void Beep() { Svc().prompter->Beep(MBX_OK); }

bool IsMenuPixSize(int32_t c) { return c >= kPixSizeAuto && c <= kPixSizeMenuLast; }
bool IsMenuViewPix(int32_t c) { return c >= kViewPixFirst && c <= kViewPixMenuLast; }

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

int32_t& WorkSheetPixCommand(DataSet& s) {
  return s.viewMode == kShowElement ? s.mainElementPixSize : s.mainGroupPixSize;
}

int ViewButton(int32_t mode) {
  if (mode == kShowElement) return kElementViewButton;
  if (mode == kShowGroup) return kGroupViewButton;
  return kIconViewButton;
}

// The grid check follows the kind of view; the least cell size follows it.
void ApplyGridOfView(EditorState& st, int32_t mode) {
  st.cfg.showGrid = mode == kShowElement ? st.cfg.showElementGrid : st.cfg.showIconGrid;
  Check(10118, st.cfg.showGrid == 8);
  st.pixelGridGap = st.cfg.showGrid == 8 ? 1 : 0;
  st.minimumCellSize = st.pixelGridGap ? 2 : 1;
}

// Items and buttons that depend on the view mode alone.
void ApplyViewMarks(int32_t mode) {
  bool group = mode == kShowGroup;
  for (int id = 10350; id <= 10353; ++id) Enable(id, group);
  for (int b : kElementButtons) Button(b, group ? kEnabled : kGreyed);
  for (int id : {10356, 10361, 10355, 10673}) Enable(id, group);
  for (int b : kCodePageButtons) Button(b, group ? kEnabled : kGreyed);

  // The view buttons: released first, so that greying has the last word.
  bool single = mode == kShowSingleIcon;
  for (int b : {kIconViewButton, kElementViewButton, kGroupViewButton}) {
    if (b != ViewButton(mode)) Release(b);
  }
  Button(kElementViewButton, single ? kGreyed : kEnabled);
  Button(kGroupViewButton, single ? kGreyed : kEnabled);
  Press(ViewButton(mode));
  Enable(10124, !single);
  for (int id : {kShowElement, kShowGroup, kShowGroupAsIcon}) Enable(id, !single);
  Enable(kShowSingleIcon, single);
  bool turnable = single || mode == kShowGroupAsIcon;
  for (int b : kTwistButtons) Button(b, turnable ? kEnabled : kGreyed);
}

// Outside Show Single Icon the picture is exactly the element grid.
void FitPictureToElementGrid(DataSet& s) {
  int64_t countX = s.elementCountX < 1 ? 1 : s.elementCountX;
  int64_t count = s.elementCount < 1 ? 1 : s.elementCount;
  int64_t rows = (count + countX - 1) / countX;
  int64_t across = countX < count ? countX : count;
  int64_t w = static_cast<int64_t>(s.elementWidth) * across;
  int64_t h = static_cast<int64_t>(s.elementHeight) * rows;
  // Anything past the store is cut by the geometry, with its message.
  s.pictureWidth = static_cast<int32_t>(w > INT32_MAX ? INT32_MAX : w);
  s.pictureHeight = static_cast<int32_t>(h > INT32_MAX ? INT32_MAX : h);
}

// Leaving or entering Show Group swaps the two kept scroll positions.
void SwapScrollPositions(DataSet& s) {
  int32_t x = s.mainScrollPosX, y = s.mainScrollPosY;
  s.mainScrollPosX = s.otherScrollPosX;
  s.mainScrollPosY = s.otherScrollPosY;
  s.otherScrollPosX = x;
  s.otherScrollPosY = y;
}

bool IsElementOrCodePageTool(int32_t tool) { return (tool >= 10350 && tool <= 10353) || tool == 10356; }

// The warning when the symbols would be drawn in the background colour.
void WarnInvisibleSymbols(const DataSet& s) {
  const char* text = nullptr;
  if (s.colorMode != 10666) {
    if (s.penColor == kPenWhite) text = "Drawing White on White Background:\nCharacters will be invisible";
  } else if (s.colorKind == 10668) {
    if (s.toolColorIndex == s.backgroundColorIndex)
      text = "Drawing Tool and Background have same Index:\nCharacters will be invisible";
  } else if (s.rgbToolColor == s.rgbBackgroundColor) {
    text = "Drawing Tool and Background have same Color:\nCharacters will be invisible";
  }
  if (text) Svc().prompter->Ask(text, "Warning", MBX_OK | MBX_ICONEXCLAMATION);
}

void ShowWorkSheetCursor(const DataSet& s) {
  Svc().windows->SetClassCursor(WIN_MAIN, WorkSheetCursor(s));
  Svc().windows->SetClassCursor(WIN_FONTVIEW,
                                s.currentTool == kToolSymbolLine ? kSymbolLineFontViewCursor : kArrowCursor);
}

// The other set's tool button may still show pressed after a switch.
void ReleaseOtherSetsToolButton(const EditorState& st, const DataSet& s) {
  const DataSet& other = st.set[1 - (st.currentDataSet & 1)];
  if (other.capButton != s.capButton) Release(other.capButton);
}

// Leaving the frame tool gives back the picture tools and shows the frame
// as inactive.
void LeaveFrameTool(const EditorState& st) {
  for (int b : kPictureButtons) Button(b, kEnabled);
  if (EditFrameExists()) DrawEditFrame(0);
  if (st.cfg.showGrid == 0) Svc().windows->InvalidateWorkSheet(true);
}

}  // namespace

ResendScope::ResendScope() { ++g_resendDepth; }
ResendScope::~ResendScope() { --g_resendDepth; }
bool Resending() { return g_resendDepth > 0; }

const ToolRow* FindTool(int32_t capture) {
  for (const ToolRow& r : kTools) {
    if (r.capture == capture) return &r;
  }
  return nullptr;
}

int32_t DeleteMethodCursor(int32_t method) {
  for (const DeleteCursor& d : kDeleteCursors) {
    if (d.method == method) return d.cursor;
  }
  return kDeleteCursors[0].cursor;
}

int32_t ToolCursor(const ToolRow& row, int32_t deleteMethod) {
  return row.cursor == kDeleteMethodCursor ? DeleteMethodCursor(deleteMethod) : row.cursor;
}

int32_t PenButton(int32_t pen) {
  for (const PenRow& p : kPens) {
    if (p.pen == pen) return p.button;
  }
  return -1;
}

int32_t WorkSheetCursor(const DataSet& s) {
  if (s.mouseMode == kMouseTyping) return kTypingCursor;
  const ToolRow* row = FindTool(s.currentTool);
  return row ? ToolCursor(*row, g_ed->cfg.elementDeleteMethod) : kArrowCursor;
}

SizeStep StepWorkSheetPixelSize(int32_t current, int32_t id, int32_t autoCell, int32_t minimumCell) {
  if (IsMenuPixSize(id)) return SizeStep{id, false};
  int32_t least = kPixSizeAuto + Clamp(minimumCell, 1, kMaxWorkSheetCellPixels);
  // Auto (or a value no size stands for) starts from the size Auto chose.
  int32_t n = current;
  if (n <= kPixSizeAuto) n = kPixSizeAuto + Clamp(autoCell, 1, kMaxWorkSheetCellPixels);
  if (n > kPixSizeLast) n = kPixSizeLast;
  int32_t v;
  switch (id) {
    case kPixSizePlus: v = n + 1; break;
    case kPixSizeMinus: v = n - 1; break;
    case kPixSizeDouble: v = (n - kPixSizeAuto) * 2 + kPixSizeAuto; break;
    case kPixSizeHalf: v = (n - kPixSizeAuto) / 2 + kPixSizeAuto; break;
    default: return SizeStep{current, false};
  }
  if (v > kPixSizeLast) return SizeStep{current, true};
  if (v < least) return SizeStep{least, true};
  return SizeStep{v, false};
}

SizeStep StepPixelViewSize(int32_t current, int32_t id) {
  if (IsMenuViewPix(id)) return SizeStep{id, false};
  int32_t n = Clamp(current, kViewPixFirst, kViewPixLast);
  int32_t v;
  switch (id) {
    case kViewPixPlus: v = n + 1; break;
    case kViewPixMinus: v = n - 1; break;
    case kViewPixDouble: v = (n - kViewPixBase) * 2 + kViewPixBase; break;
    case kViewPixHalf: v = (n - kViewPixBase) / 2 + kViewPixBase; break;
    default: return SizeStep{current, false};
  }
  if (v < kViewPixFirst || v > kViewPixLast) return SizeStep{current, true};
  return SizeStep{v, false};
}

void PixelViewCells(int32_t command, double aspect, int32_t* width, int32_t* height) {
  int32_t size = Clamp(command, kViewPixFirst, kViewPixLast) - kViewPixBase;
  if (!(aspect > 0) || !std::isfinite(aspect)) aspect = 1.0;
  double w = size, h = size;
  if (aspect > 1) h = std::floor(size * aspect + 0.5);
  else w = std::floor(size / aspect + 0.5);
  *width = w > kMaxViewCell ? kMaxViewCell : (w < 1 ? 1 : static_cast<int32_t>(w));
  *height = h > kMaxViewCell ? kMaxViewCell : (h < 1 ? 1 : static_cast<int32_t>(h));
}

int32_t& PixelViewCommand(int set) {
  GlobalSettings& c = g_ed->cfg;
  return (set & 1) ? c.swapViewPixSize : c.pixelViewPixSize;
}

void ApplyPixelViewCells() {
  EditorState& st = *g_ed;
  double aspect = LcdAspectRatio(st.cfg);
  for (int s = 0; s < 2; ++s) {
    PixelViewCells(PixelViewCommand(s), aspect, &st.set[s].viewCellWidth, &st.set[s].viewCellHeight);
  }
}

void SetViewMode(int32_t id) {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  IWindowOps& w = *Svc().windows;
  if (Resending()) {
    Check(s.viewMode, true);
    ApplyViewMarks(s.viewMode);
    ApplyGridOfView(st, s.viewMode);
    w.Invalidate(WIN_FONTVIEW, false);
    return;
  }
  int32_t old = s.viewMode;
  // 1. A frame belongs to the view it was drawn in.
  if (s.mouseMode == kMouseEditFrame && EditFrameExists()) {
    DrawEditFrame(0);
    ClearEditFrame();
  }
  Check(old, false);
  // 2. The element views leave their highlight and name the element.
  if (old == kShowElement || old == kShowGroup) {
    st.activeElementInverted = false;
    w.Invalidate(WIN_PIXELVIEW, true);
    char text[40];
    std::snprintf(text, sizeof text, "0x%02X  %d", static_cast<unsigned>(s.currentElement),
                  static_cast<int>(s.currentElement));
    st.statusText = text;
  }
  // 3. to 6.
  if (id != old) {
    w.Invalidate(WIN_MAIN, true);
    w.Invalidate(WIN_TOOLBOX, true);
  }
  if ((old == kShowGroup) != (id == kShowGroup)) SwapScrollPositions(s);
  if (id != kShowGroup && IsElementOrCodePageTool(s.currentTool)) w.PostCommand(kToolPutPixel);
  s.scrollOffsetX = -s.mainScrollPosX;
  s.scrollOffsetY = -s.mainScrollPosY;
  s.viewMode = id;
  Check(id, true);
  // 7. and 8. The grid and its least cell size come first, so that Auto
  // fits the cells by the new view's rule.
  if (id != kShowSingleIcon) FitPictureToElementGrid(s);
  ApplyGridOfView(st, id);
  UpdateWorkSheetGeometry();
  UpdateMainScrollBars();
  // 9. to 12.
  ApplyViewMarks(id);
  // What also needs the code page (Use CodePage Indexes, its tools) follows
  // the new view as a set switch would set it.
  DisableDataSetMenus(st.currentDataSet);
  EnableDataSetMenus(st.currentDataSet);
  s.viewButton = ViewButton(id);
  BuildFileDescriptor();
  ShowStatus(1);
  w.Invalidate(WIN_FONTVIEW, false);
}

void SetWorkSheetPixelSize(int32_t id) {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  int32_t& command = WorkSheetPixCommand(s);
  if (Resending()) {
    if (IsMenuPixSize(command)) Check(command, true);
    return;
  }
  bool element = s.viewMode == kShowElement;
  int32_t cellW = element ? s.elementCellWidth : s.mainCellWidth;
  int32_t cellH = element ? s.elementCellHeight : s.mainCellHeight;
  SizeStep step = StepWorkSheetPixelSize(command, id, cellW < cellH ? cellW : cellH, st.minimumCellSize);
  if (step.beep) Beep();
  if (IsMenuPixSize(command)) Check(command, false);
  command = step.value;
  if (IsMenuPixSize(command)) Check(command, true);
  UpdateWorkSheetGeometry();
  UpdateMainScrollBars();
  Svc().windows->InvalidateWorkSheet(true);
}

void SetPixelViewSize(int32_t id) {
  EditorState& st = *g_ed;
  int32_t& command = PixelViewCommand(st.currentDataSet);
  SizeStep step = StepPixelViewSize(command, id);
  if (step.beep) Beep();
  if (IsMenuViewPix(command)) Check(command, false);
  command = step.value;
  DataSet& s = st.Cur();
  PixelViewCells(command, LcdAspectRatio(st.cfg), &s.viewCellWidth, &s.viewCellHeight);
  if (IsMenuViewPix(command)) Check(command, true);
  UpdatePixelViewScrollBars();
  Svc().windows->Invalidate(WIN_PIXELVIEW, true);
}

void ToggleGrid() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  bool element = s.viewMode == kShowElement;
  int32_t on = st.cfg.showGrid == 8 ? 0 : 8;
  // The grid belongs to the kind of view, so a switch or Undo keeps it.
  (element ? st.cfg.showElementGrid : st.cfg.showIconGrid) = on;
  ApplyGridOfView(st, s.viewMode);
  if (on) {
    // One-pixel cells cannot show a grid: they become two pixels.
    for (DataSet& d : st.set) {
      int32_t& command = element ? d.mainElementPixSize : d.mainGroupPixSize;
      if (command != kPixSizeAuto + 1) continue;
      if (&d == &s) Check(command, false);
      command = kPixSizeAuto + 2;
      if (&d == &s) Check(command, true);
    }
  }
  UpdateWorkSheetGeometry();
  UpdateMainScrollBars();
  Svc().windows->InvalidateWorkSheet(true);
}

void RestoreToolMarks() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  Check(s.currentTool, true);
  ReleaseOtherSetsToolButton(st, s);
  Press(s.capButton);
  ShowWorkSheetCursor(s);
}

void SelectTool(int32_t id) {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  IWindowOps& w = *Svc().windows;
  if (Resending()) {
    RestoreToolMarks();
    return;
  }
  // Refusals first: nothing is unchecked or released for them.
  if (id == kToolCodePageByMouse && s.currentTool == kCodePageFromText) {
    Svc().prompter->Ask("Cannot make CodePage Indexes in two different ways at the same time", "CodePage Error",
                        MBX_OK | MBX_ICONEXCLAMATION);
    return;
  }
  // 1. and 2.
  Check(s.currentTool, false);
  Release(s.capButton);
  int32_t oldTool = s.currentTool, oldMode = s.mouseMode;
  if ((id == kToolCodePageByMouse || id == kToolSymbolLine) && s.currentTool == id) {
    // The toggling tools give back the tool they were chosen from.
    s.capButton = s.previousButton;
    s.mouseMode = s.previousMouseMode;
    s.currentTool = s.previousTool;
  } else {
    s.previousButton = s.capButton;
    s.previousMouseMode = s.mouseMode;
    s.previousTool = s.currentTool;
    s.currentTool = id;
  }
  // 3.
  Check(s.currentTool, true);
  if (oldMode == kMouseTyping) {
    w.HideCaret();
    w.DestroyCaret();
  }
  const ToolRow* row = FindTool(s.currentTool);
  if (row) {
    if (row->button != kKeepButton) s.capButton = row->button;
    s.mouseMode = row->mouseMode;
  }
  if (oldMode == kMouseEditFrame && s.mouseMode != kMouseEditFrame) LeaveFrameTool(st);
  // 4.
  if (s.currentTool == kToolCodePageByMouse && oldTool != kToolCodePageByMouse) {
    StartCodePageIndexTool();
    Enable(10360, true);
    Enable(10659, true);
  }
  if ((s.currentTool == kToolSymbolLine) != (oldTool == kToolSymbolLine)) {
    // Entering or leaving the symbol line starts its From/To selection afresh.
    st.symbolSelectState = kSymbolSelectFrom;
  }
  if (s.currentTool == kToolSymbolLine && oldTool != kToolSymbolLine) WarnInvisibleSymbols(s);
  if (!row && s.mouseMode == kMouseTyping) {
    // A typing tool comes back through its font command, which makes the caret.
    w.PostCommand(s.currentTool);
  }
  // 5.
  ShowWorkSheetCursor(s);
  Press(s.capButton);
}

void SelectPen(int32_t id) {
  DataSet& s = g_ed->Cur();
  if (Resending()) {
    for (const PenRow& p : kPens) {
      if (p.pen != s.penColor) Release(p.button);
    }
    Check(s.penColor, true);
    Press(PenButton(s.penColor));
    return;
  }
  Release(PenButton(s.penColor));
  Check(s.penColor, false);
  s.penColor = id;
  Check(id, true);
  if (id == kPenBlack || id == kPenWhite) {
    uint32_t colour = id == kPenBlack ? 0x000000u : 0xFFFFFFu;
    s.rgbToolColor = QuantizeColor(colour);
    s.toolColorIndex = FindNearestPaletteIndex(colour);
  }
  Press(PenButton(id));
  Svc().windows->Invalidate(WIN_PALETTE, true);
  ShowStatus(1);
}

}  // namespace dw
