// The main window's balloons: they forward to the one balloon of the
// process. The sizes the callers pass as x and y are the balloon's width and
// height.
#include "app/CMainWndDlg.h"
#include "controls/CBalloonWindow.h"

namespace {

// Bit 0 of a balloon request's flags: the text is centred.
const BYTE kBalloonCentred = 1;

}  // namespace

void CMainWndDlg::ShowBalloon(LPCTSTR text, int x, int y, int seconds, COLORREF textColour, COLORREF backColour)
{
    ::ShowBalloonOverWindow(this, x, y, text, seconds, textColour, backColour, true);
}

void CMainWndDlg::ShowBalloonOverWindow(CWnd* anchor, LPCTSTR text, int x, int y, int seconds, COLORREF textColour,
                                        COLORREF backColour, BYTE flags)
{
    ::ShowBalloonOverWindow(anchor != nullptr ? anchor : this, x, y, text, seconds, textColour, backColour,
                            (flags & kBalloonCentred) != 0);
}

void CMainWndDlg::CloseActiveBalloon() { ::CloseActiveBalloon(); }
