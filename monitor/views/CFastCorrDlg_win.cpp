#include "views/CFastCorrDlg.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

BEGIN_MESSAGE_MAP(CFastCorrDlg, CDialogView)
    ON_BN_CLICKED(IDC_TOOL_CLOSE, &CDialogView::CloseView)
END_MESSAGE_MAP()

CFastCorrDlg::CFastCorrDlg(CMainWndDlg* mainWindow) : CDialogView(IDD_FAST_CORRECTIONS, mainWindow) {}
