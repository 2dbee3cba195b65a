// Where a tab page sits beside the rows of tabs, for each side the tabs may
// take, and in a control too small for its tabs.
#include "controls/TabLayout.h"

#include <gtest/gtest.h>

namespace {

struct PageCase {
    const char* name;
    TabStrip strip;
    int width, height;
    CRect want;  // left, top, right, bottom
};

TEST(TabLayout, PageSitsBesideTheRowsOfTabs)
{
    const PageCase cases[] = {
        // One row of 20-pixel tabs on top: (4, 24), 292 x 172.
        {"top", {false, false, false, 1, 60, 20}, 300, 200, CRect(4, 24, 4 + 292, 24 + 172)},
        // Along the bottom the page starts 4 pixels below the control's top.
        {"bottom", {false, false, true, 1, 60, 20}, 300, 200, CRect(4, 4, 4 + 292, 4 + 172)},
        // Two rows of 20-pixel-wide tabs at the left: (44, 4), 252 x 192.
        {"left", {true, false, false, 2, 20, 60}, 300, 200, CRect(44, 4, 44 + 252, 4 + 192)},
        {"right", {true, true, false, 2, 20, 60}, 300, 200, CRect(4, 4, 4 + 252, 4 + 192)},
        // Horizontal tabs ignore the item width, vertical ones its height.
        {"two rows on top", {false, false, false, 2, 999, 18}, 300, 200, CRect(4, 40, 296, 196)},
        {"no tabs", {false, false, false, 0, 60, 20}, 300, 200, CRect(4, 4, 296, 196)},
    };
    for (const PageCase& c : cases) {
        EXPECT_EQ(c.want, TabPageRect(c.strip, c.width, c.height)) << c.name;
    }
}

TEST(TabLayout, ControlTooSmallForItsTabsGivesAnEmptyPage)
{
    const CRect top = TabPageRect({false, false, false, 3, 60, 20}, 5, 30);
    EXPECT_EQ(0, top.Width());
    EXPECT_EQ(0, top.Height());
    EXPECT_EQ(64, top.top);
    const CRect side = TabPageRect({true, false, false, 4, 30, 20}, 50, 5);
    EXPECT_EQ(0, side.Width());
    EXPECT_EQ(0, side.Height());
    // Nonsense from the control (negative rows or sizes) counts as none.
    EXPECT_EQ(CRect(4, 4, 296, 196), TabPageRect({false, false, false, -2, 60, -20}, 300, 200));
}

}  // namespace
