// "Receiver Configuration": reads and sets the connected receiver's
// configuration one group per tab. The window is its frame and tabs only
// until the pages arrive: the main window opens it once on the asked tab,
// tells it about protocol changes and asks its active page to query once a
// receiver is identified; both calls are accepted and dropped.
// Windows build only.
#pragma once

#ifdef _WIN32

#include "app/CPlaceholderTab.h"
#include "controls/CDialogView.h"
#include "controls/CTabCtrlSSL.h"
#include "link/ProtocolKind.h"

class CMainWndDlg;

class CRcvrConfigDlg : public CDialogView {
public:
    // firstTab: the tab shown when the window opens.
    CRcvrConfigDlg(CMainWndDlg* mainWindow, int firstTab);

    // The launchers select the asked tab of an open window here.
    CTabCtrlSSL& GetTabs() { return m_tabs; }
    void OnProtocolChanged(ProtocolKind protocol);
    void QueryActiveTab();

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    static const int kPageCount = 2;
    CMainWndDlg* m_mainWindow;
    int m_firstTab;
    CTabCtrlSSL m_tabs;
    CPlaceholderTab m_pages[kPageCount];
};

#endif  // _WIN32
