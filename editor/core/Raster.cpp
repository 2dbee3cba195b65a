#include "core/Raster.h"

#include <cmath>
#include <cstddef>
#include <cstring>

namespace dw {

namespace {

constexpr int32_t kColourMode = 10666;
constexpr int32_t kPaletteKind = 10668;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
// Corners are limited to this so every product of the ellipse test fits in
// 64 bits; no screen or picture comes near it.
constexpr int32_t kCornerLimit = 16384;

int32_t Limit(int32_t v) {
  if (v > kCornerLimit) return kCornerLimit;
  if (v < -kCornerLimit) return -kCornerLimit;
  return v;
}

int32_t Min32(int32_t a, int32_t b) { return a < b ? a : b; }
int32_t Max32(int32_t a, int32_t b) { return a > b ? a : b; }

// Hands the part of [x0, x1) on row y that lies inside clip to the sink.
void ClippedSpan(SpanSink& sink, const Rect& clip, int32_t y, int32_t x0, int32_t x1) {
  if (y < clip.top || y >= clip.bottom) return;
  x0 = Max32(x0, clip.left);
  x1 = Min32(x1, clip.right);
  if (x0 < x1) sink.Span(y, x0, x1);
}

// ---- Lines -------------------------------------------------------------

// A 1-pixel pen from P towards Q plots one cell per step of the major axis
// and leaves Q out. Its minor offset after m major steps follows from the
// error term in closed form; the rounding bias of the octants the platform
// biases (3, 5, 6, 8, counted clockwise from +x with y growing downwards)
// decides the ties.
struct LineDir {
  bool xMajor;
  int64_t major, minor;  // |d| along each axis
  int64_t bias;
};

int Octant(int64_t dx, int64_t dy) {
  if (dy > 0) {
    if (dx > 0) return dx > dy ? 1 : 2;
    return -dx > dy ? 4 : 3;
  }
  if (dx < 0) return -dx > -dy ? 5 : 6;
  return dx > -dy ? 8 : 7;
}

LineDir Direction(int64_t dx, int64_t dy) {
  int oct = Octant(dx, dy);
  LineDir d;
  d.xMajor = oct == 1 || oct == 4 || oct == 5 || oct == 8;
  int64_t ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
  d.major = d.xMajor ? ax : ay;
  d.minor = d.xMajor ? ay : ax;
  d.bias = (oct == 3 || oct == 5 || oct == 6 || oct == 8) ? 1 : 0;
  return d;
}

int64_t MinorOffset(const LineDir& d, int64_t m) {
  return (2 * m * d.minor + d.bias + d.major - 1) / (2 * d.major);
}

void RasterLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, const Rect& clip, SpanSink& sink) {
  if (y0 == y1) {
    ClippedSpan(sink, clip, y0, Min32(x0, x1), Max32(x0, x1) + 1);
    return;
  }
  if (x0 == x1) {
    for (int32_t y = Min32(y0, y1); y <= Max32(y0, y1); ++y) ClippedSpan(sink, clip, y, x0, x0 + 1);
    return;
  }
  int64_t dx = static_cast<int64_t>(x1) - x0, dy = static_cast<int64_t>(y1) - y0;
  LineDir there = Direction(dx, dy), back = Direction(-dx, -dy);
  int64_t len = there.major;
  int64_t sMajor, sMinor, majorFrom, minorFrom, minorTo;
  if (there.xMajor) {
    sMajor = dx > 0 ? 1 : -1;
    sMinor = dy > 0 ? 1 : -1;
    majorFrom = x0;
    minorFrom = y0;
    minorTo = y1;
  } else {
    sMajor = dy > 0 ? 1 : -1;
    sMinor = dx > 0 ? 1 : -1;
    majorFrom = y0;
    minorFrom = x0;
    minorTo = x1;
  }
  for (int64_t m = 0; m <= len; ++m) {
    int64_t major = majorFrom + sMajor * m;
    // The way there covers steps 0 .. len - 1, the way back len .. 1.
    int64_t a = m < len ? minorFrom + sMinor * MinorOffset(there, m) : minorTo;
    int64_t b = m > 0 ? minorTo - sMinor * MinorOffset(back, len - m) : a;
    int64_t lo = a < b ? a : b, hi = a < b ? b : a;
    if (there.xMajor) {
      ClippedSpan(sink, clip, static_cast<int32_t>(lo), static_cast<int32_t>(major), static_cast<int32_t>(major) + 1);
      if (hi != lo)
        ClippedSpan(sink, clip, static_cast<int32_t>(hi), static_cast<int32_t>(major),
                    static_cast<int32_t>(major) + 1);
    } else if (hi - lo <= 1) {
      ClippedSpan(sink, clip, static_cast<int32_t>(major), static_cast<int32_t>(lo), static_cast<int32_t>(hi) + 1);
    } else {
      ClippedSpan(sink, clip, static_cast<int32_t>(major), static_cast<int32_t>(lo), static_cast<int32_t>(lo) + 1);
      ClippedSpan(sink, clip, static_cast<int32_t>(major), static_cast<int32_t>(hi), static_cast<int32_t>(hi) + 1);
    }
  }
}

// ---- Rectangles and ellipses -----------------------------------------

// A filled shape as one run [left, right] per row of its box (inclusive);
// empty rows have right < left.
struct RowShape {
  int32_t l, t, r, b;
  bool ellipse;
  int64_t w, h;  // box size in cells

