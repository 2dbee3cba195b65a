// The font commands: the measures behind them as tables, and the commands on
// a fresh editor state: choosing a font, drawing a whole font (and every way
// it refuses without changing anything), renumbering, fitting the grid,
// proportional widths, the biggest-character report and loading a font file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Fakes.h"
#include "core/FontCommands.h"
#include "core/Geometry.h"
#include "core/Settings.h"
#include "core/StateDigest.h"
#include "core/Undo.h"
#include "files/FileIo.h"
#include "files/OpenFile.h"
#include "files/SymbolFile.h"
#include "views/CodePage.h"
#include "views/FontFile.h"
#include "views/FontRender.h"

namespace dwtest {
namespace {

// ---- Measures ----------------------------------------------------------------

TEST(FontMeasureTest, WholeFontFitTriesTheSetsGridThenSquareThenFullWidth) {
  struct Case {
    const char* what;
    int32_t count, countX, cw, ch;
    bool fits;
    int32_t countXOut;
    int64_t width, height;
  };
  const Case cases[] = {
      {"the set's grid fits", 256, 32, 6, 8, true, 32, 192, 64},
      {"too wide: the square root", 256, 1000, 6, 8, true, 16, 96, 128},
      {"count X 0 is taken as 1", 300, 0, 8, 8, true, 17, 136, 144},
      {"a partial last row counts", 257, 32, 8, 150, true, 200, 1600, 300},
      {"exactly the whole store", 100, 10, 160, 120, true, 10, 1600, 1200},
      {"64 x 400 cells fit nowhere", 256, 32, 64, 400, false, 25, 1600, 4400},
      {"a cell wider than the store", 4, 2, 1700, 8, false, 1, 1700, 32},
  };
  for (const Case& c : cases) {
    WholeFontFit f = FitWholeFont(c.count, c.countX, c.cw, c.ch);
    EXPECT_EQ(c.fits, f.fits) << c.what;
    EXPECT_EQ(c.countXOut, f.countX) << c.what;
    EXPECT_EQ(c.width, f.width) << c.what;
    EXPECT_EQ(c.height, f.height) << c.what;
  }
}

TEST(FontMeasureTest, GridFitKeepsCountXWithinTheStore) {
  struct Case {
    const char* what;
    int32_t count, ew, eh, sheet, cell;
    bool fits, tooHigh;
    int32_t countX;
  };
  const Case cases[] = {
      {"as wide as the sheet shows", 100, 8, 8, 640, 4, true, false, 20},
      {"a sheet narrower than one element: 1", 10, 8, 8, 20, 4, true, false, 1},
      {"a huge sheet: 1600 div width", 1000, 8, 8, 100000, 1, true, false, 200},
      {"too high: the rows that fit decide", 400, 8, 100, 80, 1, true, true, 34},
      {"too many for the store", 65536, 16, 16, 640, 1, false, true, 100},
      {"a cell of 0 pixels counts as 1", 10, 8, 8, 80, 0, true, false, 10},
  };
  for (const Case& c : cases) {
    GridFit f = FitElementGrid(c.count, c.ew, c.eh, c.sheet, c.cell);
    EXPECT_EQ(c.fits, f.fits) << c.what;
    EXPECT_EQ(c.tooHigh, f.tooHigh) << c.what;
    EXPECT_EQ(c.countX, f.countX) << c.what;
    EXPECT_GE(f.countX, 1) << c.what;
    EXPECT_LE(f.countX, std::max(1, 1600 / c.ew)) << c.what;
  }
}

TEST(FontMeasureTest, SqueezeAndFontViewSizeSteps) {
  struct Squeeze {
    int id;
    int32_t height, top, bottom;
    bool ok;
    int32_t heightOut, topOut, bottomOut;
  };
  const Squeeze squeezes[] = {
      {10690, 16, 0, 0, true, 15, 1, 0},  {10691, 16, 1, 0, true, 15, 1, 1},
      {10690, 1, 3, 0, false, 1, 3, 0},   {10691, 1, 0, 0, false, 1, 0, 0},
      {10692, 14, 2, 0, true, 15, 1, 0},  {10693, 14, 0, 1, true, 15, 0, 0},
      {10692, 14, 0, 5, false, 14, 0, 5}, {10693, 14, 5, 0, false, 14, 5, 0},
  };
  for (const Squeeze& c : squeezes) {
    int32_t h = c.height, t = c.top, b = c.bottom;
    EXPECT_EQ(c.ok, SqueezeFontCell(c.id, &h, &t, &b)) << c.id;
    EXPECT_EQ(c.heightOut, h) << c.id;
    EXPECT_EQ(c.topOut, t) << c.id;
    EXPECT_EQ(c.bottomOut, b) << c.id;
  }
  struct Size {
    int id;
    int32_t current, expect;
    bool refused;
  };
  const Size sizes[] = {
      {10237, 10085, 10086, false}, {10238, 10084, 10083, false}, {10238, 10082, 10082, true},
      {10083, 10090, 10083, false},
  };
  for (const Size& c : sizes) {
    bool refused = true;
    EXPECT_EQ(c.expect, StepFontViewSize(c.id, c.current, &refused)) << c.id;
    EXPECT_EQ(c.refused, refused) << c.id;
  }
}

TEST(FontMeasureTest, RenumberTextNamesTheLastNumberTwice) {
  EXPECT_EQ("New Numbers 0...299  ( 0x00...0x12B )", RenumberText(300));
  EXPECT_EQ("New Numbers 0...0  ( 0x00...0x00 )", RenumberText(1));
}

// ---- Fixture -----------------------------------------------------------------

const char kFontPath[] = "C:\\fonts\\f.sym";

int g_chooserCalls = 0;
TrueTypeChoice g_chooserAnswer;
int ChooseOk(TrueTypeChoice* c) {
  ++g_chooserCalls;
  *c = g_chooserAnswer;
  return 1;
}
int ChooseCancel(TrueTypeChoice*) {
  ++g_chooserCalls;
  return 0;
}
int LoadFontOk(char* name) {
  CopyText(name, kFontTextSlot, kFontPath);
  return 1;
}
int LoadFontOkEmpty(char* name) {
  name[0] = '\0';
  return 1;
}

class FontTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    ReadWindowSettings(*EmptyProfile());
    ReadSettings(*EmptyProfile());
    ResetFontViewFont();
    TheLoadedFont() = LoadedFont();
    SetTrueTypeChooserHook(nullptr);
    SetLoadFontDialogHook(nullptr);
    SetThicknessDialogHook(nullptr);
    SetFileLayer(&fs);
    g_chooserCalls = 0;
    st().clientWidth = 800;
    st().workSheetHeight = 600;
    Group(8, 8, 20, 4);
  }
  void TearDown() override {
    SetTrueTypeChooserHook(nullptr);
    SetLoadFontDialogHook(nullptr);
    SetFileLayer(nullptr);
    ResetFontViewFont();
    TheLoadedFont() = LoadedFont();
    EditorTest::TearDown();
  }
  // A black-and-white Show Group set of n elements of w x h, perRow a row.
  void Group(int32_t w, int32_t h, int32_t n, int32_t perRow) {
    DataSet& s = cur();
    s.colorMode = 10665;
    s.viewMode = 10099;
    s.elementWidth = w;
    s.elementHeight = h;
    s.elementCount = n;
    s.elementCountX = perRow;
    s.pictureWidth = perRow * w;
    s.pictureHeight = ((n + perRow - 1) / perRow) * h;
    s.variableElementSizes = false;
    for (int i = 0; i < kMaxElements; ++i) {
      s.elementWidths[i] = w;
      s.elementHeights[i] = h;
    }
  }
  void Set(int32_t x, int32_t y, uint32_t v = 1) { *CellPtr(st(), st().currentDataSet, x, y) = v; }
  // The set as the program keeps it, with the start-up snapshot taken.
  void StartHistory() {
    UpdateWorkSheetGeometry();
    PushUndo();
    cur().modified = false;
  }
  // A small edit as every tool makes one: snapshot, then change.
  void EditA() {
    PushUndo();
    Set(5, 6, 1);
    cur().elementChars[2] = 0x55;
  }
  uint64_t Content() { return DigestDataSetContent(st(), st().currentDataSet); }
  uint64_t Digest() { return DigestDataSet(st(), st().currentDataSet); }
  bool Posted(int id) {
    for (int p : windows.posted)
      if (p == id) return true;
    return false;
  }
  std::string LastPrompt() { return prompter.prompts.empty() ? "" : prompter.prompts.back().text; }
  std::string LastCaption() { return prompter.prompts.empty() ? "" : prompter.prompts.back().caption; }
  void ChooseTrueTypeFont(int32_t width, int32_t height) {
    st().cfg.lfHeight = height;
    TheFontViewFont().trueTypeWidth = width;
    st().cfg.fontType = 10418;
  }

