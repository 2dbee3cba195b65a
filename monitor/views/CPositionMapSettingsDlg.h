// "Position Map Settings": the map's settings, edited modally from the
// position window's Configure menu. Windows build only.
#pragma once

#ifdef _WIN32

class CWnd;
class CMainWndDlg;

// Runs the dialog over owner; true when the user pressed OK and the settings
// were stored. wasEnabled and isEnabled tell whether the on-line map was on
// before and is on after.
bool RunPositionMapSettingsDlg(CWnd* owner, CMainWndDlg* mainWindow, bool& wasEnabled, bool& isEnabled);

#endif  // _WIN32
