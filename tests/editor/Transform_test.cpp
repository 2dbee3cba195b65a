// Picture transformations on small cell fixtures: every picture is written
// as rows of characters (a cell holds the character's code, '.' is 0 and
// '#' is 1) and compared whole after the command.
#include <string>
#include <vector>

#include "Fakes.h"
#include "core/Geometry.h"
#include "core/MainWindow.h"
#include "core/MouseTools.h"
#include "core/StateDigest.h"
#include "core/Transform.h"
#include "core/Undo.h"

namespace dwtest {
namespace {

using Rows = std::vector<std::string>;

enum : int {
  kScrollLeft = 10025,
  kScrollRight = 10026,
  kScrollUp = 10027,
  kScrollDown = 10028,
  kMirrorVertical = 10039,
  kMirrorHorizontal = 10042,
  kTurnCw = 10043,
  kTurnCcw = 10044,
  kTranspose = 10045,
  kSlash = 10048,
  kDouble = 10071,
  kHalf = 10072,
  kGrowDown = 10073,
  kGrowRight = 10074,
  kShrinkUp = 10075,
  kShrinkLeft = 10076,
  kDoubleH = 10214,
  kDoubleV = 10215,
  kDoubleBoth = 10216,
  kHalfBoth = 10217,
  kHalfH = 10218,
  kHalfV = 10219,
  kLeftSet = 10283,
  kShowElement = 10096,
  kSingleIcon = 10097,
  kGroupAsIcon = 10098,
  kShowGroup = 10099,
  kBlackAndWhite = 10665,
  kColour = 10666,
  kRgbKind = 10667,
  kPaletteKind = 10668,
};

uint32_t CellOf(char c) { return c == '.' ? 0u : c == '#' ? 1u : static_cast<uint32_t>(c); }
char CharOf(uint32_t v) { return v == 0 ? '.' : v == 1 ? '#' : v < 128 ? static_cast<char>(v) : '?'; }

class TransformTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    HandleCreate();
    st().clientWidth = 640;
    st().workSheetHeight = 480;
    cur().colorMode = kBlackAndWhite;
    cur().mainGroupPixSize = 10203;
    prompter.prompts.clear();
    prompter.beeps = 0;
  }

  // Makes the fixture the picture of the current set in the given view,
  // one element covering it unless Grid says otherwise.
  void Picture(const Rows& rows, int32_t view = kSingleIcon) {
    DataSet& s = cur();
    s.pictureHeight = static_cast<int32_t>(rows.size());
    s.pictureWidth = static_cast<int32_t>(rows[0].size());
    for (int32_t y = 0; y < s.pictureHeight; ++y)
      for (int32_t x = 0; x < s.pictureWidth; ++x) *CellPtr(st(), st().currentDataSet, x, y) = CellOf(rows[y][x]);
    s.viewMode = view;
    Grid(s.pictureWidth, s.pictureHeight, 1, 1);
  }
  void Grid(int32_t ew, int32_t eh, int32_t count, int32_t countX) {
    DataSet& s = cur();
    s.elementWidth = ew;
    s.elementHeight = eh;
    s.elementCount = count;
    s.elementCountX = countX;
    s.variableElementSizes = false;
    std::fill(s.elementWidths, s.elementWidths + kMaxElements, ew);
    std::fill(s.elementHeights, s.elementHeights + kMaxElements, eh);
    UpdateWorkSheetGeometry();
  }
  Rows Cells() {
    Rows rows;
    for (int32_t y = 0; y < cur().pictureHeight; ++y) {
      std::string row;
      for (int32_t x = 0; x < cur().pictureWidth; ++x) row += CharOf(*CellPtr(st(), st().currentDataSet, x, y));
      rows.push_back(row);
    }
    return rows;
  }
  uint64_t Full() { return DigestDataSet(st(), st().currentDataSet); }
  uint64_t Content() { return DigestDataSetContent(st(), st().currentDataSet); }