  MemoryFileLayer fs;
};

// ---- Glyph measures on cells -----------------------------------------------------

TEST_F(FontTest, GlyphBoxAndProportionalWidths) {
  Group(8, 8, 4, 4);
  // Element 0: columns 0..4 used. Element 1: empty. Element 2: one cell at (5, 6).
  for (int x = 0; x <= 4; ++x) Set(x, 3);
  Set(16 + 5, 6);
  struct Case {
    const char* what;
    int32_t x0;
    int32_t left, right, top, bottom, own;
    bool empty;
  };
  const Case cases[] = {
      {"columns 0..4: 5 + 1 + 0", 0, 0, 5, 3, 4, 6, false},
      {"empty: 8 div 3", 8, 8, 0, 8, 0, 2, true},
      {"one cell", 16, 5, 6, 6, 7, 7, false},
  };
  for (const Case& c : cases) {
    GlyphBox b = MeasureGlyphBox(cur(), c.x0, 0, 8, 8, 0);
    EXPECT_EQ(c.empty, b.empty) << c.what;
    EXPECT_EQ(c.left, b.left) << c.what;
    EXPECT_EQ(c.right, b.right) << c.what;
    EXPECT_EQ(c.top, b.top) << c.what;
    EXPECT_EQ(c.bottom, b.bottom) << c.what;
    EXPECT_EQ(c.own, ProportionalWidth(b, 8)) << c.what;
  }
  // 20-wide elements get 20 div 10 = 2 columns more; no width passes the element's.
  GlyphBox five;
  five.empty = false;
  five.right = 5;
  EXPECT_EQ(8, ProportionalWidth(five, 20));
  five.right = 19;
  EXPECT_EQ(20, ProportionalWidth(five, 20));
  // A rectangle reaching past the store reads the part outside as the reference.
  GlyphBox edge = MeasureGlyphBox(cur(), 1596, 1196, 8, 8, 0);
  EXPECT_TRUE(edge.empty);
}

