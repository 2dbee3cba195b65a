// The command dispatcher: routes, switches, the colour and code-page
// commands and their refusals, Reset to Defaults and Exit.
#include <algorithm>
#include <string>

#include "Fakes.h"
#include "core/Dispatch.h"
#include "core/Geometry.h"
#include "core/MainWindow.h"
#include "core/Settings.h"
#include "core/StateDigest.h"
#include "views/ColorModel.h"
#include "views/EditCodePage.h"

namespace dwtest {
namespace {

int g_thresholdAnswer = 1;
int g_thresholdCalls = 0;
int ScriptedThreshold(bool) {
  ++g_thresholdCalls;
  return g_thresholdAnswer;
}

int g_editAnswer = 0;
int32_t g_editStart = 0;
int ScriptedEditCodePage(bool indexStart, int32_t* start) {
  if (indexStart) *start = g_editStart;
  return g_editAnswer;
}

class DispatchTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    ReadWindowSettings(*EmptyProfile());
    ReadSettings(*EmptyProfile());
    HandleCreate();  // the start-up snapshots
    st().clientWidth = 640;
    st().workSheetHeight = 480;
    IgnoredCommands().clear();
    SetGrayThresholdHook(ScriptedThreshold);
    SetEditCodePageHook(ScriptedEditCodePage);
    g_thresholdAnswer = 1;
    g_thresholdCalls = 0;
    g_editAnswer = 0;
    prompter.prompts.clear();
    prompter.beeps = 0;
    // Every item present (the start-up removes those the machine lacks).
    menu.items.clear();
    menu.log.clear();
    windows.posted.clear();
  }
  void TearDown() override {
    SetGrayThresholdHook(nullptr);
    SetEditCodePageHook(nullptr);
    EditorTest::TearDown();
  }
  uint64_t Digest(int set) { return DigestDataSet(st(), set, DigestCells{64, 64}); }
  // A small palette picture: cells 0..3 of a 4-colour palette.
  void PalettePicture() {
    DataSet& s = cur();
    s.colorMode = 10666;
    s.colorKind = 10668;
    s.pictureWidth = 4;
    s.pictureHeight = 1;
    const uint32_t colours[] = {0x000000, 0x202020, 0xC0C0C0, 0xFFFFFF};
    for (int i = 0; i < 4; ++i) {
      s.palette[i] = colours[i];
      *CellPtr(st(), 0, i, 0) = static_cast<uint32_t>(i);
    }
  }
};

TEST_F(DispatchTest, IdsWithoutRoutineAndAcceptedIdsChangeNothing) {
  uint64_t before0 = Digest(0), before1 = Digest(1);
  for (int id : {10142, 10100, 10211, 10369, 10370}) DispatchCommand(nullptr, id);
  EXPECT_EQ(IgnoredCommands(), std::vector<int>{10142});
  EXPECT_EQ(Digest(0), before0);
  EXPECT_EQ(Digest(1), before1);
  EXPECT_TRUE(menu.log.empty());
  EXPECT_TRUE(windows.posted.empty());
  EXPECT_TRUE(prompter.prompts.empty());
  // 10144 passes on to 10142, which has none.
  DispatchCommand(nullptr, 10144);
  EXPECT_EQ(windows.posted, std::vector<int>{10142});
}

TEST_F(DispatchTest, SwitchesToggleTheirSettingAndCheck) {
  struct Case {
    int id;
    int32_t GlobalSettings::*setting;
  };
  const Case cases[] = {
      {10227, &GlobalSettings::reloadFilesAtStartUp}, {10239, &GlobalSettings::disableBitMapReadDlg},
      {10220, &GlobalSettings::askForSaveChanges},    {10068, &GlobalSettings::saveSettings},
      {10141, &GlobalSettings::disablePasteDlg},      {10128, &GlobalSettings::monoPrint},
      {10127, &GlobalSettings::monoShow},             {10151, &GlobalSettings::enableSwap},
      {10126, &GlobalSettings::disableMouseOperationsInGroupMode},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    int32_t was = st().cfg.*c.setting;
    DispatchCommand(nullptr, c.id);
    EXPECT_EQ(st().cfg.*c.setting, was ? 0 : 1);
    EXPECT_EQ(menu.Checked(c.id), !was);
    DispatchCommand(nullptr, c.id);
    EXPECT_EQ(st().cfg.*c.setting, was);
  }
  // Monochrome colours in the Pixel View follow 10127.
  st().lcdWhite = 0x123456;
  DispatchCommand(nullptr, 10127);
  EXPECT_EQ(st().pixelViewWhite, 0x123456u);
  DispatchCommand(nullptr, 10127);
  EXPECT_EQ(st().pixelViewWhite, 0xFFFFFFu);
  // 1043 only sets the check from the setting.
  st().cfg.disableMouseOperationsInGroupMode = 1;
  DispatchCommand(nullptr, 1043);
  EXPECT_TRUE(menu.Checked(10126));
}

