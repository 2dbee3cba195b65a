#include "data/CDataRecorderToolDlg.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

BEGIN_MESSAGE_MAP(CDataRecorderToolDlg, CDialog)
    ON_BN_CLICKED(IDC_TOOL_CLOSE, &CDataRecorderToolDlg::OnClose)
    ON_WM_CLOSE()
    ON_WM_TIMER()
END_MESSAGE_MAP()

CDataRecorderToolDlg::CDataRecorderToolDlg(CMainWndDlg* mainWindow)
    : CDialog(IDD_DATA_RECORDER_TOOL, mainWindow), m_mainWindow(mainWindow)
{
}

bool CDataRecorderToolDlg::CloseTool() { return true; }

void CDataRecorderToolDlg::OnClose()
{
    if (CloseTool()) DestroyWindow();
}

// The unattended start's timer: there is nothing to record yet.
void CDataRecorderToolDlg::OnTimer(UINT_PTR nIDEvent) { KillTimer(nIDEvent); }

void CDataRecorderToolDlg::PostNcDestroy()
{
    CDialog::PostNcDestroy();
    if (m_mainWindow != nullptr && m_mainWindow->m_pDataRecorderTool == this)
        m_mainWindow->m_pDataRecorderTool = nullptr;
    delete this;
}
