#pragma once
// Which receiver fields have gone stale: each display field counts the
// seconds since its report last arrived, and once the count reaches the
// field's limit the main window empties the field, so a user never reads an
// old position as a live one.
//
// The counting and the decision are kept here, away from the window, so the
// main window's 1 s tick only carries out what Check says.
#include <cstdint>

enum StaleField : int {
    STALE_POSITION = 0,
    STALE_VELOCITY = 1,
    STALE_TIME = 2,
    STALE_RECEIVER_STATUS = 3,
    STALE_RECEIVER_MODE = 4,
    STALE_CHANNEL_FIRST = 5,   // channel rows 0..11 are fields 5..16
    STALE_CHANNEL_LAST = 16,
    STALE_OSCILLATOR = 17,
    STALE_BATTERY_RAM = 18,
    STALE_ANTENNA = 19,
    STALE_CLOCK = 20,
    STALE_ALMANAC = 21,
    STALE_FIELD_COUNT = 22
};

// What the main window does for a field that has gone stale: the report
// texts of the model to clear (up to two, -1 when unused) and the validity
// mark to drop.
enum StaleMark { STALE_MARK_NONE = 0, STALE_MARK_POSITION, STALE_MARK_VELOCITY, STALE_MARK_OSCILLATOR };

struct StaleFieldPlan {
    int reportTexts[2];
    StaleMark mark;
};

// The plan of one field; every entry -1 and no mark outside 0..21.
StaleFieldPlan GetStaleFieldPlan(int field);

// The result of one check.
struct StaleCheck {
    // The field is at or past its limit: empty it (GetStaleFieldPlan says
    // what else goes with it). Repeats every tick while it stays stale, which
    // is harmless since emptying an empty field changes nothing.
    bool clearField;
    // Receiver status and mode both went stale: the receiver is no longer
    // heard. Empty the version fields and the model's version report text;
    // loseContact says whether the contact flag is dropped too (not while
    // the link speaks another maker's NMEA dialect, whose receivers never
    // send the status reports).
    bool receiverSilent;
    bool loseContact;
};

class CStaleFields {
public:
    // The model's report text that describes the receiver version.
    static const int kVersionReportText = 13;

    CStaleFields();

    // Limits come from the auto-query interval; a limit of 0 makes the field
    // stale at its first check.
    void SetLimit(int field, uint32_t limit);
    uint32_t GetLimit(int field) const;
    uint32_t GetCount(int field) const;

    // The field's report arrived: its count starts again.
    void Reset(int field);
    void ResetAll();

    // One second passed for `field` (0..21; others do nothing). While a data
    // transfer runs nothing is counted, since the receiver then sends no
    // reports at all. vendorDialect: the link runs another maker's NMEA.
    StaleCheck Check(int field, bool transferRunning, bool vendorDialect);

private:
    static bool IsField(int field) { return field >= 0 && field < STALE_FIELD_COUNT; }
    bool IsStale(int field) const { return m_count[field] >= m_limit[field]; }

    uint32_t m_count[STALE_FIELD_COUNT];
    uint32_t m_limit[STALE_FIELD_COUNT];
};