TEST_F(DispatchTest, ViewItemsShowAndHideTheirWindows) {
  st().windows[WIN_PIXELVIEW].show = 4;
  DispatchCommand(nullptr, 10670);
  EXPECT_EQ(st().windows[WIN_PIXELVIEW].show, 0);
  EXPECT_EQ(windows.shown[WIN_PIXELVIEW], SHOW_HIDE);
  EXPECT_FALSE(menu.Checked(10670));
  DispatchCommand(nullptr, 10670);
  EXPECT_EQ(windows.shown[WIN_PIXELVIEW], 4);
  EXPECT_TRUE(menu.Checked(10670));
}

TEST_F(DispatchTest, CutPostsCopyThenDelete) {
  DispatchCommand(nullptr, 57635);
  EXPECT_EQ(windows.posted, (std::vector<int>{57634, 10049}));
}

TEST_F(DispatchTest, PasteWithNothingOnTheClipboard) {
  uint64_t before = Digest(0);
  DispatchCommand(nullptr, 57637);
  ASSERT_EQ(prompter.prompts.size(), 1u);
  EXPECT_EQ(prompter.prompts[0].text, "Unsupported ClipBoard format.\nPlease run ClipBook Viewer to check.");
  EXPECT_EQ(prompter.prompts[0].caption, kProgramTitle);
  EXPECT_EQ(Digest(0), before);
}

TEST_F(DispatchTest, TypingFontChosenByItsCommand) {
  cur().viewMode = 10099;
  DispatchCommand(nullptr, 10408);
  EXPECT_EQ(st().cfg.fontSizeX, 8);
  EXPECT_EQ(st().cfg.fontSizeY, 16);
  EXPECT_EQ(cur().mouseMode, 104);
  EXPECT_EQ(cur().currentTool, 10408);
  EXPECT_EQ(windows.classCursor[WIN_MAIN], 195);
  EXPECT_EQ(toolbox.state[27], 27);
}

// Colour off with the threshold dialog cancelled: nothing changed, ring
// and flag included; with OK the picture is black and white.
TEST_F(DispatchTest, DrawWithColorOffAndItsThreshold) {
  PalettePicture();
  cur().modified = false;
  uint64_t before = Digest(0);
  g_thresholdAnswer = 0;
  DispatchCommand(nullptr, 10240);
  EXPECT_EQ(g_thresholdCalls, 1);
  EXPECT_EQ(Digest(0), before);
  EXPECT_EQ(cur().colorMode, 10666);
  EXPECT_TRUE(menu.Checked(10240));
  EXPECT_FALSE(menu.Enabled(10221));
  EXPECT_EQ(windows.shown[WIN_PALETTE], st().windows[WIN_PALETTE].show);

  g_thresholdAnswer = 1;
  st().cfg.gray = 128;
  DispatchCommand(nullptr, 10240);
  EXPECT_EQ(cur().colorMode, 10665);
  EXPECT_FALSE(menu.Checked(10240));
  EXPECT_TRUE(menu.Enabled(10221));
  EXPECT_EQ(windows.shown[WIN_PALETTE], SHOW_HIDE);
  const uint32_t expected[] = {1, 1, 0, 0};  // dark while rms <= 128
  for (int x = 0; x < 4; ++x) EXPECT_EQ(*CellPtr(st(), 0, x, 0), expected[x]) << x;
  EXPECT_TRUE(cur().modified);
  EXPECT_NE(Digest(0), before);

  // With the dialog switched off the stored threshold converts at once.
  st().cfg.disableDotMapConvertDlg = 1;
  PalettePicture();
  st().cfg.gray = 0;
  DispatchCommand(nullptr, 10240);
  EXPECT_EQ(g_thresholdCalls, 2);
  EXPECT_EQ(*CellPtr(st(), 0, 0, 0), 1u);  // only pure black
  EXPECT_EQ(*CellPtr(st(), 0, 1, 0), 0u);
}

