// The work-sheet mouse tools driven by mouse messages at client positions.
#include <algorithm>
#include <random>
#include <map>
#include <tuple>

#include "Fakes.h"
#include "core/Geometry.h"
#include "core/MouseTools.h"
#include "core/Paint.h"
#include "core/StateDigest.h"
#include "core/Undo.h"
#include "core/WindowLayout.h"
#include "views/CodePage.h"

namespace dwtest {
namespace {

constexpr int32_t kTop = 44;  // work-sheet top: icon height 32 + 12

int g_indexStartCalls = 0;
int32_t g_indexStartAnswer = 0;
int g_indexStartResult = 1;
int ScriptedIndexStart(int32_t* start) {
  ++g_indexStartCalls;
  *start = g_indexStartAnswer;
  return g_indexStartResult;
}

class MouseToolsTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    ResetMouseTools();
    SetEditIndexStartHook(ScriptedIndexStart);
    g_indexStartCalls = 0;
    g_indexStartResult = 1;
    st().metrics.iconWidth = st().metrics.iconHeight = 32;
    ComputeToolbarRects(32, 32, st().toolbarRects);
    st().workSheetTop = kTop;
    st().clientWidth = 640;
    st().workSheetHeight = 400;
    cur().colorMode = 10665;
    cur().penColor = 10019;
    cur().useHexInCodePage = 0;
    Picture(32, 16, 10204);
  }
  void TearDown() override {
    SetEditIndexStartHook(nullptr);
    ResetMouseTools();
    EditorTest::TearDown();
  }
  void Picture(int32_t w, int32_t h, int32_t pixSize) {
    cur().pictureWidth = w;
    cur().pictureHeight = h;
    cur().mainGroupPixSize = cur().mainElementPixSize = pixSize;
    UpdateWorkSheetGeometry();
    std::fill(cur().cells, cur().cells + kCellsPerSet, 0u);
  }
  void Tool(int32_t mode, int32_t tool) {
    cur().mouseMode = mode;
    cur().currentTool = tool;
  }
  // Show Group: 10 elements of 8 x 8, 4 a row (a 32 x 24 picture).
  void GroupOfTen() {
    cur().viewMode = 10099;
    cur().elementCount = 10;
    cur().elementCountX = 4;
    cur().elementWidth = cur().elementHeight = 8;
    for (int i = 0; i < 10; ++i) cur().elementWidths[i] = cur().elementHeights[i] = 8;
    Picture(32, 24, 10204);
  }
  int32_t CellW() { return cur().viewMode == 10096 ? cur().elementCellWidth : cur().mainCellWidth; }
  int32_t CellH() { return cur().viewMode == 10096 ? cur().elementCellHeight : cur().mainCellHeight; }
  // Client position of the middle of picture cell (x, y) on the work sheet.
  intptr_t At(int32_t x, int32_t y) {
    return MousePosition((x - cur().activeLeft + cur().scrollOffsetX) * CellW() + CellW() / 2,
                         kTop + (y - cur().activeTop + cur().scrollOffsetY) * CellH() + CellH() / 2);
  }
  // Client position of the boundary left of column x (above row y).
  intptr_t Boundary(int32_t x, int32_t y) {
    return MousePosition((x - cur().activeLeft + cur().scrollOffsetX) * CellW(),
                         kTop + (y - cur().activeTop + cur().scrollOffsetY) * CellH());
  }
  void Scroll(int32_t x, int32_t y) {
    cur().mainScrollPosX = x;
    cur().mainScrollPosY = y;
    cur().scrollOffsetX = -x;
    cur().scrollOffsetY = -y;
  }
  void Click(intptr_t pos, uintptr_t keys = 0) {
    HandleLButtonDown(keys | MKEY_LBUTTON, pos);
    HandleLButtonUp(keys, pos);
  }
  void Drag(intptr_t from, intptr_t to) {
    HandleLButtonDown(MKEY_LBUTTON, from);
    HandleMouseMove(MKEY_LBUTTON, to);
    HandleLButtonUp(0, to);
  }
  uint32_t& Cell(int32_t x, int32_t y) { return *CellPtr(st(), st().currentDataSet, x, y); }
  size_t SetCells(int32_t w = 40, int32_t h = 40) {
    size_t n = 0;
    for (int32_t x = 0; x < w; ++x)
      for (int32_t y = 0; y < h; ++y) n += Cell(x, y) != 0;
    return n;
  }
  uint64_t Digest() { return DigestDataSet(st(), st().currentDataSet, DigestCells{64, 64}); }
  intptr_t Toolbar(int button, bool lower, bool right) {
    const Rect& r = st().toolbarRects[button];
    return MousePosition(right ? r.right - 2 : r.left + 2, lower ? 4 + 30 : 4 + 2);
  }
};

