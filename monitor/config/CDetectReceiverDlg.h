// "GPS Receiver Detection": tries the protocols on a chosen COM port and
// offers to connect the main window's link to the receiver it finds.
// The window is its frame only until its work arrives; the main window
// opens it once and brings it forward again. Windows build only.
#pragma once

#ifdef _WIN32

#include "controls/CDialogView.h"

class CMainWndDlg;

class CDetectReceiverDlg : public CDialogView {
public:
    explicit CDetectReceiverDlg(CMainWndDlg* mainWindow);

protected:
    DECLARE_MESSAGE_MAP()
};

#endif  // _WIN32
