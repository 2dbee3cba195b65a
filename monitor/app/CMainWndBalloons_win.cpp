// The main window's balloons: they forward to the one balloon of the
// process.
#include "app/CMainWndDlg.h"
#include "app/TraceLog.h"

namespace {

void Trace(CMainWndDlg& window, const char* name) { AppendTraceLine(window.GetDataFolder(), name); }

}  // namespace

void CMainWndDlg::ShowBalloon(LPCTSTR text, int /*x*/, int /*y*/, int /*seconds*/, COLORREF /*textColour*/,
                              COLORREF /*backColour*/) {
    CString line("ShowBalloon ");
    line += text != nullptr ? text : "";
    Trace(*this, line);
}

void CMainWndDlg::ShowBalloonOverWindow(CWnd* /*anchor*/, LPCTSTR text, int /*x*/, int /*y*/, int /*seconds*/,
                                        COLORREF /*textColour*/, COLORREF /*backColour*/, BYTE /*flags*/) {
    CString line("ShowBalloonOverWindow ");
    line += text != nullptr ? text : "";
    Trace(*this, line);
}

void CMainWndDlg::CloseActiveBalloon() { Trace(*this, "CloseActiveBalloon"); }
