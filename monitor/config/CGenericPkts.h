// "Generic Packets": sends a hand-typed command to the receiver over the
// main window's link and shows the framing that will be added.
// The window is its frame only until its work arrives; the main window
// opens it once and brings it forward again. Windows build only.
#pragma once

#ifdef _WIN32

#include "controls/CDialogView.h"

class CMainWndDlg;

class CGenericPkts : public CDialogView {
public:
    explicit CGenericPkts(CMainWndDlg* mainWindow);

protected:
    DECLARE_MESSAGE_MAP()
};

#endif  // _WIN32
