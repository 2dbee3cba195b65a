// "Fonts and Colors": the colours of the main window's fields. The sheet
// makes it but does not show it.
// A page of the main window's settings sheet; until its controls arrive the
// page is empty and changes nothing. Windows build only.
#pragma once

#ifdef _WIN32

#include "controls/CPropPageBubbleHelp.h"

class CMainWndDlg;

class CSettingsColors : public CPropPageBubbleHelp {
public:
    explicit CSettingsColors(CMainWndDlg* mainWindow);
};

#endif  // _WIN32
