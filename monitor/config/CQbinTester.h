// "Protocol Tester": sends a packet from the packet definition file and
// decodes the matching reports field by field. One of the internal tools.
// The window is its frame only until its work arrives; the main window
// opens it once and brings it forward again. Windows build only.
#pragma once

#ifdef _WIN32

#include "controls/CDialogView.h"

class CMainWndDlg;

class CQbinTester : public CDialogView {
public:
    explicit CQbinTester(CMainWndDlg* mainWindow);

protected:
    DECLARE_MESSAGE_MAP()
};

#endif  // _WIN32
