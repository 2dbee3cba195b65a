// View modes, work-sheet and Pixel View sizes, the tool table and the pens,
// and the re-sends of a set switch, Undo and Redo.
#include "Fakes.h"
#include "core/Dispatch.h"
#include "core/Geometry.h"
#include "core/MenuState.h"
#include "core/Settings.h"
#include "core/ViewModes.h"

namespace dwtest {
namespace {

class ViewModesTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    ReadWindowSettings(*EmptyProfile());
    ReadSettings(*EmptyProfile());
    st().clientWidth = 640;
    st().workSheetHeight = 480;
    UpdateWorkSheetGeometry();
    IgnoredCommands().clear();
  }
  // Sent commands run as the program runs them.
  void RunSentCommands() {
    windows.onSend = [](int id) { DispatchCommand(nullptr, id); };
  }
  int Cursor() { return windows.classCursor[WIN_MAIN]; }
};

// The tool table: button, mouse mode and work-sheet cursor of every tool.
TEST_F(ViewModesTest, ToolTable) {
  struct Case {
    int32_t tool, button, mode, cursor;
  };
  const Case cases[] = {
      {10079, 16, 100, 141}, {10034, 32, 102, 110}, {10035, 33, 102, 111}, {10037, 34, 102, 108},
      {10038, 35, 102, 109}, {10014, 17, 103, 138}, {10015, 25, 103, 139}, {10016, 18, 103, 142},
      {10017, 26, 103, 140}, {10018, 24, 103, 143}, {10120, 11, 105, 556}, {10282, 19, 106, 933},
      {10350, 40, 107, 958}, {10351, 41, 107, 957}, {10353, 69, 107, 959}, {10356, 48, 108, 968},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tool);
    const ToolRow* row = FindTool(c.tool);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->button, c.button);
    EXPECT_EQ(row->mouseMode, c.mode);
    EXPECT_EQ(ToolCursor(*row, 10503), c.cursor);
    // Chosen from Put Pixel, the set takes all three.
    cur().currentTool = 10079;
    cur().mouseMode = 100;
    cur().capButton = 16;
    DispatchCommand(nullptr, c.tool);
    EXPECT_EQ(cur().currentTool, c.tool);
    EXPECT_EQ(cur().mouseMode, c.mode);
    EXPECT_EQ(cur().capButton, c.button);
    EXPECT_EQ(Cursor(), c.cursor);
    EXPECT_TRUE(menu.Checked(c.tool));
    EXPECT_EQ(toolbox.state[c.button], c.button);
    if (c.tool != 10079) {
      EXPECT_FALSE(menu.Checked(10079));
      EXPECT_EQ(toolbox.state[16], -1);
    }
  }
  // The delete tool shows its method; 10910 keeps its button; pens are no tools.
  for (auto m : {std::make_pair(10503, 956), std::make_pair(10504, 1512), std::make_pair(10505, 1514)}) {
    EXPECT_EQ(ToolCursor(*FindTool(10352), m.first), m.second);
  }
  EXPECT_EQ(FindTool(10910)->mouseMode, 112);
  EXPECT_EQ(FindTool(10910)->cursor, 1938);
  EXPECT_EQ(FindTool(10501)->mouseMode, 107);
  EXPECT_EQ(FindTool(10019), nullptr);
}

TEST_F(ViewModesTest, ToggleToolsGiveBackTheToolTheyWereChosenFrom) {
  DispatchCommand(nullptr, 10016);
  for (int toggle : {10356, 10501}) {
    SCOPED_TRACE(toggle);
    DispatchCommand(nullptr, toggle);
    EXPECT_EQ(cur().currentTool, toggle);
    DispatchCommand(nullptr, toggle);
    EXPECT_EQ(cur().currentTool, 10016);
    EXPECT_EQ(cur().mouseMode, 103);
    EXPECT_EQ(cur().capButton, 18);
    EXPECT_EQ(Cursor(), 142);
    EXPECT_EQ(windows.classCursor[WIN_FONTVIEW], 0);
  }
  // Indexes by mouse while the text import makes them: refused, nothing changes.
  cur().currentTool = 10651;
  DispatchCommand(nullptr, 10356);
  ASSERT_EQ(prompter.prompts.size(), 1u);
  EXPECT_EQ(prompter.prompts[0].text, "Cannot make CodePage Indexes in two different ways at the same time");
  EXPECT_EQ(prompter.prompts[0].caption, "CodePage Error");
  EXPECT_EQ(cur().currentTool, 10651);
}

