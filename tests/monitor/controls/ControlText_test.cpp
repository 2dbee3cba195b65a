// The check combo's summary text, the lamp schemes and the pressed offsets.
#include "controls/ControlText.h"

#include <gtest/gtest.h>

namespace {

TEST(CheckComboSummary, JoinsCheckedItemsWithTheLocaleSeparator) {
  const std::vector<CString> items = {"GGA", "RMC", "GSV", "VTG"};
  struct Case {
    const char* name;
    std::vector<bool> checked;
    const char* separator;
    const char* want;
  };
  const Case cases[] = {
      {"nothing checked", {false, false, false, false}, ",", ""},
      {"one", {false, true, false, false}, ",", "RMC"},
      {"two, comma", {true, false, true, false}, ",", "GGA, GSV"},
      {"all, semicolon", {true, true, true, true}, ";", "GGA; RMC; GSV; VTG"},
      {"empty separator gives ;", {true, true, false, false}, "", "GGA; RMC"},
      {"no separator gives ;", {true, true, false, false}, nullptr, "GGA; RMC"},
      {"separator trimmed", {true, false, false, true}, "  |\t", "GGA| VTG"},
      {"blank separator gives one blank", {true, true, false, false}, "   ", "GGA RMC"},
      {"at most 10 characters", {true, true, false, false}, "0123456789XYZ", "GGA0123456789 RMC"},
      {"short check list", {false, false, true}, ",", "GSV"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_STREQ(BuildCheckComboSummary(items, c.checked, c.separator), c.want);
  }
  EXPECT_STREQ(BuildCheckComboSummary({}, {}, ","), "");
}

TEST(BlinkerShades, SevenSchemes) {
  const COLORREF want[7][2] = {{0x000096, 0x0000FA}, {0x009600, 0x00FF00}, {0x960000, 0xFA0000},
                               {0x00D2D2, 0x00FFFF}, {0xFFFFFF, 0x00FFFF}, {0xFFFFFF, 0x00FF00},
                               {0x949494, 0x00FF00}};
  for (int s = 0; s < 7; ++s) {
    COLORREF a = 0, b = 0;
    ASSERT_TRUE(GetBlinkerShades(s, &a, &b));
    EXPECT_EQ(a, want[s][0]);
    EXPECT_EQ(b, want[s][1]);
  }
  COLORREF a = 1, b = 2;
  EXPECT_FALSE(GetBlinkerShades(-1, &a, &b));
  EXPECT_FALSE(GetBlinkerShades(7, &a, &b));
  EXPECT_EQ(a, 1u);
  EXPECT_EQ(b, 2u);
}

TEST(PressedOffset, TwoStylesOnly) {
  int dx = -9, dy = -9;
  ASSERT_TRUE(GetPressedOffset(0, &dx, &dy));
  EXPECT_EQ(dx, 1);
  EXPECT_EQ(dy, 1);
  ASSERT_TRUE(GetPressedOffset(1, &dx, &dy));
  EXPECT_EQ(dx, 0);
  EXPECT_EQ(dy, 2);
  EXPECT_FALSE(GetPressedOffset(2, &dx, &dy));
  EXPECT_FALSE(GetPressedOffset(7, &dx, &dy));
  EXPECT_FALSE(GetPressedOffset(-1, &dx, &dy));
}

}  // namespace
