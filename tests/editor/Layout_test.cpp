// Default window layout, toolbar rectangles and the printer menu.
#include "Fakes.h"
#include "core/MainInit.h"
#include "core/Settings.h"
#include "core/WindowLayout.h"

namespace dwtest {
namespace {

TEST(LayoutTest, DefaultLayoutFromTheMetrics) {
  ScreenMetrics m;  // icon 32 x 32, border 1 x 1, caption 18, full screen 1280 x 1006, screen 1280
  WindowPlacement w[WIN_COUNT];
  ComputeLayout(m, 330, 348, 0, w);
  struct Expect {
    WindowId id;
    int32_t x, y, width, height;
  };
  const Expect cases[] = {
      {WIN_TOOLBOX, 974, 744, 306, 280},  {WIN_FONTVIEW, 0, 744, 680, 65},  {WIN_MAIN, 0, 0, 950, 744},
      {WIN_PALETTE, 950, 396, 330, 348},  {WIN_PIXELVIEW, 950, 0, 330, 186}, {WIN_SWAPVIEW, 950, 186, 330, 186},
      {WIN_RAINBOW, 950, 372, 330, 186},  {WIN_CODEPAGE, 630, 744, 344, 280},
  };
  for (const Expect& e : cases) {
    SCOPED_TRACE(e.id);
    EXPECT_EQ(w[e.id].x, e.x);
    EXPECT_EQ(w[e.id].y, e.y);
    EXPECT_EQ(w[e.id].width, e.width);
    EXPECT_EQ(w[e.id].height, e.height);
  }
  // A later layout places the Swap View at a third of the Palette's y.
  ComputeLayout(m, 330, 348, 396, w);
  EXPECT_EQ(w[WIN_SWAPVIEW].y, 132);
  EXPECT_EQ(w[WIN_RAINBOW].y, 264);
}

TEST(LayoutTest, StoredPositionsAreClamped) {
  ScreenMetrics m;
  EXPECT_EQ(ClampWindowX(m, 5000, true), 1232);
  EXPECT_EQ(ClampWindowX(m, 5000, false), 1184);
  EXPECT_EQ(ClampWindowX(m, -1, false), 0);
  EXPECT_EQ(ClampWindowY(m, -40), 0);
  EXPECT_EQ(ClampMainWidth(m, 3000), 1276);
  EXPECT_EQ(ClampMainWidth(m, 1280), 1280);
}

TEST(LayoutTest, ToolbarButtons) {
  Rect r[kToolbarButtons];
  ComputeToolbarRects(32, 32, r);
  const int32_t left[kToolbarButtons] = {12, 56, 92, 136, 180, 216, 252, 288, 332, 376, 420, 456};
  for (int i = 0; i < kToolbarButtons; ++i) {
    EXPECT_EQ(r[i].left, left[i]) << i;
    EXPECT_EQ(r[i].right, left[i] + 32) << i;
    EXPECT_EQ(r[i].top, 4);
    EXPECT_EQ(r[i].bottom, 36);
  }
}

class PrinterTest : public EditorTest {
 protected:
  void Printers(int n, const char* device = "Main,winspool,LPT1:") {
    std::string text = std::string("[windows]\ndevice=") + device + "\n[devices]\n";
    for (int i = 0; i < n; ++i) text += "Printer " + std::to_string(i) + "=winspool,LPT" + std::to_string(i) + ":\n";
    winProfile.Parse(text);
  }
};

TEST_F(PrinterTest, NoPrinters) {
  winProfile.Parse("[windows]\ndevice=,,,\n");
  BuildPrinterList();
  EXPECT_EQ(st().printerCount, 1);
  EXPECT_EQ(menu.items[10799].text, "&Default: ");
  for (int id = 10800; id <= 10842; ++id) EXPECT_TRUE(menu.Removed(id)) << id;
  EXPECT_TRUE(menu.Checked(10799));
  EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(PrinterTest, MenuHoldsTheDefaultAndAtMost43Printers) {
  struct Case {
    int installed;
    int expectCount;
    size_t expectWarnings;
  };
  const Case cases[] = {{4, 5, 0}, {42, 43, 0}, {43, 44, 1}, {50, 44, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.installed);
    CreateEditorState();
    menu = FakeMenu();
    prompter = FakePrompter();
    Install();
    Printers(c.installed);
    prompter.answers = {ANS_NO};
    BuildPrinterList();
    EXPECT_EQ(st().printerCount, c.expectCount);
    ASSERT_EQ(prompter.prompts.size(), c.expectWarnings);
    if (c.expectWarnings) {
      EXPECT_EQ(prompter.prompts[0].text,
                "For practical reasons the number of\nPrinters is limited to 42\n\nShow this Warning again ?");
      EXPECT_EQ(prompter.prompts[0].caption, "Warning");
      EXPECT_EQ(st().cfg.showMoreThanMaxPrinters, 0);
    }
    EXPECT_EQ(menu.items[10799].text, "&Default: Main");
    EXPECT_EQ(menu.items[10800].text, "&0: Printer 0");
    EXPECT_EQ(st().printerDrivers[1], "winspool");
    EXPECT_FALSE(menu.Removed(10799 + c.expectCount - 1));
    if (c.expectCount < 44) {
      EXPECT_TRUE(menu.Removed(10799 + c.expectCount));
    }
  }
}

TEST_F(PrinterTest, PrinterNumberBeyondTheListTakesTheLast) {
  Printers(4);
  st().cfg.printerNumber = 60;
  BuildPrinterList();
  EXPECT_EQ(st().cfg.printerNumber, 4);
  EXPECT_TRUE(menu.Checked(10803));
}

TEST_F(PrinterTest, WarningIsNotRepeatedWhenSwitchedOff) {
  Printers(43);
  st().cfg.showMoreThanMaxPrinters = 0;
  BuildPrinterList();
  EXPECT_TRUE(prompter.prompts.empty());
}

}  // namespace
}  // namespace dwtest
