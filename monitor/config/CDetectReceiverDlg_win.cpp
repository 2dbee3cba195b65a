#include "config/CDetectReceiverDlg.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

BEGIN_MESSAGE_MAP(CDetectReceiverDlg, CDialogView)
    ON_BN_CLICKED(IDC_TOOL_CLOSE, &CDialogView::CloseView)
END_MESSAGE_MAP()

CDetectReceiverDlg::CDetectReceiverDlg(CMainWndDlg* mainWindow) : CDialogView(IDD_DETECT_RECEIVER, mainWindow) {}
