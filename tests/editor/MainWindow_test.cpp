// The main window's message handlers as plain functions.
#include <algorithm>

#include "Fakes.h"
#include "core/Dispatch.h"
#include "core/MainInit.h"
#include "core/MainWindow.h"
#include "core/Settings.h"
#include "views/FontRender.h"

namespace dwtest {
namespace {

class MainWindowTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    ReadWindowSettings(*EmptyProfile());
    ReadSettings(*EmptyProfile());
  }
};

TEST(ScrollStepTest, Steps) {
  struct Case {
    const char* what;
    int code;
    int32_t pos, max, visible, element;
    bool group;
    int32_t thumb, expect;
  };
  const Case cases[] = {
      {"line down, 100 px of 3 px cells", SCR_LINEDOWN, 0, 50, 33, 8, false, 0, 3},
      {"line up", SCR_LINEUP, 10, 50, 33, 8, false, 0, -3},
      {"line down in Show Group", SCR_LINEDOWN, 0, 50, 33, 8, true, 0, 8},
      {"page down", SCR_PAGEDOWN, 0, 50, 33, 8, false, 0, 25},
      {"page down past the maximum", SCR_PAGEDOWN, 40, 50, 33, 8, false, 0, 10},
      {"page up past the top", SCR_PAGEUP, 5, 50, 33, 8, false, 0, -5},
      {"thumb track", SCR_THUMBTRACK, 5, 50, 33, 8, false, 20, 15},
      {"thumb position", SCR_THUMBPOSITION, 5, 50, 33, 8, false, 20, 0},
      {"top", SCR_TOP, 7, 50, 33, 8, false, 0, -7},
      {"bottom", SCR_BOTTOM, 7, 50, 33, 8, false, 0, 43},
      {"at the maximum", SCR_LINEDOWN, 50, 50, 33, 8, false, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScrollStep(c.code, c.pos, c.max, c.visible, c.element, c.group, c.thumb), c.expect) << c.what;
  }
}

TEST_F(MainWindowTest, ScrollMovesAndInvalidatesOnlyWhenItMoves) {
  st().workSheetHeight = 100;
  cur().mainCellHeight = 3;
  cur().mainScrollMaxY = 4;
  EXPECT_TRUE(HandleScroll(true, SCR_LINEDOWN, 0));
  EXPECT_EQ(cur().mainScrollPosY, 3);
  EXPECT_EQ(cur().scrollOffsetY, -3);
  EXPECT_TRUE(HandleScroll(true, SCR_LINEDOWN, 0));
  EXPECT_EQ(cur().mainScrollPosY, 4);
  EXPECT_EQ(windows.sheetInvalidations, 2);
  EXPECT_FALSE(HandleScroll(true, SCR_LINEDOWN, 0));
  EXPECT_EQ(windows.sheetInvalidations, 2);
}

TEST_F(MainWindowTest, TypingCaretStaysInsideThePicture) {
  cur().mouseMode = 104;
  cur().textCursorX = 29;
  cur().textCursorY = 29;
  for (int i = 0; i < 5; ++i) HandleKeyDown(KEY_RIGHT);
  for (int i = 0; i < 5; ++i) HandleKeyDown(KEY_DOWN);
  EXPECT_EQ(cur().textCursorX, 30);
  EXPECT_EQ(cur().textCursorY, 30);
  cur().textCursorY = 26;
  cur().textCursorX = 9;
  HandleKeyDown(KEY_RETURN);
  EXPECT_EQ(cur().textCursorX, 0);
  EXPECT_EQ(cur().textCursorY, 30);
  for (int i = 0; i < 40; ++i) HandleKeyDown(KEY_UP), HandleKeyDown(KEY_LEFT);
  EXPECT_EQ(cur().textCursorX, 0);
  EXPECT_EQ(cur().textCursorY, 0);
}

TEST_F(MainWindowTest, KeysOutsideTyping) {
  EXPECT_TRUE(HandleKeyDown(KEY_LEFT));
  EXPECT_TRUE(HandleKeyDown(KEY_NEXT));
  EXPECT_TRUE(HandleKeyDown(KEY_END));
  EXPECT_FALSE(HandleKeyDown('A'));
  EXPECT_EQ(windows.posted, (std::vector<int>{10025}));
  EXPECT_EQ(windows.scrolls, (std::vector<std::pair<bool, int>>{{true, SCR_PAGEDOWN}, {true, SCR_BOTTOM}}));
}

