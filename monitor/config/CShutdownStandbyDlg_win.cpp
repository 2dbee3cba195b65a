#include "config/CShutdownStandbyDlg.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

BEGIN_MESSAGE_MAP(CShutdownStandbyDlg, CDialogView)
    ON_BN_CLICKED(IDC_TOOL_CLOSE, &CDialogView::CloseView)
END_MESSAGE_MAP()

CShutdownStandbyDlg::CShutdownStandbyDlg(CMainWndDlg* mainWindow) : CDialogView(IDD_SHUTDOWN_STANDBY, mainWindow) {}
