#include "app/CVersionDlg.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

namespace {

const char* const kPageTitles[] = {"Product Information"};

}  // namespace

BEGIN_MESSAGE_MAP(CVersionDlg, CDialogView)
    ON_BN_CLICKED(IDC_TOOL_CLOSE, &CDialogView::CloseView)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CVersionDlg::CVersionDlg(CMainWndDlg* mainWindow, int firstTab)
    : CDialogView(IDD_RCVR_VERSION, mainWindow), m_mainWindow(mainWindow), m_firstTab(firstTab)
{
}

BOOL CVersionDlg::OnInitDialog()
{
    CDialogView::OnInitDialog();
    OpenPlaceholderTabs(*this, m_tabs, m_pages, kPageTitles, kPageCount, m_mainWindow, m_firstTab);
    return TRUE;
}

void CVersionDlg::OnDestroy()
{
    ClosePlaceholderTabs(m_pages, kPageCount);
    CDialogView::OnDestroy();
}
