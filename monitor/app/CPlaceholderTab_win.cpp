#include "app/CPlaceholderTab.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

CPlaceholderTab::CPlaceholderTab() : CTabPageSSL(IDD_PLACEHOLDER_PAGE, nullptr) {}

bool CPlaceholderTab::InitPage()
{
    ++m_initCount;
    return true;
}

int OpenPlaceholderTabs(CDialogView& host, CTabCtrlSSL& tabs, CPlaceholderTab* pages, const char* const* titles,
                        int count, CMainWndDlg* mainWindow, int firstTab)
{
    if (IDialogViewHost* main = host.GetMainWnd())
        if (CController* link = main->GetViewController()) link->RemoveListener(host.m_hWnd);
    if (!tabs.SubclassDlgItem(IDC_TOOL_TABS, &host)) return 0;
    int added = 0;
    for (int i = 0; i < count; ++i) {
        pages[i].SetMainWnd(mainWindow);
        // A page that cannot be made leaves its tab out; the others still work.
        if (!pages[i].Create(IDD_PLACEHOLDER_PAGE, &tabs)) continue;
        if (tabs.AddPage(titles[i], added, &pages[i]) < 0) {
            pages[i].DestroyWindow();
            continue;
        }
        pages[i].InitPage();
        ++added;
    }
    if (added == 0) return 0;
    tabs.ActivatePage(firstTab >= 0 && firstTab < added ? firstTab : 0);
    if (CTabPageSSL* page = tabs.GetActivePage()) page->EnableEvents(true);
    return added;
}

void ClosePlaceholderTabs(CPlaceholderTab* pages, int count)
{
    for (int i = 0; i < count; ++i)
        if (pages[i].GetSafeHwnd() != nullptr) pages[i].EnableEvents(false);
}
