// "WAAS Fast Corrections": the SBAS fast corrections of the monitored
// satellites, decoded from the receiver's diagnostic packets.
// The window is its frame only until its work arrives; the main window
// opens it once and brings it forward again. Windows build only.
#pragma once

#ifdef _WIN32

#include "controls/CDialogView.h"

class CMainWndDlg;

class CFastCorrDlg : public CDialogView {
public:
    explicit CFastCorrDlg(CMainWndDlg* mainWindow);

protected:
    DECLARE_MESSAGE_MAP()
};

#endif  // _WIN32
