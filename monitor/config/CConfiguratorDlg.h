// "Configurator": the multi-receiver configurator. The window is its frame
// only until the configurator arrives: the main window opens it once and
// forwards documents opened from the shell or the recent-file list here;
// with no dialog to fill, the file is left unread. Windows build only.
#pragma once

#ifdef _WIN32

#include "controls/CDialogView.h"

class CMainWndDlg;

class CConfiguratorDlg : public CDialogView {
public:
    explicit CConfiguratorDlg(CMainWndDlg* mainWindow);

    void LoadConfigFile(LPCTSTR fileName);

protected:
    DECLARE_MESSAGE_MAP()
};

#endif  // _WIN32