TEST_F(MouseToolsTest, TogglePenChangesACellOncePerEntry) {
  Tool(100, 10079);
  cur().penColor = 10078;
  const int32_t ax = 3, ay = 3, bx = 4, by = 3;
  HandleLButtonDown(MKEY_LBUTTON, At(ax, ay));
  EXPECT_EQ(Cell(ax, ay), 1u);
  // Moves inside the same cell: it stays toggled once.
  HandleMouseMove(MKEY_LBUTTON, At(ax, ay) + 1);
  HandleMouseMove(MKEY_LBUTTON, At(ax, ay));
  EXPECT_EQ(Cell(ax, ay), 1u);
  HandleMouseMove(MKEY_LBUTTON, At(bx, by));
  HandleMouseMove(MKEY_LBUTTON, At(ax, ay));
  HandleLButtonUp(0, At(ax, ay));
  EXPECT_EQ(Cell(ax, ay), 0u);  // toggled twice
  EXPECT_EQ(Cell(bx, by), 1u);  // toggled once
  EXPECT_TRUE(cur().modified);
  EXPECT_EQ(windows.openCanvases, 0);
  // A move after the button went up elsewhere ends the stroke.
  HandleLButtonDown(MKEY_LBUTTON, At(6, 6));
  HandleMouseMove(0, At(7, 6));
  EXPECT_EQ(Cell(7, 6), 0u);
}

TEST_F(MouseToolsTest, ClicksThatChangeNothingTakeNoSnapshot) {
  Cell(2, 2) = 1;
  struct Case {
    const char* what;
    int32_t mode, tool;
    intptr_t pos;
  };
  const Case cases[] = {
      {"Black pen on a black cell", 100, 10079, At(2, 2)},
      {"below the picture", 100, 10079, MousePosition(10, kTop + 200)},
      {"column inserted into an empty row", 102, 10034, Boundary(5, 1)},
      {"row deleted from empty columns", 102, 10038, At(5, 5)},
      {"Black fill of a black cell", 106, 10282, At(2, 2)},
      {"shape off the picture", 103, 10017, MousePosition(300, kTop + 300)},
  };
  for (const Case& c : cases) {
    Tool(c.mode, c.tool);
    uint64_t before = Digest();
    Click(c.pos);
    EXPECT_EQ(Digest(), before) << c.what;
    EXPECT_FALSE(cur().modified) << c.what;
  }
}

TEST_F(MouseToolsTest, EachEditIsOneUndoStep) {
  struct Case {
    const char* what;
    int32_t mode, tool;
    intptr_t from, to;
  };
  const Case cases[] = {
      {"pen stroke", 100, 10079, At(1, 1), At(9, 1)},
      {"solid ellipse", 103, 10015, At(2, 2), At(12, 9)},
      {"flood fill", 106, 10282, At(20, 10), At(20, 10)},
      {"insert column", 102, 10034, Boundary(3, 2), Boundary(3, 2)},
  };
  for (const Case& c : cases) {
    Picture(32, 16, 10204);
    Cell(5, 2) = 1;  // something for the column tool to shift
    Tool(c.mode, c.tool);
    PushUndo();
    uint64_t before = DigestDataSetContent(st(), st().currentDataSet);
    HandleLButtonDown(MKEY_LBUTTON, c.from);
    HandleMouseMove(MKEY_LBUTTON, c.to);
    HandleLButtonUp(0, c.to);
    ASSERT_NE(DigestDataSetContent(st(), st().currentDataSet), before) << c.what;
    UndoEdit();
    EXPECT_EQ(DigestDataSetContent(st(), st().currentDataSet), before) << c.what;
  }
}

