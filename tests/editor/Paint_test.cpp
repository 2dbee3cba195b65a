// Work-sheet painting on the recording and the pixel canvas.
#include "Fakes.h"
#include "core/Geometry.h"
#include "core/MainInit.h"
#include "core/Paint.h"
#include "core/RecordingCanvas.h"
#include "core/Settings.h"

namespace dwtest {
namespace {

class PaintTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    InitMainWindow(*EmptyProfile());
    st().clientWidth = 600;
    st().workSheetHeight = 400;
    st().workSheetTop = 44;
    st().paintCellWidth = st().paintCellHeight = 3;
  }
  std::vector<CanvasOp> Lines(const RecordingCanvas& c, PenKind pen, uint32_t color) {
    std::vector<CanvasOp> out;
    for (const CanvasOp& op : c.Ops()) {
      if (op.kind == CanvasOp::LINE && op.pen == pen && op.penColor == color) out.push_back(op);
    }
    return out;
  }
};

TEST_F(PaintTest, CellSkipRulesAndBlock) {
  cur().colorMode = 10665;
  *CellPtr(st(), 0, 2, 1) = 1;
  struct Case {
    int32_t sc, sr;
    bool painted;
  };
  const Case cases[] = {{-1, 0, false}, {0, -1, false}, {32, 0, false},  {0, 32, false},
                        {31, 31, true}, {199, 0, false}, {0, 133, false}, {2, 1, true}};
  for (const Case& c : cases) {
    RecordingCanvas rc;
    PaintWorkSheetCell(rc, c.sc, c.sr, c.sc, c.sr);
    ASSERT_EQ(rc.Count(), c.painted ? 1u : 0u) << c.sc << "," << c.sr;
  }
  // With the grid gap the block is (w - g) x (h - g); a set cell is black.
  RecordingCanvas rc;
  PaintWorkSheetCell(rc, 2, 1, 2, 1);
  ASSERT_EQ(rc.Ops().size(), 1u);
  const CanvasOp& op = rc.Ops()[0];
  EXPECT_EQ(op.kind, CanvasOp::PAT_BLT);
  EXPECT_EQ(op.a, 6);
  EXPECT_EQ(op.b, 3 + 44);
  EXPECT_EQ(op.c, 2);
  EXPECT_EQ(op.d, 2);
  EXPECT_EQ(op.value, ROP_BLACKNESS);
  // Colour cells fill (w - g) x (h - g) with the cell's colour.
  cur().colorMode = 10666;
  cur().colorKind = 10667;
  *CellPtr(st(), 0, 2, 1) = 0x00FF00;
  RecordingCanvas rc2;
  PaintWorkSheetCell(rc2, 2, 1, 2, 1);
  ASSERT_EQ(rc2.Ops().size(), 1u);
  EXPECT_EQ(rc2.Ops()[0].kind, CanvasOp::FILL);
  EXPECT_EQ(rc2.Ops()[0].c - rc2.Ops()[0].a, 2);
  EXPECT_EQ(rc2.Ops()[0].value, 0x00FF00u);
}

TEST_F(PaintTest, GroupGridWithAnIncompleteLastRow) {
  cur().viewMode = 10099;
  cur().elementCount = 10;
  cur().elementCountX = 4;
  cur().elementWidth = cur().elementHeight = 8;
  for (int i = 0; i < 10; ++i) cur().elementWidths[i] = cur().elementHeights[i] = 8;
  cur().pictureWidth = 32;
  cur().pictureHeight = 24;
  UpdateWorkSheetGeometry();
  RecordingCanvas rc;
  st().paintCellWidth = st().paintCellHeight = 3;
  PaintGridLines(rc);
  std::vector<CanvasOp> green = Lines(rc, PEN_SOLID, 0x008C00);
  ASSERT_EQ(green.size(), 5u + 4u);  // X + 1 verticals, R + 1 horizontals
  // Vertical lines 0..2 reach the bottom of row 3, lines 3 and 4 stop a row higher.
  for (int k = 0; k <= 4; ++k) {
    EXPECT_EQ(green[k].a, k * 24) << k;
    EXPECT_EQ(green[k].b, 44);
    EXPECT_EQ(green[k].d, 44 + (k > 2 ? 48 : 72)) << k;
  }
  // The bottom line spans 2 elements, the others 4.
  EXPECT_EQ(green[5].c, 96);
  EXPECT_EQ(green[8].b, 44 + 72);
  EXPECT_EQ(green[8].c, 48);
  // The active-element frame around element 0.
  std::vector<CanvasOp> red = Lines(rc, PEN_SOLID, 0x00008C);
  EXPECT_EQ(red.size(), 4u);
  EXPECT_EQ(rc.OpenPens(), 0);
}

