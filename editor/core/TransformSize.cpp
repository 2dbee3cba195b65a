// Grow and shrink by a row or column, double and half: the picture
// commands that change the picture's size.
#include <algorithm>
#include <array>

#include "core/CellExtent.h"
#include "core/EditorState.h"
#include "core/Geometry.h"
#include "core/Services.h"
#include "core/TransformCells.h"
#include "core/Undo.h"
#include "views/ColorModel.h"
#include "views/StatusLine.h"

namespace dw {
namespace {

enum : int {
  kGrowDown = 10073,
  kGrowRight = 10074,
  kShrinkUp = 10075,
  kShrinkLeft = 10076,
  kDoubleHorizontal = 10214,
  kDoubleVertical = 10215,
  kHalfHorizontal = 10218,
  kHalfVertical = 10219,
};

constexpr int32_t kDoubleLimitWidth = kMaxPictureWidth / 2;
constexpr int32_t kDoubleLimitHeight = kMaxPictureHeight / 2;
constexpr int32_t kSingleIconMinSize = 3;  // Shrink stops here in Show Single Icon view
constexpr int32_t kMaxSize = INT32_MAX / 2;

const char kNoRoomToDouble[] = "Sorry no room to double";
const char kNothingLeft[] = "Sorry nothing will be left";

void Beep() { Svc().prompter->Beep(MBX_OK); }

// Picture commands work on rows or columns alike; an axis names which.
struct Axis {
  bool rows;  // true: rows (Grow Down, Shrink Up); false: columns
};

int32_t& PictureSize(DataSet& s, Axis a) { return a.rows ? s.pictureHeight : s.pictureWidth; }
int32_t& ElementSize(DataSet& s, Axis a) { return a.rows ? s.elementHeight : s.elementWidth; }
int32_t* OwnSizes(DataSet& s, Axis a) { return a.rows ? s.elementHeights : s.elementWidths; }
int32_t Limit(Axis a) { return a.rows ? kMaxPictureHeight : kMaxPictureWidth; }
// Grid bands along the axis: rows of elements, or the columns in use.
int32_t Bands(const DataSet& s, Axis a) {
  return a.rows ? GridRows(s) : std::min(std::max<int32_t>(s.elementCountX, 1), s.elementCount);
}
int32_t GrowthInGroup(const DataSet& s, Axis a) { return Bands(s, a); }
// Shrinking in Show Group needs twice the rows, or twice count X columns.
int64_t ShrinkNeedsInGroup(const DataSet& s, Axis a) {
  return a.rows ? 2LL * GridRows(s) : 2LL * std::max<int32_t>(s.elementCountX, 1);
}

// Extent across the axis that the grid and the picture cover.
int64_t CrossExtent(const DataSet& s, Axis a) {
  int64_t picture = a.rows ? s.pictureWidth : s.pictureHeight;
  int64_t grid = a.rows ? static_cast<int64_t>(std::max<int32_t>(s.elementCountX, 1)) * s.elementWidth
                        : static_cast<int64_t>(GridRows(s)) * s.elementHeight;
  return std::min<int64_t>(std::max(picture, grid), a.rows ? kMaxPictureWidth : kMaxPictureHeight);
}

// Cell (along, across) of the axis: along runs with the axis.
uint32_t* CellAt(Axis a, int64_t along, int64_t across) {
  int64_t x = a.rows ? across : along, y = a.rows ? along : across;
  if (x < 0 || y < 0 || x >= kMaxPictureWidth || y >= kMaxPictureHeight) return nullptr;
  return Column(x) + y;
}

// Copies line `from` to line `to` (rows or columns) over [0, extent).
void CopyLine(Axis a, int64_t from, int64_t to, int64_t extent) {
  if (from == to) return;
  if (!a.rows) {
    CopyColumn(from, to, 0, extent);
    return;
  }
  for (int64_t x = 0; x < extent; ++x) {
    uint32_t* src = CellAt(a, from, x);
    uint32_t* dst = CellAt(a, to, x);
    if (src && dst) *dst = *src;
  }
}

// Fills the new line `line` from `last` over [from, to) across: each cell
// from its neighbour, or from the block's corner cell when the corner
// setting is on (the left-most cell of a row, the top-most of a column).
void FillNewLine(Axis a, int64_t line, int64_t last, int64_t from, int64_t to, int64_t blockSize,
                 bool fromCorner) {
  int64_t acrossLimit = a.rows ? kMaxPictureWidth : kMaxPictureHeight;
  for (int64_t c = std::max<int64_t>(from, 0); c < std::min(to, acrossLimit); ++c) {
    int64_t source = fromCorner ? from + ((c - from) / blockSize) * blockSize : c;
    uint32_t* src = CellAt(a, last, source);
    uint32_t* dst = CellAt(a, line, c);
    if (src && dst) *dst = *src;
  }
}

bool CornerSetting(Axis a) {
  const GlobalSettings& cfg = g_ed->cfg;
  return (a.rows ? cfg.addRowFromCornerPixel : cfg.addColumnFromCornerPixel) != 0;
}

// Show Group: every element gains a line at its end. Band b moves on by b
// lines, last band first, so no band is overwritten before it moved.
void GrowGroup(DataSet& s, Axis a) {
  int64_t size = ElementSize(s, a);
  int64_t extent = CrossExtent(s, a);
  int32_t bands = Bands(s, a);
  int64_t limit = Limit(a);
  for (int64_t b = bands - 1; b >= 0; --b) {
    if (b * size >= limit) continue;
    for (int64_t j = std::min(size, limit - b * size) - 1; j >= 0; --j) {
      int64_t from = b * size + j, to = from + b;
      if (to < limit) CopyLine(a, from, to, extent);
    }
  }
  int64_t across = a.rows ? s.elementWidth : s.elementHeight;
  for (int64_t b = 0; b < bands; ++b) {
    int64_t line = b * (size + 1) + size;
    if (line >= limit) break;
    FillNewLine(a, line, line - 1, 0, extent, std::max<int64_t>(across, 1), CornerSetting(a));
  }
  int32_t old = ElementSize(s, a);
  ElementSize(s, a) += 1;
  PictureSize(s, a) += GrowthInGroup(s, a);
  int32_t* own = OwnSizes(s, a);
  if (!s.variableElementSizes) {
    FillArray(s.elementWidths, kMaxElements, s.elementWidth);
    FillArray(s.elementHeights, kMaxElements, s.elementHeight);
  } else {
    for (int32_t n = 0; n < kMaxElements; ++n)
      if (own[n] == old) own[n] = ElementSize(s, a);
  }
}

// Show Group: every element loses its last line; band b moves back by b
// lines, first band first.
void ShrinkGroup(DataSet& s, Axis a) {
  int64_t size = ElementSize(s, a);
  int64_t extent = CrossExtent(s, a);
  int32_t bands = Bands(s, a);
  int64_t limit = Limit(a);
  for (int64_t b = 1; b < bands; ++b) {
    if (b * size >= limit) break;
    for (int64_t j = 0; j < size - 1; ++j) {
      int64_t from = b * size + j;
      if (from < limit) CopyLine(a, from, from - b, extent);
    }
  }
  ElementSize(s, a) -= 1;
  PictureSize(s, a) -= GrowthInGroup(s, a);
  if (!s.variableElementSizes) {
    FillArray(s.elementWidths, kMaxElements, s.elementWidth);
    FillArray(s.elementHeights, kMaxElements, s.elementHeight);
  } else {
    for (int32_t n = 0; n < kMaxElements; ++n) {
      s.elementWidths[n] = std::min(s.elementWidths[n], s.elementWidth);
      s.elementHeights[n] = std::min(s.elementHeights[n], s.elementHeight);
    }
  }
}

// The current element's own size grows by one line inside its grid block.
void GrowOwn(DataSet& s, Axis a) {
  int32_t n = s.currentElement;
  CellArea block = ElementBlock(s, n);
  int32_t* own = OwnSizes(s, a);
  int64_t start = a.rows ? block.top : block.left;
  int64_t from = a.rows ? block.left : block.top;
  int64_t to = from + (a.rows ? OwnWidth(s, n) : OwnHeight(s, n));
  int64_t line = start + own[n];
  int64_t blockSize = std::max<int64_t>(to - from, 1);
  FillNewLine(a, line, line - 1, from, to, blockSize, CornerSetting(a));
  own[n] += 1;
}

enum class Step { kRefuse, kStop, kPicture, kGroup, kOwn };

// What one grow or shrink step does, decided before anything changes.
Step PlanStep(const DataSet& s, Axis a, bool grow) {
  int32_t size = a.rows ? s.pictureHeight : s.pictureWidth;
  int32_t element = a.rows ? s.elementHeight : s.elementWidth;
  if (s.viewMode == kViewGroupAsIcon) return Step::kStop;
  if (grow) {
    if (s.viewMode == kViewSingleIcon && size < Limit(a)) return Step::kPicture;
    if (s.viewMode == kViewShowGroup && static_cast<int64_t>(size) + GrowthInGroup(s, a) < Limit(a) &&
        element >= 1 && element < Limit(a))
      return Step::kGroup;
  } else {
    if (s.viewMode == kViewSingleIcon && size > kSingleIconMinSize) return Step::kPicture;
    if (s.viewMode == kViewShowGroup && size >= ShrinkNeedsInGroup(s, a) && element > 1 &&
        size - GrowthInGroup(s, a) >= 1)
      return Step::kGroup;
  }
  int32_t n = s.currentElement;
  if (!s.variableElementSizes || n < 0 || n >= kMaxElements) return Step::kRefuse;
  int32_t own = a.rows ? s.elementHeights[n] : s.elementWidths[n];
  // Own sizes stay within the grid block and never drop below one cell.
  if (grow ? own >= 0 && own < element : own > 1) return Step::kOwn;
  return Step::kRefuse;
}

void ApplyStep(DataSet& s, Axis a, bool grow, Step step) {
  switch (step) {
    case Step::kPicture:
      if (grow) {
        int32_t line = PictureSize(s, a);
        int64_t across = a.rows ? s.pictureWidth : s.pictureHeight;
        FillNewLine(a, line, line - 1, 0, across, std::max<int64_t>(across, 1), CornerSetting(a));
        PictureSize(s, a) += 1;
      } else {
        PictureSize(s, a) -= 1;
      }
      break;
    case Step::kGroup:
      if (grow) GrowGroup(s, a);
      else ShrinkGroup(s, a);
      break;
    case Step::kOwn:
      if (grow) GrowOwn(s, a);
      else OwnSizes(s, a)[s.currentElement] -= 1;
      break;
    default: break;
  }
}

void SetCellSizes(DataSet& s, bool across, bool down) {
  const EditorState& st = *g_ed;
  if (across) s.mainCellWidth = std::max(st.clientWidth / std::max(s.pictureWidth, 1), 1);
  if (down) s.mainCellHeight = std::max(st.workSheetHeight / std::max(s.pictureHeight, 1), 1);
}

void FinishResize(bool toolBox) {
  IWindowOps& w = *Svc().windows;
  UpdateWorkSheetGeometry();
  UpdateMainScrollBars();
  w.Invalidate(WIN_PIXELVIEW, true);
  w.InvalidateWorkSheet(true);
  if (toolBox) w.Invalidate(WIN_TOOLBOX, true);
}

int32_t Doubled(int32_t v) { return v > kMaxSize || v < -kMaxSize ? v : v * 2; }
int32_t Halved(int32_t v, bool roundUp) { return std::max<int32_t>(roundUp ? v / 2 + v % 2 : v / 2, 1); }

// Merges up to four cells into one by the set's colour rules.
class CellMerger {
 public:
  explicit CellMerger(const DataSet& s) : s_(s) { cache_.fill(Entry{}); }
  uint32_t Merge(const uint32_t* cells, int n) const {
    if (s_.colorMode != kColorModeColor) return MergeBlackAndWhite(cells, n);
    uint32_t sum[3] = {0, 0, 0};
    for (int i = 0; i < n; ++i) {
      uint32_t c = s_.colorKind == kColorKindPalette ? PaletteColor(cells[i]) : cells[i];
      for (int k = 0; k < 3; ++k) sum[k] += (c >> (8 * k)) & 0xFF;
    }
    uint32_t mean = sum[0] / n | (sum[1] / n) << 8 | (sum[2] / n) << 16;
    if (s_.colorKind == kColorKindPalette) return NearestIndex(mean);
    return QuantizeColor(mean);
  }

