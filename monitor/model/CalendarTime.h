#pragma once
// A calendar date and time of day with the layout and field names of a Win32
// SYSTEMTIME, so portable code (GPS time conversion, the clock seam) and the
// Win32 layer hand the same record around without a Windows header.
#include <cstdint>

struct CalendarTime {
    uint16_t wYear;
    uint16_t wMonth;      // 1..12
    uint16_t wDayOfWeek;  // 0 = Sunday
    uint16_t wDay;        // 1..31
    uint16_t wHour;
    uint16_t wMinute;
    uint16_t wSecond;
    uint16_t wMilliseconds;
};

// A record with every field set; the day of week is left 0 because the
// conversions that read a CalendarTime never use it.
inline CalendarTime MakeCalendarTime(int year, int month, int day, int hour = 0, int minute = 0,
                                     int second = 0)
{
    CalendarTime t = {};
    t.wYear = static_cast<uint16_t>(year);
    t.wMonth = static_cast<uint16_t>(month);
    t.wDay = static_cast<uint16_t>(day);
    t.wHour = static_cast<uint16_t>(hour);
    t.wMinute = static_cast<uint16_t>(minute);
    t.wSecond = static_cast<uint16_t>(second);
    return t;
}
