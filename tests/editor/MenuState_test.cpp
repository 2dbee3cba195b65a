// Menu, ToolBox and window state that follows the data set.
#include "Fakes.h"
#include "core/Dispatch.h"
#include "core/MenuState.h"
#include "core/Settings.h"

namespace dwtest {
namespace {

class MenuStateTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    ReadWindowSettings(*EmptyProfile());
    ReadSettings(*EmptyProfile());
  }
};

TEST_F(MenuStateTest, SingleIconKeepsCodePageToolsGreyed) {
  cur().viewMode = 10097;
  cur().useCodePage = 1;
  DisableDataSetMenus(0);
  EnableDataSetMenus(0);
  for (int id : {10356, 10361, 10355}) EXPECT_FALSE(menu.Enabled(id)) << id;
  EXPECT_EQ(windows.shown[WIN_CODEPAGE], SHOW_HIDE);
  EXPECT_FALSE(menu.Enabled(10673));
  // Show Group with a code page enables them and shows the view.
  cur().viewMode = 10099;
  DisableDataSetMenus(0);
  EnableDataSetMenus(0);
  for (int id : {10356, 10361, 10355, 10502, 10673}) EXPECT_TRUE(menu.Enabled(id)) << id;
  EXPECT_TRUE(menu.Checked(10502));
  EXPECT_EQ(windows.shown[WIN_CODEPAGE], 1);
  for (int b = 48; b <= 51; ++b) EXPECT_EQ(toolbox.state[b], -3) << b;
}

TEST_F(MenuStateTest, TurnToolsOnlyInTheIconViews) {
  struct Case {
    int view;
    int state;
  };
  const Case cases[] = {{10096, -2}, {10097, -3}, {10098, -3}, {10099, -2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.view);
    cur().viewMode = c.view;
    DisableDataSetMenus(0);
    for (int b : {44, 45, 46, 47, 52, 53, 54, 55}) EXPECT_EQ(toolbox.state[b], c.state) << b;
    for (int b : {40, 41, 42, 43, 48, 49, 50, 51}) EXPECT_EQ(toolbox.state[b], -2) << b;
  }
}

TEST_F(MenuStateTest, CSourcePaletteSizesStopAtTheLibraryDepth) {
  for (int id = 10244; id <= 10273; ++id) menu.Enable(id, false);
  menu.Enable(10248, true);  // as it was before
  cur().colorFileFormat = 1112;
  cur().kelvorBitPerPixel = 1403;
  ActivateDataSet(0);
  for (int id = 10244; id <= 10247; ++id) EXPECT_TRUE(menu.Enabled(id)) << id;
  for (int id = 10262; id <= 10265; ++id) EXPECT_TRUE(menu.Enabled(id)) << id;
  EXPECT_TRUE(menu.Enabled(10248));
  EXPECT_FALSE(menu.Enabled(10249));
  EXPECT_FALSE(menu.Enabled(10266));
}

TEST_F(MenuStateTest, ColourToBlackAndWhite) {
  st().set[1].colorMode = 10665;
  DeactivateDataSet(0);
  st().currentDataSet = 1;
  windows.showLog.clear();
  ActivateDataSet(1);
  EXPECT_EQ(windows.shown[WIN_PALETTE], SHOW_HIDE);
  EXPECT_EQ(windows.shown[WIN_RAINBOW], SHOW_HIDE);
  for (int id : {10221, 10101, 10104, 10147}) EXPECT_TRUE(menu.Enabled(id)) << id;
  for (int id : {10656, 10901, 10677, 10678}) EXPECT_FALSE(menu.Enabled(id)) << id;
  EXPECT_FALSE(menu.Checked(10240));
  EXPECT_TRUE(menu.Checked(10154));
  EXPECT_FALSE(menu.Checked(10153));
}

TEST_F(MenuStateTest, PaletteKindHidesTheRainbow) {
  cur().colorKind = 10668;
  cur().rainbowShown = 1;
  ActivateDataSet(0);
  EXPECT_EQ(windows.shown[WIN_RAINBOW], SHOW_HIDE);
  EXPECT_EQ(windows.shown[WIN_PALETTE], 1);
  EXPECT_EQ(cur().rainbowShown, 0);
  EXPECT_TRUE(menu.Checked(10242));
}

TEST_F(MenuStateTest, ActivationSendsTheSetsCommandsInOrder) {
  struct Case {
    int pixelSize;
    std::vector<int> expect;
  };
  const Case cases[] = {
      {10204, {10057, 10097, 10204, 10079, 10019}},
      {10208, {10057, 10097, 10079, 10019}},
  };
  for (const Case& c : cases) {
    windows.sent.clear();
    cur().mainGroupPixSize = c.pixelSize;
    ActivateDataSet(0);
    std::vector<int> firstFive(windows.sent.begin(), windows.sent.begin() + c.expect.size());
    EXPECT_EQ(firstFive, c.expect);
  }
}

TEST_F(MenuStateTest, GridFollowsTheViewMode) {
  st().cfg.showIconGrid = 0;
  st().cfg.showElementGrid = 8;
  cur().viewMode = 10096;
  ActivateDataSet(0);
  EXPECT_EQ(st().pixelGridGap, 1);
  EXPECT_EQ(st().minimumCellSize, 2);
  EXPECT_TRUE(menu.Checked(10118));
  cur().viewMode = 10099;
  ActivateDataSet(0);
  EXPECT_EQ(st().pixelGridGap, 0);
  EXPECT_EQ(st().minimumCellSize, 1);
  EXPECT_FALSE(menu.Checked(10118));
}

TEST_F(MenuStateTest, SwitchingSets) {
  st().set[1].colorKind = 10668;
  SwitchDataSet(1);
  EXPECT_EQ(st().currentDataSet, 1);
  EXPECT_EQ(st().swapDataSet, 0);
  EXPECT_TRUE(menu.Checked(10154));
  EXPECT_FALSE(menu.Checked(10153));
  EXPECT_EQ(windows.titles[WIN_SWAPVIEW], "Swap View  - New.sym");
  EXPECT_EQ(windows.shown[WIN_RAINBOW], SHOW_HIDE);
  SwitchDataSet(0);
  EXPECT_EQ(st().swapDataSet, 1);
  EXPECT_TRUE(menu.Checked(10153));
}

TEST_F(MenuStateTest, UnknownCommandsAreRecordedOnly) {
  IgnoredCommands().clear();
  DispatchCommand(nullptr, 10142);
  DispatchCommand(nullptr, 57607);
  EXPECT_EQ(IgnoredCommands(), (std::vector<int>{10142, 57607}));
  DispatchCommand(nullptr, 10068);
  EXPECT_EQ(st().cfg.saveSettings, 0);
  EXPECT_FALSE(menu.Checked(10068));
  DispatchCommand(nullptr, 10220);
  EXPECT_EQ(st().cfg.askForSaveChanges, 1);
  EXPECT_TRUE(menu.Checked(10220));
}

}  // namespace
}  // namespace dwtest