 private:
  uint32_t MergeBlackAndWhite(const uint32_t* cells, int n) const {
    int zeros = static_cast<int>(std::count(cells, cells + n, 0u));
    int set = n - zeros;
    if (zeros > set || (zeros == set && s_.penColor == kPenWhite)) return 0;
    return 1;
  }
  uint32_t PaletteColor(uint32_t index) const { return index < kMaxPaletteEntries ? s_.palette[index] : 0; }
  // Averages repeat over a picture; remembering the last answers keeps the
  // nearest-colour search off most cells.
  uint32_t NearestIndex(uint32_t color) const {
    Entry& e = cache_[(color ^ (color >> 11) ^ (color >> 17)) % cache_.size()];
    if (!e.used || e.color != color) {
      e.color = color;
      e.index = static_cast<uint32_t>(FindNearestPaletteIndex(color));
      e.used = true;
    }
    return e.index;
  }
  struct Entry {
    uint32_t color = 0, index = 0;
    bool used = false;
  };
  const DataSet& s_;
  mutable std::array<Entry, 1021> cache_;
};

}  // namespace

void GrowOrShrink(int id) {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  if (s.mouseMode == kMouseModeEditFrame) {
    Beep();
    return;
  }
  Axis a{id == kGrowDown || id == kShrinkUp};
  bool grow = id == kGrowDown || id == kGrowRight;
  int32_t steps = std::max<int32_t>(1, st.addRemoveRepeat);
  st.addRemoveRepeat = 0;
  // One command is one edit however many lines it adds: the first step
  // takes the snapshot, the others run with snapshots suspended.
  bool wasSuspended = st.undoSuspended;
  bool took = false;
  for (int32_t i = 0; i < steps; ++i) {
    Step step = PlanStep(s, a, grow);
    if (step == Step::kRefuse || step == Step::kStop) {
      Beep();
      break;
    }
    if (!took) {
      PushUndo();
      st.undoSuspended = true;
      took = true;
    }
    ApplyStep(s, a, grow, step);
    UpdateWorkSheetGeometry();
  }
  st.undoSuspended = wasSuspended;
  if (!took || st.undoSuspended) return;
  Svc().windows->Invalidate(WIN_PIXELVIEW, true);
  Svc().windows->InvalidateWorkSheet(true);
  UpdateMainScrollBars();
}

void DoublePicture() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  if (s.mouseMode == kMouseModeEditFrame || s.viewMode == kViewShowElement) {
    Beep();
    return;
  }
  int32_t type = st.cfg.doubleType;
  bool across = type != kDoubleVertical, down = type != kDoubleHorizontal;
  if ((across && s.pictureWidth > kDoubleLimitWidth) || (down && s.pictureHeight > kDoubleLimitHeight)) {
    Svc().prompter->Ask(kNoRoomToDouble, kProgramTitle, MBX_OK | MBX_ICONEXCLAMATION);
    return;
  }
  PushUndo();
  CellArea picture = PictureArea(s);
  int64_t w = picture.right, h = picture.bottom;
  // From the last column and row back, so every cell is read before its
  // place is written.
  for (int64_t x = w - 1; x >= 0; --x) {
    const int64_t targets[2] = {across ? 2 * x + 1 : x, across ? 2 * x : x};
    for (int t = across ? 0 : 1; t < 2; ++t) {
      uint32_t* src = Column(x);
      uint32_t* dst = Column(targets[t]);
      for (int64_t y = h - 1; y >= 0; --y) {
        uint32_t v = src[y];
        if (down) {
          dst[2 * y + 1] = v;
          dst[2 * y] = v;
        } else {
          dst[y] = v;
        }
      }
    }
  }
  int32_t count = std::min<int32_t>(s.elementCount, kMaxElements);
  if (across) {
    s.pictureWidth *= 2;
    s.elementWidth = Doubled(s.elementWidth);
    for (int32_t n = 0; n < count; ++n) s.elementWidths[n] = Doubled(s.elementWidths[n]);
  }
  if (down) {
    s.pictureHeight *= 2;
    s.elementHeight = Doubled(s.elementHeight);
    for (int32_t n = 0; n < count; ++n) s.elementHeights[n] = Doubled(s.elementHeights[n]);
  }
  SetCellSizes(s, across, down);
  FinishResize(true);
}