TEST_F(FontTest, ConvertToProportionalSetsOwnWidthsAndReportsTheBiggest) {
  Group(8, 8, 3, 3);
  for (int x = 0; x <= 4; ++x) Set(x, 2);  // element 0: columns 0..4, rows 2..2
  Set(8 + 1, 5);                           // element 1: column 1, row 5
  RunFontCommand(10284);
  EXPECT_TRUE(cur().variableElementSizes);
  EXPECT_EQ(6, cur().elementWidths[0]);
  EXPECT_EQ(3, cur().elementWidths[1]);
  EXPECT_EQ(2, cur().elementWidths[2]);
  EXPECT_EQ(8, cur().elementHeights[1]);
  EXPECT_EQ("Biggest Element X = 6  Space in Top 2 & Bottom 2", st().statusText);
  EXPECT_EQ(10, st().statusHold);
  RunFontCommand(10285);
  EXPECT_FALSE(cur().variableElementSizes);
  EXPECT_EQ(8, cur().elementWidths[0]);
  // Outside Show Group both refuse with nothing changed.
  cur().viewMode = 10096;
  uint64_t before = Digest();
  RunFontCommand(10284);
  EXPECT_EQ(before, Digest());
  EXPECT_EQ(1, prompter.beeps);
}

// One fixture per text: the same measures, four ways of writing them.
class BiggestCharTest : public FontTest {
 protected:
  void SetUp() override {
    FontTest::SetUp();
    Group(8, 8, 20, 4);
    // Element 5 (0x5) holds the widest glyph, element 17 (0x11) the tallest.
    for (int x = 1; x < 7; ++x) Set(8 + x, 8 + 4);
    for (int y = 2; y < 8; ++y) Set(8 + 3 + 0, 32 + y);
    // The set's code page: elements 0.. from 'A'.
    CodePageTable t = CurrentCodePage();
    ClearCodePageRanges(t);
    AddCodePageRange(t, 0x41, 0x41 + 19, 0);
  }
  std::string Report(bool hex, bool codePage) {
    cur().useHexInCodePage = hex ? 1 : 0;
    cur().useCodePage = codePage ? 1 : 0;
    prompter.prompts.clear();
    RunFontCommand(10912);
    EXPECT_EQ("Biggest Element", LastCaption());
    EXPECT_EQ(10, st().statusHold);
    return LastPrompt();
  }
};

TEST_F(BiggestCharTest, HexWithCharacters) {
  EXPECT_EQ(
      "Whole Element:\n   X = 8 in Element 0x0 Char 0x41\n   Y = 8 in Element 0x0 Char 0x41\n\nGlyph:\n"
      "   Left = 1 in Element 0x5   Char 0x46\n   Right = 7 in Element 0x5   Char 0x46\n"
      "   Top = 2 in Element 0x11   Char 0x52\n   Bottom = 8 in Element 0x11   Char 0x52",
      Report(true, true));
}