TEST_F(MouseToolsTest, ToolbarButtonsPostTheirCommands) {
  struct Case {
    int button;
    bool lower, right;
    int command;
    bool repeats;
  };
  const Case cases[] = {
      {0, false, false, 10660, false}, {1, true, true, 57601, false},  {6, false, false, 57637, false},
      {7, false, false, 57643, false}, {7, true, false, 57644, false}, {9, false, false, 10235, true},
      {9, true, false, 10236, true},   {9, false, true, 10680, true},  {9, true, true, 10681, true},
      {10, false, false, 10153, false}, {11, true, true, 10154, false},
  };
  for (const Case& c : cases) {
    windows.posted.clear();
    HandleLButtonDown(MKEY_LBUTTON, Toolbar(c.button, c.lower, c.right));
    ASSERT_EQ(windows.posted, std::vector<int>{c.command}) << c.button;
    EXPECT_EQ(st().pressedToolbarButton, c.button);
    EXPECT_EQ(st().pressedLowerHalf, c.lower);
    EXPECT_EQ(st().repeatHeld, c.repeats) << c.button;
    if (c.repeats) {
      EXPECT_EQ(st().repeatCommand, c.command);
    }
    HandleLButtonUp(0, Toolbar(c.button, c.lower, c.right));
    EXPECT_EQ(st().pressedToolbarButton, -1);
    EXPECT_FALSE(st().repeatHeld);
  }
  // Between the buttons nothing happens.
  windows.posted.clear();
  HandleLButtonDown(MKEY_LBUTTON, MousePosition(st().toolbarRects[3].right + 1, 10));
  EXPECT_TRUE(windows.posted.empty());
  EXPECT_EQ(windows.openCanvases, 0);
}

TEST_F(MouseToolsTest, ToolbarElementButtonSteps) {
  HandleLButtonDown(MKEY_LBUTTON, Toolbar(8, false, false));
  EXPECT_EQ(prompter.beeps, 1);  // Single Icon view
  GroupOfTen();
  cur().currentElement = 9;
  HandleLButtonDown(MKEY_LBUTTON, Toolbar(8, false, false));
  EXPECT_EQ(cur().currentElement, 0);
  HandleLButtonDown(MKEY_LBUTTON, Toolbar(8, true, false));
  HandleLButtonDown(MKEY_LBUTTON, Toolbar(8, true, false));
  EXPECT_EQ(cur().currentElement, 8);
  EXPECT_EQ(cur().currentElementColumn, 0);
  EXPECT_EQ(cur().currentElementRow, 2);
  EXPECT_TRUE(windows.posted.empty());
}

TEST_F(MouseToolsTest, ShapesDrawBetweenTheCornerCells) {
  struct Case {
    const char* what;
    int32_t tool;
    int32_t x0, y0, x1, y1;
    size_t cells;
  };
  const Case cases[] = {
      {"solid line", 10018, 2, 5, 9, 5, 8},
      {"hollow rectangle", 10016, 1, 1, 4, 3, 10},
      {"hollow rectangle reversed", 10016, 4, 3, 1, 1, 10},
      {"solid rectangle", 10017, 1, 1, 4, 3, 12},
      {"solid rectangle reversed", 10017, 4, 3, 1, 1, 12},
      {"clipped off the picture's right", 10017, 30, 1, 36, 2, 4},
      {"solid ellipse", 10015, 0, 0, 4, 4, 21},
  };
  for (const Case& c : cases) {
    Picture(32, 16, 10204);
    Tool(103, c.tool);
    windows.clientCanvas.Clear();
    Drag(At(c.x0, c.y0), At(c.x1, c.y1));
    EXPECT_EQ(SetCells(), c.cells) << c.what;
    // The rubber band was drawn away again: every inverted run twice.
    std::map<std::tuple<int32_t, int32_t, int32_t, int32_t>, int> runs;
    for (const CanvasOp& op : windows.clientCanvas.Ops()) {
      if (op.kind == CanvasOp::LINE && op.pen == PEN_STOCK_WHITE) ++runs[std::make_tuple(op.a, op.b, op.c, op.d)];
    }
    EXPECT_FALSE(runs.empty()) << c.what;
    for (const auto& r : runs) EXPECT_EQ(r.second % 2, 0) << c.what;
    EXPECT_EQ(windows.openCanvases, 0);
  }
  Picture(32, 16, 10204);
  Tool(103, 10018);
  Drag(At(2, 5), At(9, 5));
  for (int32_t x = 0; x < 32; ++x) EXPECT_EQ(Cell(x, 5), x >= 2 && x <= 9 ? 1u : 0u) << x;
  // A drag that starts off the picture still draws what lies on it.
  Picture(32, 16, 10204);
  Drag(MousePosition(-1 + 40 * 4, kTop + 2), At(30, 0));
  EXPECT_EQ(SetCells(), 2u);
}

