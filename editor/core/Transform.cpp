// Scroll, mirror, transpose and turn, and the Left-Set run. Grow, shrink,
// double and half live in TransformSize.cpp.
#include "core/Transform.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "core/CellExtent.h"
#include "core/EditorState.h"
#include "core/Geometry.h"
#include "core/MouseTools.h"
#include "core/Services.h"
#include "core/TransformCells.h"
#include "core/Twist.h"
#include "core/Undo.h"
#include "views/StatusLine.h"

namespace dw {
namespace {

enum : int {
  kScrollLeft = 10025,
  kScrollRight = 10026,
  kScrollUp = 10027,
  kScrollDown = 10028,
  kMirrorVertical = 10039,
  kMirrorHorizontal = 10042,
  kTurnClockwise = 10043,
  kTurnCounterClockwise = 10044,
  kTransposeBackslash = 10045,
  kTransposeSlash = 10048,
  kDouble = 10071,
  kHalf = 10072,
  kGrowDown = 10073,
  kShrinkLeft = 10076,
  kDoubleHorizontal = 10214,
  kDoubleBoth = 10216,
  kHalfBoth = 10217,
  kHalfVertical = 10219,
  kLeftSet = 10283,
};

void Beep() { Svc().prompter->Beep(MBX_OK); }

// The frame case: the frame tool with a frame drawn; the command then works
// inside the frame even in Show Group view.
bool FrameCase(const DataSet& s) { return s.mouseMode == kMouseModeEditFrame && EditFrameExists(); }
bool PerElementCase(const DataSet& s) { return s.viewMode == kViewShowGroup && !FrameCase(s); }

// Runs op on each element block (per-element case) or once on the active
// area; blocks are clipped to the store.
template <typename Op>
void ForEachArea(const DataSet& s, Op op) {
  if (!PerElementCase(s)) {
    op(ActiveAreaOf(s), -1);
    return;
  }
  int32_t count = std::min<int32_t>(s.elementCount, kMaxElements);
  for (int32_t n = 0; n < count; ++n) {
    CellArea block = ElementBlock(s, n);
    if (block.top >= kMaxPictureHeight) break;  // later rows lie further down
    CellArea clipped = Intersect(block, StoreArea());
    if (!clipped.Empty()) op(clipped, n);
  }
}

void ScrollArea(const CellArea& a, int id, int32_t steps) {
  int32_t w = a.Width(), h = a.Height();
  if (a.Empty()) return;
  switch (id) {
    case kScrollLeft: RotateColumnsLeft(a, steps % w); break;
    case kScrollRight: RotateColumnsLeft(a, w - steps % w); break;
    case kScrollUp: RotateRowsUp(a, steps % h); break;
    case kScrollDown: RotateRowsUp(a, h - steps % h); break;
    default: break;
  }
}

// One snapshot, then max(1, scroll count) circular steps; the count is used up.
void Scroll(int id) {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  int32_t steps = std::max<int32_t>(1, st.scrollRepeat);
  st.scrollRepeat = 0;
  PushUndo();
  ToggleEditFrame(1);
  ForEachArea(s, [&](const CellArea& a, int32_t) { ScrollArea(a, id, steps); });
  ToggleEditFrame(0);
  UpdateWorkSheetGeometry();
  RepaintAfterTransform(false);
}

// Left-Set shifts each element (or the area) left until its first column is
// mixed. Shifting one column at a time brings column k to the front after k
// passes, so each block is rotated once by its first mixed column. A block
// without one is shifted in every pass; the run then stops after as many
// passes as the element (or the area) is wide.
void LeftSet() {
  DataSet& s = g_ed->Cur();
  PushUndo();
  ToggleEditFrame(1);
  if (PerElementCase(s)) {
    int32_t passLimit = std::max<int32_t>(s.elementWidth, 1);
    ForEachArea(s, [&](const CellArea& a, int32_t) {
      int32_t k = FirstMixedColumn(a);
      RotateColumnsLeft(a, k == a.Width() ? passLimit : k);
    });
  } else {
    CellArea a = ActiveAreaOf(s);
    RotateColumnsLeft(a, FirstMixedColumn(a));
  }
  ToggleEditFrame(0);
  UpdateWorkSheetGeometry();
  RepaintAfterTransform(false);
}

// After a per-element mirror an element narrower (or lower) than the grid
// block is pushed back to the block's top-left corner; the cells it leaves
// take the background.
void AlignOwnSize(const DataSet& s, const CellArea& block, int32_t n, bool columns) {
  int64_t gap = columns ? static_cast<int64_t>(s.elementWidth) - OwnWidth(s, n)
                        : static_cast<int64_t>(s.elementHeight) - OwnHeight(s, n);
  if (gap <= 0) return;
  uint32_t background = BackgroundValue(s);
  int32_t d;
  if (columns) {
    d = static_cast<int32_t>(std::min<int64_t>(gap, block.Width()));
    for (int64_t x = block.left; x + d < block.right; ++x) CopyColumn(x + d, x, block.top, block.bottom);
    FillArea(CellArea{block.right - d, block.top, block.right, block.bottom}, background);
  } else {
    d = static_cast<int32_t>(std::min<int64_t>(gap, block.Height()));
    for (int64_t x = block.left; x < block.right; ++x) {
      uint32_t* col = Column(x);
      std::copy(col + block.top + d, col + block.bottom, col + block.top);
    }
    FillArea(CellArea{block.left, block.bottom - d, block.right, block.bottom}, background);
  }
}

void Mirror(int id) {
  DataSet& s = g_ed->Cur();
  bool columns = id == kMirrorVertical;
  bool perElement = PerElementCase(s);
  PushUndo();
  ToggleEditFrame(1);
  ForEachArea(s, [&](const CellArea& a, int32_t n) {
    if (columns) MirrorColumns(a);
    else MirrorRows(a);
    if (n >= 0 && s.variableElementSizes) {
      // Work on the whole grid block, clipped, as the element sits in it.
      AlignOwnSize(s, Intersect(ElementBlock(s, n), StoreArea()), n, columns);
    }
  });
  ToggleEditFrame(0);
  if (perElement) UpdateWorkSheetGeometry();
  RepaintAfterTransform(false);
}

// The picture size a transpose leaves, or false when it keeps the size.
bool TransposedSize(const DataSet& s, int64_t* width, int64_t* height) {
  if (s.mouseMode == kMouseModeEditFrame) return false;
  if (s.viewMode == kViewShowElement) return false;
  if (s.viewMode == kViewShowGroup) {
    int64_t ew = std::max<int32_t>(s.elementWidth, 1), eh = std::max<int32_t>(s.elementHeight, 1);
    *width = (static_cast<int64_t>(s.pictureWidth) * eh + ew - 1) / ew;
    *height = (static_cast<int64_t>(s.pictureHeight) * ew + eh - 1) / eh;
    return true;
  }
  *width = s.pictureHeight;
  *height = s.pictureWidth;
  return true;
}

// Every refusal of a transpose, decided before anything is taken or changed.
bool TransposeRefused(const DataSet& s) {
  bool elementViews = s.viewMode == kViewShowGroup || s.viewMode == kViewShowElement;
  if (s.mouseMode == kMouseModeEditFrame && elementViews) return true;
  if (s.viewMode == kViewGroupAsIcon) return true;
  if (s.viewMode == kViewShowElement) {
    CellArea a = ActiveAreaOf(s);
    int64_t width = static_cast<int64_t>(s.activeRight) - s.activeLeft;
    int64_t height = static_cast<int64_t>(s.activeBottom) - s.activeTop;
    if (width != height || a.Empty()) return true;
  }
  int64_t w = 0, h = 0;
  if (TransposedSize(s, &w, &h) && (w > kMaxPictureWidth || h > kMaxPictureHeight)) return true;
  return false;
}

// Each element is transposed in its own grid place. The picture is read from
// a copy, so no element can be overwritten before it is read. The copy goes
// to the flood fill's work list: a store of the same size that no fill uses
// while a command runs (the preview dialogs' backup may be in use).
void TransposeElements(DataSet& s) {
  EditorState& st = *g_ed;
  uint32_t* copy = reinterpret_cast<uint32_t*>(st.fillWork);  // int32 and uint32 may alias
  // Only the part in use is copied; every later column and row holds one value.
  const StoreExtent kept = SaveAllCells(s, copy);
  const int64_t copied = kept.used, copiedRows = kept.rows;
  const uint32_t rest = s.cellRest;
  const int64_t ew = s.elementWidth, eh = s.elementHeight;
  const int32_t countX = std::max<int32_t>(s.elementCountX, 1);
  const int32_t count = std::min<int32_t>(s.elementCount, kMaxElements);
  if (ew <= 0 || eh <= 0) return;
  for (int32_t n = 0; n < count; ++n) {
    int64_t c = n % countX, r = n / countX;
    int64_t sx0 = c * ew, sy0 = r * eh;  // source block, ew x eh
    int64_t dx0 = c * eh, dy0 = r * ew;  // destination block, eh x ew
    if (std::min(sy0, dy0) >= kMaxPictureHeight) break;
    // Source (sx0 + i, sy0 + j) goes to (dx0 + j, dy0 + i); keep i and j
    // where both cells lie in the store.
    int64_t iEnd = std::min({ew, kMaxPictureWidth - sx0, kMaxPictureHeight - dy0});
    int64_t jEnd = std::min({eh, kMaxPictureHeight - sy0, kMaxPictureWidth - dx0});
    for (int64_t j = 0; j < jEnd; ++j) {
      uint32_t* dst = Column(dx0 + j) + dy0;
      // Sources in the copied part come from the copy, the others hold the rest value.
      const int64_t iCopied = sy0 + j < copiedRows ? std::max<int64_t>(0, std::min(iEnd, copied - sx0)) : 0;
      const uint32_t* src = copy + static_cast<size_t>(sy0 + j);
      for (int64_t i = 0; i < iCopied; ++i) dst[i] = src[static_cast<size_t>(sx0 + i) * kColumnStride];
      std::fill(dst + iCopied, dst + iEnd, rest);
    }
  }
}

// Every element's width and height exchanged. Past the entries before both
// arrays' runs of one value at the end, each array holds one value, so the
// tails are exchanged by filling each with the other's value.
void SwapElementSizes(DataSet& s) {
  const size_t n = kMaxElements;
  const size_t used = std::max(UniformTailStart(s.elementWidths, n), UniformTailStart(s.elementHeights, n));
  for (size_t i = 0; i < used; ++i) std::swap(s.elementWidths[i], s.elementHeights[i]);
  const int32_t widthRest = s.elementWidths[n - 1], heightRest = s.elementHeights[n - 1];
  if (widthRest == heightRest) return;
  FillArray(s.elementWidths + used, n - used, heightRest);
  FillArray(s.elementHeights + used, n - used, widthRest);
}

void Transpose() {
  DataSet& s = g_ed->Cur();
  if (TransposeRefused(s)) {
    Beep();
    return;
  }
  int64_t newWidth = s.pictureWidth, newHeight = s.pictureHeight;
  bool resize = TransposedSize(s, &newWidth, &newHeight);
  PushUndo();
  ToggleEditFrame(1);
  if (PerElementCase(s)) {
    TransposeElements(s);
  } else {
    // In the frame tool the size stays, so the result is kept inside the picture.
    bool framed = s.mouseMode == kMouseModeEditFrame;
    TransposeArea(ActiveAreaOf(s), framed ? PictureArea(s) : StoreArea());
    if (resize) s.elementCountX = std::max<int32_t>(GridRows(s), 1);
  }
  if (resize) {
    s.pictureWidth = static_cast<int32_t>(newWidth);
    s.pictureHeight = static_cast<int32_t>(newHeight);
    std::swap(s.elementWidth, s.elementHeight);
    SwapElementSizes(s);
  }
  ToggleEditFrame(0);
  UpdateWorkSheetGeometry();
  UpdateMainScrollBars();
  RepaintAfterTransform(true);
}

// The turns and the slash transpose are one edit: one snapshot, then the
// steps with snapshots suspended.
struct CompositeSteps {
  int id;
  int steps[3];  // 0 ends a shorter list
};
constexpr CompositeSteps kComposites[] = {
    {kTransposeSlash, {kTransposeBackslash, kMirrorVertical, kMirrorHorizontal}},
    {kTurnClockwise, {kTransposeBackslash, kMirrorVertical, 0}},
    {kTurnCounterClockwise, {kTransposeBackslash, kMirrorHorizontal, 0}},
};

void Composite(int id) {
  EditorState& st = *g_ed;
  if (TransposeRefused(st.Cur())) {
    Beep();
    return;
  }
  PushUndo();
  bool wasSuspended = st.undoSuspended;
  st.undoSuspended = true;
  for (const CompositeSteps& c : kComposites) {
    if (c.id != id) continue;
    for (int step : c.steps)
      if (step) RunPictureCommand(step);
  }
  st.undoSuspended = wasSuspended;
  RepaintAfterTransform(true);
}

// The type commands store the type, move the menu check and run at once.
void SetTypeAndRun(int32_t* type, int id, void (*run)()) {
  Svc().menu->Check(*type, false);
  *type = id;
  Svc().menu->Check(id, true);
  run();
}

}  // namespace

void RunPictureCommand(int id) {
  if (!g_ed) return;
  // The twist dialog recomputes the picture from its copy; nothing else may
  // reshape it meanwhile.
  if (TwistDialogRunning()) {
    Beep();
    return;
  }
  GlobalSettings& cfg = g_ed->cfg;
  switch (id) {
    case kScrollLeft:
    case kScrollRight:
    case kScrollUp:
    case kScrollDown: Scroll(id); break;
    case kMirrorVertical:
    case kMirrorHorizontal: Mirror(id); break;
    case kTransposeBackslash: Transpose(); break;
    case kTransposeSlash:
    case kTurnClockwise:
    case kTurnCounterClockwise: Composite(id); break;
    case kLeftSet: LeftSet(); break;
    case kDouble: DoublePicture(); break;
    case kHalf: HalfPicture(); break;
    default:
      if (id >= kGrowDown && id <= kShrinkLeft) GrowOrShrink(id);
      else if (id >= kDoubleHorizontal && id <= kDoubleBoth) SetTypeAndRun(&cfg.doubleType, id, DoublePicture);
      else if (id >= kHalfBoth && id <= kHalfVertical) SetTypeAndRun(&cfg.halfType, id, HalfPicture);
      break;
  }
}

}  // namespace dw