TEST_F(BiggestCharTest, DecimalWithCharacters) {
  EXPECT_EQ(
      "Whole Element:\n   X = 8 in Element 0   Char65\n   Y = 8 in Element 0   Char65\nGlyph:\n"
      "   Left = 1 in Element 5   Char70\n   Right = 7 in Element 5   Char70\n"
      "   Top = 2 in Element 17   Char82\n   Bottom = 8 in Element 17   Char82",
      Report(false, true));
}

TEST_F(BiggestCharTest, HexWithoutCharacters) {
  EXPECT_EQ(
      "Whole Element:\n   X = 8 in Element 0x0\n   Y = 8 in Element 0x0\n\nGlyph:\n   Left = 1 in Element 0x5\n"
      "   Right = 7 in Element 0x5\n   Top = 2 in Element 0x11\n   Bottom = 8 in Element 0x11",
      Report(true, false));
}

TEST_F(BiggestCharTest, DecimalWithoutCharacters) {
  EXPECT_EQ(
      "Whole Element:\n   X = 8 in Element 0\n   Y = 8 in Element 0\n\nGlyph:\n   Left = 1 in Element 5\n"
      "   Right = 7 in Element 5\n\n   Top = 2 in Element 17\n   Bottom = 8 in Element 17",
      Report(false, false));
}

TEST_F(BiggestCharTest, OwnSizesCountAndTiesPickTheFirstElement) {
  cur().variableElementSizes = true;
  cur().elementWidths[9] = 10;
  cur().elementWidths[12] = 10;
  cur().elementHeights[3] = 9;
  BiggestReport r = MeasureBiggestChars(cur());
  EXPECT_EQ(10, r.width.value);
  EXPECT_EQ(9, r.width.element);
  EXPECT_EQ(9, r.height.value);
  EXPECT_EQ(3, r.height.element);
}

// ---- Choosing fonts --------------------------------------------------------------

TEST_F(FontTest, ChoosingOem8x16StartsTypingWithItsCell) {
  cur().currentTool = 10079;
  cur().capButton = 16;
  cur().mainGroupPixSize = 10203;
  RunFontCommand(10408);
  EXPECT_EQ(104, cur().mouseMode);
  EXPECT_EQ(10408, cur().currentTool);
  EXPECT_EQ(10408, st().cfg.fontType);
  EXPECT_EQ(8, st().cfg.fontSizeX);
  EXPECT_EQ(16, st().cfg.fontSizeY);
  EXPECT_EQ(195, windows.classCursor[WIN_MAIN]);
  EXPECT_TRUE(menu.Checked(10408));
  EXPECT_FALSE(menu.Checked(10405));
  EXPECT_EQ(-1, toolbox.state[16]);
  EXPECT_EQ(27, toolbox.state[27]);
  EXPECT_EQ(27, cur().capButton);
  // The caret is the font cell in work-sheet cells of 3 pixels.
  bool caret = false;
  for (const std::string& c : windows.caretLog) caret = caret || c == "create 24x48";
  EXPECT_TRUE(caret);
  EXPECT_TRUE(TheFontViewFont().relayoutRequested);
}

TEST_F(FontTest, LeavingTheSymbolLineEndsItsSelection) {
  cur().currentTool = 10501;
  st().symbolSelectState = 302;
  windows.classCursor[WIN_FONTVIEW] = 1504;
  RunFontCommand(10405);
  EXPECT_EQ(301, st().symbolSelectState);
  EXPECT_EQ(0, windows.classCursor[WIN_FONTVIEW]);
}

TEST_F(FontTest, MissingFontsAskForOneInsteadOfSelecting) {
  struct Case {
    const char* what;
    int id;
    const char* fontFile;
    int posted;
  };
  const Case cases[] = {
      {"no loaded font, no file: Import Font", 10413, "", 10121},
      {"no TrueType font: the chooser", 10418, "", 10092},
  };
  for (const Case& c : cases) {
    windows.posted.clear();
    CopyText(st().cfg.fontFileName, kFontTextSlot, c.fontFile);
    st().cfg.lfHeight = 0;
    st().cfg.fontType = 10405;
    cur().mouseMode = 100;
    RunFontCommand(c.id);
    EXPECT_EQ(std::vector<int>{c.posted}, windows.posted) << c.what;
    EXPECT_EQ(100, cur().mouseMode) << c.what;
    EXPECT_EQ(10405, st().cfg.fontType) << c.what;
  }
  EXPECT_TRUE(TheFontViewFont().fontChanged);
}

