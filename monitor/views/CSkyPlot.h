#pragma once
// Sky plot: placeholder with no window until the real sky plot window exists.
#include "model/ModelRecords.h"

// The main window pushes the fix mode and tracking table every few seconds and
// asks for a new layout when the link changes; both calls are accepted and
// dropped until there is a plot to draw.
class CSkyPlot {
public:
    void RecalcLayout();
    void UpdateChannels(const FixModeRecord& fixModeAndDops, const TrackingTable& trackingTable);
};