  void Row(int32_t y, int32_t* left, int32_t* right) const {
    if (y < t || y > b) {
      *left = 0;
      *right = -1;
      return;
    }
    if (!ellipse) {
      *left = l;
      *right = r;
      return;
    }
    // Pixel centres inside the ellipse through the box's outer edges, in
    // doubled coordinates around the centre: DX^2 H^2 + DY^2 W^2 <= W^2 H^2.
    int64_t dy = 2 * static_cast<int64_t>(y) - t - b;
    int64_t room = w * w * (h * h - dy * dy);
    int64_t k2 = room / (h * h);
    int64_t k = static_cast<int64_t>(std::sqrt(static_cast<double>(k2)));
    while (k * k > k2) --k;
    while ((k + 1) * (k + 1) <= k2) ++k;
    // DX runs over the parity of W - 1; every row keeps at least its middle
    // cell (two for an even width), so thin ellipses reach the box's ends.
    int64_t parity = (w - 1) & 1;
    if ((k & 1) != parity) --k;
    if (k < parity) k = parity;
    // The middle row (two for an even height) reaches the box's sides.
    if (dy >= -1 && dy <= 1) k = w - 1;
    int64_t sum = static_cast<int64_t>(l) + r;
    *left = static_cast<int32_t>((sum - k) / 2);
    *right = static_cast<int32_t>((sum + k) / 2);
  }
};

void RasterFilled(const RowShape& shape, bool hollow, const Rect& clip, SpanSink& sink) {
  int32_t y0 = Max32(shape.t, clip.top), y1 = Min32(shape.b, clip.bottom - 1);
  for (int32_t y = y0; y <= y1; ++y) {
    int32_t left, right;
    shape.Row(y, &left, &right);
    if (right < left) continue;
    if (!hollow) {
      ClippedSpan(sink, clip, y, left, right + 1);
      continue;
    }
    // The outline: the cells with a 4-neighbour outside the shape.
    int32_t ul, ur, dl, dr;
    shape.Row(y - 1, &ul, &ur);
    shape.Row(y + 1, &dl, &dr);
    int32_t innerL = left + 1, innerR = right - 1;
    if (ur < ul || dr < dl) {
      innerL = 1;
      innerR = 0;  // a row beside the outside is outline all through
    } else {
      innerL = Max32(innerL, Max32(ul, dl));
      innerR = Min32(innerR, Min32(ur, dr));
    }
    if (innerR < innerL) {
      ClippedSpan(sink, clip, y, left, right + 1);
    } else {
      ClippedSpan(sink, clip, y, left, innerL);
      ClippedSpan(sink, clip, y, innerR + 1, right + 1);
    }
  }
}

}  // namespace

uint32_t CellColorOf(const DataSet& s, uint32_t value) {
  if (s.colorMode != kColourMode) return value ? kBlack : kWhite;
  if (s.colorKind == kPaletteKind) {
    return value < static_cast<uint32_t>(kMaxPaletteEntries) && s.palette ? s.palette[value] & 0xFFFFFF : kBlack;
  }
  return value & 0xFFFFFF;
}

bool PenValue(const DataSet& s, uint32_t old, uint32_t* out) {
  if (s.colorMode == kColourMode) {
    *out = s.colorKind == kPaletteKind ? static_cast<uint32_t>(s.toolColorIndex) : s.rgbToolColor;
    return true;
  }
  switch (s.penColor) {
    case PEN_BLACK: *out = 1; return true;
    case PEN_WHITE: *out = 0; return true;
    case PEN_TOGGLE: *out = old != 1 ? 1 : 0; return true;
    default: return false;
  }
}

bool InversePenValue(const DataSet& s, uint32_t, uint32_t* out) {
  if (s.colorMode == kColourMode) {
    *out = s.colorKind == kPaletteKind ? static_cast<uint32_t>(s.backgroundColorIndex) : s.rgbBackgroundColor;
    return true;
  }
  switch (s.penColor) {
    case PEN_BLACK: *out = 0; return true;
    case PEN_WHITE: *out = 1; return true;
    default: return false;  // the Toggle pen has no inverse
  }
}

