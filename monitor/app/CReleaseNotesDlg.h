// "Release Notes / Revision History": the program's release notes, opened
// from the Help menu and after a self-update.
// The window is its frame only until its work arrives; the main window
// opens it once and brings it forward again. Windows build only.
#pragma once

#ifdef _WIN32

#include "controls/CDialogView.h"

class CMainWndDlg;

class CReleaseNotesDlg : public CDialogView {
public:
    explicit CReleaseNotesDlg(CMainWndDlg* mainWindow);

protected:
    DECLARE_MESSAGE_MAP()
};

#endif  // _WIN32
