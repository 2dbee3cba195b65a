// "Real-time Sky Plot": the satellites of the receiver's tracking channels
// by azimuth and elevation. The window is its frame only until the plot
// arrives: the main window opens it once, pushes the fix mode and tracking
// table every few seconds and asks for a new layout when the link changes;
// both calls are accepted and dropped until there is a plot to draw.
// Windows build only.
#pragma once

#ifdef _WIN32

#include "controls/CDialogView.h"
#include "model/ModelRecords.h"

class CMainWndDlg;

class CSkyPlot : public CDialogView {
public:
    explicit CSkyPlot(CMainWndDlg* mainWindow);

    void RecalcLayout();
    void UpdateChannels(const FixModeRecord& fixModeAndDops, const TrackingTable& trackingTable);

protected:
    // The View menu's check goes with the plot.
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()
};

#endif  // _WIN32
