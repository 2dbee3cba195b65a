// "Timing Receiver Status & Control": the state of a GPS timing receiver.
// The window is its frame only until its lamps and fields arrive: the main
// window opens it once and tells it whenever the identified receiver
// changes; with no controls to show or hide there is nothing to adapt yet.
// Windows build only.
#pragma once

#ifdef _WIN32

#include "controls/CDialogView.h"

class CMainWndDlg;

class CTimingMonitorDlg : public CDialogView {
public:
    explicit CTimingMonitorDlg(CMainWndDlg* mainWindow);

    void AdaptToReceiver(bool resize);

protected:
    DECLARE_MESSAGE_MAP()
};

#endif  // _WIN32
