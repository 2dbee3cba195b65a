// The main window's playback dialog: one at a time, docked next to it; the
// window feeds it the replay's progress (CMainWndFields_win.cpp) and its end
// (CMainWndLink_win.cpp).
#include "app/CMainWndDlg.h"
#include "app/CPlaybackDlg.h"

void CMainWndDlg::ShowPlaybackDlg() { CDialogView::LaunchView(m_pPlaybackDlg, IDD_PLAYBACK, this, this); }
