// "Automatic Update": whether the program looks for a new version at start.
// A page of the main window's settings sheet; until its controls arrive the
// page is empty and changes nothing. Windows build only.
#pragma once

#ifdef _WIN32

#include "controls/CPropPageBubbleHelp.h"

class CMainWndDlg;

class CSettingsUpdate : public CPropPageBubbleHelp {
public:
    explicit CSettingsUpdate(CMainWndDlg* mainWindow);
};

#endif  // _WIN32
