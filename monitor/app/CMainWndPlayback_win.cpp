// The main window's playback dialog.
#include "app/CMainWndDlg.h"
#include "app/TraceLog.h"

void CMainWndDlg::ShowPlaybackDlg() { AppendTraceLine(GetDataFolder(), "ShowPlaybackDlg"); }
