#include "views/CTimingMonitorDlg.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

BEGIN_MESSAGE_MAP(CTimingMonitorDlg, CDialogView)
    ON_BN_CLICKED(IDC_TOOL_CLOSE, &CDialogView::CloseView)
END_MESSAGE_MAP()

CTimingMonitorDlg::CTimingMonitorDlg(CMainWndDlg* mainWindow) : CDialogView(IDD_TIMING_MONITOR, mainWindow) {}

void CTimingMonitorDlg::AdaptToReceiver(bool /*resize*/) {}
