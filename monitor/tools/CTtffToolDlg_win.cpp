#include "tools/CTtffToolDlg.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

BEGIN_MESSAGE_MAP(CTtffToolDlg, CDialogView)
    ON_BN_CLICKED(IDC_TOOL_CLOSE, &CDialogView::CloseView)
    ON_WM_TIMER()
END_MESSAGE_MAP()

CTtffToolDlg::CTtffToolDlg(CMainWndDlg* mainWindow) : CDialogView(IDD_TTFF_TOOL, mainWindow) {}

bool CTtffToolDlg::CloseTool() { return true; }

// The unattended start's timer: there is no test to run yet.
void CTtffToolDlg::OnTimer(UINT_PTR nIDEvent) { KillTimer(nIDEvent); }
