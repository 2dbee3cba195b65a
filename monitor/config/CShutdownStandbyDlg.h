// "Reset / Shutdown / Standby": sends the receiver's combined reset,
// shutdown and standby command over the main window's link.
// The window is its frame only until its work arrives; the main window
// opens it once and brings it forward again. Windows build only.
#pragma once

#ifdef _WIN32

#include "controls/CDialogView.h"

class CMainWndDlg;

class CShutdownStandbyDlg : public CDialogView {
public:
    explicit CShutdownStandbyDlg(CMainWndDlg* mainWindow);

protected:
    DECLARE_MESSAGE_MAP()
};

#endif  // _WIN32
