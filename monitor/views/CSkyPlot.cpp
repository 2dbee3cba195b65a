#include "views/CSkyPlot.h"

void CSkyPlot::RecalcLayout()
{
}

void CSkyPlot::UpdateChannels(const FixModeRecord& /*fixModeAndDops*/,
                              const TrackingTable& /*trackingTable*/)
{
}