TEST_F(PaintTest, GridLinesByViewMode) {
  struct Case {
    int view;
    size_t green, red;
  };
  const Case cases[] = {{10097, 0, 0}, {10098, 0, 0}, {10096, 0, 4}, {10099, 2 + 9, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.view);
    cur().viewMode = c.view;
    cur().elementCount = 8;
    cur().elementCountX = 1 + (c.view == 10099 ? 0 : 0);
    RecordingCanvas rc;
    PaintGridLines(rc);
    EXPECT_EQ(Lines(rc, PEN_SOLID, 0x008C00).size(), c.green);
    EXPECT_EQ(Lines(rc, PEN_SOLID, 0x00008C).size(), c.red);
    EXPECT_EQ(rc.OpenPens(), 0);
  }
  // ShowGreenGrid 0 draws both with a null pen.
  st().cfg.showGreenGrid = 0;
  cur().viewMode = 10099;
  RecordingCanvas rc;
  PaintGridLines(rc);
  EXPECT_EQ(Lines(rc, PEN_SOLID, 0x008C00).size(), 0u);
  EXPECT_EQ(Lines(rc, PEN_NULL, 0x008C00).size(), 11u);
  EXPECT_EQ(Lines(rc, PEN_NULL, 0x00008C).size(), 4u);
}

TEST_F(PaintTest, ScrolledSheetClampsGridButNotFrame) {
  cur().viewMode = 10099;
  cur().elementCount = 16;
  cur().elementCountX = 4;
  cur().scrollOffsetX = -10;
  cur().scrollOffsetY = -10;
  RecordingCanvas rc;
  PaintGridLines(rc);
  std::vector<CanvasOp> green = Lines(rc, PEN_SOLID, 0x008C00);
  EXPECT_EQ(green[0].a, 0);   // line at -30 clamped to 0
  EXPECT_EQ(green[0].b, 44);  // top clamped to the work sheet
  std::vector<CanvasOp> red = Lines(rc, PEN_SOLID, 0x00008C);
  EXPECT_EQ(red[0].a, -30);
  EXPECT_EQ(red[0].b, 44 - 30);
}