void HalfPicture() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  if (s.mouseMode == kMouseModeEditFrame || s.viewMode == kViewShowElement) {
    Beep();
    return;
  }
  int32_t type = st.cfg.halfType;
  bool across = type != kHalfVertical, down = type != kHalfHorizontal;
  bool both = across && down;
  if ((across && s.pictureWidth <= 1) || (down && s.pictureHeight <= 1)) {
    Svc().prompter->Ask(kNothingLeft, kProgramTitle, MBX_OK | MBX_ICONEXCLAMATION);
    return;
  }
  PushUndo();
  CellArea picture = PictureArea(s);
  int64_t w = picture.right, h = picture.bottom;
  // Both halves drop an odd last line; one direction keeps it as a line of
  // its own.
  int64_t newW = across ? (both ? w / 2 : (w + 1) / 2) : w;
  int64_t newH = down ? (both ? h / 2 : (h + 1) / 2) : h;
  CellMerger merger(s);
  // Forward in both directions: a new cell's place is never a source of a
  // cell still to come.
  for (int64_t x = 0; x < newW; ++x) {
    for (int64_t y = 0; y < newH; ++y) {
      uint32_t cells[4];
      int n = 0;
      int64_t x0 = across ? 2 * x : x, y0 = down ? 2 * y : y;
      for (int64_t dx = 0; dx < (across ? 2 : 1); ++dx) {
        for (int64_t dy = 0; dy < (down ? 2 : 1); ++dy) {
          if (x0 + dx < w && y0 + dy < h) cells[n++] = Column(x0 + dx)[y0 + dy];
        }
      }
      if (n > 0) Column(x)[y] = merger.Merge(cells, n);
    }
  }
  int32_t count = std::min<int32_t>(s.elementCount, kMaxElements);
  if (across) {
    s.pictureWidth = static_cast<int32_t>(newW);
    s.elementWidth = Halved(s.elementWidth, !both);
    for (int32_t n = 0; n < count; ++n) s.elementWidths[n] = Halved(s.elementWidths[n], false);
  }
  if (down) {
    s.pictureHeight = static_cast<int32_t>(newH);
    s.elementHeight = Halved(s.elementHeight, !both);
    for (int32_t n = 0; n < count; ++n) s.elementHeights[n] = Halved(s.elementHeights[n], false);
  }
  SetCellSizes(s, across, down);
  FinishResize(false);
}

}  // namespace dw
