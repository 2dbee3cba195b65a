// "GPS System Data": the raw GPS navigation message data the receiver
// reports, one kind per tab. The window is its frame and tabs only until
// the pages arrive; the main window opens it once on the asked page.
// Windows build only.
#pragma once

#ifdef _WIN32

#include "app/CPlaceholderTab.h"
#include "controls/CDialogView.h"
#include "controls/CTabCtrlSSL.h"

class CMainWndDlg;

class CGpsDataDlg : public CDialogView {
public:
    // firstTab: the tab shown when the window opens.
    CGpsDataDlg(CMainWndDlg* mainWindow, int firstTab);

    // The launchers select the asked tab of an open window here.
    CTabCtrlSSL& GetTabs() { return m_tabs; }

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    static const int kPageCount = 5;
    CMainWndDlg* m_mainWindow;
    int m_firstTab;
    CTabCtrlSSL m_tabs;
    CPlaceholderTab m_pages[kPageCount];
};

#endif  // _WIN32
