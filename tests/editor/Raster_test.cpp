// Pens, the shape rasteriser and the flood fill, without any window.
#include <pthread.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "Fakes.h"
#include "core/Raster.h"

namespace dwtest {
namespace {

using Cell = std::pair<int32_t, int32_t>;  // (x, y)

// Collects the cells of a shape and notes any cell handed over twice.
struct Cells : SpanSink {
  std::set<Cell> cells;
  int repeats = 0;
  void Span(int32_t y, int32_t x0, int32_t x1) override {
    for (int32_t x = x0; x < x1; ++x) {
      if (!cells.insert({x, y}).second) ++repeats;
    }
  }
};

Cells Shape(int kind, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Rect clip = Rect{-100, -100, 100, 100}) {
  Cells c;
  RasterShape(kind, x0, y0, x1, y1, clip, c);
  return c;
}

// What a 1-pixel pen draws from p to q, step by step with the platform's
// error term and octant bias, q left out.
std::set<Cell> PenStroke(Cell p, Cell q) {
  std::set<Cell> out;
  int dx = q.first - p.first, dy = q.second - p.second;
  if (dx == 0 && dy == 0) return out;
  int ax = std::abs(dx), ay = std::abs(dy), sx = dx > 0 ? 1 : -1, sy = dy > 0 ? 1 : -1;
  int octant;
  if (dy > 0) octant = dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3);
  else octant = dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7);
  int bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;
  bool xMajor = octant == 1 || octant == 4 || octant == 5 || octant == 8;
  int x = p.first, y = p.second;
  if (dy == 0 || dx == 0 || xMajor) {
    int err = 2 * ay - ax;
    for (int i = 0; i < ax || (dx == 0 && i < ay); ++i) {
      out.insert({x, y});
      if (dx == 0) {
        y += sy;
        continue;
      }
      if (err + bias > 0) {
        y += sy;
        err += 2 * ay - 2 * ax;
      } else {
        err += 2 * ay;
      }
      x += sx;
    }
  } else {
    int err = 2 * ax - ay;
    for (int i = 0; i < ay; ++i) {
      out.insert({x, y});
      if (err + bias > 0) {
        x += sx;
        err += 2 * ax - 2 * ay;
      } else {
        err += 2 * ax;
      }
      y += sy;
    }
  }
  return out;
}

TEST(PenTest, ValueTable) {
  struct Case {
    const char* what;
    int32_t mode, kind, pen;
    uint32_t old;
    bool pen_writes;
    uint32_t pen_value;
    bool inverse_writes;
    uint32_t inverse_value;
  };
  const Case cases[] = {
      {"Black", 10665, 10668, PEN_BLACK, 0, true, 1, true, 0},
      {"White", 10665, 10668, PEN_WHITE, 1, true, 0, true, 1},
      {"Toggle on a clear cell", 10665, 10668, PEN_TOGGLE, 0, true, 1, false, 0},
      {"Toggle on a set cell", 10665, 10668, PEN_TOGGLE, 1, true, 0, false, 0},
      {"Toggle on a 2 from a file", 10665, 10668, PEN_TOGGLE, 2, true, 1, false, 0},
      {"no pen", 10665, 10668, 0, 1, false, 0, false, 0},
      {"palette kind", 10666, 10668, PEN_TOGGLE, 9, true, 7, true, 200},
      {"RGB kind", 10666, 10667, PEN_WHITE, 9, true, 0x123456, true, 0xABCDEF},
  };
  DataSet s;
  s.toolColorIndex = 7;
  s.backgroundColorIndex = 200;
  s.rgbToolColor = 0x123456;
  s.rgbBackgroundColor = 0xABCDEF;
  for (const Case& c : cases) {
    s.colorMode = c.mode;
    s.colorKind = c.kind;
    s.penColor = c.pen;
    uint32_t v = 0xDEAD;
    EXPECT_EQ(PenValue(s, c.old, &v), c.pen_writes) << c.what;
    if (c.pen_writes) {
      EXPECT_EQ(v, c.pen_value) << c.what;
    }
    v = 0xDEAD;
    EXPECT_EQ(InversePenValue(s, c.old, &v), c.inverse_writes) << c.what;
    if (c.inverse_writes) {
      EXPECT_EQ(v, c.inverse_value) << c.what;
    }
  }
}

TEST(RasterTest, HorizontalLineCoversBothEnds) {
  Cells c = Shape(SHAPE_LINE, 2, 5, 9, 5);
  std::set<Cell> expect;
  for (int x = 2; x <= 9; ++x) expect.insert({x, 5});
  EXPECT_EQ(c.cells, expect);
  EXPECT_EQ(Shape(SHAPE_LINE, 9, 5, 2, 5).cells, expect);
  // A click without a drag gives its one cell.
  EXPECT_EQ(Shape(SHAPE_LINE, 4, 4, 4, 4).cells, (std::set<Cell>{{4, 4}}));
}