TEST_F(DispatchTest, ColourKindConversionsRoundTrip) {
  PalettePicture();
  DispatchCommand(nullptr, 10667);
  EXPECT_EQ(cur().colorKind, 10667);
  EXPECT_EQ(*CellPtr(st(), 0, 2, 0), 0xC0C0C0u);
  EXPECT_FALSE(menu.Checked(10242));
  st().paletteColumns = 2;  // the 4-entry palette
  st().paletteRows = 2;
  DispatchCommand(nullptr, 10668);
  EXPECT_EQ(cur().colorKind, 10668);
  for (uint32_t x = 0; x < 4; ++x) EXPECT_EQ(*CellPtr(st(), 0, x, 0), x);
  EXPECT_TRUE(menu.Checked(10242));
  // An index past the palette reads entry 0.
  EXPECT_EQ(PaletteColorOf(cur(), 5000), cur().palette[0]);
}

TEST_F(DispatchTest, MinimizeMovesUsedEntriesToTheFront) {
  PalettePicture();
  for (int x = 0; x < 4; ++x) *CellPtr(st(), 0, x, 0) = x < 2 ? 9 : 5;
  cur().palette[5] = 0x555555;
  cur().palette[9] = 0x999999;
  cur().toolColorIndex = 9;
  cur().backgroundColorIndex = 5;
  DispatchCommand(nullptr, 10286);
  EXPECT_EQ(cur().palette[0], 0x555555u);
  EXPECT_EQ(cur().palette[1], 0x999999u);
  EXPECT_EQ(cur().palette[2], 0u);
  EXPECT_EQ(*CellPtr(st(), 0, 0, 0), 1u);
  EXPECT_EQ(*CellPtr(st(), 0, 3, 0), 0u);
  EXPECT_EQ(cur().toolColorIndex, 1);
  EXPECT_EQ(cur().backgroundColorIndex, 0);
  // Not in black and white: a beep and nothing else.
  cur().colorMode = 10665;
  uint64_t before = Digest(0);
  DispatchCommand(nullptr, 10287);
  EXPECT_EQ(prompter.beeps, 1);
  EXPECT_EQ(Digest(0), before);
}

// Dialogs answered Cancel leave no trace, snapshot included.
TEST_F(DispatchTest, CancelledDialogsChangeNothing) {
  cur().useCodePage = 1;
  cur().modified = false;
  uint64_t before = Digest(0);
  for (int id : {10660, 10355, 10221, 10101, 10104, 10147, 10129, 10241, 10070, 10700}) {
    SCOPED_TRACE(id);
    DispatchCommand(nullptr, id);
    EXPECT_EQ(Digest(0), before);
  }
}

TEST_F(DispatchTest, CodePageCommandsOfferToSwitchItOn) {
  cur().viewMode = 10099;
  cur().useCodePage = 0;
  for (int id : {10361, 10355}) {
    SCOPED_TRACE(id);
    prompter.prompts.clear();
    windows.posted.clear();
    cur().useCodePage = 0;
    prompter.answers = {ANS_NO};
    DispatchCommand(nullptr, id);
    EXPECT_EQ(cur().useCodePage, 0);
    EXPECT_TRUE(windows.posted.empty());
    prompter.answers = {ANS_YES};
    DispatchCommand(nullptr, id);
    ASSERT_EQ(prompter.prompts.size(), 2u);
    EXPECT_EQ(prompter.prompts[1].text, "Code Page is disabled, Enable now ?");
    EXPECT_EQ(cur().useCodePage, 1);
    EXPECT_EQ(windows.posted, std::vector<int>{id});
  }
  // 10502 switches it off and, in Show Group only, on.
  DispatchCommand(nullptr, 10502);
  EXPECT_EQ(cur().useCodePage, 0);
  EXPECT_FALSE(menu.Checked(10502));
  cur().viewMode = 10097;
  DispatchCommand(nullptr, 10502);
  EXPECT_EQ(cur().useCodePage, 0);
  cur().viewMode = 10099;
  DispatchCommand(nullptr, 10502);
  EXPECT_EQ(cur().useCodePage, 1);
  EXPECT_TRUE(menu.Checked(10502));
}

