// Work-sheet geometry of the current set.
#include "Fakes.h"
#include "core/Geometry.h"
#include "core/Settings.h"

namespace dwtest {
namespace {

class GeometryTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    ReadWindowSettings(*EmptyProfile());
    ReadSettings(*EmptyProfile());
    st().clientWidth = 640;
    st().workSheetHeight = 480;
    st().minimumCellSize = 2;
  }
};

TEST_F(GeometryTest, OversizedPicturesAreCutWithOneMessage) {
  struct Case {
    int32_t w, h;
    bool fontLoading;
    const char* message;
  };
  const Case cases[] = {
      {1601, 1200, false, "Picture X Size is 1601\nMaximum allowed LCD X Screensize is 1600, have to reduce Icon"},
      {1600, 1201, false, "Picture Y Size is 1201\nMaximum allowed LCD Y Screensize is 1200, have to reduce Icon"},
      {1601, 1200, true, nullptr},
      {1600, 1200, false, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    prompter.prompts.clear();
    cur().pictureWidth = c.w;
    cur().pictureHeight = c.h;
    st().fontLoading = c.fontLoading;
    UpdateWorkSheetGeometry();
    EXPECT_EQ(cur().pictureWidth, 1600);
    EXPECT_EQ(cur().pictureHeight, 1200);
    if (c.message) {
      ASSERT_EQ(prompter.prompts.size(), 1u);
      EXPECT_EQ(prompter.prompts[0].text, c.message);
      EXPECT_EQ(prompter.prompts[0].caption, "Size of Icon");
    } else {
      EXPECT_TRUE(prompter.prompts.empty());
    }
  }
}

TEST_F(GeometryTest, CellSizes) {
  struct Case {
    const char* what;
    int32_t command, aspectChoice, pw, ph, count, countX;
    int32_t cellW, cellH, elemW, elemH;
  };
  const Case cases[] = {
      {"auto, fit to window", 10200, 1031, 32, 32, 256, 32, 20, 15, 1, 4},
      {"auto, keep aspect, square pixels", 10200, 1030, 32, 32, 256, 32, 15, 15, 1, 4},
      {"auto, elements follow the picture", 10200, 1031, 64, 64, 256, 32, 10, 7, 2, 8},
      {"fixed 3", 10203, 1030, 32, 32, 256, 32, 3, 3, 8, 8},
      {"fixed 3, huge picture", 10203, 1031, 1600, 1200, 256, 32, 3, 3, 8, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    cur().mainGroupPixSize = c.command;
    st().cfg.screenFixedAspectRatio = c.aspectChoice;
    cur().pictureWidth = c.pw;
    cur().pictureHeight = c.ph;
    cur().elementCount = c.count;
    cur().elementCountX = c.countX;
    cur().elementWidth = cur().elementHeight = 8;
    UpdateWorkSheetGeometry();
    EXPECT_EQ(cur().mainCellWidth, c.cellW);
    EXPECT_EQ(cur().mainCellHeight, c.cellH);
    EXPECT_EQ(cur().elementWidth, c.elemW);
    EXPECT_EQ(cur().elementHeight, c.elemH);
  }
}

TEST_F(GeometryTest, FlatPixelsNeverGiveAZeroCell) {
  cur().mainGroupPixSize = 10200;
  st().cfg.pixelSizeYmm = 0.01;
  st().cfg.spacingYmm = 0;
  st().cfg.pixelSizeXmm = 5;
  UpdateWorkSheetGeometry();
  EXPECT_GE(cur().mainCellHeight, 1);
  EXPECT_GE(cur().mainCellWidth, 2);
}

TEST_F(GeometryTest, ActiveAreaOfShowElement) {
  cur().viewMode = 10096;
  cur().currentElement = 33;
  UpdateWorkSheetGeometry();
  EXPECT_EQ(cur().activeLeft, 8);
  EXPECT_EQ(cur().activeRight, 16);
  EXPECT_EQ(cur().activeTop, 8);
  EXPECT_EQ(cur().activeBottom, 16);
  cur().variableElementSizes = true;
  cur().elementWidths[33] = 5;
  cur().elementHeights[33] = 3;
  UpdateWorkSheetGeometry();
  EXPECT_EQ(cur().activeRight, 13);
  EXPECT_EQ(cur().activeBottom, 11);
  cur().viewMode = 10099;
  UpdateWorkSheetGeometry();
  EXPECT_EQ(cur().activeLeft, 0);
  EXPECT_EQ(cur().activeRight, 32);
}

TEST_F(GeometryTest, Titles) {
  UpdateWorkSheetGeometry();
  EXPECT_EQ(windows.titles[WIN_MAIN], "New.sym - Color Dotwerk Editor  5.3.61");
  EXPECT_EQ(windows.titles[WIN_PIXELVIEW], "Pixel View  - New.sym");
  cur().useCodePage = 1;
  UpdateWorkSheetGeometry();
  EXPECT_EQ(windows.titles[WIN_MAIN], "New.sym - New.cp - Color Dotwerk Editor  5.3.61");
}

TEST_F(GeometryTest, PrintedSize) {
  st().cfg.pixelSizeXmm = 0.5;
  st().cfg.spacingXmm = 0.1;
  st().cfg.printFactorX = 1.0;
  UpdateWorkSheetGeometry();
  EXPECT_EQ(cur().printedWidthMm, 19);  // 32 x 0.6 mm = 19.2
}

TEST_F(GeometryTest, TypingCaretFollowsTheCells) {
  cur().mouseMode = 104;
  cur().textCursorX = 2;
  cur().textCursorY = 1;
  UpdateWorkSheetGeometry();
  // 6 x 8 cells of 3 pixels, below the 44-pixel strip.
  std::vector<std::string> expect = {"hide", "destroy", "create 18x24", "pos 6,47", "show"};
  EXPECT_EQ(windows.caretLog, expect);
}

}  // namespace
}  // namespace dwtest
