#include "views/CIonoDelayDlg.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

BEGIN_MESSAGE_MAP(CIonoDelayDlg, CDialogView)
    ON_BN_CLICKED(IDC_TOOL_CLOSE, &CDialogView::CloseView)
END_MESSAGE_MAP()

CIonoDelayDlg::CIonoDelayDlg(CMainWndDlg* mainWindow) : CDialogView(IDD_IONO_DELAY, mainWindow) {}