TEST(RasterTest, LinesAreThePenThereAndBack) {
  std::mt19937 rng(14);
  std::uniform_int_distribution<int> coord(-12, 40);
  const Rect clip{0, 0, 30, 20};
  for (int i = 0; i < 3000; ++i) {
    Cell p{coord(rng), coord(rng)}, q{coord(rng), coord(rng)};
    if (p == q) continue;
    std::set<Cell> expect = PenStroke(p, q), back = PenStroke(q, p);
    expect.insert(back.begin(), back.end());
    std::set<Cell> clipped;
    for (const Cell& c : expect) {
      if (c.first >= clip.left && c.first < clip.right && c.second >= clip.top && c.second < clip.bottom)
        clipped.insert(c);
    }
    Cells got = Shape(SHAPE_LINE, p.first, p.second, q.first, q.second, clip);
    ASSERT_EQ(got.cells, clipped) << p.first << "," << p.second << " -> " << q.first << "," << q.second;
    ASSERT_EQ(got.repeats, 0);
  }
}

TEST(RasterTest, RectanglesExactReversedAndClipped) {
  struct Case {
    const char* what;
    int kind;
    int32_t x0, y0, x1, y1;
    Rect clip;
    size_t cells;
  };
  const Rect wide{-100, -100, 100, 100};
  const Case cases[] = {
      {"hollow", SHAPE_HOLLOW_RECTANGLE, 1, 1, 4, 3, wide, 10},
      {"hollow reversed", SHAPE_HOLLOW_RECTANGLE, 4, 3, 1, 1, wide, 10},
      {"hollow other diagonal", SHAPE_HOLLOW_RECTANGLE, 4, 1, 1, 3, wide, 10},
      {"solid", SHAPE_SOLID_RECTANGLE, 1, 1, 4, 3, wide, 12},
      {"solid reversed", SHAPE_SOLID_RECTANGLE, 4, 3, 1, 1, wide, 12},
      {"one cell", SHAPE_HOLLOW_RECTANGLE, 2, 2, 2, 2, wide, 1},
      {"two wide", SHAPE_HOLLOW_RECTANGLE, 2, 2, 3, 6, wide, 10},
      {"hollow clipped to 3 x 3", SHAPE_HOLLOW_RECTANGLE, 1, 1, 4, 3, Rect{0, 0, 3, 3}, 3},
      {"solid clipped", SHAPE_SOLID_RECTANGLE, -5, -5, 4, 3, Rect{0, 0, 3, 3}, 9},
      {"off the picture", SHAPE_SOLID_RECTANGLE, 10, 10, 20, 20, Rect{0, 0, 3, 3}, 0},
  };
  for (const Case& c : cases) {
    Cells got = Shape(c.kind, c.x0, c.y0, c.x1, c.y1, c.clip);
    EXPECT_EQ(got.cells.size(), c.cells) << c.what;
    EXPECT_EQ(got.repeats, 0) << c.what;
  }
  // The hollow rectangle is the solid one's border.
  Cells hollow = Shape(SHAPE_HOLLOW_RECTANGLE, 1, 1, 4, 3);
  for (const Cell& c : hollow.cells) EXPECT_TRUE(c.first == 1 || c.first == 4 || c.second == 1 || c.second == 3);
}

