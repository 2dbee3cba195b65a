#include "data/LogCalendar.h"

#include <ctime>

const char* const kLogCalendarStartAfterEnd = "Start time cannot be later than the end time!";
const char* const kLogCalendarEndInPast = "End time cannot be in the past!";
const char* const kLogCalendarNoInterval = "Start and end times must be different!";

namespace {

const int kTmFirstYear = 1900;  // struct tm counts years from 1900 and months from 0
const int kLetSystemDecideDst = -1;
const time_t kMktimeFailed = static_cast<time_t>(-1);
// Years a picker can show; a moment outside them is not a calendar time.
const int kFirstPickerYear = 1601;
const int kLastPickerYear = 9999;
const int kLastSecond = 59;  // a leap second is shown as the one before it

bool ToLocalTm(time_t t, struct tm* out)
{
#ifdef _WIN32
    return localtime_s(out, &t) == 0;
#else
    return localtime_r(&t, out) != nullptr;
#endif
}

} // namespace

int64_t ComposeLocalTime(const CalendarTime& date, const CalendarTime& time)
{
    struct tm tm = {};
    tm.tm_year = date.wYear - kTmFirstYear;
    tm.tm_mon = date.wMonth - 1;
    tm.tm_mday = date.wDay;
    tm.tm_hour = time.wHour;
    tm.tm_min = time.wMinute;
    tm.tm_sec = time.wSecond;
    tm.tm_isdst = kLetSystemDecideDst;
    time_t t = mktime(&tm);
    return t == kMktimeFailed ? -1 : static_cast<int64_t>(t);
}

CalendarTime LocalCalendarTime(int64_t seconds)
{
    CalendarTime result = {};
    const time_t t = static_cast<time_t>(seconds);
    struct tm tm = {};
    if (static_cast<int64_t>(t) != seconds || !ToLocalTm(t, &tm))
        return result;
    const int year = tm.tm_year + kTmFirstYear;
    if (year < kFirstPickerYear || year > kLastPickerYear)
        return result;
    result = MakeCalendarTime(year, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                              tm.tm_sec > kLastSecond ? kLastSecond : tm.tm_sec);
    result.wDayOfWeek = static_cast<uint16_t>(tm.tm_wday);
    return result;
}

const char* CheckLogCalendar(const LogCalendarValues& values, int64_t now)
{
    if (values.use == 0)
        return nullptr;
    if (values.end < values.start)
        return kLogCalendarStartAfterEnd;
    if (values.end < now)
        return kLogCalendarEndInPast;
    if (values.end == values.start)
        return kLogCalendarNoInterval;
    return nullptr;
}

bool IsCalendarOpen(const LogCalendarValues& values, int64_t now)
{
    if (values.use == 0)
        return true;
    return now >= values.start && now <= values.end;
}

bool HasCalendarEnded(LogCalendarValues& values, int64_t now)
{
    if (values.use == 0 || values.end >= now)
        return false;
    values.use = 0;
    return true;
}
