// The balloon's place over a window, its text rectangle, corner ellipse,
// caption shift and text layout.
#include "controls/BalloonGeometry.h"

#include <gtest/gtest.h>

namespace {

TEST(BalloonGeometry, BalloonOverAWindowIsCentredOnIt)
{
    const CRect anchor(100, 100, 500, 300);
    const CPoint centre = BalloonAnchorCentre(anchor);
    EXPECT_EQ(CPoint(300, 200), centre);
    EXPECT_EQ(CRect(120, 115, 480, 285), BalloonRect(centre.x, centre.y, 360, 170));
    // Odd sizes and edges: integer halves and means, so one pixel is lost.
    EXPECT_EQ(CPoint(150, 100), BalloonAnchorCentre(CRect(100, 100, 201, 101)));
    EXPECT_EQ(CRect(85, 56, 115, 144), BalloonRect(100, 100, 31, 89));
    EXPECT_EQ(CPoint(-50, -25), BalloonAnchorCentre(CRect(-100, -50, 0, 0)));
}

TEST(BalloonGeometry, TextRectangleAndCornersArePartsOfTheClientArea)
{
    EXPECT_EQ(CRect(18, 17, 342, 161), BalloonTextRect(360, 170));
    EXPECT_EQ(CSize(54, 68), BalloonCornerEllipse(360, 170));
    // Truncated, not rounded: 5 % of 39 is 1.95.
    EXPECT_EQ(CRect(1, 9, 37, 90), BalloonTextRect(39, 95));
    EXPECT_EQ(CSize(5, 38), BalloonCornerEllipse(39, 95));
    EXPECT_EQ(CRect(0, 0, 0, 0), BalloonTextRect(0, 0));
}

TEST(BalloonGeometry, CaptionShiftIsCaptionAndTwoFrames)
{
    EXPECT_EQ(19 + 2 * 4, BalloonCaptionShift(19, 4));
    EXPECT_EQ(0, BalloonCaptionShift(0, 0));
}

TEST(BalloonGeometry, NarrowTextOnOneLineWideTextWraps)
{
    struct Case {
        int textWidth, rectWidth;
        bool centred;
        bool wantSingle;
    };
    const Case cases[] = {
        {100, 324, true, true},
        {323, 324, false, true},
        {324, 324, true, false},  // exactly as wide: wrapped
        {900, 324, false, false},
    };
    for (const Case& c : cases) {
        const BalloonTextLayout layout = ChooseBalloonTextLayout(c.textWidth, c.rectWidth, c.centred);
        EXPECT_EQ(c.wantSingle, layout.singleLine) << c.textWidth;
        EXPECT_EQ(c.centred, layout.centred) << c.textWidth;
    }
}

}  // namespace
