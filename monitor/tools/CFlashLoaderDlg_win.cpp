#include "tools/CFlashLoaderDlg.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

BEGIN_MESSAGE_MAP(CFlashLoaderDlg, CDialog)
    ON_BN_CLICKED(IDC_TOOL_CLOSE, &CFlashLoaderDlg::OnClose)
    ON_WM_CLOSE()
    ON_WM_TIMER()
END_MESSAGE_MAP()

CFlashLoaderDlg::CFlashLoaderDlg(CMainWndDlg* mainWindow)
    : CDialog(IDD_FLASH_LOADER, mainWindow), m_mainWindow(mainWindow)
{
}

bool CFlashLoaderDlg::CloseTool() { return true; }

void CFlashLoaderDlg::OnClose()
{
    if (CloseTool()) DestroyWindow();
}

// The unattended start's timer: there is nothing to load yet.
void CFlashLoaderDlg::OnTimer(UINT_PTR nIDEvent) { KillTimer(nIDEvent); }

void CFlashLoaderDlg::PostNcDestroy()
{
    CDialog::PostNcDestroy();
    if (m_mainWindow != nullptr && m_mainWindow->m_pFlashLoader == this) m_mainWindow->m_pFlashLoader = nullptr;
    delete this;
}
