#include "config/CGenericPkts.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

BEGIN_MESSAGE_MAP(CGenericPkts, CDialogView)
    ON_BN_CLICKED(IDC_TOOL_CLOSE, &CDialogView::CloseView)
END_MESSAGE_MAP()

CGenericPkts::CGenericPkts(CMainWndDlg* mainWindow) : CDialogView(IDD_GENERIC_PACKETS, mainWindow) {}