TEST(RasterTest, EllipsesFillTheirBoxSymmetrically) {
  for (int w = 1; w <= 24; ++w) {
    for (int h = 1; h <= 24; ++h) {
      Cells solid = Shape(SHAPE_SOLID_ELLIPSE, 3, 2, 3 + w - 1, 2 + h - 1);
      Cells hollow = Shape(SHAPE_HOLLOW_ELLIPSE, 3 + w - 1, 2 + h - 1, 3, 2);
      ASSERT_EQ(solid.repeats + hollow.repeats, 0);
      int minX = 1000, maxX = -1000;
      std::set<int> rows;
      for (const Cell& c : solid.cells) {
        minX = std::min(minX, c.first);
        maxX = std::max(maxX, c.first);
        rows.insert(c.second);
        // Mirror images across both axes of the box.
        ASSERT_TRUE(solid.cells.count({3 + 3 + w - 1 - c.first, c.second})) << w << "x" << h;
        ASSERT_TRUE(solid.cells.count({c.first, 2 + 2 + h - 1 - c.second})) << w << "x" << h;
      }
      ASSERT_EQ(minX, 3) << w << "x" << h;
      ASSERT_EQ(maxX, 3 + w - 1) << w << "x" << h;
      ASSERT_EQ(rows.size(), static_cast<size_t>(h)) << w << "x" << h;
      for (const Cell& c : hollow.cells) ASSERT_TRUE(solid.cells.count(c));
      // The outline keeps the ends of every row, and no inner cell.
      for (const Cell& c : solid.cells) {
        bool border = !solid.cells.count({c.first - 1, c.second}) || !solid.cells.count({c.first + 1, c.second}) ||
                      !solid.cells.count({c.first, c.second - 1}) || !solid.cells.count({c.first, c.second + 1});
        ASSERT_EQ(hollow.cells.count(c) != 0, border) << w << "x" << h << " at " << c.first << "," << c.second;
      }
    }
  }
  // A circle of 5: the middle row and column full, the corners out.
  Cells circle = Shape(SHAPE_SOLID_ELLIPSE, 0, 0, 4, 4);
  EXPECT_TRUE(circle.cells.count({0, 2}) && circle.cells.count({2, 0}));
  EXPECT_FALSE(circle.cells.count({0, 0}));
  // Clipping keeps exactly the cells inside the clip.
  const Rect clip{0, 0, 10, 10};
  std::set<Cell> inside;
  for (const Cell& c : Shape(SHAPE_HOLLOW_ELLIPSE, 0, 0, 39, 29).cells) {
    if (c.first < clip.right && c.second < clip.bottom) inside.insert(c);
  }
  EXPECT_FALSE(inside.empty());
  EXPECT_EQ(Shape(SHAPE_HOLLOW_ELLIPSE, 0, 0, 39, 29, clip).cells, inside);
}

TEST(RasterTest, FarCornersAndUnknownKinds) {
  Cells far = Shape(SHAPE_LINE, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, Rect{0, 0, 5, 5});
  EXPECT_EQ(far.cells.size(), 5u);
  EXPECT_TRUE(Shape(SHAPE_SOLID_ELLIPSE, -40000, -40000, 40000, 40000, Rect{0, 0, 3, 3}).cells.size() == 9u);
  EXPECT_TRUE(Shape(7, 0, 0, 3, 3).cells.empty());
  EXPECT_TRUE(Shape(-1, 0, 0, 3, 3).cells.empty());
}

class FillTest : public EditorTest {
 protected:
  void Picture(int32_t w, int32_t h) {
    cur().pictureWidth = w;
    cur().pictureHeight = h;
  }
  Rect All() { return Rect{0, 0, cur().pictureWidth, cur().pictureHeight}; }
  uint32_t& At(int32_t x, int32_t y) { return *CellPtr(st(), st().currentDataSet, x, y); }
  int64_t Fill(int32_t x, int32_t y, uint32_t value, int64_t* changes, Rect area) {
    int64_t n = MarkFillRegion(cur(), area, x, y, value, st().fillWork, changes);
    WriteFillRegion(cur(), area, value, st().fillWork);
    return n;
  }
};

TEST_F(FillTest, WholeRegionsWithoutAWindow) {
  cur().colorMode = 10665;
  struct Case {
    int32_t w, h, x, y;
  };
  const Case cases[] = {{300, 300, 150, 150}, {1600, 40, 1000, 20}, {40, 1200, 39, 0}, {1, 1, 0, 0}};
  for (const Case& c : cases) {
    Picture(c.w, c.h);
    std::fill(cur().cells, cur().cells + kCellsPerSet, 0u);
    int64_t changes = 0;
    EXPECT_EQ(Fill(c.x, c.y, 1, &changes, All()), static_cast<int64_t>(c.w) * c.h) << c.w << "x" << c.h;
    EXPECT_EQ(changes, static_cast<int64_t>(c.w) * c.h);
    EXPECT_EQ(At(0, 0), 1u);
    EXPECT_EQ(At(c.w - 1, c.h - 1), 1u);
    // Just outside the picture nothing was written.
    if (c.w < kMaxPictureWidth) {
      EXPECT_EQ(At(c.w, 0), 0u);
    }
  }
}

TEST_F(FillTest, FourConnectedBoundedByOtherColours) {
  cur().colorMode = 10665;
  Picture(7, 7);
  // A diagonal wall: the fill does not leak through its corners.
  for (int i = 0; i < 7; ++i) At(i, 6 - i) = 1;
  int64_t changes = 0;
  EXPECT_EQ(Fill(0, 0, 1, &changes, All()), 21);
  EXPECT_EQ(At(6, 6), 0u);
  EXPECT_EQ(At(5, 5), 0u);
  // Seed outside the area: nothing.
  EXPECT_EQ(MarkFillRegion(cur(), Rect{0, 0, 3, 3}, 4, 4, 1, st().fillWork, &changes), 0);
  // An area narrower than the picture keeps the fill inside it.
  Picture(10, 10);
  for (int32_t x = 0; x < 10; ++x)
    for (int32_t y = 0; y < 10; ++y) At(x, y) = 0;
  EXPECT_EQ(Fill(3, 3, 1, &changes, Rect{2, 2, 6, 5}), 12);
  EXPECT_EQ(At(1, 3), 0u);
  EXPECT_EQ(At(6, 3), 0u);
}