TEST_F(FontTest, TrueTypeChooserOkFixesTheCellAndCancelFallsBack) {
  // Cancel with no font chosen before: ANSI 8x8 Fat.
  SetTrueTypeChooserHook(ChooseCancel);
  cur().mouseMode = 104;
  RunFontCommand(10092);
  EXPECT_EQ(std::vector<int>{10411}, windows.posted);
  EXPECT_EQ(104, cur().mouseMode);
  // OK: the text height and the widest glyph make the cell; cuts back to 0.
  TheFontViewFont().squeezeTop = 2;
  g_chooserAnswer = TrueTypeChoice();
  g_chooserAnswer.pointSizeTenths = 120;
  g_chooserAnswer.textHeight = 15;
  g_chooserAnswer.widestGlyph = 11;
  CopyText(g_chooserAnswer.faceName, kFaceNameSlot, "Sans");
  SetTrueTypeChooserHook(ChooseOk);
  windows.posted.clear();
  RunFontCommand(10092);
  EXPECT_EQ(std::vector<int>{10418}, windows.posted);
  EXPECT_EQ(15, st().cfg.lfHeight);
  EXPECT_STREQ("Sans", st().cfg.lfFaceName);
  EXPECT_EQ(0, TheFontViewFont().squeezeTop);
  RunFontCommand(10418);
  EXPECT_EQ(11, st().cfg.fontSizeX);
  EXPECT_EQ(15, st().cfg.fontSizeY);
  // Cancel now keeps the chosen font.
  SetTrueTypeChooserHook(ChooseCancel);
  windows.posted.clear();
  RunFontCommand(10092);
  EXPECT_TRUE(windows.posted.empty());
  EXPECT_EQ(15, st().cfg.lfHeight);
}

TEST_F(FontTest, ImportFontPostsTheLoadedFontOnlyWithAName) {
  struct Case {
    const char* what;
    LoadFontDialogHook hook;
    int posted;
  };
  const Case cases[] = {
      {"Cancel", nullptr, 10405},
      {"OK without a name", LoadFontOkEmpty, 10405},
      {"OK with a name", LoadFontOk, 10413},
  };
  for (const Case& c : cases) {
    windows.posted.clear();
    TheLoadedFont().symbolWidth = 6;
    SetLoadFontDialogHook(c.hook);
    RunFontCommand(10121);
    EXPECT_EQ(std::vector<int>{c.posted}, windows.posted) << c.what;
  }
  // The named file is kept; the old font is forgotten so 10413 loads it.
  EXPECT_STREQ(kFontPath, st().cfg.fontFileName);
  EXPECT_FALSE(TheLoadedFont().Loaded());
  // Unload Font forgets the name too.
  RunFontCommand(10223);
  EXPECT_STREQ("", st().cfg.fontFileName);
  EXPECT_STREQ(kFontPath, st().cfg.oldFontFileName);
}

TEST_F(FontTest, FontViewSwitchesAndSqueeze) {
  st().cfg.fontSizeY = 2;
  RunFontCommand(10690);
  EXPECT_EQ(1, st().cfg.fontSizeY);
  EXPECT_EQ(1, TheFontViewFont().squeezeTop);
  RunFontCommand(10691);  // nothing left to cut
  EXPECT_EQ(1, prompter.beeps);
  RunFontCommand(10692);
  EXPECT_EQ(2, st().cfg.fontSizeY);
  EXPECT_EQ(0, TheFontViewFont().squeezeTop);

  RunFontCommand(10605);
  EXPECT_EQ(5, TheFontViewFont().unicodePlane);
  RunFontCommand(10616);
  EXPECT_EQ(0x10, TheFontViewFont().unicodePlane);
  EXPECT_FALSE(menu.Checked(10605));
  EXPECT_TRUE(menu.Checked(10616));

  st().cfg.fontTypeUnicode = 0;
  RunFontCommand(10368);
  EXPECT_EQ(1, st().cfg.fontTypeUnicode);
  EXPECT_TRUE(menu.Checked(10368));

  st().cfg.fontViewSize = 10083;
  RunFontCommand(10238);
  RunFontCommand(10238);
  EXPECT_EQ(10082, st().cfg.fontViewSize);
  EXPECT_EQ(2, prompter.beeps);
  EXPECT_TRUE(menu.Checked(10082));
  RunFontCommand(10085);
  RunFontCommand(10237);
  EXPECT_EQ(10086, st().cfg.fontViewSize);
  EXPECT_FALSE(menu.Checked(10085));

  // Paint Background cannot be switched on with the TrueType font.
  st().cfg.paintBack = 1;
  st().cfg.fontType = 10418;
  RunFontCommand(10080);
  EXPECT_EQ(0, st().cfg.paintBack);
  EXPECT_EQ(-1, toolbox.state[82]);
  RunFontCommand(10080);
  EXPECT_EQ(0, st().cfg.paintBack);
  EXPECT_EQ(3, prompter.beeps);
  st().cfg.fontType = 10405;
  RunFontCommand(10080);
  EXPECT_EQ(1, st().cfg.paintBack);
  EXPECT_EQ(82, toolbox.state[82]);
  EXPECT_TRUE(menu.Checked(10080));
}

