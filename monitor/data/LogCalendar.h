#pragma once
// The logging calendar: one interval outside which the data logger keeps its
// ports open but writes nothing. The values, how the dialog builds a moment
// from its two pickers, its checks and the logger's gate live here, free of
// windows, so that they are exact whatever the clock says: every function
// takes `now` instead of reading it (callers pass GetClock().NowSeconds()).
#include <cstdint>

#include "model/CalendarTime.h"

// What the calendar dialog and its callers exchange. Times are seconds since
// 1970-01-01 UTC, as time_t.
struct LogCalendarValues {
    int32_t use = 0;    // non-zero: the calendar is in force
    int64_t start = 0;
    int64_t end = 0;
};

// The moment with the year, month and day of `date` and the hour, minute and
// second of `time`, read as local time with daylight saving decided by the
// system for that day (mktime with isdst -1): a time picker still carrying a
// winter date does not shift a summer moment by an hour. -1 when the system
// cannot represent it.
int64_t ComposeLocalTime(const CalendarTime& date, const CalendarTime& time);

// The local calendar time of a moment, as the pickers show it (milliseconds
// 0). A moment the system cannot convert, or outside the years 1601..9999 a
// picker shows, gives all zeros.
CalendarTime LocalCalendarTime(int64_t seconds);

// Message texts of the checks, in the order they are made.
extern const char* const kLogCalendarStartAfterEnd;  // "Start time cannot be later than the end time!"
extern const char* const kLogCalendarEndInPast;      // "End time cannot be in the past!"
extern const char* const kLogCalendarNoInterval;     // "Start and end times must be different!"

// nullptr when the values may be taken, else the message of the first failing
// check. A calendar not in use is never refused, whatever its times.
const char* CheckLogCalendar(const LogCalendarValues& values, int64_t now);

// True when the logger may write: always with the calendar off, else from
// start to end with both bounds included.
bool IsCalendarOpen(const LogCalendarValues& values, int64_t now);

// True once the calendar in use has its end behind `now`; it then switches the
// calendar off, so the caller stops its ports once and logs freely afterwards.
bool HasCalendarEnded(LogCalendarValues& values, int64_t now);