TEST_F(MainWindowTest, HeldPixelSizeButtonRepeats) {
  struct Case {
    int releaseBeforeTick;  // 0: held throughout
    std::vector<int> postedOnTicks;
  };
  const Case cases[] = {{0, {2, 3}}, {2, {}}, {3, {2}}};
  for (const Case& c : cases) {
    windows.posted.clear();
    st().repeatHeld = true;
    st().repeatCount = 0;
    st().repeatCommand = 10235;
    st().timerTicks = 5;  // past the start-up reload
    std::vector<int> ticksWithPost;
    for (int tick = 1; tick <= 3; ++tick) {  // three ticks: 900 ms
      if (tick == c.releaseBeforeTick) st().repeatHeld = false;
      size_t before = windows.posted.size();
      HandleTimerTick(nullptr);
      if (windows.posted.size() > before) ticksWithPost.push_back(tick);
    }
    EXPECT_EQ(ticksWithPost, c.postedOnTicks);
  }
}

std::vector<std::string> g_opened;
int OpenOnly1(const char* path) {
  g_opened.push_back(path);
  return std::string(path) == "one.sym";
}

TEST_F(MainWindowTest, SecondTickReloadsSetOneThenSetZero) {
  struct Case {
    const char* set0;
    const char* set1;
    std::vector<std::string> expect;
  };
  const Case cases[] = {
      {"zero.sym", "one.sym", {"one.sym", "zero.sym"}},  // set 0 fails after set 1 succeeded
      {"one.sym", "zero.sym", {"zero.sym"}},             // set 1 fails: the loop stops
  };
  for (const Case& c : cases) {
    g_opened.clear();
    st().timerTicks = 0;
    st().cfg.reloadFilesAtStartUp = 1;
    st().currentDataSet = 0;
    CopyText(st().set[0].symbolPath, kPathSlot, c.set0);
    CopyText(st().set[1].symbolPath, kPathSlot, c.set1);
    HandleTimerTick(OpenOnly1);
    EXPECT_TRUE(g_opened.empty());
    HandleTimerTick(OpenOnly1);
    EXPECT_EQ(g_opened, c.expect);
    EXPECT_EQ(st().currentDataSet, 0);
    EXPECT_FALSE(st().startingUp);
    HandleTimerTick(OpenOnly1);  // once per run
    EXPECT_EQ(g_opened.size(), c.expect.size());
  }
}

TEST_F(MainWindowTest, TimerTicksGoToTheExistingViews) {
  windows.existing = {WIN_TOOLBOX, WIN_PALETTE, WIN_RAINBOW};
  st().timerTicks = 5;
  st().statusHold = 2;
  HandleTimerTick(nullptr);
  EXPECT_EQ(windows.ticks, (std::vector<std::pair<int, int>>{{WIN_TOOLBOX, 0}, {WIN_PALETTE, 0}}));
  EXPECT_EQ(st().statusHold, 1);
}

TEST_F(MainWindowTest, RestoreBringsBackRememberedWindows) {
  st().windows[WIN_TOOLBOX].show = 1;
  st().windows[WIN_PIXELVIEW].show = 0;
  st().windows[WIN_SWAPVIEW].show = 6;
  st().windows[WIN_FONTVIEW].show = 4;
  st().windows[WIN_PALETTE].show = 4;
  st().windows[WIN_RAINBOW].show = 4;
  st().windows[WIN_CODEPAGE].show = 4;
  cur().useCodePage = 0;
  for (int w = WIN_TOOLBOX; w < WIN_COUNT; ++w) {
    windows.snapshots[w].exists = true;
    windows.snapshots[w].visible = w != WIN_CODEPAGE;  // hidden: its view needs a code page
  }
  HandleSize(SIZETYPE_MINIMIZED, 0, 0);
  for (int w = WIN_TOOLBOX; w < WIN_COUNT; ++w) {
    EXPECT_EQ(windows.shown.count(w), w == WIN_CODEPAGE ? 0u : 1u) << w;
    if (w != WIN_CODEPAGE) {
      EXPECT_EQ(windows.shown[w], SHOW_MINIMIZE) << w;
    }
  }
  windows.showLog.clear();
  HandleSize(SIZETYPE_RESTORED, 800, 600);
  std::vector<std::pair<int, int>> expect = {
      {WIN_TOOLBOX, SHOW_RESTORE}, {WIN_FONTVIEW, SHOW_RESTORE}, {WIN_PALETTE, SHOW_RESTORE}, {WIN_RAINBOW, SHOW_RESTORE}};
  EXPECT_EQ(windows.showLog, expect);
  EXPECT_EQ(st().clientWidth, 800);
  EXPECT_EQ(st().workSheetHeight, 600 - 44 - st().statusLineHeight);
}

