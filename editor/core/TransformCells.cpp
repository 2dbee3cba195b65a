#include "core/TransformCells.h"

#include <algorithm>
#include <numeric>

#include "core/Services.h"

namespace dw {

CellArea Intersect(const CellArea& a, const CellArea& b) {
  CellArea r;
  r.left = std::max(a.left, b.left);
  r.top = std::max(a.top, b.top);
  r.right = std::min(a.right, b.right);
  r.bottom = std::min(a.bottom, b.bottom);
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

CellArea StoreArea() {
  CellArea a;
  a.right = kMaxPictureWidth;
  a.bottom = kMaxPictureHeight;
  return a;
}

CellArea PictureArea(const DataSet& s) {
  CellArea a;
  a.right = s.pictureWidth;
  a.bottom = s.pictureHeight;
  return Intersect(a, StoreArea());
}

CellArea ActiveAreaOf(const DataSet& s) {
  CellArea a;
  a.left = s.activeLeft;
  a.top = s.activeTop;
  a.right = s.activeRight;
  a.bottom = s.activeBottom;
  return Intersect(a, StoreArea());
}

CellArea ElementBlock(const DataSet& s, int32_t n) {
  int32_t countX = std::max<int32_t>(s.elementCountX, 1);
  CellArea a;
  a.left = static_cast<int64_t>(n % countX) * s.elementWidth;
  a.top = static_cast<int64_t>(n / countX) * s.elementHeight;
  a.right = a.left + std::max<int32_t>(s.elementWidth, 0);
  a.bottom = a.top + std::max<int32_t>(s.elementHeight, 0);
  return a;
}

uint32_t* Column(int64_t x) {
  EditorState& st = *g_ed;
  int32_t cx = x < 0 || x >= kMaxPictureWidth ? -1 : static_cast<int32_t>(x);
  uint32_t* col = CellPtr(st, st.currentDataSet, cx, 0);
  // Callers clip first; a stray column reads the scratch line instead of
  // another set's cells.
  return col ? col : st.lineBuffer;
}

uint32_t BackgroundValue(const DataSet& s) {
  if (s.colorMode != kColorModeColor) return s.penColor == kPenWhite ? 1u : 0u;
  if (s.colorKind == kColorKindPalette) return static_cast<uint32_t>(s.backgroundColorIndex);
  return s.rgbBackgroundColor;
}

int32_t GridRows(const DataSet& s) {
  int64_t countX = std::max<int32_t>(s.elementCountX, 1);
  int64_t count = std::max<int32_t>(s.elementCount, 0);
  return static_cast<int32_t>((count + countX - 1) / countX);
}

int32_t OwnWidth(const DataSet& s, int32_t n) {
  return n >= 0 && n < kMaxElements ? s.elementWidths[n] : s.elementWidth;
}

int32_t OwnHeight(const DataSet& s, int32_t n) {
  return n >= 0 && n < kMaxElements ? s.elementHeights[n] : s.elementHeight;
}

void CopyColumn(int64_t src, int64_t dst, int64_t top, int64_t bottom) {
  if (src == dst) return;
  CellArea rows = Intersect(CellArea{0, top, 1, bottom}, StoreArea());
  if (rows.Empty() || src < 0 || dst < 0 || src >= kMaxPictureWidth || dst >= kMaxPictureWidth) return;
  const uint32_t* from = Column(src);
  uint32_t* to = Column(dst);
  std::copy(from + rows.top, from + rows.bottom, to + rows.top);
}

// One column's rows of the area through the scratch line, so the rotation
// below moves every column once (cycle by cycle) whatever k is.
void RotateColumnsLeft(const CellArea& area, int32_t k) {
  CellArea a = Intersect(area, StoreArea());
  int32_t w = a.Width();
  if (a.Empty() || w < 2) return;
  k %= w;
  if (k < 0) k += w;
  if (k == 0) return;
  uint32_t* line = g_ed->lineBuffer;
  int32_t h = a.Height();
  int32_t cycles = std::gcd(w, k);
  for (int32_t start = 0; start < cycles; ++start) {
    const uint32_t* first = Column(a.left + start) + a.top;
    std::copy(first, first + h, line);
    int32_t j = start;
    for (;;) {
      int32_t next = (j + k) % w;
      if (next == start) break;
      CopyColumn(a.left + next, a.left + j, a.top, a.bottom);
      j = next;
    }
    std::copy(line, line + h, Column(a.left + j) + a.top);
  }
}

void RotateRowsUp(const CellArea& area, int32_t k) {
  CellArea a = Intersect(area, StoreArea());
  int32_t h = a.Height();
  if (a.Empty() || h < 2) return;
  k %= h;
  if (k < 0) k += h;
  if (k == 0) return;
  for (int64_t x = a.left; x < a.right; ++x) {
    uint32_t* col = Column(x);
    std::rotate(col + a.top, col + a.top + k, col + a.bottom);
  }
}

void MirrorColumns(const CellArea& area) {
  CellArea a = Intersect(area, StoreArea());
  if (a.Empty()) return;
  for (int64_t l = a.left, r = a.right - 1; l < r; ++l, --r) {
    uint32_t* cl = Column(l);
    uint32_t* cr = Column(r);
    std::swap_ranges(cl + a.top, cl + a.bottom, cr + a.top);
  }
}

void MirrorRows(const CellArea& area) {
  CellArea a = Intersect(area, StoreArea());
  if (a.Empty()) return;
  for (int64_t x = a.left; x < a.right; ++x) {
    uint32_t* col = Column(x);
    std::reverse(col + a.top, col + a.bottom);
  }
}

void TransposeArea(const CellArea& area, const CellArea& limitIn) {
  CellArea a = Intersect(area, StoreArea());
  CellArea limit = Intersect(limitIn, StoreArea());
  int32_t w = a.Width(), h = a.Height();
  if (a.Empty()) return;
  auto inLimit = [&](int64_t x, int64_t y) {
    return x >= limit.left && x < limit.right && y >= limit.top && y < limit.bottom;
  };
  // The square part exchanges cells in pairs.
  int32_t m = std::min(w, h);
  for (int32_t i = 0; i < m; ++i) {
    for (int32_t j = 0; j < i; ++j) {
      int64_t x1 = a.left + i, y1 = a.top + j, x2 = a.left + j, y2 = a.top + i;
      if (!inLimit(x1, y1) || !inLimit(x2, y2)) continue;
      std::swap(Column(x1)[y1], Column(x2)[y2]);
    }
  }
  // The rest of the longer side lands beside the area, where nothing is
  // read any more.
  for (int32_t i = 0; i < w; ++i) {
    for (int32_t j = 0; j < h; ++j) {
      if (i < m && j < m) continue;
      int64_t dx = a.left + j, dy = a.top + i;
      if (!inLimit(dx, dy)) continue;
      Column(dx)[dy] = Column(a.left + i)[a.top + j];
    }
  }
}

int32_t FirstMixedColumn(const CellArea& area) {
  CellArea a = Intersect(area, StoreArea());
  if (a.Empty()) return 0;
  for (int64_t x = a.left; x < a.right; ++x) {
    const uint32_t* col = Column(x);
    uint32_t top = col[a.top];
    if (std::any_of(col + a.top, col + a.bottom, [top](uint32_t v) { return v != top; }))
      return static_cast<int32_t>(x - a.left);
  }
  return a.Width();
}

void FillArea(const CellArea& area, uint32_t value) {
  CellArea a = Intersect(area, StoreArea());
  if (a.Empty()) return;
  for (int64_t x = a.left; x < a.right; ++x) {
    uint32_t* col = Column(x);
    std::fill(col + a.top, col + a.bottom, value);
  }
}

void RepaintAfterTransform(bool erase) {
  IWindowOps& w = *Svc().windows;
  w.InvalidateWorkSheet(erase);
  w.Invalidate(WIN_PIXELVIEW, erase);
}

}  // namespace dw