TEST_F(ViewModesTest, SymbolLineWarnsWhenItWouldDrawInTheBackground) {
  struct Case {
    const char* what;
    int32_t mode, kind, pen, tool, background;
    const char* text;  // null: no warning
  };
  const Case cases[] = {
      {"white pen", 10665, 10668, 10020, 0, 0, "Drawing White on White Background:\nCharacters will be invisible"},
      {"black pen", 10665, 10668, 10019, 0, 0, nullptr},
      {"same index", 10666, 10668, 10019, 7, 7, "Drawing Tool and Background have same Index:\nCharacters will be invisible"},
      {"other index", 10666, 10668, 10019, 7, 8, nullptr},
      {"same colour", 10666, 10667, 10019, 0xFFFFFF, 0xFFFFFF,
       "Drawing Tool and Background have same Color:\nCharacters will be invisible"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    prompter.prompts.clear();
    cur().currentTool = 10079;
    cur().colorMode = c.mode;
    cur().colorKind = c.kind;
    cur().penColor = c.pen;
    cur().toolColorIndex = c.tool;
    cur().backgroundColorIndex = c.background;
    cur().rgbToolColor = static_cast<uint32_t>(c.tool);
    cur().rgbBackgroundColor = static_cast<uint32_t>(c.background);
    DispatchCommand(nullptr, 10501);
    EXPECT_EQ(windows.classCursor[WIN_FONTVIEW], 1504);
    if (!c.text) {
      EXPECT_TRUE(prompter.prompts.empty());
      continue;
    }
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].text, c.text);
    EXPECT_EQ(prompter.prompts[0].caption, "Warning");
    EXPECT_EQ(prompter.prompts[0].flags, MBX_OK | MBX_ICONEXCLAMATION);
  }
}

// The size steps: past 256 pixels nothing changes; below the least size the
// least size; Auto starts from the size it chose.
TEST_F(ViewModesTest, WorkSheetSizeSteps) {
  struct Case {
    int32_t current, id, autoCell, least;
    int32_t value;
    bool beep;
  };
  const Case cases[] = {
      {10200, 10680, 15, 2, 10230, false},  // x2 from Auto doubles what Auto chose
      {10200, 10235, 15, 2, 10216, false},
      {10203, 10236, 9, 2, 10202, false},
      {10202, 10236, 9, 2, 10202, true},    // -1 at the least size
      {10203, 10681, 9, 2, 10202, true},    // /2 below it gives it
      {10201, 10236, 9, 1, 10201, true},
      {10328, 10680, 9, 2, 10456, false},
      {10329, 10680, 9, 2, 10329, true},    // 258 pixels: refused
      {10456, 10235, 9, 2, 10456, true},
      {10200, 10680, 200, 2, 10200, true},  // Auto stays Auto when doubling is refused
      {10456, 10205, 9, 2, 10205, false},   // the menu's sizes as they are
      {10200, 10200, 9, 2, 10200, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.current << " " << c.id);
    SizeStep r = StepWorkSheetPixelSize(c.current, c.id, c.autoCell, c.least);
    EXPECT_EQ(r.value, c.value);
    EXPECT_EQ(r.beep, c.beep);
  }
}

TEST_F(ViewModesTest, DoubleFromAutoAndMinusAtTheLeastSize) {
  cur().viewMode = 10097;
  cur().pictureWidth = 20;
  cur().pictureHeight = 15;
  cur().mainGroupPixSize = 10200;
  st().clientWidth = 300;
  st().workSheetHeight = 225;
  UpdateWorkSheetGeometry();
  ASSERT_EQ(cur().mainCellWidth, 15);
  DispatchCommand(nullptr, 10680);
  EXPECT_EQ(cur().mainGroupPixSize, 10230);
  EXPECT_EQ(cur().mainCellWidth, 30);
  EXPECT_FALSE(menu.Checked(10200));
  EXPECT_EQ(prompter.beeps, 0);

  // With the grid on the least cell is 2 pixels.
  ASSERT_EQ(st().minimumCellSize, 2);
  DispatchCommand(nullptr, 10202);
  EXPECT_TRUE(menu.Checked(10202));
  DispatchCommand(nullptr, 10236);
  EXPECT_EQ(cur().mainGroupPixSize, 10202);
  EXPECT_EQ(prompter.beeps, 1);
  EXPECT_TRUE(menu.Checked(10202));
}