bool FillValue(const DataSet& s, uint32_t seed, uint32_t* out) {
  if (s.colorMode == kColourMode || s.penColor != PEN_TOGGLE) return PenValue(s, seed, out);
  *out = seed != 0 ? 0 : 1;
  return true;
}

void RasterShape(int kind, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const Rect& clip, SpanSink& sink) {
  x0 = Limit(x0);
  y0 = Limit(y0);
  x1 = Limit(x1);
  y1 = Limit(y1);
  if (kind == SHAPE_LINE) {
    RasterLine(x0, y0, x1, y1, clip, sink);
    return;
  }
  if (kind < SHAPE_HOLLOW_ELLIPSE || kind > SHAPE_SOLID_RECTANGLE) return;
  RowShape shape;
  shape.l = Min32(x0, x1);
  shape.r = Max32(x0, x1);
  shape.t = Min32(y0, y1);
  shape.b = Max32(y0, y1);
  shape.w = static_cast<int64_t>(shape.r) - shape.l + 1;
  shape.h = static_cast<int64_t>(shape.b) - shape.t + 1;
  shape.ellipse = kind == SHAPE_HOLLOW_ELLIPSE || kind == SHAPE_SOLID_ELLIPSE;
  bool hollow = kind == SHAPE_HOLLOW_ELLIPSE || kind == SHAPE_HOLLOW_RECTANGLE;
  RasterFilled(shape, hollow, clip, sink);
}

Rect ClipToStore(const Rect& r) {
  Rect c = r;
  c.left = Max32(c.left, 0);
  c.top = Max32(c.top, 0);
  c.right = Min32(c.right, kMaxPictureWidth);
  c.bottom = Min32(c.bottom, kMaxPictureHeight);
  if (c.right < c.left) c.right = c.left;
  if (c.bottom < c.top) c.bottom = c.top;
  return c;
}

// ---- Flood fill --------------------------------------------------------

// The work list is threaded through the mark array: 0 is a cell not reached
// yet; a reached cell holds the index of the cell below it on the stack + 2
// while it waits, and 1 once it has been visited.
int64_t MarkFillRegion(const DataSet& s, const Rect& areaIn, int32_t seedX, int32_t seedY, uint32_t value,
                       int32_t* work, int64_t* changes) {
  *changes = 0;
  Rect area = ClipToStore(areaIn);
  if (!s.cells || !work) return 0;
  if (seedX < area.left || seedX >= area.right || seedY < area.top || seedY >= area.bottom) return 0;
  const int64_t w = area.Width(), h = area.Height();
  std::memset(work, 0, static_cast<size_t>(w * h) * sizeof(int32_t));
  const uint32_t* origin = s.cells + static_cast<size_t>(area.left) * kColumnStride + area.top;
  const int64_t seed = static_cast<int64_t>(seedX - area.left) * h + (seedY - area.top);
  const uint32_t colour = CellColorOf(s, origin[static_cast<size_t>(seedX - area.left) * kColumnStride + (seedY - area.top)]);
  int64_t top = -1, count = 0, changed = 0;
  auto push = [&](int64_t i) {
    work[i] = static_cast<int32_t>(top + 2);
    top = i;
  };
  push(seed);
  while (top >= 0) {
    const int64_t i = top;
    top = static_cast<int64_t>(work[i]) - 2;
    work[i] = 1;
    ++count;
    const int64_t cx = i / h, cy = i - cx * h;
    const uint32_t* p = origin + static_cast<size_t>(cx) * kColumnStride + static_cast<size_t>(cy);
    if (*p != value) ++changed;
    // Right, down, left, up.
    struct Step {
      bool inside;
      int64_t index;
      ptrdiff_t offset;
    };
    const Step steps[4] = {{cx + 1 < w, i + h, kColumnStride},
                           {cy + 1 < h, i + 1, 1},
                           {cx > 0, i - h, -kColumnStride},
                           {cy > 0, i - 1, -1}};
    for (const Step& n : steps) {
      if (!n.inside || work[n.index] != 0) continue;
      if (CellColorOf(s, p[n.offset]) == colour) push(n.index);
    }
  }
  *changes = changed;
  return count;
}

void WriteFillRegion(DataSet& s, const Rect& areaIn, uint32_t value, const int32_t* work) {
  Rect area = ClipToStore(areaIn);
  if (!s.cells || !work) return;
  const int64_t h = area.Height();
  WidenCells(s, area.right, area.bottom);
  for (int32_t x = area.left; x < area.right; ++x) {
    uint32_t* column = s.cells + static_cast<size_t>(x) * kColumnStride + area.top;
    const int32_t* marks = work + static_cast<int64_t>(x - area.left) * h;
    for (int64_t y = 0; y < h; ++y) {
      if (marks[y]) column[y] = value;
    }
  }
}

}  // namespace dw
