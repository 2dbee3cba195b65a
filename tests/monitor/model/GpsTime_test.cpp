#include "model/GpsTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

#include "model/Clock.h"

namespace {

struct CalendarToGps {
    int year, month, day;
    int32_t week, seconds;
};

TEST(GpsTime, CalendarDatesGiveWeekAndSeconds)
{
    const CalendarToGps cases[] = {
        {1980, 1, 6, 0, 0},          {1980, 2, 29, 7, 432000},     {1980, 3, 1, 7, 518400},
        {1980, 12, 31, 51, 259200},  {1981, 1, 1, 51, 345600},     {2000, 2, 29, 1051, 172800},
        {2000, 3, 1, 1051, 259200},
    };
    for (const CalendarToGps& c : cases) {
        int32_t week = -7;
        int32_t seconds = -7;
        EXPECT_TRUE(GetGpsTimeFromTime(MakeCalendarTime(c.year, c.month, c.day), week, seconds));
        EXPECT_EQ(c.week, week) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(c.seconds, seconds) << c.year << "-" << c.month << "-" << c.day;
    }
}

TEST(GpsTime, TimeOfDayAddsToTheSeconds)
{
    int32_t week = 0;
    int32_t seconds = 0;
    ASSERT_TRUE(GetGpsTimeFromTime(MakeCalendarTime(2024, 3, 5, 14, 7, 9), week, seconds));
    EXPECT_EQ(2304, week);
    EXPECT_EQ(2 * 86400 + 14 * 3600 + 7 * 60 + 9, seconds);
}

TEST(GpsTime, MonthOutsideTheYearIsRefused)
{
    for (int month : {0, 13, 65535}) {
        int32_t week = 5;
        int32_t seconds = 5;
        EXPECT_FALSE(GetGpsTimeFromTime(MakeCalendarTime(2000, month, 1), week, seconds));
        EXPECT_EQ(0, week);
        EXPECT_EQ(0, seconds);
    }
}

struct GpsToCalendar {
    int32_t week;
    double seconds;
    int year, month, day, dayOfWeek, hour, minute, second;
};

TEST(GpsTime, WeekAndSecondsGiveCalendarDates)
{
    const GpsToCalendar cases[] = {
        {0, 0, 1980, 1, 6, 0, 0, 0, 0},
        {0, 86400.0 * 26, 1980, 2, 1, 5, 0, 0, 0},  // a day offset past one week
        {7, 432000, 1980, 2, 29, 5, 0, 0, 0},
        {51, 259200, 1980, 12, 31, 3, 0, 0, 0},
        {51, 345600, 1981, 1, 1, 4, 0, 0, 0},
        {1051, 172800 + 3661.75, 2000, 2, 29, 2, 1, 1, 1},
        {2304, 2 * 86400 + 50829, 2024, 3, 5, 2, 14, 7, 9},
    };
    for (const GpsToCalendar& c : cases) {
        CalendarTime t = {};
        t.wMilliseconds = 123;
        ASSERT_TRUE(GpsTimeToSystemTime(c.seconds, c.week, t)) << c.week << " " << c.seconds;
        EXPECT_EQ(c.year, t.wYear);
        EXPECT_EQ(c.month, t.wMonth);
        EXPECT_EQ(c.day, t.wDay);
        EXPECT_EQ(c.dayOfWeek, t.wDayOfWeek);
        EXPECT_EQ(c.hour, t.wHour);
        EXPECT_EQ(c.minute, t.wMinute);
        EXPECT_EQ(c.second, t.wSecond);
        EXPECT_EQ(123, t.wMilliseconds) << "milliseconds are not set";
    }
}

// Days since 1970-01-01 to the civil date (proleptic Gregorian), written
// independently of the tables under test.
void CivilFromDays(int64_t z, int& y, int& m, int& d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

TEST(GpsTime, EveryDayFrom1980To2043RoundTrips)
{
    const int64_t epochDays = 3657;  // 1980-01-06 after 1970-01-01
    int checked = 0;
    for (int64_t n = 0;; ++n) {
        int y, m, d;
        CivilFromDays(epochDays + n, y, m, d);
        if (y > 2043) break;
        const int32_t week = static_cast<int32_t>(n / 7);
        const double seconds = static_cast<double>((n % 7) * 86400 + 45296);  // 12:34:56
        CalendarTime t = {};
        ASSERT_TRUE(GpsTimeToSystemTime(seconds, week, t)) << y << "-" << m << "-" << d;
        ASSERT_EQ(y, t.wYear);
        ASSERT_EQ(m, t.wMonth);
        ASSERT_EQ(d, t.wDay) << y << "-" << m;
        ASSERT_EQ(n % 7, t.wDayOfWeek);
        ASSERT_EQ(12, t.wHour);
        ASSERT_EQ(34, t.wMinute);
        ASSERT_EQ(56, t.wSecond);
        int32_t backWeek = 0;
        int32_t backSeconds = 0;
        ASSERT_TRUE(GetGpsTimeFromTime(t, backWeek, backSeconds));
        ASSERT_EQ(week, backWeek);
        ASSERT_EQ(seconds, backSeconds);
        ++checked;
    }
    EXPECT_EQ(23371, checked);  // 1980-01-06 .. 2043-12-31
}

TEST(GpsTime, TimesOutsideTheTablesAreNotConverted)
{
    const struct {
        int32_t week;
        double seconds;
    } cases[] = {{3338, 432000}, {0, -1}, {-1, 0}, {100000, 0}, {0, 1e300}};
    for (const auto& c : cases) {
        CalendarTime t = MakeCalendarTime(1999, 9, 9, 9, 9, 9);
        EXPECT_FALSE(GpsTimeToSystemTime(c.seconds, c.week, t)) << c.week << " " << c.seconds;
        EXPECT_EQ(1999, t.wYear);
        EXPECT_EQ(9, t.wDay);
    }
    CalendarTime t = {};
    EXPECT_TRUE(GpsTimeToSystemTime(431999, 3338, t));  // 2043-12-31 23:59:59
    EXPECT_EQ(2043, t.wYear);
    EXPECT_EQ(31, t.wDay);
}

TEST(GpsTime, TimeOfWeekTexts)
{
    const struct {
        double seconds;
        const char* text;
    } cases[] = {
        {0, " Sun 00:00:00.00        0"},
        {-1, "   <No time yet>        -1"},
        {604800, "     <Bad time>     604800"},
        {-5, "     <Bad time>         -5"},
        {-0.5, "     <Bad time>          0"},
        {345600.5, " Thu 00:00:00.50   345600"},
        {59.999999999, " Sun 00:01:00.00       60"},  // just below a whole second
        {604799.99, " Sat 23:59:59.99   604799"},
        {1e300, "     <Bad time>     2147483647"},
    };
    for (const auto& c : cases) EXPECT_STREQ(c.text, FormatGpsTimeOfWeek(c.seconds)) << c.seconds;
}

// The text put together without a format is the format's, for times all
// over the week (hairs below whole seconds and days included), and a buffer
// too small gets it cut as snprintf cuts it.
TEST(GpsTime, TimeOfWeekTextIsTheFormatsText)
{
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::mt19937_64 random(1400);
    std::uniform_real_distribution<double> week(0.0, 604800.0);
    for (int i = 0; i < 20000; ++i) {
        double seconds = week(random);
        if (i % 3 == 0) seconds = std::floor(seconds);
        if (i % 3 == 1) seconds = std::nextafter(std::floor(seconds) + (i % 2 ? 86400.0 : 1.0), 0.0);
        if (seconds >= 604800.0) seconds = 604799.0;
        double t = seconds;
        if (t < 604799.9) t += 1e-8;
        const int day = static_cast<int>(t / 86400.0);
        double rest = t - static_cast<double>(day) * 86400.0;
        const int hours = static_cast<int>(rest / 3600.0);
        rest -= hours * 3600.0;
        const int minutes = static_cast<int>(rest / 60.0);
        rest -= minutes * 60.0;
        char expected[64];
        snprintf(expected, sizeof expected, " %s %02d:%02d:%05.2f   %6d", kDays[day < 7 ? day : 6], hours, minutes,
                 rest, static_cast<int>(t));
        char text[GPS_TIME_OF_WEEK_TEXT_ROOM];
        ASSERT_EQ(FormatGpsTimeOfWeek(text, sizeof text, seconds), static_cast<int>(strlen(expected)));
        ASSERT_STREQ(text, expected) << seconds;
    }
    char cut[8];
    EXPECT_EQ(FormatGpsTimeOfWeek(cut, sizeof cut, 345600.5), 25);
    EXPECT_STREQ(cut, " Thu 00");
}

TEST(GpsTime, CurrentTimeComesFromTheClock)
{
    FixedClock clock;
    clock.Set(MakeCalendarTime(1981, 1, 1, 0, 0, 30), MakeCalendarTime(2024, 3, 5, 14, 7, 9), 0);
    ScopedClock scoped(&clock);

    int32_t week = 0;
    EXPECT_EQ(345630.0, GetCurrentGpsTime(week));
    EXPECT_EQ(51, week);

    EXPECT_STREQ("240305_140709", FormatCurrentTime("%y%m%d_%H%M%S"));
    EXPECT_STREQ("2024-03-05 14:07:09 day 065", FormatCurrentTime("%Y-%m-%d %H:%M:%S day %j"));
    EXPECT_STREQ("", FormatCurrentTime(""));
    EXPECT_STREQ("", FormatCurrentTime(nullptr));
}

} // namespace
