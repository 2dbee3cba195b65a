// "Position Map": the receiver's fixes on the on-line map and on the 2-D
// plot, one tab each. The window is its frame and tabs only until the map
// and the plot arrive: the main window opens it once on the asked tab,
// hands it every valid fix and clears the pages when a link starts; both
// calls are accepted and dropped until there is something to draw on.
// Windows build only.
#pragma once

#ifdef _WIN32

#include "app/CPlaceholderTab.h"
#include "controls/CDialogView.h"
#include "controls/CTabCtrlSSL.h"
#include "model/ModelRecords.h"

class CMainWndDlg;

class CPositionDlg : public CDialogView {
public:
    // firstTab: the tab shown when the window opens.
    CPositionDlg(CMainWndDlg* mainWindow, int firstTab);

    // The launchers select the asked tab of an open window here.
    CTabCtrlSSL& GetTabs() { return m_tabs; }
    // Hands one fix to the map and plot pages.
    void AddFix(const NavState& fix);
    // Erases the pages and resets their scale.
    void ClearTabs();

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
