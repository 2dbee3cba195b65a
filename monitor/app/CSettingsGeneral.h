// "General": the command protocol, window anchoring, automatic diagnostics
// logging, the data source hint and bubble help.
// A page of the main window's settings sheet; until its controls arrive the
// page is empty and changes nothing. Windows build only.
#pragma once

#ifdef _WIN32

#include "controls/CPropPageBubbleHelp.h"

class CMainWndDlg;

class CSettingsGeneral : public CPropPageBubbleHelp {
public:
    explicit CSettingsGeneral(CMainWndDlg* mainWindow);
};

#endif  // _WIN32