TEST_F(MouseToolsTest, ShapesInShowElementStayInTheElement) {
  cur().viewMode = 10096;
  cur().elementCount = 8;
  cur().elementCountX = 4;
  cur().elementWidth = cur().elementHeight = 8;
  cur().currentElement = 5;  // cells 8..15 x 8..15
  Picture(32, 16, 10204);
  Tool(103, 10017);
  Drag(At(10, 10), At(30, 30));
  EXPECT_EQ(SetCells(), 36u);
  EXPECT_EQ(Cell(15, 15), 1u);
  EXPECT_EQ(Cell(16, 15), 0u);
}

TEST_F(MouseToolsTest, ColumnAndRowTools) {
  const uint32_t A = 10, B = 11, C = 12, D = 13, E = 14, X = 99;
  struct Case {
    const char* what;
    int32_t tool;
    int32_t at;  // boundary for insertions, cell for deletions
    uint32_t expect[5];
  };
  const Case cases[] = {
      {"insert column at boundary 2", 10034, 2, {A, B, C, C, D}},
      {"delete column 1", 10037, 1, {A, C, D, E, E}},
      {"insert row at boundary 2", 10035, 2, {A, B, C, C, D}},
      {"delete row 1", 10038, 1, {A, C, D, E, E}},
  };
  struct Place {
    int32_t size, offset, scroll;
  };
  const Place places[] = {{5, 0, 0}, {15, 10, 8}};
  for (const Place& pl : places) {
    for (const Case& c : cases) {
      bool rows = c.tool == 10035 || c.tool == 10038;
      Picture(rows ? 3 : pl.size, rows ? pl.size : 3, 10204);
      Scroll(rows ? 0 : pl.scroll, rows ? pl.scroll : 0);
      const uint32_t line[5] = {A, B, C, D, E};
      for (int32_t i = 0; i < pl.size; ++i) {
        uint32_t v = i < pl.offset ? X : line[i - pl.offset];
        for (int32_t k = 0; k < 3; ++k) (rows ? Cell(k, i) : Cell(i, k)) = v;
      }
      Tool(102, c.tool);
      int32_t at = pl.offset + c.at;
      bool insert = c.tool == 10034 || c.tool == 10035;
      intptr_t pos = insert ? (rows ? Boundary(1, at) + 1 : Boundary(at, 1) + (1 << 16))
                            : (rows ? At(1, at) : At(at, 1));
      Click(pos);
      for (int32_t i = 0; i < pl.size; ++i) {
        uint32_t want = i < pl.offset ? X : c.expect[i - pl.offset];
        for (int32_t k = 0; k < 3; ++k)
          ASSERT_EQ(rows ? Cell(k, i) : Cell(i, k), want) << c.what << " scrolled " << pl.scroll << " at " << i;
      }
    }
  }
}

TEST_F(MouseToolsTest, ColumnToolsInShowGroupStayInTheElement) {
  GroupOfTen();
  for (int32_t x = 0; x < 32; ++x) Cell(x, 0) = static_cast<uint32_t>(x + 1);
  Tool(102, 10037);
  Click(At(9, 0));  // element 1: columns 8..15
  EXPECT_EQ(Cell(8, 0), 9u);
  EXPECT_EQ(Cell(9, 0), 11u);
  EXPECT_EQ(Cell(14, 0), 16u);
  EXPECT_EQ(Cell(15, 0), 16u);
  EXPECT_EQ(Cell(16, 0), 17u);  // element 2 untouched
}