// Toolbar button 9 held: x2 repeats on every timer tick.
TEST_F(ViewModesTest, DoubleHeldNeverPassesTheLargestCell) {
  cur().viewMode = 10097;
  cur().pictureWidth = 1600;
  cur().pictureHeight = 1200;
  cur().mainGroupPixSize = 10200;
  UpdateWorkSheetGeometry();
  for (int tick = 0; tick < 300; ++tick) DispatchCommand(nullptr, 10680);
  EXPECT_EQ(cur().mainGroupPixSize, 10456);
  EXPECT_EQ(cur().mainCellWidth, 256);
  EXPECT_GT(prompter.beeps, 250);
  // The scroll range stays a sane number of cells.
  EXPECT_GE(cur().mainScrollMaxX, 0);
  EXPECT_LE(cur().mainScrollMaxX, 1600);
}

TEST_F(ViewModesTest, PixelViewSizeSteps) {
  struct Case {
    int32_t current, id, value;
    bool beep;
  };
  const Case cases[] = {
      {10087, 10683, 10087, true},  // /2 from the smallest stays
      {10090, 10683, 10088, false},
      {10087, 10234, 10087, true},
      {10150, 10233, 10150, true},
      {10118, 10682, 10150, false},  // 32 x 2 = 64
      {10119, 10682, 10119, true},   // 66 would leave the settings range
      {10140, 10088, 10088, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.current << " " << c.id);
    SizeStep r = StepPixelViewSize(c.current, c.id);
    EXPECT_EQ(r.value, c.value);
    EXPECT_EQ(r.beep, c.beep);
  }
}

// 10089 at three LCD shapes, and the command kept through the settings file.
TEST_F(ViewModesTest, PixelViewCellsFollowTheLcdShape) {
  struct Case {
    double sizeX, spacingX, sizeY, spacingY;  // millimetres
    int32_t width, height;
  };
  const Case cases[] = {
      {0.5, 0.1, 0.5, 0.1, 3, 3},  // r 1
      {0.3, 0.1, 0.6, 0.1, 3, 5},  // r 1.75: 5.25 rounds to 5
      {0.9, 0.1, 0.4, 0.1, 6, 3},  // r 0.5
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sizeY);
    CreateEditorState();
    Install();
    ReadWindowSettings(*EmptyProfile());
    ReadSettings(*EmptyProfile());
    st().cfg.pixelSizeXmm = c.sizeX;
    st().cfg.spacingXmm = c.spacingX;
    st().cfg.pixelSizeYmm = c.sizeY;
    st().cfg.spacingYmm = c.spacingY;
    DispatchCommand(nullptr, 10089);
    EXPECT_EQ(cur().viewCellWidth, c.width);
    EXPECT_EQ(cur().viewCellHeight, c.height);
    EXPECT_TRUE(menu.Checked(10089));

    MemoryProfile file;
    ASSERT_TRUE(WriteSettings(file));
    std::string written;
    ASSERT_TRUE(file.Get("PixelView", "PixelViewPixSize", &written));
    EXPECT_EQ(written, "10089");
    CreateEditorState();
    Install();
    ReadWindowSettings(file);
    ReadSettings(file);
    ActivateDataSet(0);
    EXPECT_EQ(st().cfg.pixelViewPixSize, 10089);
    EXPECT_EQ(cur().viewCellWidth, c.width);
    EXPECT_EQ(cur().viewCellHeight, c.height);
  }
}

TEST_F(ViewModesTest, ViewModeFitsThePictureAndKeepsEachViewsScroll) {
  cur().viewMode = 10097;
  cur().elementWidth = 8;
  cur().elementHeight = 8;
  cur().elementCount = 10;
  cur().elementCountX = 4;
  st().clientWidth = 40;  // 32 cells of 3 pixels: room to scroll
  cur().mainScrollPosX = 5;
  cur().otherScrollPosX = 2;
  DispatchCommand(nullptr, 10350);  // an element tool
  DispatchCommand(nullptr, 10099);
  EXPECT_EQ(cur().viewMode, 10099);
  EXPECT_EQ(cur().pictureWidth, 32);
  EXPECT_EQ(cur().pictureHeight, 24);
  EXPECT_TRUE(menu.Checked(10099));
  EXPECT_FALSE(menu.Checked(10097));
  EXPECT_EQ(toolbox.state[6], 6);
  EXPECT_EQ(cur().currentTool, 10350);  // Show Group keeps the element tool
  EXPECT_TRUE(windows.posted.empty());
  for (int b = 40; b <= 43; ++b) EXPECT_EQ(toolbox.state[b], -3) << b;
  EXPECT_EQ(cur().mainScrollPosX, 2);  // Show Group's own position
  EXPECT_EQ(cur().otherScrollPosX, 5);

  DispatchCommand(nullptr, 10097);
  EXPECT_EQ(cur().mainScrollPosX, 5);  // the single icon's position is back
  EXPECT_EQ(windows.posted, std::vector<int>{10079});  // and the tool goes to Put Pixel
  for (int b = 40; b <= 43; ++b) EXPECT_EQ(toolbox.state[b], -2) << b;
  EXPECT_FALSE(menu.Enabled(10099));
  EXPECT_TRUE(menu.Enabled(10097));
  EXPECT_EQ(toolbox.state[4], 4);
  EXPECT_EQ(toolbox.state[6], -2);
}