TEST_F(FillTest, OnlyTheRegionIsWritten) {
  cur().colorMode = 10666;
  cur().colorKind = 10668;
  Picture(6, 1);
  // Entries 3 and 7 look alike: one region. Entry 5 bounds it; the 3 and 7
  // beyond it keep their numbers.
  cur().palette[3] = cur().palette[7] = 0x00102030;
  cur().palette[5] = 0x00FFFFFF;
  const uint32_t row[6] = {3, 7, 3, 5, 7, 3};
  for (int x = 0; x < 6; ++x) At(x, 0) = row[x];
  int64_t changes = 0;
  EXPECT_EQ(Fill(0, 0, 9, &changes, All()), 3);
  EXPECT_EQ(changes, 3);
  const uint32_t after[6] = {9, 9, 9, 5, 7, 3};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(At(x, 0), after[x]) << x;
  // Filling with a colour the region already has changes nothing.
  EXPECT_EQ(Fill(0, 0, 9, &changes, All()), 3);
  EXPECT_EQ(changes, 0);

  // RGB colours no display shows stay as they are outside the region.
  cur().colorKind = 10667;
  const uint32_t rgb[6] = {0x00FFFFFF, 0x00FFFFFF, 0, 0x00030201, 0x00030201, 0x01FFFFFF};
  for (int x = 0; x < 6; ++x) At(x, 0) = rgb[x];
  EXPECT_EQ(Fill(0, 0, 0x00123456, &changes, All()), 2);
  EXPECT_EQ(At(3, 0), 0x00030201u);
  EXPECT_EQ(At(4, 0), 0x00030201u);
  EXPECT_EQ(At(5, 0), 0x01FFFFFFu);
}

TEST_F(FillTest, FillValueByPen) {
  cur().colorMode = 10665;
  uint32_t v = 0;
  cur().penColor = PEN_TOGGLE;
  EXPECT_TRUE(FillValue(cur(), 0, &v));
  EXPECT_EQ(v, 1u);
  EXPECT_TRUE(FillValue(cur(), 2, &v));
  EXPECT_EQ(v, 0u);
  cur().penColor = PEN_WHITE;
  EXPECT_TRUE(FillValue(cur(), 0, &v));
  EXPECT_EQ(v, 0u);
  cur().penColor = 0;
  EXPECT_FALSE(FillValue(cur(), 0, &v));
}

struct StackFill {
  DataSet* set;
  int32_t* work;
  int64_t cells = 0;
};

void* RunStackFill(void* arg) {
  StackFill* f = static_cast<StackFill*>(arg);
  int64_t changes = 0;
  f->cells = MarkFillRegion(*f->set, Rect{0, 0, kMaxPictureWidth, kMaxPictureHeight}, 800, 600, 1, f->work, &changes);
  WriteFillRegion(*f->set, Rect{0, 0, kMaxPictureWidth, kMaxPictureHeight}, 1, f->work);
  return nullptr;
}

TEST_F(FillTest, WholeStoreOnASmallStack) {
  cur().colorMode = 10665;
  Picture(kMaxPictureWidth, kMaxPictureHeight);
  for (size_t i = 0; i < static_cast<size_t>(kCellsPerSet); ++i) cur().cells[i] = 0;
  // A comb: every other column is a wall open at alternate ends, so the
  // region is one path winding through the whole store.
  for (int32_t x = 1; x < kMaxPictureWidth; x += 2) {
    int32_t gap = (x / 2) % 2 ? 0 : kMaxPictureHeight - 1;
    for (int32_t y = 0; y < kMaxPictureHeight; ++y) At(x, y) = y == gap ? 0 : 1;
  }
  int64_t open = 0;
  for (size_t i = 0; i < static_cast<size_t>(kCellsPerSet); ++i) open += cur().cells[i] == 0;
  StackFill f{&cur(), st().fillWork};
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  ASSERT_EQ(pthread_attr_setstacksize(&attr, 64 * 1024), 0);
  pthread_t thread;
  ASSERT_EQ(pthread_create(&thread, &attr, RunStackFill, &f), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
  EXPECT_EQ(f.cells, open);
  for (size_t i = 0; i < static_cast<size_t>(kCellsPerSet); ++i) ASSERT_EQ(cur().cells[i], 1u);
}

}  // namespace
}  // namespace dwtest
