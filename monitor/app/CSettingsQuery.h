// "Auto-Query": which queries the main window sends by itself, and how often.
// A page of the main window's settings sheet; until its controls arrive the
// page is empty and changes nothing. Windows build only.
#pragma once

#ifdef _WIN32

#include "controls/CPropPageBubbleHelp.h"

class CMainWndDlg;

class CSettingsQuery : public CPropPageBubbleHelp {
public:
    explicit CSettingsQuery(CMainWndDlg* mainWindow);
};

#endif  // _WIN32
