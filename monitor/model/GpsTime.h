#pragma once
// GPS time (week and seconds of week since 6 January 1980) to and from
// calendar time, and the texts the views show for it. No leap seconds are
// applied anywhere: receivers report GPS time and the PC clock is taken as if
// it were GPS time too, which is what users compare against.
#include <cstdint>

#include "framework/CString.h"
#include "model/CalendarTime.h"

enum : int32_t {
    GPS_SECONDS_PER_WEEK = 604800,
    GPS_FIRST_YEAR = 1980,
    GPS_YEAR_COUNT = 64  // 1980..2043: the span the calendar tables cover
};

// The calendar tables behind both conversions.
struct GpsCalendarTables {
    int16_t yearLength[GPS_YEAR_COUNT];  // 1980 counts from 6 January: 361
    uint8_t leapYear[GPS_YEAR_COUNT];    // every fourth year from 1980
    uint8_t monthLength[2][12];          // [common, leap]
    int16_t daysBeforeMonth[12];         // common year
};
const GpsCalendarTables& GetGpsCalendarTables();

// Week and seconds of week of the calendar fields as they stand (no time-zone
// or leap-second correction; milliseconds and day of week are ignored).
// Returns false, with both outputs 0, when the month is not 1..12.
bool GetGpsTimeFromTime(const CalendarTime& time, int32_t& week, int32_t& secondsOfWeek);

// Calendar date, day of week and time of day of a GPS time; milliseconds are
// left as they were. Returns false and leaves the record untouched for times
// before the epoch or after 2043 (outside the tables).
bool GpsTimeToSystemTime(double secondsOfWeek, int32_t week, CalendarTime& out);

// The PC clock's UTC (through the clock seam, model/Clock.h) as GPS time:
// returns the whole seconds of week and sets the week.
double GetCurrentGpsTime(int32_t& week);

// " Thu 00:00:00.50   345600"; "   <No time yet>        -1" for exactly -1;
// "     <Bad time>         -5" for other values outside 0..604799.99.
CString FormatGpsTimeOfWeek(double secondsOfWeek);
// The same text into a buffer, as snprintf writes it, for the translations
// that show it for every report.
enum : size_t { GPS_TIME_OF_WEEK_TEXT_ROOM = 64 };
int FormatGpsTimeOfWeek(char* out, size_t size, double secondsOfWeek);

// The current local time (clock seam) through strftime with the given format.
CString FormatCurrentTime(const char* format);
