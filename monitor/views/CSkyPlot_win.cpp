#include "views/CSkyPlot.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

BEGIN_MESSAGE_MAP(CSkyPlot, CDialogView)
    ON_BN_CLICKED(IDC_TOOL_CLOSE, &CDialogView::CloseView)
END_MESSAGE_MAP()

CSkyPlot::CSkyPlot(CMainWndDlg* mainWindow) : CDialogView(IDD_SKY_PLOT, mainWindow) {}

void CSkyPlot::RecalcLayout() {}

void CSkyPlot::UpdateChannels(const FixModeRecord& /*fixModeAndDops*/, const TrackingTable& /*trackingTable*/) {}
