#include "model/GpsTime.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "model/Clock.h"
#include "model/NumberFormat.h"

namespace {

struct TablesBuilder : GpsCalendarTables {
    TablesBuilder()
    {
        static const uint8_t common[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        int16_t before = 0;
        for (int m = 0; m < 12; ++m) {
            monthLength[0][m] = common[m];
            monthLength[1][m] = common[m];
            daysBeforeMonth[m] = before;
            before = static_cast<int16_t>(before + common[m]);
        }
        monthLength[1][1] = 29;
        for (int i = 0; i < GPS_YEAR_COUNT; ++i) {
            // Every fourth year is enough: 2000 is a leap year and 2100 lies
            // beyond the tables.
            leapYear[i] = (i % 4 == 0) ? 1 : 0;
            yearLength[i] = static_cast<int16_t>(leapYear[i] ? 366 : 365);
        }
        yearLength[0] = 366 - 5;  // GPS time starts on 6 January 1980
    }
};

const int32_t kSecondsPerDay = 86400;
const char* const kDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

int32_t ClampToInt32(double v)
{
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int32_t>(v);
}

} // namespace

const GpsCalendarTables& GetGpsCalendarTables()
{
    static const TablesBuilder tables;
    return tables;
}

bool GetGpsTimeFromTime(const CalendarTime& time, int32_t& week, int32_t& secondsOfWeek)
{
    week = 0;
    secondsOfWeek = 0;
    const int64_t m = time.wMonth;
    if (m < 1 || m > 12) return false;
    const int64_t year = time.wYear;
    // The leap days are the 29 Februaries between the epoch and the date:
    // counting months from March 1976, a new one starts every 48 months.
    const int64_t leapDays = ((year - 1976) * 12 + m - 3) / 48;
    const int64_t days = GetGpsCalendarTables().daysBeforeMonth[m - 1] + (year - 1980) * 365 +
                         static_cast<int64_t>(time.wDay) - 6 + leapDays;
    const int64_t seconds =
        ((days * 24 + time.wHour) * 60 + time.wMinute) * 60 + static_cast<int64_t>(time.wSecond);
    const int64_t w = seconds / GPS_SECONDS_PER_WEEK;
    week = static_cast<int32_t>(w);
    secondsOfWeek = static_cast<int32_t>(seconds - w * GPS_SECONDS_PER_WEEK);
    return true;
}

bool GpsTimeToSystemTime(double secondsOfWeek, int32_t week, CalendarTime& out)
{
    const double total = static_cast<double>(week) * GPS_SECONDS_PER_WEEK + secondsOfWeek;
    // Also refuses NaN. The upper bound only keeps the cast below defined; the
    // year walk refuses anything after 2043.
    if (!(total >= 0.0) || total >= 4.0e9) return false;
    const int64_t whole = static_cast<int64_t>(total);
    int64_t days = whole / kSecondsPerDay;
    const int64_t secondOfDay = whole % kSecondsPerDay;
    const int64_t daysSinceEpoch = days;

    const GpsCalendarTables& t = GetGpsCalendarTables();
    // Both walks move on while the remaining days fill the whole year or month
    // (>=): day 361 is 1 January 1981, not a 32 December.
    int y = 0;
    while (y < GPS_YEAR_COUNT && days >= t.yearLength[y]) {
        days -= t.yearLength[y];
        ++y;
    }
    if (y == GPS_YEAR_COUNT) return false;
    if (y == 0) days += 5;  // the table's 1980 counts from 6 January
    const int leap = t.leapYear[y];
    int m = 0;
    while (m < 11 && days >= t.monthLength[leap][m]) {
        days -= t.monthLength[leap][m];
        ++m;
    }
    out.wYear = static_cast<uint16_t>(GPS_FIRST_YEAR + y);
    out.wMonth = static_cast<uint16_t>(m + 1);
    out.wDay = static_cast<uint16_t>(days + 1);
    out.wHour = static_cast<uint16_t>(secondOfDay / 3600);
    out.wMinute = static_cast<uint16_t>((secondOfDay / 60) % 60);
    out.wSecond = static_cast<uint16_t>(secondOfDay % 60);
    // Counted from the epoch (a Sunday) so that a seconds-of-week value past
    // one week, which callers pass as a day offset, still gives the right day.
    out.wDayOfWeek = static_cast<uint16_t>(daysSinceEpoch % 7);
    return true;
}

double GetCurrentGpsTime(int32_t& week)
{
    const CalendarTime utc = GetClock().NowUtc();
    int32_t seconds = 0;
    GetGpsTimeFromTime(utc, week, seconds);
    return seconds;
}

CString FormatGpsTimeOfWeek(double secondsOfWeek)
{
    char text[GPS_TIME_OF_WEEK_TEXT_ROOM];
    FormatGpsTimeOfWeek(text, sizeof text, secondsOfWeek);
    return CString(text);
}

int FormatGpsTimeOfWeek(char* out, size_t size, double secondsOfWeek)
{
    if (secondsOfWeek == -1.0) return FormatText(out, size, "   <No time yet>    %6d", -1);
    if (!(secondsOfWeek >= 0.0) || secondsOfWeek >= GPS_SECONDS_PER_WEEK)
        return FormatText(out, size, "     <Bad time>     %6d", static_cast<int>(ClampToInt32(secondsOfWeek)));
    double t = secondsOfWeek;
    // So that a value a hair below a whole second (from float arithmetic in
    // the decoders) shows that second rather than the one before.
    if (t < 604799.9) t += 1e-8;
    const int day = static_cast<int>(t / kSecondsPerDay);
    double rest = t - static_cast<double>(day) * kSecondsPerDay;
    const int hours = static_cast<int>(rest / 3600.0);
    rest -= hours * 3600.0;
    const int minutes = static_cast<int>(rest / 60.0);
    rest -= minutes * 60.0;
    const char* const dayName = kDayNames[day < 7 ? day : 6];
    if (out == nullptr || size < GPS_TIME_OF_WEEK_TEXT_ROOM)
        return FormatText(out, size, " %s %02d:%02d:%05.2f   %6d", dayName, hours, minutes, rest, static_cast<int>(t));
    // The same text put together without a format: translations show it
    // for nearly every report.
    const int kClockWidth = 2;
    const int kSecondsDecimals = 2;
    const int kSecondsWidth = 5;
    const size_t kSecondsOfWeekWidth = 6;
    size_t n = 0;
    out[n++] = ' ';
    const size_t nameLength = strlen(dayName);
    memcpy(out + n, dayName, nameLength);
    n += nameLength;
    out[n++] = ' ';
    n += FormatDecimalText(out + n, size - n, hours, kClockWidth);
    out[n++] = ':';
    n += FormatDecimalText(out + n, size - n, minutes, kClockWidth);
    out[n++] = ':';
    n += FormatFixedText(out + n, size - n, rest, kSecondsDecimals, kSecondsWidth);
    char seconds[kNumberTextRoom];
    const size_t digits = FormatDecimalText(seconds, sizeof seconds, static_cast<int>(t));
    const size_t blanks = 3 + (digits < kSecondsOfWeekWidth ? kSecondsOfWeekWidth - digits : 0);
    memset(out + n, ' ', blanks);
    n += blanks;
    memcpy(out + n, seconds, digits);
    n += digits;
    out[n] = '\0';
    return static_cast<int>(n);
}

CString FormatCurrentTime(const char* format)
{
    CString text;
    if (format == nullptr || *format == '\0') return text;
    const CalendarTime now = GetClock().NowLocal();
    struct tm tm = {};
    tm.tm_year = now.wYear - 1900;
    tm.tm_mon = now.wMonth >= 1 && now.wMonth <= 12 ? now.wMonth - 1 : 0;
    tm.tm_mday = now.wDay;
    tm.tm_hour = now.wHour;
    tm.tm_min = now.wMinute;
    tm.tm_sec = now.wSecond;
    tm.tm_wday = now.wDayOfWeek % 7;
    const bool leap = (now.wYear % 4 == 0 && now.wYear % 100 != 0) || now.wYear % 400 == 0;
    tm.tm_yday = GetGpsCalendarTables().daysBeforeMonth[tm.tm_mon] + now.wDay - 1 +
                 ((leap && tm.tm_mon > 1) ? 1 : 0);
    tm.tm_isdst = 0;
    // strftime gives 0 both for "did not fit" and for an empty result, so
    // retry with more room a few times before settling on empty.
    for (size_t size = 256; size <= 16384; size *= 4) {
        char* buffer = text.GetBuffer(static_cast<int>(size));
        const size_t n = strftime(buffer, size, format, &tm);
        text.ReleaseBuffer(static_cast<int>(n));
        if (n > 0) break;
    }
    return text;
}