// ---- Drawing a whole font ---------------------------------------------------------

TEST_F(FontTest, WholeOem6x8FontFillsTwoHundredFiftySixElements) {
  Group(8, 8, 20, 32);
  Set(3, 3);
  RenderedCharacters().clear();
  RunFontCommand(10103);
  DataSet& s = cur();
  EXPECT_EQ(256, s.elementCount);
  EXPECT_EQ(6, s.elementWidth);
  EXPECT_EQ(8, s.elementHeight);
  EXPECT_EQ(32, s.elementCountX);
  EXPECT_EQ(192, s.pictureWidth);
  EXPECT_EQ(64, s.pictureHeight);
  std::vector<int32_t> expected;
  for (int i = 0; i < 256; ++i) {
    expected.push_back(i);
    EXPECT_EQ(i, s.elementChars[i]);
    EXPECT_EQ(6, s.elementWidths[i]);
  }
  EXPECT_EQ(expected, RenderedCharacters());
  // The old picture is gone, the last element was the last one drawn into.
  EXPECT_EQ(0u, *CellPtr(st(), 0, 3, 3));
  EXPECT_EQ(255, s.workElement);
  EXPECT_EQ(31 * 6, s.textCursorX);
  EXPECT_EQ(7 * 8, s.textCursorY);
  // One range from character 0 with the default character 0x20.
  EXPECT_EQ(1, s.useCodePage);
  EXPECT_TRUE(s.codePageModeFlag);
  EXPECT_EQ(1, s.codePageRangeCount);
  EXPECT_EQ(0, s.codePageStart[0]);
  EXPECT_EQ(255, s.codePageEnd[0]);
  EXPECT_EQ(0x20, s.codePageDefaultChar);
  EXPECT_STREQ("New.cp", s.codePageTitle);
  // Typing mode with the font; snapshots run again, no box was shown.
  EXPECT_EQ(104, s.mouseMode);
  EXPECT_FALSE(st().undoSuspended);
  EXPECT_FALSE(TheFontViewFont().wholeFontMode);
  EXPECT_FALSE(MakingTTFontOpen());
  EXPECT_TRUE(MakingTTFontTitles().empty());
  EXPECT_TRUE(s.modified);
}

TEST_F(FontTest, TrueTypeWholeFontShowsEachCharacterInTheBox) {
  ChooseTrueTypeFont(10, 12);
  cur().mouseMode = 104;
  TheFontViewFont().unicodePlane = 1;
  RunFontCommand(10103);
  const std::vector<std::string>& titles = MakingTTFontTitles();
  ASSERT_EQ(257u, titles.size());
  EXPECT_EQ("Making TrueType Font", titles[0]);
  EXPECT_EQ("Unicode 0x0100", titles[1]);
  EXPECT_EQ("Unicode 0x0141", titles[0x42]);
  EXPECT_EQ("Unicode 0x01FF", titles[256]);
  EXPECT_FALSE(MakingTTFontOpen());
  EXPECT_EQ(1, TheFontViewFont().unicodePlane);
  EXPECT_EQ(10, cur().elementWidth);
  EXPECT_EQ(12, cur().elementHeight);
}

TEST_F(FontTest, CodePageFontDrawsTheCodePagesCharactersOnPlaneZero) {
  TheFontViewFont().unicodePlane = 3;
  CodePageTable t = CurrentCodePage();
  ClearCodePageRanges(t);
  AddCodePageRange(t, 0x41, 0x43, 0);
  AddCodePageRange(t, 0x61, 0x62, 3);
  cur().useCodePage = 1;
  RenderedCharacters().clear();
  ChooseTrueTypeFont(8, 8);
  cur().mouseMode = 104;
  RunFontCommand(10650);
  EXPECT_EQ(5, cur().elementCount);
  EXPECT_EQ((std::vector<int32_t>{0x41, 0x42, 0x43, 0x61, 0x62}), RenderedCharacters());
  EXPECT_EQ("Unicode 0x0061", MakingTTFontTitles()[4]);
  // The code page stays; the plane comes back.
  EXPECT_EQ(2, cur().codePageRangeCount);
  EXPECT_FALSE(cur().codePageModeFlag);
  EXPECT_EQ(3, TheFontViewFont().unicodePlane);
}