TEST_F(MouseToolsTest, EditFrameOrderedAndNarrowing) {
  Tool(105, 10120);
  Drag(At(9, 7), At(2, 3));
  Rect f;
  ASSERT_TRUE(GetEditFrame(&f));
  EXPECT_EQ(f.left, 2);
  EXPECT_EQ(f.right, 9);
  EXPECT_EQ(f.top, 3);
  EXPECT_EQ(f.bottom, 7);
  ToggleEditFrame(1);
  EXPECT_EQ(cur().activeLeft, 2);
  EXPECT_EQ(cur().activeRight, 10);
  EXPECT_EQ(cur().activeTop, 3);
  EXPECT_EQ(cur().activeBottom, 8);
  ToggleEditFrame(0);
  EXPECT_EQ(cur().activeRight, 32);
  EXPECT_EQ(cur().activeBottom, 16);
  // A frame dragged past the picture stops at its edge.
  Drag(At(30, 14), MousePosition(639, kTop + 399));
  ASSERT_TRUE(GetEditFrame(&f));
  EXPECT_EQ(f.right, 31);
  EXPECT_EQ(f.bottom, 15);
  // The work sheet's paint draws the frame in blue.
  RecordingCanvas rc;
  st().clientWidth = 640;
  PaintWorkSheet(rc);
  int blue = 0;
  for (const CanvasOp& op : rc.Ops()) blue += op.kind == CanvasOp::LINE && op.penColor == 0x00FF0000;
  EXPECT_EQ(blue, 4);
}

TEST_F(MouseToolsTest, EditFrameInShowElementStaysOnTheElement) {
  cur().viewMode = 10096;
  cur().elementCount = 8;
  cur().elementCountX = 4;
  cur().elementWidth = cur().elementHeight = 8;
  cur().currentElement = 5;  // cells 8..15 x 8..15 of a 32 x 16 picture
  Picture(32, 16, 10204);
  Tool(105, 10120);
  Drag(At(13, 12), MousePosition(639, kTop + 399));
  Rect f;
  ASSERT_TRUE(GetEditFrame(&f));
  EXPECT_EQ(f.left, 5);
  EXPECT_EQ(f.right, 7);
  EXPECT_EQ(f.top, 4);
  EXPECT_EQ(f.bottom, 7);
  ToggleEditFrame(1);
  EXPECT_EQ(cur().activeLeft, 13);
  EXPECT_EQ(cur().activeRight, 16);
  EXPECT_EQ(cur().activeTop, 12);
  EXPECT_EQ(cur().activeBottom, 16);
  ToggleEditFrame(0);
  EXPECT_EQ(cur().activeLeft, 8);
  EXPECT_EQ(cur().activeRight, 16);
}

TEST_F(MouseToolsTest, StatusTexts) {
  GroupOfTen();
  CodePageTable t = CurrentCodePage();
  *t.count = 1;
  t.startChar[0] = 0x20;
  t.endChar[0] = 0x7E;
  t.symbolBase[0] = 0;
  cur().useCodePage = 1;
  struct Case {
    int32_t x, y;
    int32_t hex;
    const char* text;
  };
  const Case cases[] = {
      {20, 20, 0, "20,20  Outside Picture"},
      {9, 3, 0, "9,3   Element 1: 1,3  Char 33"},
      {9, 3, 1, "9,3   Element 0x01: 1,3  Char 0x0021"},
      {40, 3, 0, "40,3  Outside Picture"},
  };
  for (const Case& c : cases) {
    cur().useHexInCodePage = c.hex;
    HandleMouseMove(0, At(c.x, c.y));
    EXPECT_EQ(st().statusText, c.text);
  }
  cur().useCodePage = 0;
  HandleMouseMove(0, At(9, 3));
  EXPECT_EQ(st().statusText, "9,3   Element 1: 1,3");
  // Other views: the cell, and in colour mode its colour.
  Picture(32, 16, 10204);
  cur().viewMode = 10097;
  UpdateWorkSheetGeometry();
  cur().colorMode = 10666;
  cur().colorKind = 10667;
  Cell(4, 5) = 0x00030201;
  HandleMouseMove(0, At(4, 5));
  EXPECT_EQ(st().statusText, "4,5   RGB 1,2,3");
  cur().colorKind = 10668;
  cur().palette[7] = 0x00112233;
  Cell(4, 5) = 7;
  HandleMouseMove(0, At(4, 5));
  EXPECT_EQ(st().statusText, "4,5   PaletteIndex 0x07   RGB 51,34,17");
}

