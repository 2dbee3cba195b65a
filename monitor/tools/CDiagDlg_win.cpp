#include "tools/CDiagDlg.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

namespace {

const char* const kPageTitles[] = {"General"};

}  // namespace

BEGIN_MESSAGE_MAP(CDiagDlg, CDialogView)
    ON_BN_CLICKED(IDC_TOOL_CLOSE, &CDialogView::CloseView)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CDiagDlg::CDiagDlg(CMainWndDlg* mainWindow, int firstTab)
    : CDialogView(IDD_DIAGNOSTICS, mainWindow), m_mainWindow(mainWindow), m_firstTab(firstTab)
{
}

BOOL CDiagDlg::OnInitDialog()
{
    CDialogView::OnInitDialog();
    OpenPlaceholderTabs(*this, m_tabs, m_pages, kPageTitles, kPageCount, m_mainWindow, m_firstTab);
    return TRUE;
}

void CDiagDlg::OnDestroy()
{
    ClosePlaceholderTabs(m_pages, kPageCount);
    CDialogView::OnDestroy();
}

void CDiagDlg::QueryActiveTab() {}