TEST_F(FontTest, WholeFontIsOneUndoStep) {
  Group(8, 8, 20, 32);
  Set(3, 3);
  StartHistory();
  uint64_t before = Content();
  RunFontCommand(10103);
  uint64_t after = Content();
  ASSERT_NE(before, after);
  UndoEdit();
  EXPECT_EQ(before, Content());
  EXPECT_EQ(1u, *CellPtr(st(), 0, 3, 3));
  RedoEdit();
  EXPECT_EQ(after, Content());
}

TEST_F(FontTest, RefusedWholeFontsChangeNothingAndLeaveUndoWorking) {
  struct Case {
    const char* what;
    int command;
    int32_t ranges;  // characters in the code page (code-page variant)
    int32_t cellWidth, cellHeight;
    const char* text;
    const char* caption;
  };
  const Case cases[] = {
      {"a 64 x 400 cell", 10103, 0, 64, 400, "Font needs 1600 x 4400, and is too large to fit drawing area",
       "Draw Font Error"},
      {"two symbols", 10650, 2, 8, 8, "The Font contain only 2 Symbols, but Minimum is 3", "Font Creation Error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Group(8, 8, 20, 4);
    CodePageTable t = CurrentCodePage();
    ClearCodePageRanges(t);
    if (c.ranges) AddCodePageRange(t, 0x30, 0x30 + c.ranges - 1, 0);
    ChooseTrueTypeFont(c.cellWidth, c.cellHeight);
    cur().mouseMode = 100;
    TheFontViewFont().unicodePlane = 2;
    StartHistory();
    uint64_t beforeA = Content();
    EditA();
    uint64_t afterA = Content();
    RenderedCharacters().clear();
    prompter.prompts.clear();
    uint64_t before = Digest();
    RunFontCommand(c.command);
    EXPECT_EQ(c.text, LastPrompt());
    EXPECT_EQ(c.caption, LastCaption());
    EXPECT_EQ(before, Digest());
    EXPECT_TRUE(RenderedCharacters().empty());
    EXPECT_FALSE(st().undoSuspended);
    EXPECT_FALSE(MakingTTFontOpen());
    EXPECT_EQ(2, TheFontViewFont().unicodePlane);
    EXPECT_EQ(100, cur().mouseMode);
    // The history is as the edit before left it.
    UndoEdit();
    EXPECT_EQ(beforeA, Content());
    RedoEdit();
    EXPECT_EQ(afterA, Content());
    // And the next edit is undone as usual.
    PushUndo();
    Set(7, 7, 1);
    UndoEdit();
    EXPECT_EQ(afterA, Content());
  }
  // Without a usable font (the loaded font was unloaded): a beep, no change.
  st().cfg.fontType = 10413;
  uint64_t before = Digest();
  int beeps = prompter.beeps;
  RunFontCommand(10103);
  EXPECT_EQ(before, Digest());
  EXPECT_EQ(beeps + 1, prompter.beeps);
}

// ---- Renumbering and fitting ------------------------------------------------------

TEST_F(FontTest, RenumberGivesEveryElementItsNumber) {
  Group(4, 4, 300, 20);
  for (int i = 0; i <= 300; ++i) cur().elementChars[i] = 0x77;
  StartHistory();
  RunFontCommand(10123);
  EXPECT_EQ("New Numbers 0...299  ( 0x00...0x12B )", LastPrompt());
  EXPECT_EQ("Renumber Elements", LastCaption());
  EXPECT_EQ(0, cur().elementChars[256]);
  EXPECT_EQ(255, cur().elementChars[255]);
  EXPECT_EQ(43, cur().elementChars[299]);
  EXPECT_EQ(0x77, cur().elementChars[300]);
  // The characters are part of the snapshot: Undo gives them back.
  UndoEdit();
  EXPECT_EQ(0x77, cur().elementChars[5]);
}

TEST_F(FontTest, FitGridToWindowClampsCountX) {
  struct Case {
    const char* what;
    int32_t clientWidth, cellWidth;
    int32_t countX, width, height;
    int beeps;
  };
  const Case cases[] = {
      {"as the sheet shows", 320, 4, 10, 80, 16, 0},
      {"a narrow sheet: at least 1", 10, 4, 1, 8, 160, 0},
      {"a wide sheet: at most 1600 div 8", 100000, 1, 200, 1600, 8, 0},
  };
  for (const Case& c : cases) {
    Group(8, 8, 20, 4);
    st().clientWidth = c.clientWidth;
    cur().mainCellWidth = c.cellWidth;
    cur().mainGroupPixSize = 10200 + c.cellWidth;
    prompter.beeps = 0;
    RunFontCommand(10914);
    EXPECT_EQ(c.countX, cur().elementCountX) << c.what;
    EXPECT_EQ(c.width, cur().pictureWidth) << c.what;
    EXPECT_EQ(c.height, cur().pictureHeight) << c.what;
    EXPECT_EQ(c.beeps, prompter.beeps) << c.what;
  }
}

// ---- Loading a font file --------------------------------------------------------

class FontFileTest : public FontTest {
 protected:
  // Writes a group of n elements of w x h, perRow a row, to the font path,
  // then gives the set a different picture of its own.
  void WriteFont(int32_t w, int32_t h, int32_t n, int32_t perRow, bool single = false) {
    Group(w, h, n, perRow);
    cur().bwFileFormat = 1026;
    cur().byteOrganization = 1034;
    cur().bitOrganization = 1031;
    if (single) cur().viewMode = 10097;
    CodePageTable t = CurrentCodePage();
    ClearCodePageRanges(t);
    AddCodePageRange(t, 0x20, 0x20 + n - 1, 0);
    CopyText(cur().symbolPath, kPathSlot, kFontPath);
    CopyText(cur().symbolTitle, kPathSlot, "f.sym");
    Set(1, 1);
    ASSERT_TRUE(SaveSymbolFile());
    Group(8, 8, 10, 5);
    cur().bitOrganization = 1032;
    cur().byteOrganization = 1033;
    cur().modified = true;
    CopyText(cur().symbolPath, kPathSlot, "C:\\w\\mine.sym");
    Set(2, 2);
    UpdateWorkSheetGeometry();  // the set as the program keeps it
    CopyText(st().cfg.fontFileName, kFontTextSlot, kFontPath);
    prompter.prompts.clear();
  }
};

TEST_F(FontFileTest, LoadingTakesCountAndSizeAndLeavesTheSetAsItWas) {
  WriteFont(6, 8, 96, 16);
  uint64_t before = Digest();
  ASSERT_EQ(1, LoadFontFile());
  const LoadedFont& f = TheLoadedFont();
  EXPECT_EQ(96, f.symbolCount);
  EXPECT_EQ(16, f.countX);
  EXPECT_EQ(6, f.symbolWidth);
  EXPECT_EQ(8, f.symbolHeight);
  EXPECT_EQ(before, Digest());
  EXPECT_TRUE(prompter.prompts.empty());
  EXPECT_FALSE(st().fontLoading);
  EXPECT_TRUE(TheFontViewFont().relayoutRequested);
  // Choosing the loaded font now uses its symbol size.
  RunFontCommand(10413);
  EXPECT_EQ(10413, cur().currentTool);
  EXPECT_EQ(6, st().cfg.fontSizeX);
  EXPECT_EQ(8, st().cfg.fontSizeY);
}

TEST_F(FontFileTest, ChoosingTheLoadedFontLoadsTheNamedFileFirst) {
  WriteFont(8, 12, 40, 8);
  RunFontCommand(10413);
  EXPECT_TRUE(TheLoadedFont().Loaded());
  EXPECT_EQ(104, cur().mouseMode);
  EXPECT_EQ(8, st().cfg.fontSizeX);
  EXPECT_EQ(12, st().cfg.fontSizeY);
}

TEST_F(FontFileTest, RefusedFilesFallBackToTheOemFont) {
  struct Case {
    const char* what;
    bool single;
    const char* path;
    const char* text;
  };
  const Case cases[] = {
      {"a single icon", true, kFontPath,
       "Font Load Error in Load Font:\n\nC:\\fonts\\f.sym\n\nFile does not contain a Group of Elements to use as a "
       "Font!"},
      {"a missing file", false, "C:\\fonts\\none.sym", nullptr},
  };
  for (const Case& c : cases) {
    WriteFont(6, 8, 4, 4, c.single);
    CopyText(st().cfg.fontFileName, kFontTextSlot, c.path);
    windows.posted.clear();
    uint64_t before = Digest();
    EXPECT_EQ(0, LoadFontFile()) << c.what;
    EXPECT_FALSE(TheLoadedFont().Loaded()) << c.what;
    EXPECT_EQ(before, Digest()) << c.what;
    EXPECT_EQ(std::vector<int>{10405}, windows.posted) << c.what;
    if (c.text) {
      EXPECT_EQ(c.text, LastPrompt()) << c.what;
      EXPECT_EQ("FontLoad", LastCaption()) << c.what;
    }
  }
}

}  // namespace
}  // namespace dwtest
