#include "app/PendingDisplay.h"

namespace {

const int kMaxRowBits = 32;

}  // namespace

const DisplayGroup kDisplayOrder[] = {
    DISPLAY_FIX_MODE,  DISPLAY_HEALTH,        DISPLAY_POSITION,        DISPLAY_VELOCITY,
    DISPLAY_OSCILLATOR, DISPLAY_TIME,         DISPLAY_TRACKING,        DISPLAY_SIGNAL_LEVELS,
    DISPLAY_FIX_SATELLITES, DISPLAY_PROGRESS, DISPLAY_ALMANAC,         DISPLAY_ANTENNA,
    DISPLAY_BATTERY_RAM, DISPLAY_CLOCK,
};
const int kDisplayGroupCount = static_cast<int>(sizeof kDisplayOrder / sizeof kDisplayOrder[0]);

void CPendingDisplay::Mark(DisplayGroup group, int detail)
{
    switch (group) {
    case DISPLAY_ALMANAC: m_almanac = detail; break;
    case DISPLAY_ANTENNA: m_antenna = detail; break;
    case DISPLAY_BATTERY_RAM: m_batteryRam = detail; break;
    case DISPLAY_CLOCK: m_clock = detail; break;
    default: break;
    }
    Mark(group);
}

void CPendingDisplay::MarkVelocity(bool valid)
{
    m_velocityValid = valid;
    Mark(DISPLAY_VELOCITY);
}

void CPendingDisplay::MarkTime(bool fromReport)
{
    if (!IsPending(DISPLAY_TIME)) m_timeFromReport = false;
    m_timeFromReport = m_timeFromReport || fromReport;
    Mark(DISPLAY_TIME);
}

void CPendingDisplay::MarkTrackingRow(int detail, int rows)
{
    if (rows > kMaxRowBits) rows = kMaxRowBits;
    if (detail == kAllRows) {
        m_trackingRows = rows >= kMaxRowBits ? 0xFFFFFFFFu : (1u << rows) - 1u;
    } else if (detail >= 0 && detail < rows) {
        m_trackingRows |= 1u << detail;
    } else {
        return;
    }
    Mark(DISPLAY_TRACKING);
}

int CPendingDisplay::GetDetail(DisplayGroup group) const
{
    switch (group) {
    case DISPLAY_ALMANAC: return m_almanac;
    case DISPLAY_ANTENNA: return m_antenna;
    case DISPLAY_BATTERY_RAM: return m_batteryRam;
    case DISPLAY_CLOCK: return m_clock;
    default: return 0;
    }
}
