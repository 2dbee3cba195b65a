#include "core/Paste.h"

#include <algorithm>
#include <cstdio>

#include "core/ClipSize.h"
#include "core/Elements.h"
#include "core/Geometry.h"
#include "core/MouseTools.h"
#include "core/Paint.h"
#include "core/Undo.h"
#include "views/StatusLine.h"

namespace dw {

const char kClipboardHoldsText[] = "Unsupported ClipBoard format.\nClipboard contains text";
const char kClipboardUnsupported[] = "Unsupported ClipBoard format.\nPlease run ClipBook Viewer to check.";

namespace {

constexpr int32_t kShowElement = 10096;
constexpr int32_t kShowGroup = 10099;
constexpr int32_t kEditFrameMode = 105;
constexpr int kPasteToolbarButton = 6;
// Progress texts are refreshed every few columns only.
constexpr int32_t kProgressColumns = 7;
constexpr uint32_t kCopyZeroColor = 0xFFFFFF;  // white background
constexpr uint32_t kCopySetColor = 0x000000;

void Status(const char* text) {
  g_ed->statusText = text;
  ShowStatus(0);
}

int32_t Saturate(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

int32_t Min3(int32_t a, int32_t b, int32_t c) { return std::min(a, std::min(b, c)); }

// The current element's own size, or the common one.
void ElementSize(const DataSet& s, int32_t* width, int32_t* height) {
  int32_t x0, y0, x1, y1;
  ElementRect(s, s.currentElement, &x0, &y0, &x1, &y1);
  *width = Saturate(static_cast<int64_t>(x1) - x0);
  *height = Saturate(static_cast<int64_t>(y1) - y0);
}

void ReleasePasteButton() {
  if (g_ed->pressedToolbarButton == kPasteToolbarButton) g_ed->pressedToolbarButton = -1;
}

// The active area of the current set for one operation; in Show Group view
// outside the frame tool it is the current element, and the picture's own
// area comes back afterwards.
class ElementArea {
 public:
  ElementArea() : s_(g_ed->Cur()) {
    saved_[0] = s_.activeLeft;
    saved_[1] = s_.activeTop;
    saved_[2] = s_.activeRight;
    saved_[3] = s_.activeBottom;
    if (s_.viewMode == kShowGroup && !InEditFrameMode(s_)) {
      ElementRect(s_, s_.currentElement, &s_.activeLeft, &s_.activeTop, &s_.activeRight, &s_.activeBottom);
    }
  }
  ~ElementArea() {
    s_.activeLeft = saved_[0];
    s_.activeTop = saved_[1];
    s_.activeRight = saved_[2];
    s_.activeBottom = saved_[3];
  }
  ElementArea(const ElementArea&) = delete;
  ElementArea& operator=(const ElementArea&) = delete;

 private:
  DataSet& s_;
  int32_t saved_[4];
};

// The active area, cut to the store: [x0, x1) x [y0, y1).
void ActiveAreaInStore(const DataSet& s, int32_t* x0, int32_t* y0, int32_t* x1, int32_t* y1) {
  *x0 = std::max(s.activeLeft, 0);
  *y0 = std::max(s.activeTop, 0);
  *x1 = std::min(s.activeRight, kMaxPictureWidth);
  *y1 = std::min(s.activeBottom, kMaxPictureHeight);
}

// A canvas that keeps the pixels it is given in a clipboard bitmap.
class BitmapCanvas : public ICanvas {
 public:
  explicit BitmapCanvas(ClipBitmap* bitmap) : b_(bitmap) {}
  void SetPixel(int32_t x, int32_t y, uint32_t color) override {
    if (x < 0 || y < 0 || x >= b_->width || y >= b_->height) return;
    b_->pixels[static_cast<size_t>(y) * b_->width + x] = color & 0xFFFFFF;
  }
  void PatBlt(int32_t, int32_t, int32_t, int32_t, uint32_t) override {}
  void FillSolid(int32_t, int32_t, int32_t, int32_t, uint32_t) override {}
  void SelectPen(int, uint32_t) override {}
  void ReleasePen() override {}
  void Line(int32_t, int32_t, int32_t, int32_t) override {}
  void DrawIcon(int32_t, int32_t, int) override {}
  void SetXorMode(bool) override {}

 private:
  ClipBitmap* b_;
};

}  // namespace

PasteState& CurrentPaste() {
  static PasteState state;
  return state;
}

void ResetPasteState() { CurrentPaste() = PasteState(); }

Interpolation PasteInterpolation() {
  Interpolation how;
  how.on = g_ed->cfg.interpolatePaste != 0;
  how.pixels = g_ed->cfg.interpolateNumberOfPixels;
  how.direction = CurrentPaste().direction;
  return how;
}

bool IsElementView(const DataSet& s) { return s.viewMode == kShowElement || s.viewMode == kShowGroup; }
// The frame tool counts only with a frame drawn: without one the paste
// goes where the view puts it.
bool InEditFrameMode(const DataSet& s) { return s.mouseMode == kEditFrameMode && EditFrameExists(); }

bool IsUsableClipBitmap(const ClipBitmap& b) {
  return b.width > 0 && b.height > 0 &&
         b.pixels.size() >= static_cast<size_t>(b.width) * static_cast<size_t>(b.height);
}

void NarrowToEditFrame(bool narrow) {
  if (InEditFrameMode(g_ed->Cur())) ToggleEditFrame(narrow ? 1 : 0);
}

void PasteOrigin(int32_t* x, int32_t* y) {
  const DataSet& s = g_ed->Cur();
  int64_t ox = s.activeLeft, oy = s.activeTop;
  if (s.viewMode == kShowGroup && !InEditFrameMode(s)) {
    int32_t countX = std::max(s.elementCountX, 1);
    ox += static_cast<int64_t>(s.currentElement % countX) * s.elementWidth;
    oy += static_cast<int64_t>(s.currentElement / countX) * s.elementHeight;
  }
  *x = Saturate(ox);
  *y = Saturate(oy);
}

void ComputePasteSize(int32_t requestedWidth, int32_t requestedHeight) {
  DataSet& s = g_ed->Cur();
  if (InEditFrameMode(s)) return;
  PasteState& p = CurrentPaste();
  bool element = IsElementView(s);
  int32_t ew = s.elementWidth, eh = s.elementHeight;
  int32_t w = requestedWidth, h = requestedHeight;
  switch (g_ed->cfg.clipAction) {
    case kPasteCopyPixel:
      w = element ? Min3(requestedWidth, ew, p.clipWidth) : std::min(requestedWidth, p.clipWidth);
      h = element ? Min3(requestedHeight, eh, p.clipHeight) : std::min(requestedHeight, p.clipHeight);
      break;
    case kPasteFitPicture:
      w = element ? std::min(ew, p.clipWidth) : p.clipWidth;
      h = element ? std::min(eh, p.clipHeight) : p.clipHeight;
      if (!element) {
        s.pictureWidth = p.clipWidth;
        s.pictureHeight = p.clipHeight;
      }
      break;
    default:  // fit the bitmap to the paste size
      if (element) {
        w = std::min(requestedWidth, ew);
        h = std::min(requestedHeight, eh);
      }
      break;
  }
  if (element && s.variableElementSizes) ElementSize(s, &w, &h);
  p.width = std::max(w, 0);
  p.height = std::max(h, 0);
}

void PasteClipboardBitmap(const ClipBitmap& bitmap) {
  EditorState& st = *g_ed;
  PasteState& p = CurrentPaste();
  if (p.busy || !IsUsableClipBitmap(bitmap)) return;
  p.busy = true;
  IWindowOps& w = *Svc().windows;
  w.WaitCursor(true);
  p.clipWidth = bitmap.width;
  p.clipHeight = bitmap.height;

  // The work picture: the paste size when the bitmap is fitted to it, else
  // the bitmap's own size (copied unchanged or interpolated in place).
  Interpolation how = PasteInterpolation();
  int32_t workWidth = bitmap.width, workHeight = bitmap.height;
  if (st.cfg.clipAction == kPasteFitClipboard) {
    workWidth = p.width;
    workHeight = p.height;
  }
  if (workWidth != bitmap.width || workHeight != bitmap.height) {
    Status("Converting Picture to New Size and Brightness");
  } else if (how.on) {
    Status("Interpolating Picture");
  }

  NarrowToEditFrame(true);
  int32_t ox, oy;
  PasteOrigin(&ox, &oy);
  Status("Moving Picture to Main Window");
  // Only the part of the paste that lands inside the store is worked out.
  int64_t columns = std::min(p.width, workWidth), rows = std::min(p.height, workHeight);
  int64_t xFrom = std::max<int64_t>(0, -static_cast<int64_t>(ox));
  int64_t yFrom = std::max<int64_t>(0, -static_cast<int64_t>(oy));
  int64_t xTo = std::min<int64_t>(columns, static_cast<int64_t>(kMaxPictureWidth) - ox);
  int64_t yTo = std::min<int64_t>(rows, static_cast<int64_t>(kMaxPictureHeight) - oy);
  PictureResampler resampler;
  if (xFrom < xTo && yFrom < yTo &&
      resampler.Init(workWidth, workHeight, bitmap.width, bitmap.height, how, static_cast<int32_t>(xTo),
                     static_cast<int32_t>(yTo))) {
    ColorMatcher match(st.Cur(), st.cfg.mGray, st.paletteColumns * st.paletteRows);
    char text[64];
    for (int32_t x = static_cast<int32_t>(xFrom); x < xTo; ++x) {
      if (x % kProgressColumns == 0) {
        std::snprintf(text, sizeof text, "Matching Colors %d / %d", static_cast<int>(x), static_cast<int>(p.width));
        Status(text);
      }
      // One column of the store, checked at both ends.
      uint32_t* first = CellPtr(st, st.currentDataSet, ox + x, static_cast<int32_t>(oy + yFrom));
      uint32_t* last = CellPtr(st, st.currentDataSet, ox + x, static_cast<int32_t>(oy + yTo - 1));
      if (!first || !last) continue;
      for (int32_t y = static_cast<int32_t>(yFrom); y < yTo; ++y)
        first[y - yFrom] = match.Cell(resampler.Pixel(bitmap.pixels.data(), x, y));
    }
  }

  NarrowToEditFrame(false);
  UpdateWorkSheetGeometry();
  w.Invalidate(WIN_PIXELVIEW, false);
  w.InvalidateWorkSheet(false);
  Status("Conversion Finished");
  w.WaitCursor(false);
  p.busy = false;
}

void CommandCopy() {
  EditorState& st = *g_ed;
  IWindowOps& w = *Svc().windows;
  NarrowToEditFrame(true);
  w.WaitCursor(true);
  {
    ElementArea area;
    const DataSet& s = st.Cur();
    // One bitmap pixel a cell; an area reaching past the store is cut to it.
    int32_t width = std::min(Saturate(static_cast<int64_t>(s.activeRight) - s.activeLeft), kMaxPictureWidth);
    int32_t height = std::min(Saturate(static_cast<int64_t>(s.activeBottom) - s.activeTop), kMaxPictureHeight);
    if (width > 0 && height > 0) {
      ClipBitmap bitmap;
      bitmap.width = width;
      bitmap.height = height;
      bitmap.pixels.assign(static_cast<size_t>(width) * height, kCopyZeroColor);
      BitmapCanvas canvas(&bitmap);
      RenderActiveAreaBitmap(canvas, kCopyZeroColor, kCopySetColor);
      Svc().clipboard->WriteBitmap(bitmap);
      Svc().prompter->Beep(MBX_OK);
    }
  }
  w.WaitCursor(false);
  NarrowToEditFrame(false);
}

void CommandDelete() {
  EditorState& st = *g_ed;
  PushUndo();
  NarrowToEditFrame(true);
  {
    ElementArea area;
    const DataSet& s = st.Cur();
    uint32_t background = InitialCellValue(s);
    int32_t x0, y0, x1, y1;
    ActiveAreaInStore(s, &x0, &y0, &x1, &y1);
    for (int32_t x = x0; x < x1 && y0 < y1; ++x) {
      uint32_t* column = CellPtr(st, st.currentDataSet, x, y0);
      if (column) std::fill(column, column + (y1 - y0), background);
    }
  }
  NarrowToEditFrame(false);
  Svc().windows->InvalidateWorkSheet(true);
  Svc().windows->Invalidate(WIN_PIXELVIEW, true);
}

// With the dialog switched off the command pastes by itself: into the
// cleared current element in the element views, at the bitmap's own size
// when the picture is fitted to the bitmap.
static void PasteWithoutDialog(const ClipBitmap& bitmap) {
  DataSet& s = g_ed->Cur();
  PasteState& p = CurrentPaste();
  if (IsElementView(s) && !InEditFrameMode(s)) ClearElement(s.currentElement, s.elementCountX, false);
  if (g_ed->cfg.clipAction == kPasteFitPicture) {
    p.width = bitmap.width;
    p.height = bitmap.height;
  }
  ComputePasteSize(p.width, p.height);
  PasteClipboardBitmap(bitmap);
}

void CommandPaste() {
  EditorState& st = *g_ed;
  IWindowOps& w = *Svc().windows;
  PasteState& p = CurrentPaste();
  if (p.busy) return;
  // Every refusal is decided before the snapshot, so it leaves no trace.
  ClipBitmap bitmap;
  if (!Svc().clipboard->ReadBitmap(&bitmap) || !IsUsableClipBitmap(bitmap)) {
    const char* text = Svc().clipboard->HasText() ? kClipboardHoldsText : kClipboardUnsupported;
    Svc().prompter->Ask(text, kProgramTitle, MBX_OK | MBX_ICONHAND);
    ReleasePasteButton();
    w.Invalidate(WIN_MAIN, true);
    return;
  }
  w.WaitCursor(true);
  UndoMark before = MarkUndo();
  PushUndo();
  p.clipWidth = bitmap.width;
  p.clipHeight = bitmap.height;
  NarrowToEditFrame(true);
  const DataSet& s = st.Cur();
  p.width = Saturate(static_cast<int64_t>(s.activeRight) - s.activeLeft);
  p.height = Saturate(static_cast<int64_t>(s.activeBottom) - s.activeTop);
  NarrowToEditFrame(false);
  if (!st.cfg.disablePasteDlg) {
    // The dialog pastes by itself; its OK leaves the result as it is (also
    // when it switched the dialog off), its Cancel has put everything back.
    int kept = RunClipSizeDialog(&bitmap);
    Svc().menu->Check(kCmdDisablePasteDialog, st.cfg.disablePasteDlg != 0);
    if (!kept) DropUndoSince(before);
  } else {
    PasteWithoutDialog(bitmap);
  }
  ReleasePasteButton();
  w.WaitCursor(false);
  w.Invalidate(WIN_MAIN, true);
}

}  // namespace dw
