// "Custom Products": the tracker's output mode and antenna.
// A page of the main window's settings sheet; until its controls arrive the
// page is empty and changes nothing. Windows build only.
#pragma once

#ifdef _WIN32

#include "controls/CPropPageBubbleHelp.h"

class CMainWndDlg;

class CSettingsCustomConfigs : public CPropPageBubbleHelp {
public:
    explicit CSettingsCustomConfigs(CMainWndDlg* mainWindow);
};

#endif  // _WIN32
