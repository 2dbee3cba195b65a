#include "tools/CScriptStatusDlg.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

BEGIN_MESSAGE_MAP(CScriptStatusDlg, CDialogView)
    ON_BN_CLICKED(IDC_TOOL_CLOSE, &CDialogView::CloseView)
END_MESSAGE_MAP()

CScriptStatusDlg::CScriptStatusDlg(CMainWndDlg* mainWindow) : CDialogView(IDD_SCRIPT_STATUS, mainWindow) {}
