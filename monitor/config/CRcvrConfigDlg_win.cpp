#include "config/CRcvrConfigDlg.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

namespace {

const char* const kPageTitles[] = {"GPS Configuration", "Port Configuration"};

}  // namespace

BEGIN_MESSAGE_MAP(CRcvrConfigDlg, CDialogView)
    ON_BN_CLICKED(IDC_TOOL_CLOSE, &CDialogView::CloseView)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CRcvrConfigDlg::CRcvrConfigDlg(CMainWndDlg* mainWindow, int firstTab)
    : CDialogView(IDD_RCVR_CONFIG, mainWindow), m_mainWindow(mainWindow), m_firstTab(firstTab)
{
}

BOOL CRcvrConfigDlg::OnInitDialog()
{
    CDialogView::OnInitDialog();
    OpenPlaceholderTabs(*this, m_tabs, m_pages, kPageTitles, kPageCount, m_mainWindow, m_firstTab);
    return TRUE;
}

void CRcvrConfigDlg::OnDestroy()
{
    ClosePlaceholderTabs(m_pages, kPageCount);
    CDialogView::OnDestroy();
}

void CRcvrConfigDlg::OnProtocolChanged(ProtocolKind /*protocol*/) {}

void CRcvrConfigDlg::QueryActiveTab() {}
