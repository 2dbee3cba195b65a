// Element grid operations and the element tools of the work sheet.
#include <functional>
#include <string>
#include <tuple>

#include "Fakes.h"
#include "core/CountDialogs.h"
#include "core/Elements.h"
#include "core/Geometry.h"
#include "core/StateDigest.h"
#include "core/Undo.h"
#include "views/CodePage.h"
#include "views/FontRender.h"

namespace dwtest {
namespace {

using Range = std::tuple<int32_t, int32_t, int32_t>;  // start, end, base

// What the scripted count dialogs answer.
struct DialogScript {
  int answer = 0;
  int32_t count = 0, firstChar = 0;
  int32_t methodAfter = 0;  // the delete method OK leaves (0: unchanged)
  int calls = 0;
};
DialogScript g_script;

int ScriptedInsert(int32_t* count, int32_t* firstChar) {
  ++g_script.calls;
  if (!g_script.answer) return 0;
  *count = g_script.count;
  *firstChar = g_script.firstChar;
  return 1;
}
int ScriptedDelete(int32_t* count) {
  ++g_script.calls;
  if (g_script.methodAfter) g_ed->cfg.elementDeleteMethod = g_script.methodAfter;
  if (!g_script.answer) return 0;
  *count = g_script.count;
  return 1;
}

constexpr uint32_t kBackground = 0xFFFFFF;  // RGB kind's background
constexpr uint32_t kStale = 0xBAD;

// Show Group with numbered elements: every cell of element n holds Mark(n).
class ElementsTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    ResetElementTools();
    g_script = DialogScript();
    SetElementInsertHook(ScriptedInsert);
    SetElementDeleteHook(ScriptedDelete);
    ResetFontViewFont();
    st().clientWidth = 640;
    st().workSheetHeight = 480;
    Grid(10, 4, 8, 8);
  }
  static uint32_t Mark(int32_t n) { return 0x1000 + static_cast<uint32_t>(n); }

  void Grid(int32_t count, int32_t countX, int32_t w, int32_t h) {
    DataSet& s = cur();
    s.viewMode = 10099;
    s.mouseMode = 107;
    s.elementWidth = w;
    s.elementHeight = h;
    s.elementCount = count;
    s.elementCountX = countX;
    for (int32_t i = 0; i < kMaxElements; ++i) {
      s.elementWidths[i] = w;
      s.elementHeights[i] = h;
    }
    std::fill(s.cells, s.cells + kCellsPerSet, kBackground);
    for (int32_t n = 0; n < count; ++n) Fill(n, countX, Mark(n));
    s.pictureWidth = w * std::min(countX, count);
    s.pictureHeight = h * ((count + countX - 1) / countX);
    CodePageTable t = CurrentCodePage();
    ClearCodePageRanges(t);
    AddCodePageRange(t, 0x20, 0x20 + count - 1, 0);
    UpdateWorkSheetGeometry();
  }
  void Fill(int32_t n, int32_t countX, uint32_t v) {
    const DataSet& s = cur();
    int32_t x0 = (n % countX) * s.elementWidth, y0 = (n / countX) * s.elementHeight;
    for (int32_t x = x0; x < x0 + s.elementWidth; ++x)
      for (int32_t y = y0; y < y0 + s.elementHeight; ++y) *CellPtr(st(), st().currentDataSet, x, y) = v;
  }
  // True when every cell of element n's place (under countX) holds v.
  bool Holds(int32_t n, uint32_t v, int32_t countX = 0) {
    const DataSet& s = cur();
    if (countX == 0) countX = s.elementCountX;
    int32_t x0 = (n % countX) * s.elementWidth, y0 = (n / countX) * s.elementHeight;
    for (int32_t x = x0; x < x0 + s.elementWidth; ++x)
      for (int32_t y = y0; y < y0 + s.elementHeight; ++y)
        if (*CellPtr(st(), st().currentDataSet, x, y) != v) return false;
    return true;
  }
  // A click on the left edge region of element n (insertions go before it).
  void ClickBefore(int32_t n) {
    const DataSet& s = cur();
    int32_t dx = std::min(1, s.elementWidth - 1), dy = std::min(1, s.elementHeight - 1);
    ElementToolLButtonDown((n % s.elementCountX) * s.elementWidth + dx, (n / s.elementCountX) * s.elementHeight + dy);
  }
  void ClickOn(int32_t n) {
    const DataSet& s = cur();
    ElementToolLButtonDown((n % s.elementCountX) * s.elementWidth + s.elementWidth - 1,
                           (n / s.elementCountX) * s.elementHeight + s.elementHeight - 1);
  }
  void Insert(int32_t tool, int32_t n, int32_t firstChar = 0x100) {
    cur().currentTool = tool;
    g_script.answer = 1;
    g_script.count = n;
    g_script.firstChar = firstChar;
  }
  std::vector<Range> CodePage() {
    CodePageTable t = CurrentCodePage();
    std::vector<Range> out;
    for (int32_t i = 0; i < *t.count; ++i) out.emplace_back(t.startChar[i], t.endChar[i], t.symbolBase[i]);
    return out;
  }
  uint64_t Digest() { return DigestDataSet(st(), st().currentDataSet); }
};

