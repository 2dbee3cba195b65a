// The on-line map page of the position window. Until the map arrives it is
// an empty page that accepts fixes and commands and drops them. Windows
// build only.
#pragma once

#ifdef _WIN32

#include "controls/CTabCtrlSSL.h"
#include "model/ModelRecords.h"

class CMainWndDlg;

class CPositionMapTab : public CTabPageSSL {
public:
    explicit CPositionMapTab(CMainWndDlg* mainWindow);

    // One new fix for the map.
    void AddFix(const NavState& fix);

protected:
    // kWmPosMapCommand and kWmTabRefresh (views/ViewMessages.h).
    afx_msg LRESULT OnMapCommand(WPARAM command, LPARAM argument);
    afx_msg LRESULT OnTabRefresh(WPARAM width, LPARAM height);
    DECLARE_MESSAGE_MAP()

private:
    CMainWndDlg* m_mainWindow;
};

#endif  // _WIN32
