// "Receiver Version Information": the connected receiver's firmware,
// hardware and component versions. The window is its frame and first tab
// only until the pages arrive; the main window opens it once.
// Windows build only.
#pragma once

#ifdef _WIN32

#include "app/CPlaceholderTab.h"
#include "controls/CDialogView.h"
#include "controls/CTabCtrlSSL.h"

class CMainWndDlg;

class CVersionDlg : public CDialogView {
public:
    // firstTab: the tab shown when the window opens.
    CVersionDlg(CMainWndDlg* mainWindow, int firstTab);

    // The launchers select the asked tab of an open window here.
    CTabCtrlSSL& GetTabs() { return m_tabs; }

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    static const int kPageCount = 1;
    CMainWndDlg* m_mainWindow;
    int m_firstTab;
    CTabCtrlSSL m_tabs;
    CPlaceholderTab m_pages[kPageCount];
};

#endif  // _WIN32