// A switch, Undo and Redo send the set's commands again: marks only.
TEST_F(ViewModesTest, ResendsRestoreMarksOnly) {
  RunSentCommands();
  cur().viewMode = 10099;
  cur().pictureWidth = 100;  // not the element grid's size
  cur().pictureHeight = 50;
  DispatchCommand(nullptr, 10016);
  DispatchCommand(nullptr, 10356);
  cur().toolColorIndex = 42;  // a colour picked in the Palette
  DeactivateDataSet(0);
  EXPECT_FALSE(menu.Checked(10356));
  ActivateDataSet(0);
  EXPECT_EQ(cur().currentTool, 10356);  // not toggled back
  EXPECT_EQ(cur().mouseMode, 108);
  EXPECT_EQ(cur().pictureWidth, 100);  // not refitted
  EXPECT_EQ(cur().pictureHeight, 50);
  EXPECT_EQ(cur().toolColorIndex, 42);
  EXPECT_TRUE(menu.Checked(10356));
  EXPECT_TRUE(menu.Checked(10099));
  EXPECT_TRUE(menu.Checked(cur().penColor));
  EXPECT_EQ(toolbox.state[48], 48);
  EXPECT_EQ(toolbox.state[6], 6);
  EXPECT_EQ(Cursor(), 968);

  // The same for a typing font and the symbol line over a set switch.
  DispatchCommand(nullptr, 10356);
  DispatchCommand(nullptr, 10408);
  ASSERT_EQ(cur().mouseMode, 104);
  st().set[1].currentTool = 10501;
  st().set[1].mouseMode = 107;
  st().set[1].capButton = 42;
  SwitchDataSet(1);
  EXPECT_EQ(cur().currentTool, 10501);
  EXPECT_EQ(toolbox.state[42], 42);
  EXPECT_EQ(toolbox.state[27], -1);
  EXPECT_EQ(windows.classCursor[WIN_FONTVIEW], 1504);
  SwitchDataSet(0);
  EXPECT_EQ(cur().currentTool, 10408);
  EXPECT_EQ(cur().mouseMode, 104);
  EXPECT_EQ(Cursor(), 195);
  EXPECT_EQ(toolbox.state[27], 27);
}

TEST_F(ViewModesTest, GridOnMakesOnePixelCellsTwo) {
  cur().viewMode = 10097;
  DispatchCommand(nullptr, 10118);  // off
  EXPECT_EQ(st().minimumCellSize, 1);
  EXPECT_EQ(st().cfg.showIconGrid, 0);
  DispatchCommand(nullptr, 10201);
  st().set[1].mainGroupPixSize = 10201;
  DispatchCommand(nullptr, 10118);  // on
  EXPECT_TRUE(menu.Checked(10118));
  EXPECT_EQ(cur().mainGroupPixSize, 10202);
  EXPECT_EQ(st().set[1].mainGroupPixSize, 10202);
  EXPECT_TRUE(menu.Checked(10202));
  EXPECT_FALSE(menu.Checked(10201));
  // Auto stays Auto.
  DispatchCommand(nullptr, 10200);
  DispatchCommand(nullptr, 10118);
  DispatchCommand(nullptr, 10118);
  EXPECT_EQ(cur().mainGroupPixSize, 10200);
}

TEST_F(ViewModesTest, PensSetTheToolColourAndTheirButton) {
  for (int i = 0; i < 256; ++i) cur().palette[i] = 0x010101u * static_cast<uint32_t>(i);
  DispatchCommand(nullptr, 10020);
  EXPECT_EQ(cur().penColor, 10020);
  EXPECT_EQ(cur().rgbToolColor, 0xFFFFFFu);
  EXPECT_EQ(cur().toolColorIndex, 255);
  EXPECT_EQ(toolbox.state[10], 10);
  EXPECT_EQ(toolbox.state[8], -1);
  EXPECT_TRUE(menu.Checked(10020));
  EXPECT_FALSE(menu.Checked(10019));
  DispatchCommand(nullptr, 10078);
  EXPECT_EQ(cur().rgbToolColor, 0xFFFFFFu);  // Toggle keeps the colour
  EXPECT_EQ(toolbox.state[9], 9);
  EXPECT_EQ(toolbox.state[10], -1);
}

}  // namespace
}  // namespace dwtest
