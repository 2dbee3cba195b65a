// A tab page whose content comes with a later version of its window: the
// page's frame with one line saying so. Tabbed tool windows hold these in
// place of their real pages, so their tabs, the launchers' tab selection
// and the pages' receiver-event registration already work end to end.
// Windows build only.
#pragma once

#ifdef _WIN32

#include "controls/CDialogView.h"
#include "controls/CTabCtrlSSL.h"

class CMainWndDlg;

class CPlaceholderTab : public CTabPageSSL {
public:
    CPlaceholderTab();
    // Times the host (or a launcher) initialised the page.
    int GetInitCount() const { return m_initCount; }
    bool InitPage() override;

private:
    int m_initCount = 0;
};

// Binds the host's tab control (IDC_TOOL_TABS), takes the host itself off
// the receiver events (its pages take them), makes the pages with their
// titles, initialises each, selects the first tab asked for (the first tab
// when it is out of range) and registers that page for receiver events.
// Returns the number of pages added.
int OpenPlaceholderTabs(CDialogView& host, CTabCtrlSSL& tabs, CPlaceholderTab* pages, const char* const* titles, int count,
                        CMainWndDlg* mainWindow, int firstTab);

// Takes every page off the receiver events before the host goes.
void ClosePlaceholderTabs(CPlaceholderTab* pages, int count);

#endif  // _WIN32
