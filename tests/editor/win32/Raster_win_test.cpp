// The shape rasteriser against the platform's own drawing: the lines and
// rectangles it gives must be the pixels a 1-pixel black pen draws into a
// monochrome bitmap (lines from the start to the end and back, rectangles
// over the box with its right and bottom edges one further).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <utility>

#include "core/Raster.h"

namespace {

using namespace dw;
using Cell = std::pair<int32_t, int32_t>;

constexpr int kWidth = 48, kHeight = 40;

struct Cells : SpanSink {
  std::set<Cell> cells;
  void Span(int32_t y, int32_t x0, int32_t x1) override {
    for (int32_t x = x0; x < x1; ++x) cells.insert({x, y});
  }
};

// A white monochrome bitmap in a memory device context.
class MonoSurface {
 public:
  MonoSurface() {
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateBitmap(kWidth, kHeight, 1, 1, nullptr);
    old_ = SelectObject(dc_, bitmap_);
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    PatBlt(dc_, 0, 0, kWidth, kHeight, WHITENESS);
  }
  ~MonoSurface() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  std::set<Cell> Black() const {
    std::set<Cell> out;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (GetPixel(dc_, x, y) == RGB(0, 0, 0)) out.insert({x, y});
    return out;
  }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

std::set<Cell> Raster(int kind, int x0, int y0, int x1, int y1) {
  Cells c;
  RasterShape(kind, x0, y0, x1, y1, Rect{0, 0, kWidth, kHeight}, c);
  return c.cells;
}

std::set<Cell> GdiLine(int x0, int y0, int x1, int y1) {
  MonoSurface s;
  MoveToEx(s.dc(), x0, y0, nullptr);
  LineTo(s.dc(), x1, y1);
  LineTo(s.dc(), x0, y0);
  return s.Black();
}

std::set<Cell> GdiRectangle(bool solid, int x0, int y0, int x1, int y1) {
  MonoSurface s;
  SelectObject(s.dc(), GetStockObject(solid ? BLACK_BRUSH : NULL_BRUSH));
  Rectangle(s.dc(), std::min(x0, x1), std::min(y0, y1), std::max(x0, x1) + 1, std::max(y0, y1) + 1);
  return s.Black();
}

struct Segment {
  int x0, y0, x1, y1;
};

// Every octant, both diagonals, the axes, steep and shallow slopes, and
// lines that leave the bitmap on each side. (A line of length 0 is one cell
// for the tools, where the pen would draw nothing, so it is not compared.)
const Segment kCases[] = {
    {2, 5, 9, 5},    {9, 5, 2, 5},    {4, 1, 4, 30},   {4, 30, 4, 1},   {0, 0, 20, 20},  {20, 20, 0, 0},
    {0, 20, 20, 0},  {20, 0, 0, 20},  {1, 1, 30, 7},   {30, 7, 1, 1},   {1, 7, 30, 1},   {30, 1, 1, 7},
    {3, 2, 9, 31},   {9, 31, 3, 2},   {9, 2, 3, 31},   {3, 31, 9, 2},   {5, 5, 6, 7},    {5, 5, 7, 6},
    {10, 10, 13, 11}, {13, 11, 10, 10}, {7, 3, 8, 4},  {-10, 5, 60, 30}, {60, 30, -10, 5}, {20, -15, 30, 60},
    {47, 39, -5, -8}, {-3, 45, 52, -4}, {11, 13, 12, 13}, {11, 13, 11, 14}, {0, 39, 47, 0},
};

TEST(RasterWinTest, LinesEqualThePensThereAndBack) {
  for (const Segment& c : kCases) {
    EXPECT_EQ(Raster(SHAPE_LINE, c.x0, c.y0, c.x1, c.y1), GdiLine(c.x0, c.y0, c.x1, c.y1))
        << c.x0 << "," << c.y0 << " -> " << c.x1 << "," << c.y1;
  }
  std::mt19937 rng(1406);
  std::uniform_int_distribution<int> x(-8, kWidth + 8), y(-8, kHeight + 8);
  for (int i = 0; i < 400; ++i) {
    Segment c{x(rng), y(rng), x(rng), y(rng)};
    if (c.x0 == c.x1 && c.y0 == c.y1) continue;
    ASSERT_EQ(Raster(SHAPE_LINE, c.x0, c.y0, c.x1, c.y1), GdiLine(c.x0, c.y0, c.x1, c.y1))
        << c.x0 << "," << c.y0 << " -> " << c.x1 << "," << c.y1;
  }
}

// A box of one cell is that cell for the tools (a click draws a dot), where
// the platform draws nothing for a 1 x 1 rectangle; it is not compared.
TEST(RasterWinTest, RectanglesEqualThePensBox) {
  const Segment boxes[] = {{1, 1, 4, 3},  {4, 3, 1, 1},   {0, 0, 47, 39}, {5, 5, 6, 6}, {5, 5, 5, 9},
                           {5, 5, 9, 5},  {3, 8, 30, 9},  {-4, -4, 10, 10}, {40, 30, 60, 50}};
  for (const Segment& c : boxes) {
    for (bool solid : {false, true}) {
      EXPECT_EQ(Raster(solid ? SHAPE_SOLID_RECTANGLE : SHAPE_HOLLOW_RECTANGLE, c.x0, c.y0, c.x1, c.y1),
                GdiRectangle(solid, c.x0, c.y0, c.x1, c.y1))
          << (solid ? "solid " : "hollow ") << c.x0 << "," << c.y0 << " - " << c.x1 << "," << c.y1;
    }
  }
}

}  // namespace
