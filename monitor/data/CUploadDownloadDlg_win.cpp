#include "data/CUploadDownloadDlg.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

BEGIN_MESSAGE_MAP(CUploadDownloadDlg, CDialogView)
    ON_BN_CLICKED(IDC_TOOL_CLOSE, &CDialogView::CloseView)
END_MESSAGE_MAP()

CUploadDownloadDlg::CUploadDownloadDlg(CMainWndDlg* mainWindow) : CDialogView(IDD_UPLOAD_DOWNLOAD, mainWindow) {}

void CUploadDownloadDlg::NotifyLoadEvent(int /*event*/) {}