  // The command is refused: one beep or the one message, nothing changed,
  // no snapshot taken, the other set untouched.
  void ExpectRefused(int id, const char* message = nullptr) {
    uint64_t before = Full(), other = DigestDataSet(st(), 1 - st().currentDataSet);
    int beeps = prompter.beeps;
    prompter.prompts.clear();
    RunPictureCommand(id);
    if (message) {
      ASSERT_EQ(prompter.prompts.size(), 1u);
      EXPECT_EQ(prompter.prompts[0].text, message);
      EXPECT_EQ(prompter.prompts[0].caption, kProgramTitle);
      EXPECT_EQ(prompter.prompts[0].flags, static_cast<unsigned>(MBX_OK | MBX_ICONEXCLAMATION));
    } else {
      EXPECT_EQ(prompter.beeps, beeps + 1);
      EXPECT_TRUE(prompter.prompts.empty());
    }
    EXPECT_EQ(Full(), before);
    EXPECT_EQ(DigestDataSet(st(), 1 - st().currentDataSet), other);
  }
};

TEST_F(TransformTest, ScrollIsCircularAndUsesUpItsCount) {
  struct Case {
    const char* what;
    int id;
    int32_t count;
    Rows before, after;
  };
  const Case cases[] = {
      {"left", kScrollLeft, 0, {"ABC"}, {"BCA"}},
      {"left, count 3 comes round", kScrollLeft, 3, {"ABC"}, {"ABC"}},
      {"left, count 4", kScrollLeft, 4, {"ABC"}, {"BCA"}},
      {"right", kScrollRight, 0, {"ABC", "DEF"}, {"CAB", "FDE"}},
      {"right, count 2", kScrollRight, 2, {"ABCD"}, {"CDAB"}},
      {"up", kScrollUp, 0, {"A", "B", "C"}, {"B", "C", "A"}},
      {"down", kScrollDown, 0, {"AD", "BE", "CF"}, {"CF", "AD", "BE"}},
      {"down, count 1199 (two more than 399 rounds)", kScrollDown, 1199, {"A", "B", "C"}, {"B", "C", "A"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Picture(c.before);
    st().scrollRepeat = c.count;
    int32_t depth = cur().undoDepth;
    RunPictureCommand(c.id);
    EXPECT_EQ(Cells(), c.after);
    EXPECT_EQ(st().scrollRepeat, 0);
    EXPECT_EQ(cur().undoDepth, std::min(depth + 1, kUndoSlots)) << "one snapshot whatever the count";
  }
}

TEST_F(TransformTest, ShowGroupScrollsAndMirrorsEachElementInItsPlace) {
  // Four 2 x 2 elements, two a row; the grid lines never move.
  const Rows group = {"ABEF", "CDGH", "IJMN", "KLOP"};
  struct Case {
    int id;
    Rows after;
  };
  const Case cases[] = {
      {kScrollUp, {"CDGH", "ABEF", "KLOP", "IJMN"}},
      {kScrollLeft, {"BAFE", "DCHG", "JINM", "LKPO"}},
      {kMirrorVertical, {"BAFE", "DCHG", "JINM", "LKPO"}},
      {kMirrorHorizontal, {"CDGH", "ABEF", "KLOP", "IJMN"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Picture(group, kShowGroup);
    Grid(2, 2, 4, 2);
    RunPictureCommand(c.id);
    EXPECT_EQ(Cells(), c.after);
  }
}

TEST_F(TransformTest, MirrorKeepsTheMiddleAndAlignsOwnSizesWithBackground) {
  Picture({"ABCDE", "FGHIJ"});
  RunPictureCommand(kMirrorVertical);
  EXPECT_EQ(Cells(), (Rows{"EDCBA", "JIHGF"}));
  RunPictureCommand(kMirrorHorizontal);
  EXPECT_EQ(Cells(), (Rows{"JIHGF", "EDCBA"}));

  // Elements 3 x 2 whose own sizes are 2 x 2 and 3 x 1: after the mirror
  // each is pushed back to its block's top-left corner, the cells it left
  // taking the background (the White pen's background is 1, '#').
  Picture({"AB.DEF", "GH.JKL"}, kShowGroup);
  Grid(3, 2, 2, 2);
  cur().variableElementSizes = true;
  cur().elementWidths[0] = 2;
  cur().elementHeights[1] = 1;
  cur().penColor = 10020;
  RunPictureCommand(kMirrorVertical);
  EXPECT_EQ(Cells(), (Rows{"BA#FED", "HG#LKJ"}));
  RunPictureCommand(kMirrorHorizontal);
  EXPECT_EQ(Cells(), (Rows{"HG#FED", "BA####"}));
}

TEST_F(TransformTest, TransposeOfAGroupKeepsEachElementInItsGridPlace) {
  // Four elements of 8 x 16 in one grid row give elements of 16 x 8 and a
  // 64 x 8 picture.
  cur().colorMode = kColour;
  cur().viewMode = kShowGroup;
  cur().pictureWidth = 32;
  cur().pictureHeight = 16;
  Grid(8, 16, 4, 4);
  auto value = [](int n, int i, int j) { return static_cast<uint32_t>(0x10000 + n * 1000 + i * 16 + j); };
  for (int n = 0; n < 4; ++n)
    for (int i = 0; i < 8; ++i)
      for (int j = 0; j < 16; ++j) *CellPtr(st(), 0, n * 8 + i, j) = value(n, i, j);
  RunPictureCommand(kTranspose);
  EXPECT_EQ(cur().pictureWidth, 64);
  EXPECT_EQ(cur().pictureHeight, 8);
  EXPECT_EQ(cur().elementWidth, 16);
  EXPECT_EQ(cur().elementHeight, 8);
  EXPECT_EQ(cur().elementWidths[3], 16);
  EXPECT_EQ(cur().elementHeights[3], 8);
  int wrong = 0;
  for (int n = 0; n < 4; ++n)
    for (int i = 0; i < 8; ++i)
      for (int j = 0; j < 16; ++j) wrong += *CellPtr(st(), 0, n * 16 + j, i) != value(n, i, j);
  EXPECT_EQ(wrong, 0);
}

TEST_F(TransformTest, TransposeOfASingleIconSwapsTheSizesAndRegridsTheElements) {
  Picture({"ABCDEFGHIJ", "KLMNOPQRST", "UVWXYZabcd", "efghijklmn"});
  Grid(2, 4, 4, 4);
  RunPictureCommand(kTranspose);
  EXPECT_EQ(Cells(), (Rows{"AKUe", "BLVf", "CMWg", "DNXh", "EOYi", "FPZj", "GQak", "HRbl", "IScm", "JTdn"}));
  EXPECT_EQ(cur().elementCountX, 1);
  EXPECT_EQ(cur().elementWidth, 4);
  EXPECT_EQ(cur().elementHeight, 2);
}

TEST_F(TransformTest, TurnsAreOneEditAndOneUndoGivesTheirStartBack) {
  struct Case {
    int id;
    Rows after;
  };
  const Case cases[] = {
      {kTurnCw, {"DA", "EB", "FC"}},
      {kTurnCcw, {"CF", "BE", "AD"}},
      {kSlash, {"FC", "EB", "DA"}},
      {kTranspose, {"AD", "BE", "CF"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Picture({"ABC", "DEF"});
    PushUndo();  // an edit before, so the turn is not the first step
    uint64_t before = Content();
    int32_t depth = cur().undoDepth;
    RunPictureCommand(c.id);
    EXPECT_EQ(Cells(), c.after);
    EXPECT_EQ(cur().undoDepth, std::min(depth + 1, kUndoSlots));
    EXPECT_FALSE(st().undoSuspended);
    UndoEdit();
    EXPECT_EQ(Content(), before);
  }
}

TEST_F(TransformTest, EveryTransposeRefusalComesBeforeTheSnapshot) {
  struct Case {
    const char* what;
    int32_t view, mouseMode, width, height, ew, eh, count, countX;
  };
  const Case cases[] = {
      {"Show Group as Icon", kGroupAsIcon, 100, 16, 16, 8, 8, 4, 2},
      {"frame tool in Show Group", kShowGroup, 105, 16, 16, 8, 8, 4, 2},
      {"frame tool in Show Element", kShowElement, 105, 16, 16, 8, 8, 4, 2},
      {"Show Element, element not square", kShowElement, 100, 16, 16, 8, 16, 2, 2},
      {"a 1600-wide grid of 8 x 16 elements would be 3200 wide", kShowGroup, 100, 1600, 16, 8, 16, 200, 200},
      {"16 x 8 elements in 1200 rows would be 2400 high", kShowGroup, 100, 16, 1200, 16, 8, 150, 1},
      {"a single icon 1300 wide would be 1300 high", kSingleIcon, 100, 1300, 10, 1300, 10, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    cur().viewMode = c.view;
    cur().mouseMode = c.mouseMode;
    cur().pictureWidth = c.width;
    cur().pictureHeight = c.height;
    Grid(c.ew, c.eh, c.count, c.countX);
    *CellPtr(st(), 0, 1, 0) = 7;
    for (int id : {kTranspose, kSlash, kTurnCw, kTurnCcw}) ExpectRefused(id);
  }
  // The largest single icon that fits turns.
  cur().viewMode = kSingleIcon;
  cur().mouseMode = 100;
  cur().pictureWidth = 1200;
  cur().pictureHeight = 1200;
  Grid(8, 8, 1, 1);
  RunPictureCommand(kTurnCw);
  EXPECT_EQ(*CellPtr(st(), 0, 1199, 1), 7u);
}

TEST_F(TransformTest, LeftSetShiftsUntilTheFirstColumnIsMixed) {
  Picture({"..AB", "..CD"});
  RunPictureCommand(kLeftSet);
  EXPECT_EQ(Cells(), (Rows{"AB..", "CD.."}));

  // A uniform column that is not blank counts as empty space too.
  Picture({"XA.", "XB."});
  RunPictureCommand(kLeftSet);
  EXPECT_EQ(Cells(), (Rows{"A.X", "B.X"}));

  // Per element: each by its own amount; a blank element stays as it is.
  Picture({"..AB.A..+B..X...", "..CD.B..-A..X..."}, kShowGroup);
  Grid(4, 2, 4, 4);
  int32_t depth = cur().undoDepth;
  RunPictureCommand(kLeftSet);
  EXPECT_EQ(Cells(), (Rows{"AB..A...+B..X...", "CD..B...-A..X..."}));
  EXPECT_EQ(cur().undoDepth, std::min(depth + 1, kUndoSlots));
}

TEST_F(TransformTest, GrowAndShrinkASingleIcon) {
  Picture({"AB", "CD"});
  RunPictureCommand(kGrowDown);
  EXPECT_EQ(Cells(), (Rows{"AB", "CD", "CD"}));
  st().cfg.addRowFromCornerPixel = 1;
  RunPictureCommand(kGrowDown);
  EXPECT_EQ(Cells(), (Rows{"AB", "CD", "CD", "CC"}));
  RunPictureCommand(kGrowRight);
  EXPECT_EQ(Cells(), (Rows{"ABB", "CDD", "CDD", "CCC"}));
  st().cfg.addColumnFromCornerPixel = 1;
  RunPictureCommand(kGrowRight);
  EXPECT_EQ(Cells(), (Rows{"ABBB", "CDDB", "CDDB", "CCCB"}));

  // Shrink Up stops at height 3: one snapshot for the command, one beep
  // when the count asks for more.
  Picture({"A", "B", "C", "D", "E"});
  st().addRemoveRepeat = 5;
  int32_t depth = cur().undoDepth;
  RunPictureCommand(kShrinkUp);
  EXPECT_EQ(Cells(), (Rows{"A", "B", "C"}));
  EXPECT_EQ(st().addRemoveRepeat, 0);
  EXPECT_EQ(prompter.beeps, 1);
  EXPECT_EQ(cur().undoDepth, std::min(depth + 1, kUndoSlots));
  ExpectRefused(kShrinkUp);
  Picture({"ABC"});
  ExpectRefused(kShrinkLeft);
}

TEST_F(TransformTest, GrowAndShrinkInShowGroupResizeEveryElement) {
  Picture({"ABEF", "CDGH", "IJMN", "KLOP"}, kShowGroup);
  Grid(2, 2, 4, 2);
  RunPictureCommand(kGrowDown);
  EXPECT_EQ(Cells(), (Rows{"ABEF", "CDGH", "CDGH", "IJMN", "KLOP", "KLOP"}));
  EXPECT_EQ(cur().elementHeight, 3);
  EXPECT_EQ(cur().elementHeights[65535], 3);
  st().cfg.addColumnFromCornerPixel = 1;
  RunPictureCommand(kGrowRight);
  EXPECT_EQ(Cells(), (Rows{"ABBEFF", "CDBGHF", "CDBGHF", "IJJMNN", "KLJOPN", "KLJOPN"}));
  EXPECT_EQ(cur().elementWidth, 3);
  RunPictureCommand(kShrinkUp);
  EXPECT_EQ(Cells(), (Rows{"ABBEFF", "CDBGHF", "IJJMNN", "KLJOPN"}));
  RunPictureCommand(kShrinkLeft);
  EXPECT_EQ(Cells(), (Rows{"ABEF", "CDGH", "IJMN", "KLOP"}));
  EXPECT_EQ(cur().elementWidth, 2);
  EXPECT_EQ(cur().elementHeight, 2);

  // Elements one cell high cannot lose a row.
  Picture({"AB", "CD"}, kShowGroup);
  Grid(2, 1, 2, 1);
  ExpectRefused(kShrinkUp);
}

TEST_F(TransformTest, GrowAndShrinkOwnSizesAndRefusals) {
  // In Show Element view only an element's own size moves, within its block.
  Picture({"AB.", "CD.", "..."}, kShowElement);
  Grid(3, 3, 1, 1);
  cur().variableElementSizes = true;
  cur().elementWidths[0] = 2;
  cur().elementHeights[0] = 2;
  RunPictureCommand(kGrowRight);
  EXPECT_EQ(Cells(), (Rows{"ABB", "CDD", "..."}));
  EXPECT_EQ(cur().elementWidths[0], 3);
  ExpectRefused(kGrowRight);  // the block is full
  RunPictureCommand(kShrinkUp);
  EXPECT_EQ(cur().elementHeights[0], 1);
  ExpectRefused(kShrinkUp);  // own sizes stay at least one cell

  Picture({"AB", "CD"}, kGroupAsIcon);
  for (int id : {kGrowDown, kGrowRight, kShrinkUp, kShrinkLeft}) ExpectRefused(id);
  Picture({"AB", "CD"});
  cur().mouseMode = 105;
  for (int id : {kGrowDown, kDouble, kHalf}) ExpectRefused(id);
}

TEST_F(TransformTest, DoubleByType) {
  struct Case {
    int id;
    Rows after;
    int32_t ew, eh;
  };
  const Case cases[] = {
      {kDoubleBoth, {"AABB", "AABB", "CCDD", "CCDD"}, 4, 4},
      {kDoubleH, {"AABB", "CCDD"}, 4, 2},
      {kDoubleV, {"AB", "AB", "CD", "CD"}, 2, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Picture({"AB", "CD"});
    menu.log.clear();
    RunPictureCommand(c.id);
    EXPECT_EQ(Cells(), c.after);
    EXPECT_EQ(st().cfg.doubleType, c.id);
    EXPECT_TRUE(menu.Checked(c.id));
    EXPECT_EQ(cur().elementWidth, c.ew);
    EXPECT_EQ(cur().elementHeight, c.eh);
    EXPECT_EQ(cur().elementWidths[0], c.ew);
  }

  st().cfg.doubleType = kDoubleBoth;
  cur().pictureWidth = 800;
  cur().pictureHeight = 600;
  *CellPtr(st(), 0, 799, 599) = 'Z';
  RunPictureCommand(kDouble);
  EXPECT_EQ(cur().pictureWidth, 1600);
  EXPECT_EQ(cur().pictureHeight, 1200);
  EXPECT_EQ(*CellPtr(st(), 0, 1599, 1199), static_cast<uint32_t>('Z'));

  cur().pictureWidth = 801;
  cur().pictureHeight = 10;
  ExpectRefused(kDouble, "Sorry no room to double");
  cur().viewMode = kShowElement;
  ExpectRefused(kDouble);
}

TEST_F(TransformTest, HalfInBlackAndWhiteFollowsThePenOnTies) {
  struct Case {
    int32_t pen;
    char cell;
  };
  const Case cases[] = {{10019, '#'}, {10020, '.'}, {10078, '#'}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pen);
    Picture({"#.##", ".#.#"});
    cur().penColor = c.pen;
    st().cfg.halfType = kHalfBoth;
    RunPictureCommand(kHalf);
    EXPECT_EQ(Cells(), (Rows{std::string(1, c.cell) + "#"}));
  }

  struct Sized {
    int id;
    Rows before, after;
  };
  const Sized sized[] = {
      {kHalfH, {"##...", "##..#"}, {"#..", "#.#"}},
      {kHalfBoth, {"##...", "##..#"}, {"#."}},
      {kHalfV, {"#.", "#.", "##"}, {"#.", "##"}},
  };
  for (const Sized& c : sized) {
    SCOPED_TRACE(c.id);
    Picture(c.before);
    cur().penColor = 10019;
    RunPictureCommand(c.id);
    EXPECT_EQ(Cells(), c.after);
    EXPECT_EQ(st().cfg.halfType, c.id);
  }

  // One-cell element sizes stay one cell; one column cannot be halved.
  Picture({"##", "##"});
  st().cfg.halfType = kHalfBoth;
  cur().elementWidth = cur().elementHeight = 1;
  cur().elementWidths[0] = cur().elementHeights[0] = 1;
  RunPictureCommand(kHalf);
  EXPECT_EQ(cur().elementWidth, 1);
  EXPECT_EQ(cur().elementHeights[0], 1);
  Picture({"#", "#", "#", "#", "#"});
  ExpectRefused(kHalf, "Sorry nothing will be left");
}

TEST_F(TransformTest, HalfInColourAveragesTheColours) {
  // RGB: the channel means of the four cells.
  cur().colorMode = kColour;
  cur().colorKind = kRgbKind;
  cur().pictureWidth = 2;
  cur().pictureHeight = 2;
  Grid(2, 2, 1, 1);
  const uint32_t rgb[4] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00FFFFFF};
  for (int i = 0; i < 4; ++i) *CellPtr(st(), 0, i / 2, i % 2) = rgb[i];
  st().cfg.halfType = kHalfBoth;
  RunPictureCommand(kHalf);
  EXPECT_EQ(*CellPtr(st(), 0, 0, 0), 0x007F7F7Fu);

  // Palette: the nearest entry to the mean of the entries' colours; an index
  // past the palette counts as black.
  cur().colorKind = kPaletteKind;
  std::fill(cur().palette, cur().palette + kMaxPaletteEntries, 0x00FF00FFu);
  cur().palette[3] = 0x000000;
  cur().palette[4] = 0xFFFFFF;
  cur().palette[9] = 0x808080;
  cur().pictureWidth = 4;
  cur().pictureHeight = 2;
  Grid(4, 2, 1, 1);
  const uint32_t cells[8] = {3, 4, 4, 3, 4, 4, 4, 99999};
  for (int i = 0; i < 8; ++i) *CellPtr(st(), 0, i / 2, i % 2) = cells[i];
  RunPictureCommand(kHalf);
  EXPECT_EQ(*CellPtr(st(), 0, 0, 0), 9u);
  EXPECT_EQ(*CellPtr(st(), 0, 1, 0), 9u);
  EXPECT_EQ(cur().pictureWidth, 2);
}

TEST_F(TransformTest, ARefusalLeavesTheHistoryWhole) {
  struct Case {
    const char* what;
    int32_t width, height;
    int id;
  };
  const Case cases[] = {
      {"transpose past 1200 rows", 1300, 10, kTurnCw},
      {"no room to double", 801, 10, kDoubleBoth},
      {"nothing left to halve", 1, 5, kHalfBoth},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    cur().viewMode = kSingleIcon;
    cur().pictureWidth = c.width;
    cur().pictureHeight = c.height;
    Grid(1, 1, 1, 1);
    uint64_t beforeA = Content();
    RunPictureCommand(kMirrorVertical);  // edit A
    *CellPtr(st(), 0, 0, 0) ^= 1;        // something A can be told by
    uint64_t afterA = Content();
    ExpectRefused(c.id, c.id == kTurnCw ? nullptr : c.id == kDoubleBoth ? "Sorry no room to double"
                                                                         : "Sorry nothing will be left");
    UndoEdit();
    EXPECT_EQ(Content(), beforeA);
    RedoEdit();
    EXPECT_EQ(Content(), afterA);
  }
}

// The frame tool with a frame drawn: commands work inside the frame, in
// Show Group view too, and a transpose keeps its result in the picture.
class FrameTransformTest : public TransformTest {
 protected:
  static constexpr int32_t kTop = 44;
  static constexpr int32_t kCell = 4;  // pixel size 10204
  void SetUp() override {
    TransformTest::SetUp();
    ResetMouseTools();
    st().workSheetTop = kTop;
    cur().mainGroupPixSize = cur().mainElementPixSize = 10204;
  }
  void TearDown() override {
    ResetMouseTools();
    TransformTest::TearDown();
  }
  // Drags a frame from cell (x0, y0) to cell (x1, y1) in the frame tool.
  void Frame(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    cur().mouseMode = 105;
    cur().currentTool = 10120;
    UpdateWorkSheetGeometry();
    auto at = [](int32_t x, int32_t y) { return MousePosition(x * kCell + 1, kTop + y * kCell + 1); };
    HandleLButtonDown(MKEY_LBUTTON, at(x0, y0));
    HandleMouseMove(MKEY_LBUTTON, at(x1, y1));
    HandleLButtonUp(0, at(x1, y1));
    ASSERT_TRUE(EditFrameExists());
  }
};

TEST_F(FrameTransformTest, CommandsWorkInsideTheFrame) {
  const Rows group = {"ABEF", "CDGH", "IJMN", "KLOP"};
  struct Case {
    int32_t view;
    int id;
    Rows after;
  };
  const Case cases[] = {
      // The frame crosses four 2 x 2 elements; it is scrolled as one area.
      {kShowGroup, kScrollLeft, {"ABEF", "CGDH", "IMJN", "KLOP"}},
      {kShowGroup, kScrollDown, {"ABEF", "CJMH", "IDGN", "KLOP"}},
      {kShowGroup, kMirrorVertical, {"ABEF", "CGDH", "IMJN", "KLOP"}},
      {kShowGroup, kLeftSet, {"ABEF", "CDGH", "IJMN", "KLOP"}},
      {kSingleIcon, kMirrorHorizontal, {"ABEF", "CJMH", "IDGN", "KLOP"}},
      {kSingleIcon, kTranspose, {"ABEF", "CDJH", "IGMN", "KLOP"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Picture(group, c.view);
    Grid(2, 2, 4, 2);
    Frame(1, 1, 2, 2);
    RunPictureCommand(c.id);
    EXPECT_EQ(Cells(), c.after);
    EXPECT_EQ(cur().activeRight, 4) << "the active area is given back";
    EXPECT_EQ(cur().pictureWidth, 4);
  }
}

TEST_F(FrameTransformTest, ATallFrameTransposedStaysInThePicture) {
  Picture({"ABCD", "EFGH", "IJKL"});
  Frame(0, 0, 0, 2);  // one column, three rows
  RunPictureCommand(kTranspose);
  EXPECT_EQ(Cells(), (Rows{"AEID", "EFGH", "IJKL"}));
  EXPECT_EQ(cur().pictureWidth, 4);
  EXPECT_EQ(cur().pictureHeight, 3);

  // Frame tool in the element views: refused before anything.
  Picture({"ABEF", "CDGH", "IJMN", "KLOP"}, kShowGroup);
  Grid(2, 2, 4, 2);
  Frame(0, 0, 1, 1);
  for (int id : {kTranspose, kTurnCw, kGrowDown, kDouble, kHalf}) ExpectRefused(id);
}

// Random small states and every command: sizes stay in the store, element
// sizes at least 1, and Undo then Redo gives the result back.
TEST_F(TransformTest, RandomCommandsKeepTheStateSound) {
  const int commands[] = {kScrollLeft, kScrollRight, kScrollUp, kScrollDown, kMirrorVertical, kMirrorHorizontal,
                          kTurnCw,     kTurnCcw,     kTranspose, kSlash,     kDouble,         kHalf,
                          kGrowDown,   kGrowRight,   kShrinkUp,  kShrinkLeft, kDoubleH,       kDoubleV,
                          kDoubleBoth, kHalfBoth,    kHalfH,     kHalfV,      kLeftSet};
  const int32_t views[] = {kShowElement, kSingleIcon, kGroupAsIcon, kShowGroup};
  uint32_t seed = 12345;
  auto next = [&seed](uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % n;
  };
  const DigestCells small{64, 64};
  for (int round = 0; round < 400; ++round) {
    DataSet& s = cur();
    s.pictureWidth = 1 + static_cast<int32_t>(next(40));
    s.pictureHeight = 1 + static_cast<int32_t>(next(40));
    s.viewMode = views[next(4)];
    s.mouseMode = next(6) == 0 ? 105 : 100;
    s.colorMode = next(2) ? kBlackAndWhite : kColour;
    s.colorKind = next(2) ? kRgbKind : kPaletteKind;
    s.penColor = 10019 + static_cast<int32_t>(next(2));
    int32_t ew = 1 + static_cast<int32_t>(next(9)), eh = 1 + static_cast<int32_t>(next(9));
    Grid(ew, eh, 1 + static_cast<int32_t>(next(70)), 1 + static_cast<int32_t>(next(8)));
    s.variableElementSizes = next(2) != 0;
    for (int n = 0; n < 80; ++n) {
      s.elementWidths[n] = static_cast<int32_t>(next(12));
      s.elementHeights[n] = static_cast<int32_t>(next(12));
    }
    s.currentElement = static_cast<int32_t>(next(80));
    for (int32_t x = 0; x < 48; ++x)
      for (int32_t y = 0; y < 48; ++y) *CellPtr(st(), 0, x, y) = next(3) ? 0u : next(5000);
    st().scrollRepeat = static_cast<int32_t>(next(5)) - 1;
    st().addRemoveRepeat = static_cast<int32_t>(next(5)) - 1;
    UpdateWorkSheetGeometry();
    int id = commands[next(sizeof commands / sizeof commands[0])];
    SCOPED_TRACE("round " + std::to_string(round) + " command " + std::to_string(id));
    int32_t depth = s.undoDepth;
    RunPictureCommand(id);
    EXPECT_GE(s.pictureWidth, 1);
    EXPECT_LE(s.pictureWidth, kMaxPictureWidth);
    EXPECT_GE(s.pictureHeight, 1);
    EXPECT_LE(s.pictureHeight, kMaxPictureHeight);
    EXPECT_GE(s.elementWidth, 1);
    EXPECT_GE(s.elementHeight, 1);
    EXPECT_FALSE(st().undoSuspended);
    if (s.undoDepth > depth || depth == kUndoSlots) {
      uint64_t after = DigestDataSetContent(st(), 0, small);
      UndoEdit();
      RedoEdit();
      EXPECT_EQ(DigestDataSetContent(st(), 0, small), after);
    }
  }
}

TEST_F(TransformTest, UnknownCommandsChangeNothing) {
  Picture({"AB", "CD"});
  uint64_t before = Full();
  RunPictureCommand(10077);
  RunPictureCommand(0);
  EXPECT_EQ(Full(), before);
}

}  // namespace
}  // namespace dwtest