TEST_F(ElementsTest, InsertEmptyAndCopies) {
  struct Case {
    const char* what;
    int32_t tool, at, n;
    int32_t count;  // afterwards
    std::vector<std::pair<int32_t, int32_t>> from;  // (element, old element or -1 for background)
    std::vector<Range> codePage;
  } cases[] = {
      {"3 empty at 5 of 10", 10350, 5, 3, 13,
       {{4, 4}, {5, -1}, {6, -1}, {7, -1}, {8, 5}, {9, 6}, {12, 9}},
       {{0x20, 0x24, 0}, {0x25, 0x29, 8}, {0x100, 0x102, 5}}},
      {"2 copies at 5", 10351, 5, 2, 12,
       {{4, 4}, {5, 5}, {6, 6}, {7, 5}, {8, 6}, {11, 9}},
       {{0x20, 0x24, 0}, {0x25, 0x29, 7}, {0x100, 0x101, 5}}},
      {"2 empty at the end over stale cells", 10350, 10, 2, 12,
       {{9, 9}, {10, -1}, {11, -1}},
       {{0x20, 0x29, 0}, {0x100, 0x101, 10}}},
      {"a copy at the end has nothing to copy", 10351, 10, 1, 11,
       {{9, 9}, {10, -1}},
       {{0x20, 0x29, 0}, {0x100, 0x100, 10}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Grid(10, 4, 8, 8);
    Fill(10, 4, kStale);
    Fill(11, 4, kStale);
    Insert(c.tool, c.n);
    ClickBefore(c.at);
    EXPECT_EQ(cur().elementCount, c.count);
    for (auto& f : c.from) EXPECT_TRUE(Holds(f.first, f.second < 0 ? kBackground : Mark(f.second))) << f.first;
    EXPECT_EQ(CodePage(), c.codePage);
    EXPECT_EQ(cur().pictureWidth, 32);
    EXPECT_EQ(cur().pictureHeight, 8 * ((c.count + 3) / 4));
    EXPECT_TRUE(cur().modified);
    EXPECT_TRUE(prompter.prompts.empty());
  }
}

TEST_F(ElementsTest, InsertionPointIsTheNearestBoundary) {
  Insert(10350, 1);
  // Cell 5 of element 5 (columns 8..15) lies nearer to element 6.
  ElementToolLButtonDown(8 + 5, 9);
  EXPECT_TRUE(Holds(5, Mark(5)));
  EXPECT_TRUE(Holds(6, kBackground));
  EXPECT_TRUE(Holds(7, Mark(6)));
}

TEST_F(ElementsTest, InsertionsAreCutToTheRoomLeft) {
  struct Case {
    const char* what;
    int32_t count, countX, w, h, n;
    int32_t countAfter;
    const char* message;
  } cases[] = {
      {"rows past 1200", 29999, 200, 8, 8, 3, 30000, "Sorry - Only room for 1 more characters"},
      {"no room at all", 30000, 200, 8, 8, 3, 30000, "Sorry - Only room for 0 more characters"},
      {"count limit, silent", 65530, 1600, 1, 1, 10, 65535, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    prompter.prompts.clear();
    Grid(c.count, c.countX, c.w, c.h);
    uint64_t before = Digest();
    Insert(10350, c.n);
    // At the end: a click on the free part of the last row, or near the
    // right edge of a full one.
    if (c.count % c.countX) {
      ClickBefore(c.count);
    } else {
      ClickOn(c.count - 1);
    }
    ElementToolLButtonDown(0, 0);  // nothing moves twice: the first click used the room
    EXPECT_EQ(cur().elementCount, c.countAfter);
    if (c.message) {
      ASSERT_GE(prompter.prompts.size(), 1u);
      EXPECT_EQ(prompter.prompts[0].text, c.message);
      EXPECT_EQ(prompter.prompts[0].caption, "Memory Limit");
    } else {
      EXPECT_TRUE(prompter.prompts.empty());
    }
    if (c.countAfter == c.count) {
      EXPECT_EQ(Digest(), before);
    }
    EXPECT_TRUE(Holds(c.count - 1, Mark(c.count - 1)));
  }
}

TEST_F(ElementsTest, DeleteMethods) {
  // One element by click.
  st().cfg.elementDeleteMethod = 10503;
  cur().currentTool = 10352;
  ClickOn(3);
  EXPECT_EQ(cur().elementCount, 9);
  EXPECT_TRUE(Holds(2, Mark(2)));
  EXPECT_TRUE(Holds(3, Mark(4)));
  EXPECT_TRUE(Holds(8, Mark(9)));
  EXPECT_TRUE(Holds(9, kBackground));  // the vacated last place
  EXPECT_EQ(CodePage(), (std::vector<Range>{{0x20, 0x22, 0}, {0x24, 0x29, 3}}));

  // From -> To, clicks on 9 then 4: the first click only remembers.
  Grid(10, 4, 8, 8);
  st().cfg.elementDeleteMethod = 10504;
  uint64_t before = Digest();
  ClickOn(9);
  EXPECT_EQ(Digest(), before);
  EXPECT_EQ(windows.classCursor[WIN_MAIN], 1513);
  ClickOn(4);
  EXPECT_EQ(windows.classCursor[WIN_MAIN], 1512);
  EXPECT_EQ(cur().elementCount, 4);
  for (int32_t n = 0; n < 4; ++n) EXPECT_TRUE(Holds(n, Mark(n)));
  for (int32_t n = 4; n < 10; ++n) EXPECT_TRUE(Holds(n, kBackground)) << n;
  EXPECT_EQ(CodePage(), (std::vector<Range>{{0x20, 0x23, 0}}));
  EXPECT_EQ(cur().pictureHeight, 8);
  // The next click starts a new range.
  ClickOn(1);
  EXPECT_EQ(cur().elementCount, 4);
  EXPECT_EQ(windows.classCursor[WIN_MAIN], 1513);

  // The dialog asks N; a range past the last element is cut to it.
  Grid(10, 4, 8, 8);
  st().cfg.elementDeleteMethod = 10505;
  g_script.answer = 1;
  g_script.count = 5;
  ClickOn(7);
  EXPECT_EQ(cur().elementCount, 7);
  EXPECT_TRUE(Holds(6, Mark(6)));
  EXPECT_TRUE(Holds(7, kBackground));
  EXPECT_TRUE(menu.log.empty());
  // The dialog switched the method: the menu check follows, the delete runs.
  g_script.count = 1;
  g_script.methodAfter = 10503;
  ClickOn(0);
  EXPECT_EQ(cur().elementCount, 6);
  EXPECT_TRUE(menu.Checked(10503));
  EXPECT_FALSE(menu.Checked(10505));
  EXPECT_TRUE(Holds(0, Mark(1)));
}

TEST_F(ElementsTest, ClicksThatDoNothingLeaveNoTrace) {
  struct Case {
    const char* what;
    int32_t tool, method, view;
    int answer;
    int32_t n;
    int32_t x, y;
  } cases[] = {
      {"right of the grid", 10350, 10503, 10099, 1, 1, 32, 0},
      {"below the last row", 10352, 10503, 10099, 1, 1, 0, 24},
      {"past the last element", 10352, 10503, 10099, 1, 1, 20, 20},
      {"not Show Group", 10352, 10503, 10097, 1, 1, 0, 0},
      {"insert cancelled", 10350, 10503, 10099, 0, 3, 0, 0},
      {"insert of 0", 10351, 10503, 10099, 1, 0, 0, 0},
      {"delete cancelled", 10352, 10505, 10099, 0, 3, 0, 0},
      {"delete of all", 10352, 10505, 10099, 1, 10, 0, 0},
      {"another tool", 10079, 10503, 10099, 1, 1, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Grid(10, 4, 8, 8);
    cur().viewMode = c.view;
    cur().currentTool = c.tool;
    st().cfg.elementDeleteMethod = c.method;
    g_script.answer = c.answer;
    g_script.count = c.n;
    uint64_t before = Digest();
    ElementToolLButtonDown(c.x, c.y);
    EXPECT_EQ(Digest(), before);
    EXPECT_FALSE(cur().modified);
  }
  // Clear with a single element: nothing, as with delete.
  Grid(1, 4, 8, 8);
  cur().currentTool = 10353;
  uint64_t before = Digest();
  ClickOn(0);
  EXPECT_EQ(Digest(), before);
}

TEST_F(ElementsTest, ClearBlanksTheClickedElementAndItsSize) {
  cur().variableElementSizes = true;
  cur().elementWidths[2] = 3;
  cur().currentTool = 10353;
  ClickOn(2);
  EXPECT_EQ(cur().elementCount, 10);
  EXPECT_TRUE(Holds(2, kBackground));
  EXPECT_TRUE(Holds(3, Mark(3)));
  EXPECT_EQ(cur().elementWidths[2], 8);
  EXPECT_TRUE(cur().modified);
}

TEST_F(ElementsTest, RefusedCodePageShiftChangesNothing) {
  CodePageTable t = CurrentCodePage();
  auto fill = [&](int32_t n, int32_t span) {
    ClearCodePageRanges(t);
    for (int32_t i = 0; i < n; ++i) {
      t.startChar[i] = i * 4;
      t.endChar[i] = i * 4 + span - 1;
      t.symbolBase[i] = 0;
    }
    *t.count = n;
  };
  // Too many ranges for an insertion; a full table that a delete would split.
  struct Case {
    const char* what;
    int32_t tool, ranges, span;
  } cases[] = {
      {"insert", 10350, 16382, 1},
      {"copy", 10351, 16382, 1},
      {"delete", 10352, kMaxCodePageRanges, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Grid(10, 4, 8, 8);
    fill(c.ranges, c.span);
    Insert(c.tool, 2);
    st().cfg.elementDeleteMethod = 10503;
    prompter.beeps = 0;
    uint64_t before = Digest();
    ClickOn(1);
    EXPECT_EQ(Digest(), before);
    EXPECT_EQ(prompter.beeps, 1);
  }
}

TEST_F(ElementsTest, CopyAndClearReachTheLastColumnAndRow) {
  Grid(30000, 200, 8, 8);
  // Element 199 ends exactly at column 1600, element 29999 at row 1200.
  EXPECT_TRUE(CopyElementCells(199, 0, 200, 200));
  EXPECT_TRUE(Holds(0, Mark(199)));
  EXPECT_TRUE(CopyElementCells(29999, 1, 200, 200));
  EXPECT_TRUE(Holds(1, Mark(29999)));
  EXPECT_TRUE(ClearElement(199, 200, false));
  EXPECT_TRUE(Holds(199, kBackground));
  // One column or row further is outside the store: refused, nothing done.
  uint64_t before = Digest();
  EXPECT_FALSE(CopyElementCells(200, 0, 201, 200));
  EXPECT_FALSE(CopyElementCells(0, 30000, 200, 200));
  EXPECT_FALSE(CopyElementCells(0, 65536, 65536, 65536));
  EXPECT_FALSE(CopyElementCells(-1, 0, 200, 200));
  EXPECT_FALSE(ClearElement(200, 201, true));
  EXPECT_FALSE(MoveElement(5, 30000, 200, 200, true));
  EXPECT_EQ(Digest(), before);
}

TEST_F(ElementsTest, CopyGivesSizesByTheCount) {
  cur().variableElementSizes = true;
  cur().elementWidths[2] = 5;
  cur().elementHeights[2] = 6;
  EXPECT_TRUE(CopyElementCells(2, 3, 4, 4));  // inside the count: the own size
  EXPECT_EQ(cur().elementWidths[3], 5);
  EXPECT_EQ(cur().elementHeights[3], 6);
  EXPECT_TRUE(CopyElementCells(2, 12, 4, 4));  // past it: the common size
  EXPECT_EQ(cur().elementWidths[12], 8);
  EXPECT_TRUE(MoveElement(2, 4, 4, 4, true));
  EXPECT_TRUE(Holds(2, kBackground));
  EXPECT_TRUE(Holds(4, Mark(2)));
  EXPECT_EQ(cur().elementWidths[2], 8);
}

TEST_F(ElementsTest, RelayoutLosesNoElement) {
  Grid(20, 4, 8, 8);
  RelayoutElements(4, 8);
  for (int32_t n = 0; n < 20; ++n) EXPECT_TRUE(Holds(n, Mark(n), 8)) << "count X 8, element " << n;
  EXPECT_TRUE(Holds(20, kBackground, 8));
  RelayoutElements(8, 3);
  for (int32_t n = 0; n < 20; ++n) EXPECT_TRUE(Holds(n, Mark(n), 3)) << "count X 3, element " << n;
  // The places left behind under count X 8 (row 1 from column 3 on) are background.
  EXPECT_TRUE(Holds(14, kBackground, 8));
  RelayoutElements(3, 3);
  RelayoutElements(0, 3);
  for (int32_t n = 0; n < 20; ++n) EXPECT_TRUE(Holds(n, Mark(n), 3));
}

TEST_F(ElementsTest, UndoTakesBackAnEditAcrossRefusals) {
  // The start state is the ring's first snapshot, as after start-up.
  Insert(10350, 3);
  PushUndo();
  cur().modified = false;
  uint64_t start = DigestDataSetContent(st(), st().currentDataSet);
  ClickBefore(5);  // edit A: elements and code page change
  ASSERT_EQ(cur().elementCount, 13);
  uint64_t afterA = DigestDataSetContent(st(), st().currentDataSet);

  // Refused B: a reversed symbol range, a delete of all, an insert without
  // room (two rows of 4 fit 600-cell elements; 13 elements need four).
  const std::function<void()> refused[] = {
      [&] {
        cur().currentTool = 10501;
        st().symbolFrom = 0x45;
        st().symbolTo = 0x41;
      },
      [&] {
        st().cfg.elementDeleteMethod = 10505;
        cur().currentTool = 10352;
        g_script.count = 13;
      },
      [&] {
        Insert(10351, 1);
        cur().elementHeight = 600;
      },
  };
  for (const auto& prepare : refused) {
    prepare();
    uint64_t full = Digest();
    ClickBefore(0);
    EXPECT_EQ(Digest(), full);
  }
  cur().elementHeight = 8;
  cur().currentTool = 10350;

  UndoEdit();
  EXPECT_EQ(DigestDataSetContent(st(), st().currentDataSet), start);
  EXPECT_EQ(CodePage(), (std::vector<Range>{{0x20, 0x29, 0}}));
  RedoEdit();
  EXPECT_EQ(DigestDataSetContent(st(), st().currentDataSet), afterA);
}

class SymbolLineTest : public ElementsTest {
 protected:
  void SetUp() override {
    ElementsTest::SetUp();
    cur().currentTool = 10501;
    st().symbolSelectState = 303;
  }
  void Choose(int32_t from, int32_t to) {
    st().symbolFrom = from;
    st().symbolTo = to;
    st().symbolInsertCount = to - from + 1;
  }
};

TEST_F(SymbolLineTest, ReversedRangeIsRefused) {
  Choose(0x45, 0x41);
  uint64_t before = Digest();
  ClickBefore(5);
  EXPECT_EQ(st().statusText, "Error: Cannot insert -3 symbols");
  EXPECT_EQ(prompter.beeps, 1);
  EXPECT_EQ(Digest(), before);
  EXPECT_EQ(st().symbolSelectState, 301);
  EXPECT_EQ(windows.classCursor[WIN_FONTVIEW], 1504);
  EXPECT_EQ(windows.classCursor[WIN_MAIN], 0);
  EXPECT_TRUE(RenderedCharacters().empty());
}

TEST_F(SymbolLineTest, WithoutAChosenRangeBeeps) {
  Choose(0x41, 0x42);
  st().symbolSelectState = 302;
  uint64_t before = Digest();
  ClickBefore(5);
  EXPECT_EQ(prompter.beeps, 1);
  EXPECT_EQ(Digest(), before);
}

TEST_F(SymbolLineTest, DrawsEachCharacterIntoItsNewElement) {
  struct Case {
    const char* what;
    int32_t fontType, unicode, plane, from, to;
    std::vector<int32_t> drawn;
    Range codePageRun;
    std::vector<std::string> titles;
  } cases[] = {
      {"built-in font", 10405, 0, 0, 0x41, 0x43, {0x41, 0x42, 0x43}, {0x41, 0x43, 5}, {}},
      {"TrueType, Unicode plane 1 page 0x04", 10418, 1, 1, 0x441, 0x443, {0x41, 0x42, 0x43},
       {0x10441, 0x10443, 5},
       {"Making TrueType Font", "Unicode 0x0441", "Unicode 0x0442", "Unicode 0x0443"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Grid(10, 4, 8, 8);
    RenderedCharacters().clear();
    ResetFontViewFont();
    TheFontViewFont().unicodePlane = c.plane;
    TheFontViewFont().unicodePage = 0x7;
    st().cfg.fontType = c.fontType;
    st().cfg.fontTypeUnicode = c.unicode;
    st().symbolSelectState = 303;
    Choose(c.from, c.to);
    ClickBefore(5);
    EXPECT_EQ(cur().elementCount, 13);
    EXPECT_EQ(RenderedCharacters(), c.drawn);
    for (int32_t e = 5; e < 8; ++e) EXPECT_EQ(cur().elementChars[e], e);
    EXPECT_TRUE(Holds(8, Mark(5)));
    EXPECT_TRUE(Holds(12, Mark(9)));
    EXPECT_EQ(CodePage(), (std::vector<Range>{{0x20, 0x24, 0}, {0x25, 0x29, 8}, c.codePageRun}));
    EXPECT_EQ(MakingTTFontTitles(), c.titles);
    // Everything the drawing switched is back.
    EXPECT_FALSE(MakingTTFontOpen());
    EXPECT_FALSE(st().undoSuspended);
    EXPECT_FALSE(TheFontViewFont().wholeFontMode);
    EXPECT_EQ(TheFontViewFont().unicodePage, 0x7);
    EXPECT_EQ(st().symbolSelectState, 301);
    EXPECT_EQ(cur().activeRight, 32);  // the whole picture again
    EXPECT_TRUE(cur().modified);
  }
}

TEST_F(SymbolLineTest, RowsPast1200RelayoutThenCut) {
  // 590 elements of 8 x 8 four a row need 148 rows; 20 more would pass 1200
  // cells, so the grid takes 200 a row and holds them.
  Grid(590, 4, 8, 8);
  Choose(0x20, 0x33);
  ClickOn(589);
  EXPECT_EQ(cur().elementCountX, 200);
  EXPECT_EQ(cur().elementCount, 610);
  for (int32_t n : {0, 3, 4, 200, 589}) EXPECT_TRUE(Holds(n, Mark(n), 200)) << n;
  EXPECT_TRUE(prompter.prompts.empty());
  EXPECT_EQ(cur().pictureWidth, 1600);

  // Already 200 a row: cut to the room, with the message.
  Grid(29990, 200, 8, 8);
  st().symbolSelectState = 303;
  Choose(0x20, 0x3F);
  RenderedCharacters().clear();
  ClickOn(29989);
  EXPECT_EQ(cur().elementCount, 30000);
  ASSERT_EQ(prompter.prompts.size(), 1u);
  EXPECT_EQ(prompter.prompts[0].text, "Sorry - Only room for 10 more characters");
  EXPECT_EQ(RenderedCharacters().size(), 10u);
  EXPECT_EQ(st().symbolTo, 0x29);
}

}  // namespace
}  // namespace dwtest