TEST_F(MouseToolsTest, RightClicks) {
  GroupOfTen();
  HandleRButtonDown(0, At(12, 9));  // element 5
  EXPECT_EQ(st().statusText, "0x05  5");
  EXPECT_EQ(windows.posted, std::vector<int>{10096});
  EXPECT_EQ(cur().currentElement, 5);
  HandleRButtonDown(0, At(20, 20));  // past the last element
  EXPECT_EQ(prompter.beeps, 1);
  cur().viewMode = 10096;
  HandleRButtonDown(0, At(1, 1));
  EXPECT_EQ(windows.posted.back(), 10099);
  cur().viewMode = 10097;
  UpdateWorkSheetGeometry();
  HandleRButtonDown(0, At(1, 1));
  EXPECT_EQ(prompter.beeps, 2);

  // Ctrl: the cell's colour becomes the pen.
  windows.posted.clear();
  Cell(3, 3) = 1;
  HandleRButtonDown(MKEY_CONTROL, At(3, 3));
  HandleRButtonDown(MKEY_CONTROL, At(4, 3));
  EXPECT_EQ(windows.posted, (std::vector<int>{10019, 10020}));
  HandleRButtonDown(MKEY_CONTROL, MousePosition(600, kTop + 300));
  EXPECT_EQ(prompter.beeps, 3);
  cur().colorMode = 10666;
  cur().colorKind = 10668;
  Cell(3, 3) = 42;
  HandleRButtonDown(MKEY_CONTROL, At(3, 3));
  EXPECT_EQ(cur().toolColorIndex, 42);
}

TEST_F(MouseToolsTest, CodePageRangeByMouse) {
  GroupOfTen();
  Tool(108, 10356);
  StartCodePageIndexTool();
  CodePageTable t = CurrentCodePage();
  *t.count = 0;
  g_indexStartAnswer = 0x41;
  Click(At(3 * 8 + 1, 1));  // element 3
  EXPECT_EQ(windows.classCursor[WIN_MAIN], 967);
  EXPECT_EQ(cur().useCodePage, 1);
  HandleMouseMove(0, At(1 * 8 + 1, 8 + 1));  // element 5 while the range is made
  EXPECT_EQ(st().statusText, "9,9   Element 5: 1,1  Char 67");
  Click(At(2 * 8 + 1, 8 + 1));  // element 6
  EXPECT_EQ(windows.classCursor[WIN_MAIN], 968);
  ASSERT_EQ(*t.count, 1);
  EXPECT_EQ(std::make_tuple(t.startChar[0], t.endChar[0], t.symbolBase[0]), std::make_tuple(0x41, 0x44, 3));
  EXPECT_EQ(st().statusText, "Element 6  Char 68");
}

TEST_F(MouseToolsTest, CodePageToolRefusesBeforeAnySnapshot) {
  GroupOfTen();
  Tool(108, 10356);
  CodePageTable t = CurrentCodePage();
  struct Case {
    const char* what;
    int32_t count, x, y;
    int result;
  };
  const Case cases[] = {
      {"a full table", kMaxCodePageRanges, 1, 1, 1},
      {"outside the grid", 0, 20, 20, 1},
      {"Cancel", 0, 1, 1, 0},
  };
  for (const Case& c : cases) {
    *t.count = c.count;
    g_indexStartResult = c.result;
    int calls = g_indexStartCalls;
    uint64_t before = Digest();
    Click(At(c.x, c.y));
    EXPECT_EQ(Digest(), before) << c.what;
    EXPECT_FALSE(cur().modified) << c.what;
    EXPECT_EQ(g_indexStartCalls - calls, c.result ? 0 : 1) << c.what;
  }
}

TEST_F(MouseToolsTest, FloodFillByClick) {
  Picture(300, 300, 10201);
  Tool(106, 10282);
  Click(At(150, 150));
  EXPECT_EQ(SetCells(300, 300), 90000u);
  EXPECT_TRUE(prompter.prompts.empty());
  EXPECT_TRUE(cur().modified);
  // The Toggle pen fills with the seed's opposite.
  cur().penColor = 10078;
  Cell(5, 5) = 0;
  Click(At(5, 5));
  EXPECT_EQ(Cell(5, 5), 1u);
  EXPECT_EQ(SetCells(300, 300), 90000u);
}