int32_t FakeOem(int32_t c) { return c == 0xC4 ? 0x8E : c; }

TEST_F(MainWindowTest, TypedCharactersByFont) {
  g_ansiToOem = FakeOem;
  struct Case {
    int font;
    int32_t ch;
    std::vector<int32_t> expect;
  };
  const Case cases[] = {
      {10418, 0x09, {}}, {10418, 0x41, {0x41}}, {10405, 0xC4, {0x8E}}, {10409, 0xC4, {0xC4}}, {10413, 0x141, {0x41}},
  };
  cur().mouseMode = 104;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.font);
    RenderedCharacters().clear();
    st().cfg.fontType = c.font;
    EXPECT_TRUE(HandleChar(c.ch));
    EXPECT_EQ(RenderedCharacters(), c.expect);
  }
  EXPECT_EQ(g_typedCharacterSeen, 1);
  EXPECT_FALSE(g_typedCharacter);
  cur().mouseMode = 100;
  EXPECT_FALSE(HandleChar('a'));
  g_ansiToOem = [](int32_t c) { return c; };
}

TEST_F(MainWindowTest, ToolbarHints) {
  InitMainWindow(*EmptyProfile());
  EXPECT_EQ(ToolbarHint(20, 10), "New Symbol or Font Setup...  /  Drawing Mode");
  EXPECT_EQ(ToolbarHint(5, 10), "");
  EXPECT_EQ(ToolbarHint(460, 10), "Data Set 1 - New.sym");
  EXPECT_EQ(ToolbarHint(20, 40), "");
}

TEST_F(MainWindowTest, CloseWritesOnceAndClosesTheViews) {
  EXPECT_TRUE(HandleClose());
  EXPECT_TRUE(st().settingsWritten);
  EXPECT_EQ(windows.closed.size(), 6u);
  st().cfg.askForSaveChanges = 1;
  st().settingsWritten = false;
  st().set[0].modified = true;
  prompter.answers = {ANS_CANCEL};
  windows.closed.clear();
  profile.ClearWrites();
  EXPECT_FALSE(HandleClose());
  EXPECT_TRUE(windows.closed.empty());
  EXPECT_TRUE(profile.Writes().empty());
  EXPECT_FALSE(st().settingsWritten);
}

// The start-up's font commands type, but the window is activated and focused
// before the posted Put Pixel arrives: no caret may be shown then, or it is
// left drawn over the first painted work sheet.
TEST_F(MainWindowTest, StartUpLeavesNoCaretBeforeThePostedTool) {
  windows.onSend = [](int id) { DispatchCommand(nullptr, id); };
  HandleCreate();
  EXPECT_EQ(st().cfg.fontType, 10405);
  EXPECT_TRUE(menu.Checked(10405));
  EXPECT_NE(cur().mouseMode, 104);
  ASSERT_FALSE(windows.caretLog.empty());
  EXPECT_EQ(windows.caretLog.back(), "destroy");
  size_t afterCreate = windows.caretLog.size();
  HandleActivate(true);
  EXPECT_EQ(windows.caretLog.size(), afterCreate);
  EXPECT_NE(std::find(windows.posted.begin(), windows.posted.end(), 10079), windows.posted.end());
  DispatchCommand(nullptr, 10079);
  EXPECT_EQ(cur().currentTool, 10079);
  EXPECT_EQ(cur().mouseMode, 100);
  EXPECT_EQ(windows.caretLog.size(), afterCreate);
  // A font chosen afterwards types again, and activation gives it its caret.
  DispatchCommand(nullptr, 10405);
  EXPECT_EQ(cur().mouseMode, 104);
  windows.caretLog.clear();
  HandleActivate(true);
  EXPECT_EQ(windows.caretLog.back(), "show");
}

TEST_F(MainWindowTest, CreateResetsWhenTheVersionDiffers) {
  HandleCreate();
  EXPECT_FALSE(cur().modified);
  EXPECT_EQ(windows.posted.back(), 10156);
}

}  // namespace
}  // namespace dwtest
