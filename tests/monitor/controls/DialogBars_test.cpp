// Tool-bar bitmap background, dialog font height, tooltip and pane texts,
// and the controls' offset as the tool bar comes and goes.
#include "controls/DialogBars.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(DialogBars, LightGreyPixelsTakeTheButtonFaceColour) {
  const COLORREF face = RGB(10, 20, 30);
  // Blue, green, red triples: grey, almost grey (each channel), black, grey.
  std::vector<BYTE> px = {192, 192, 192, 191, 192, 192, 192, 193, 192, 192, 192, 0,
                          0,   0,   0,   192, 192, 192};
  EXPECT_EQ(ReplaceLightGrey(px.data(), px.size(), 3, 2, face), 2);
  const std::vector<BYTE> want = {30, 20, 10, 191, 192, 192, 192, 193, 192, 192, 192, 0,
                                  0,  0,  0,  30,  20,  10};
  EXPECT_EQ(px, want);

  // Never past the buffer, whatever the size claims.
  std::vector<BYTE> cut = {192, 192, 192, 192, 192};
  EXPECT_EQ(ReplaceLightGrey(cut.data(), cut.size(), 16, 16, face), 1);
  EXPECT_EQ(cut[3], 192);
  EXPECT_EQ(ReplaceLightGrey(nullptr, 30, 1, 1, face), 0);
  EXPECT_EQ(ReplaceLightGrey(px.data(), px.size(), 0, 5, face), 0);
  EXPECT_EQ(ReplaceLightGrey(px.data(), px.size(), -3, -2, face), 0);
}

TEST(DialogBars, DialogFontHeightAndWeight) {
  const int cases[][3] = {{7, 96, -9}, {9, 96, -12}, {8, 120, -13}, {7, 72, -7}, {10, 144, -20}};
  for (const auto& c : cases) EXPECT_EQ(DialogFontHeight(c[0], c[1]), c[2]) << c[0] << " " << c[1];
  EXPECT_EQ(DialogFontWeight(true), 700);
  EXPECT_EQ(DialogFontWeight(false), 400);
}

TEST(DialogBars, ToolTipIsTheTextAfterTheFirstNewline) {
  std::string eighty(80, 'x');
  struct Case {
    const char* text;
    std::string want;
  };
  const Case cases[] = {
      {"Connect to the receiver\nConnect", "Connect"},
      {"no newline at all", ""},
      {"", ""},
      {"\nonly tip", "only tip"},
      {"prompt\ntip\nmore", "tip\nmore"},
      {"prompt\n", ""},
  };
  for (const Case& c : cases) EXPECT_STREQ(ToolTipFromString(c.text), c.want.c_str()) << c.text;
  std::string longText = "p\n" + eighty + "yyyy";
  EXPECT_STREQ(ToolTipFromString(longText.c_str()), eighty.c_str());
  EXPECT_STREQ(ToolTipFromString(nullptr), "");
}

TEST(DialogBars, PaneTextAlignment) {
  EXPECT_STREQ(AlignPaneText("IDLE", 0), "\tIDLE");
  EXPECT_STREQ(AlignPaneText("IDLE", 1), "\t\tIDLE");
  EXPECT_STREQ(AlignPaneText("IDLE", 2), "IDLE");
  EXPECT_STREQ(AlignPaneText("IDLE", -1), "IDLE");
  EXPECT_STREQ(AlignPaneText(nullptr, 0), "\t");
}

// The dialog is 300 x 200 inside; the tool bar 28 high, the status bar 20.
TEST(DialogBars, HideThenShowRestoresControlsAndWindow) {
  BarLayoutState state;
  struct Step {
    const char* name;
    bool visible;
    RECT client;
    RECT area;
    int moveY, growY;
  };
  const Step steps[] = {
      {"first layout", true, {0, 0, 300, 200}, {0, 28, 300, 180}, 28, 48},
      {"hidden", false, {0, 0, 300, 248}, {0, 0, 300, 228}, -28, -28},
      {"shown", true, {0, 0, 300, 220}, {0, 28, 300, 200}, 28, 28},
      {"hidden again", false, {0, 0, 300, 248}, {0, 0, 300, 228}, -28, -28},
      {"shown again", true, {0, 0, 300, 220}, {0, 28, 300, 200}, 28, 28},
      {"laid out again while shown", true, {0, 0, 300, 248}, {0, 28, 300, 228}, 0, 0},
  };
  int totalMove = 0, totalGrow = 0;
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    BarLayoutChange c = ComputeBarLayout(state, s.visible, s.client, s.area);
    EXPECT_EQ(c.moveX, 0);
    EXPECT_EQ(c.moveY, s.moveY);
    EXPECT_EQ(c.growY, s.growY);
    totalMove += c.moveY;
    totalGrow += c.growY;
  }
  EXPECT_EQ(totalMove, 28);  // where the first layout put them
  EXPECT_EQ(totalGrow, 48);
  EXPECT_EQ(state.shownToolBarHeight, 28);
}

}  // namespace
