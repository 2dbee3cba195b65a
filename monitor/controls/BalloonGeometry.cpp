#include "controls/BalloonGeometry.h"

namespace {

const int kPercent = 100;
const int kTextLeftPercent = 5;
const int kTextRightPercent = 95;
const int kTextTopPercent = 10;
const int kTextBottomPercent = 95;
const int kCornerWidthPercent = 15;
const int kCornerHeightPercent = 40;

// Sizes are window sizes, far below the range where the product overflows.
int PercentOf(int value, int percent) { return value * percent / kPercent; }

}  // namespace

CRect BalloonRect(int x, int y, int width, int height)
{
    return CRect(x - width / 2, y - height / 2, x + width / 2, y + height / 2);
}

CPoint BalloonAnchorCentre(const CRect& anchor)
{
    return CPoint((anchor.left + anchor.right) / 2, (anchor.top + anchor.bottom) / 2);
}

CRect BalloonTextRect(int width, int height)
{
    return CRect(PercentOf(width, kTextLeftPercent), PercentOf(height, kTextTopPercent),
                 PercentOf(width, kTextRightPercent), PercentOf(height, kTextBottomPercent));
}

CSize BalloonCornerEllipse(int width, int height)
{
    return CSize(PercentOf(width, kCornerWidthPercent), PercentOf(height, kCornerHeightPercent));
}

int BalloonCaptionShift(int captionHeight, int frameHeight) { return captionHeight + 2 * frameHeight; }

BalloonTextLayout ChooseBalloonTextLayout(int textWidth, int rectWidth, bool centred)
{
    return BalloonTextLayout{textWidth < rectWidth, centred};
}