TEST_F(PaintTest, ToolbarIcons) {
  struct Case {
    const char* what;
    int mode, kind, gray, view;
    int slot, pressed;
    bool lower, right;
    int expect;
  };
  const Case cases[] = {
      {"bw icon", 10665, 10667, 0, 10097, 0, -1, false, false, 927},
      {"bw group", 10665, 10667, 0, 10099, 0, -1, false, false, 1649},
      {"gray palette icon", 10666, 10668, 1, 10097, 0, -1, false, false, 931},
      {"gray palette group", 10666, 10668, 1, 10099, 0, -1, false, false, 1651},
      {"palette icon", 10666, 10668, 0, 10097, 0, -1, false, false, 928},
      {"palette group", 10666, 10668, 0, 10099, 0, -1, false, false, 1648},
      {"gray rgb", 10666, 10667, 1, 10099, 0, -1, false, false, 932},
      {"rgb icon", 10666, 10667, 0, 10097, 0, -1, false, false, 929},
      {"rgb group", 10666, 10667, 0, 10099, 0, -1, false, false, 1650},
      {"other kind", 10666, 0, 0, 10099, 0, -1, false, false, 391},
      {"open pressed", 10666, 10667, 0, 10097, 1, 1, false, false, 801},
      {"cut group", 10666, 10667, 0, 10099, 4, -1, false, false, 1995},
      {"cut icon pressed", 10666, 10667, 0, 10098, 4, 4, false, false, 2011},
      {"undo lower", 10666, 10667, 0, 10097, 7, 7, true, false, 2003},
      {"next char icon pressed", 10666, 10667, 0, 10097, 8, 8, true, false, 2012},
      {"next char group as icon", 10666, 10667, 0, 10098, 8, 8, false, false, 2012},
      {"next char group upper", 10666, 10667, 0, 10099, 8, 8, false, false, 1508},
      {"pixel size lower right", 10666, 10667, 0, 10099, 9, 9, true, true, 1634},
      {"pixel size upper left", 10666, 10667, 0, 10099, 9, 9, false, false, 1631},
      {"set 0 current", 10666, 10667, 0, 10099, 10, -1, false, false, 810},
      {"set 1 not current", 10666, 10667, 0, 10099, 11, -1, false, false, 711},
  };
  for (const Case& c : cases) {
    cur().colorMode = c.mode;
    cur().colorKind = c.kind;
    cur().grayNotColor = c.gray;
    cur().viewMode = c.view;
    st().pressedToolbarButton = c.pressed;
    st().pressedLowerHalf = c.lower;
    st().pressedRightHalf = c.right;
    EXPECT_EQ(ToolbarIconId(c.slot), c.expect) << c.what;
  }
}

TEST_F(PaintTest, MainWindowStripAndSeparators) {
  cur().colorMode = 10666;
  cur().colorKind = 10667;
  PixelCanvas pc(600, 44 + 400, 0xC0C0C0);
  PaintMainWindowContent(pc);
  EXPECT_EQ(pc.At(5, 0), 0u);
  EXPECT_EQ(pc.At(5, 1), 0xFFFFFFu);
  EXPECT_EQ(pc.At(5, 39), 0u);
  EXPECT_EQ(pc.At(5, 40), 0xFFFFFFu);
  EXPECT_EQ(pc.At(0, 44), 0xFFFFFFu);  // white background cell
  EXPECT_EQ(pc.At(2, 44), 0xC0C0C0u);  // grid gap shows the window background
  RecordingCanvas rc;
  PaintMainWindowContent(rc);
  int icons = 0;
  for (const CanvasOp& op : rc.Ops()) icons += op.kind == CanvasOp::ICON;
  EXPECT_EQ(icons, 12);
}

TEST_F(PaintTest, ViewPictureCornerRule) {
  cur().colorMode = 10665;
  RecordingCanvas rc;
  PaintViewPicture(rc, 4, 4, 8, 4);
  // Corners at x 0, 4, 8 and y 0, 4: 3 x 2 cells, each one PatBlt of 4 x 4.
  ASSERT_EQ(rc.Ops().size(), 6u);
  for (const CanvasOp& op : rc.Ops()) {
    EXPECT_LE(op.a, 8);
    EXPECT_LE(op.b, 4);
    EXPECT_EQ(op.c, 4);
  }
  cur().pixelViewOriginX = -30;
  rc.Clear();
  PaintViewPicture(rc, 4, 4, 100, 0);
  EXPECT_EQ(rc.Ops().size(), 2u);  // cells 30 and 31 of the first row
}

