#pragma once
// What the main window's fields still have to show. Receiver events can come
// thousands of times a second (a replay at full speed); repainting the fields
// for each would make the window, not the decoding, set the pace. So the
// dispatcher only notes here which groups of fields have news, and the
// display timer shows each group once with the model's latest values.
#include <cstdint>

enum DisplayGroup : uint32_t {
    DISPLAY_POSITION = 1u << 0,
    DISPLAY_VELOCITY = 1u << 1,
    DISPLAY_OSCILLATOR = 1u << 2,
    DISPLAY_TIME = 1u << 3,
    DISPLAY_FIX_MODE = 1u << 4,
    DISPLAY_HEALTH = 1u << 5,
    DISPLAY_TRACKING = 1u << 6,
    DISPLAY_SIGNAL_LEVELS = 1u << 7,
    DISPLAY_FIX_SATELLITES = 1u << 8,
    DISPLAY_PROGRESS = 1u << 9,
    DISPLAY_ALMANAC = 1u << 10,
    DISPLAY_ANTENNA = 1u << 11,
    DISPLAY_BATTERY_RAM = 1u << 12,
    DISPLAY_CLOCK = 1u << 13,
};

// The groups shown in the order the events would have shown them: the
// receiver-contact rules of fix mode and health see what came before.
extern const DisplayGroup kDisplayOrder[];
extern const int kDisplayGroupCount;

class CPendingDisplay {
public:
    // The tracking table's "every row" detail.
    enum : int { kAllRows = 255 };

    void Mark(DisplayGroup group) { m_groups |= group; }
    // A group whose event carries a detail shows the latest one.
    void Mark(DisplayGroup group, int detail);
    // Velocity with or without a valid value: the latest event decides.
    void MarkVelocity(bool valid);
    // Time from a report (the answer to the time query) or from a fix: a
    // report among the pending events counts.
    void MarkTime(bool fromReport);
    // One row of the tracking table, or every row; other details are ignored.
    void MarkTrackingRow(int detail, int rows);
    void Drop(DisplayGroup group) { m_groups &= ~static_cast<uint32_t>(group); }
    void Clear() { *this = CPendingDisplay(); }

    bool IsPending(DisplayGroup group) const { return (m_groups & group) != 0; }
    bool IsEmpty() const { return m_groups == 0; }
    int GetDetail(DisplayGroup group) const;
    bool IsVelocityValid() const { return m_velocityValid; }
    bool IsTimeFromReport() const { return m_timeFromReport; }
    // Bit n: row n of the tracking table.
    uint32_t GetTrackingRows() const { return m_trackingRows; }

private:
    uint32_t m_groups = 0;
    uint32_t m_trackingRows = 0;
    bool m_velocityValid = false;
    bool m_timeFromReport = false;
    int m_almanac = 0, m_antenna = 0, m_batteryRam = 0, m_clock = 0;
};
