#include "views/CSkyPlot.h"

#include "app/CMainWndDlg.h"
#include "app/LauncherTable.h"
#include "app/resource_tools.h"

BEGIN_MESSAGE_MAP(CSkyPlot, CDialogView)
    ON_BN_CLICKED(IDC_TOOL_CLOSE, &CDialogView::CloseView)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CSkyPlot::CSkyPlot(CMainWndDlg* mainWindow) : CDialogView(IDD_SKY_PLOT, mainWindow) {}

void CSkyPlot::RecalcLayout() {}

void CSkyPlot::UpdateChannels(const FixModeRecord& /*fixModeAndDops*/, const TrackingTable& /*trackingTable*/) {}

void CSkyPlot::OnDestroy()
{
    if (IDialogViewHost* host = GetMainWnd())
        if (CWnd* main = host->GetViewHostWnd())
            if (CMenu* menu = main->GetMenu()) menu->CheckMenuItem(kCmdSkyPlotMenu, MF_BYCOMMAND | MF_UNCHECKED);
    CDialogView::OnDestroy();
}