TEST_F(PaintTest, HighlightTwiceRestores) {
  cur().viewMode = 10099;
  cur().currentElement = 5;
  PixelCanvas pc(300, 100, 0x123456);
  pc.SetPixel(40, 3, 0xABCDEF);
  std::vector<uint32_t> before = pc.Pixels();
  HighlightActiveElement(pc, 2, 2);
  EXPECT_NE(pc.Pixels(), before);
  EXPECT_EQ(pc.At(5 * 8 * 2, 0), ~0x123456u & 0xFFFFFF);
  HighlightActiveElement(pc, 2, 2);
  EXPECT_EQ(pc.Pixels(), before);
}

// Every way of filling a cell sets the same pixels.
TEST_F(PaintTest, FillModesSetTheSamePixels) {
  struct Rect4 {
    int32_t l, t, r, b;
  };
  const Rect4 rects[] = {{3, 4, 4, 5}, {0, 0, 7, 3}, {5, 5, 5, 9}, {2, 2, 1, 1}};
  for (const Rect4& rc : rects) {
    std::vector<std::vector<uint32_t>> results;
    for (FillMode mode : {FILL_PER_PIXEL, FILL_BRUSH, FILL_AUTO}) {
      g_fillCellRectMode = mode;
      PixelCanvas pc(10, 10, 0x111111);
      FillCellRect(pc, rc.l, rc.t, rc.r, rc.b, 0x00AB12);
      results.push_back(pc.Pixels());
    }
    EXPECT_EQ(results[0], results[1]);
    EXPECT_EQ(results[0], results[2]);
  }
  g_fillCellRectMode = FILL_AUTO;
  RecordingCanvas one, block;
  FillCellRect(one, 0, 0, 1, 1, 5);
  FillCellRect(block, 0, 0, 4, 4, 5);
  EXPECT_EQ(one.Ops()[0].kind, CanvasOp::SET_PIXEL);
  EXPECT_EQ(block.Ops().size(), 1u);
  EXPECT_EQ(block.Ops()[0].kind, CanvasOp::FILL);
}

// An element outside the store paints as the set's background; ASan watches.
TEST_F(PaintTest, CellsOutsideTheStorePaintAsBackground) {
  struct Case {
    const char* what;
    int set;
    int view;
  };
  const Case cases[] = {{"set 1 show element", 1, 10096}, {"set 1 group", 1, 10099}, {"set 0 group", 0, 10099}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    st().currentDataSet = c.set;
    DataSet& d = cur();
    d.colorMode = 10666;
    d.colorKind = 10668;
    d.backgroundColorIndex = 7;
    d.palette[7] = 0x0000AA;
    for (int i = 0; i < kCellsPerSet; ++i) d.cells[i] = 7;
    d.viewMode = c.view;
    d.elementCountX = 256;
    d.elementCount = 256;
    d.elementWidth = d.elementHeight = 8;
    for (int i = 0; i < 256; ++i) d.elementWidths[i] = d.elementHeights[i] = 8;
    d.currentElement = 255;
    d.pictureWidth = 1600;
    d.pictureHeight = 1200;
    st().clientWidth = 100000;
    st().workSheetHeight = 100;
    d.mainGroupPixSize = d.mainElementPixSize = 10201;
    UpdateWorkSheetGeometry();
    if (c.view == 10099) {
      d.scrollOffsetX = -1590;  // cells past column 1600 come into view
      d.mainScrollPosX = 1590;
    }
    EXPECT_EQ(d.activeLeft, c.view == 10096 ? 2040 : 0);
    st().pixelGridGap = 0;  // 1-pixel cells show only without the grid
    RecordingCanvas rc;
    PaintWorkSheet(rc);
    size_t fills = 0;
    for (const CanvasOp& op : rc.Ops()) {
      if (op.kind == CanvasOp::FILL || op.kind == CanvasOp::SET_PIXEL) {
        ++fills;
        EXPECT_EQ(op.value, 0x0000AAu);
      }
    }
    EXPECT_GT(fills, 0u);
    PixelCanvas pc(16, 16, 0);
    RenderActiveAreaBitmap(pc, 0xFFFFFF, 0);
  }
}

}  // namespace
}  // namespace dwtest
