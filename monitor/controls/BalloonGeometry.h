// The balloon pop-up's geometry that needs no window: where it goes over a
// window, its text rectangle and the corners of its rounded shape, and how
// the text is laid out. Portable, tested natively; the window itself is in
// controls/CBalloonWindow.h.
#pragma once

#include "framework/CRect.h"

// The screen rectangle of a width x height balloon centred on (x, y), with
// integer halves: (x - width/2, y - height/2, x + width/2, y + height/2).
CRect BalloonRect(int x, int y, int width, int height);

// The centre a balloon over a window takes: the integer mean of its edges.
CPoint BalloonAnchorCentre(const CRect& anchor);

// The text's rectangle in a client area of width x height: 5 % to 95 % of
// the width, 10 % to 95 % of the height, each truncated.
CRect BalloonTextRect(int width, int height);

// The corner ellipse of the rounded shape: 15 % of the width by 40 % of the
// height, truncated.
CSize BalloonCornerEllipse(int width, int height);

// How far the balloon is moved down after its creation: the caption height
// plus twice the sizing-frame height (SM_CYCAPTION, SM_CYFRAME).
int BalloonCaptionShift(int captionHeight, int frameHeight);

// How the text is drawn: on one vertically centred line when it is
// narrower than the text rectangle, else word-wrapped from the top;
// horizontally centred or left-aligned as asked.
struct BalloonTextLayout {
    bool singleLine;
    bool centred;
};
BalloonTextLayout ChooseBalloonTextLayout(int textWidth, int rectWidth, bool centred);
