#include "config/CConfiguratorDlg.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

BEGIN_MESSAGE_MAP(CConfiguratorDlg, CDialogView)
    ON_BN_CLICKED(IDC_TOOL_CLOSE, &CDialogView::CloseView)
END_MESSAGE_MAP()

CConfiguratorDlg::CConfiguratorDlg(CMainWndDlg* mainWindow) : CDialogView(IDD_CONFIGURATOR, mainWindow) {}

void CConfiguratorDlg::LoadConfigFile(LPCTSTR /*fileName*/) {}
