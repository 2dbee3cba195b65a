// "TTFF Tester": measures how long receivers take to reach a fix after a
// reset. The window is its frame only until the tester arrives: the main
// window opens it once (from the internal tools or the "-ttff" start) and
// asks before it closes; no test can be running yet, so closing is always
// safe. Windows build only.
#pragma once

#ifdef _WIN32

#include "controls/CDialogView.h"

class CMainWndDlg;

class CTtffToolDlg : public CDialogView {
public:
    explicit CTtffToolDlg(CMainWndDlg* mainWindow);

    // True: the tool may close.
    bool CloseTool();

protected:
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()
};

#endif  // _WIN32