TEST_F(DispatchTest, EditIndexStartProposesAndTakesTheStart) {
  CodePageTable t = CurrentCodePage();
  *t.count = 2;
  t.startChar[0] = 0x20;
  t.endChar[0] = 0x3F;
  t.startChar[1] = 0x41;
  t.endChar[1] = 0x5A;
  EXPECT_EQ(ProposedRangeStart(t, 2, false), 0x5A);
  EXPECT_EQ(ProposedRangeStart(t, 2, true), 0x3F);
  EXPECT_EQ(ProposedRangeStart(t, 0, false), 0x3F);
  EXPECT_EQ(ProposedRangeStart(t, -1, false), 0);

  struct Case {
    const char* text;
    bool hex;
    int32_t start;
    const char* shown;
  };
  const Case cases[] = {
      {"0x41", true, 0x41, "0x0041"}, {"65", false, 65, "65"}, {"99999999", false, 0x10FFFF, "1114111"},
      {"", true, 0, "0x0000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    IndexStartModel m;
    m.hex = c.hex;
    m.Take(c.text);
    EXPECT_EQ(m.start, c.start);
    EXPECT_EQ(m.Text(), c.shown);
  }

  int32_t start = -5;
  g_editAnswer = 0;
  EXPECT_EQ(RunEditIndexStartDialog(&start), 0);
  EXPECT_EQ(start, -5);
  g_editAnswer = 1;
  g_editStart = 0x61;
  EXPECT_EQ(RunEditIndexStartDialog(&start), 1);
  EXPECT_EQ(start, 0x61);
}

TEST_F(DispatchTest, DeleteMethodAndPrinterChoice) {
  DispatchCommand(nullptr, 10352);
  DispatchCommand(nullptr, 10504);
  EXPECT_EQ(st().cfg.elementDeleteMethod, 10504);
  EXPECT_TRUE(menu.Checked(10504));
  EXPECT_FALSE(menu.Checked(10503));
  EXPECT_EQ(windows.classCursor[WIN_MAIN], 1512);
  DispatchCommand(nullptr, 10803);
  EXPECT_EQ(st().cfg.printerNumber, 4);
  EXPECT_TRUE(menu.Checked(10803));
  EXPECT_FALSE(menu.Checked(10799));
}

// Reset to Defaults and Exit: the prompts as on exit, then every row's default.
TEST_F(DispatchTest, ResetAndExitWritesEveryDefault) {
  st().cfg.askForSaveChanges = 1;
  cur().modified = true;
  cur().pictureWidth = 77;
  st().cfg.pixelViewPixSize = 10120;
  prompter.answers = {ANS_CANCEL};
  DispatchCommand(nullptr, 10159);
  EXPECT_EQ(profile.KeyCount(), 0u);
  EXPECT_TRUE(windows.closed.empty());
  EXPECT_FALSE(st().settingsWritten);

  prompter.answers = {ANS_NO};
  DispatchCommand(nullptr, 10159);
  EXPECT_EQ(windows.closed, std::vector<int>{WIN_MAIN});
  size_t rows = 0;
  for (const SettingRow& row : SettingsTable()) {
    if (row.access == SettingAccess::ReadOnly) continue;
    for (int s = 0; s < (row.perSet ? 2 : 1); ++s) {
      char section[64], key[80];
      FormatSection(row, s, section, sizeof section);
      for (int i = 0; i < RowCount(row, st(), s); ++i, ++rows) {
        FormatKey(row, i, key, sizeof key);
        SCOPED_TRACE(std::string(section) + "/" + key);
        std::string v;
        ASSERT_TRUE(profile.Get(section, key, &v));
        if (row.group == G_VERSION) EXPECT_EQ(v, kProgramTitle);
        else if (row.kind == SettingKind::Text) EXPECT_EQ(v, row.defText);
        else EXPECT_EQ(v, std::to_string(RowDefault(row, st(), s, i)));
      }
    }
  }
  EXPECT_GT(rows, 100u);
  // The close that follows writes nothing over the defaults.
  size_t writes = profile.Writes().size();
  EXPECT_TRUE(HandleClose());
  EXPECT_EQ(profile.Writes().size(), writes);
}

}  // namespace
}  // namespace dwtest
