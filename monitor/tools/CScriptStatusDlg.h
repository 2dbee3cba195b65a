// "Script Execution Status": the running script's progress lines.
// The window is its frame only until its work arrives; the main window
// opens it once and brings it forward again. Windows build only.
#pragma once

#ifdef _WIN32

#include "controls/CDialogView.h"

class CMainWndDlg;

class CScriptStatusDlg : public CDialogView {
public:
    explicit CScriptStatusDlg(CMainWndDlg* mainWindow);

protected:
    DECLARE_MESSAGE_MAP()
};

#endif  // _WIN32