TEST_F(MouseToolsTest, TypingClickMovesTheCaret) {
  Tool(104, 10405);
  Click(At(31, 15));
  EXPECT_EQ(cur().textCursorX, 31);
  EXPECT_EQ(cur().textCursorY, 15);
  EXPECT_GT(windows.sheetInvalidations, 0);  // the character box passes the edge
}

TEST_F(MouseToolsTest, PensPaintTheCellAndThePreviewInstead) {
  Tool(100, 10079);
  windows.clientCanvas.Clear();
  DrawPixelWithPen(2, 1);
  bool painted = false;
  for (const CanvasOp& op : windows.clientCanvas.Ops())
    painted = painted || (op.kind == CanvasOp::PAT_BLT && op.a == 8 && op.b == kTop + 4 && op.value == ROP_BLACKNESS);
  EXPECT_TRUE(painted);
  EXPECT_EQ(Cell(2, 1), 1u);
  RecordingCanvas preview;
  SetPenPreviewSurface(&preview);
  DrawPixelWithInversePen(2, 1);
  SetPenPreviewSurface(nullptr);
  EXPECT_EQ(Cell(2, 1), 1u);
  ASSERT_EQ(preview.Ops().size(), 1u);
  EXPECT_EQ(preview.Ops()[0].a, 6);
  EXPECT_EQ(preview.Ops()[0].b, 3);
  DrawPixelWithInversePen(2, 1);
  EXPECT_EQ(Cell(2, 1), 0u);
  // Outside the store nothing is written and nothing breaks.
  DrawPixelWithPen(-1, 5);
  DrawPixelWithPen(1600, 0);
  EXPECT_EQ(windows.openCanvases, 0);
}

TEST_F(MouseToolsTest, AnyEventsOnAnyStateStayInside) {
  std::mt19937 rng(106);
  auto pick = [&](std::initializer_list<int32_t> v) {
    return *(v.begin() + std::uniform_int_distribution<size_t>(0, v.size() - 1)(rng));
  };
  std::uniform_int_distribution<int> coord(-40000, 40000), small(-50, 700), event(0, 5);
  const int32_t tools[][2] = {{100, 10079}, {102, 10034}, {102, 10035}, {102, 10037}, {102, 10038},
                              {103, 10014}, {103, 10015}, {103, 10016}, {103, 10017}, {103, 10018},
                              {104, 10405}, {105, 10120}, {106, 10282}, {108, 10356}, {110, 0},
                              {112, 10910}, {99, 0}};
  for (int round = 0; round < 60; ++round) {
    cur().viewMode = pick({10096, 10097, 10098, 10099});
    cur().elementCount = pick({1, 10, 65536});
    cur().elementCountX = pick({1, 4, 32});
    cur().elementWidth = pick({1, 8, 200});
    cur().elementHeight = pick({1, 8, 150});
    cur().currentElement = pick({0, 5, 65535});
    cur().variableElementSizes = round % 3 == 0;
    cur().colorMode = pick({10665, 10666});
    cur().colorKind = pick({10667, 10668});
    cur().penColor = pick({10019, 10020, 10078, 0});
    cur().useCodePage = round % 2;
    Picture(pick({1, 32, 1600}), pick({1, 16, 1200}), pick({10200, 10201, 10204, 10207}));
    Scroll(pick({0, 3, 5000}), pick({0, 2}));
    const int32_t* t = tools[round % (sizeof tools / sizeof tools[0])];
    Tool(t[0], t[1]);
    for (int i = 0; i < 40; ++i) {
      intptr_t pos = i % 4 == 0 ? MousePosition(coord(rng), coord(rng)) : MousePosition(small(rng), small(rng));
      uintptr_t keys = static_cast<uintptr_t>(pick({0, 1, 8, 9}));
      switch (event(rng)) {
        case 0: HandleLButtonDown(keys | MKEY_LBUTTON, pos); break;
        case 1: HandleLButtonUp(keys, pos); break;
        case 2: HandleRButtonDown(keys, pos); break;
        case 3: HandleRButtonUp(keys, pos); break;
        default: HandleMouseMove(keys, pos); break;
      }
    }
    ToggleEditFrame(1);
    ToggleEditFrame(0);
    HandleLButtonUp(0, MousePosition(0, 0));
    ASSERT_EQ(windows.openCanvases, 0);
  }
}

}  // namespace
}  // namespace dwtest
