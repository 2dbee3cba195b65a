// "Load A-GPS Data To/From Receiver": the almanac, ephemeris, position and
// time transfers. The window is its frame only until the transfers arrive:
// the main window opens it once and tells it about loads, of which there
// is none to show yet. Windows build only.
#pragma once

#ifdef _WIN32

#include "controls/CDialogView.h"

class CMainWndDlg;

class CUploadDownloadDlg : public CDialogView {
public:
    explicit CUploadDownloadDlg(CMainWndDlg* mainWindow);

    // Events: 1 cancelled, 11 a time operation starts, 12 time set, 13 time not set.
    void NotifyLoadEvent(int event);

protected:
    DECLARE_MESSAGE_MAP()
};

#endif  // _WIN32
