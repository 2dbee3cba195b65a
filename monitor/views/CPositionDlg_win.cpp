#include "views/CPositionDlg.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

namespace {

const char* const kPageTitles[] = {"Position Map (Microsoft Virtual Earth)", "Position Plot (Horizontal, 2D)"};

}  // namespace

BEGIN_MESSAGE_MAP(CPositionDlg, CDialogView)
    ON_BN_CLICKED(IDC_TOOL_CLOSE, &CDialogView::CloseView)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CPositionDlg::CPositionDlg(CMainWndDlg* mainWindow, int firstTab)
    : CDialogView(IDD_POSITION, mainWindow), m_mainWindow(mainWindow), m_firstTab(firstTab)
{
}

BOOL CPositionDlg::OnInitDialog()
{
    CDialogView::OnInitDialog();
    OpenPlaceholderTabs(*this, m_tabs, m_pages, kPageTitles, kPageCount, m_mainWindow, m_firstTab);
    return TRUE;
}

void CPositionDlg::OnDestroy()
{
    ClosePlaceholderTabs(m_pages, kPageCount);
    CDialogView::OnDestroy();
}

void CPositionDlg::AddFix(const NavState& /*fix*/) {}

void CPositionDlg::ClearTabs() {}
