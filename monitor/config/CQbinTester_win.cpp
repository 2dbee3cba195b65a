#include "config/CQbinTester.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

BEGIN_MESSAGE_MAP(CQbinTester, CDialogView)
    ON_BN_CLICKED(IDC_TOOL_CLOSE, &CDialogView::CloseView)
END_MESSAGE_MAP()

CQbinTester::CQbinTester(CMainWndDlg* mainWindow) : CDialogView(IDD_QBIN_TESTER, mainWindow) {}
