// "Ionospheric Delay Corrections": the SBAS ionospheric grid, decoded from
// the receiver's diagnostic packets.
// The window is its frame only until its work arrives; the main window
// opens it once and brings it forward again. Windows build only.
#pragma once

#ifdef _WIN32

#include "controls/CDialogView.h"

class CMainWndDlg;

class CIonoDelayDlg : public CDialogView {
public:
    explicit CIonoDelayDlg(CMainWndDlg* mainWindow);

protected:
    DECLARE_MESSAGE_MAP()
};

#endif  // _WIN32
