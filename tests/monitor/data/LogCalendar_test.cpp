#include "data/LogCalendar.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace {

// Central European time with its summer rule, spelt out so the test needs no
// zone database: UTC+1 in winter, UTC+2 from the last Sunday of March to the
// last Sunday of October.
const char* const kZoneWithDst = "CET-1CEST,M3.5.0,M10.5.0/3";

class LocalZone {
public:
    explicit LocalZone(const char* zone)
    {
        const char* old = getenv("TZ");
        m_hadZone = old != nullptr;
        if (m_hadZone)
            m_oldZone = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~LocalZone()
    {
        if (m_hadZone)
            setenv("TZ", m_oldZone.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    bool m_hadZone = false;
    std::string m_oldZone;
};

const int64_t kNow = 1721030400;  // 2024-07-15 08:00:00 UTC

TEST(LogCalendar, ChecksInOrderWithTheirMessages)
{
    struct Case {
        int32_t use;
        int64_t start;
        int64_t end;
        const char* expected;
    } cases[] = {
        {1, kNow + 200, kNow + 100, kLogCalendarStartAfterEnd},
        // Both wrong: the order of the checks decides which is told.
        {1, kNow - 100, kNow - 200, kLogCalendarStartAfterEnd},
        {1, kNow - 200, kNow - 100, kLogCalendarEndInPast},
        {1, kNow - 100, kNow - 100, kLogCalendarEndInPast},
        {1, kNow + 100, kNow + 100, kLogCalendarNoInterval},
        {1, kNow, kNow, kLogCalendarNoInterval},
        // A start in the past with an end still to come is a running interval.
        {1, kNow - 3600, kNow + 3600, nullptr},
        {1, kNow - 3600, kNow, nullptr},  // an end of now is not in the past
        {1, kNow + 1, kNow + 2, nullptr},
        // Not in use: anything goes back to the caller.
        {0, kNow + 200, kNow + 100, nullptr},
        {0, kNow - 200, kNow - 100, nullptr},
        {0, 0, 0, nullptr},
    };
    for (const Case& c : cases) {
        LogCalendarValues values;
        values.use = c.use;
        values.start = c.start;
        values.end = c.end;
        const char* message = CheckLogCalendar(values, kNow);
        if (c.expected == nullptr)
            EXPECT_EQ(nullptr, message) << c.use << " " << c.start - kNow << " " << c.end - kNow;
        else
            EXPECT_STREQ(c.expected, message) << c.use << " " << c.start - kNow << " " << c.end - kNow;
    }
    EXPECT_STREQ("Start time cannot be later than the end time!", kLogCalendarStartAfterEnd);
    EXPECT_STREQ("End time cannot be in the past!", kLogCalendarEndInPast);
    EXPECT_STREQ("Start and end times must be different!", kLogCalendarNoInterval);
}

TEST(LogCalendar, ComposesDateOfOnePickerWithTimeOfTheOther)
{
    LocalZone zone(kZoneWithDst);
    struct Case {
        CalendarTime date;
        CalendarTime time;
        int64_t expected;
    } cases[] = {
        // A summer day with a time picker still on a winter date: 10:00 summer time.
        {MakeCalendarTime(2024, 7, 15, 23, 59, 59), MakeCalendarTime(2024, 1, 10, 10, 0, 0), 1721030400},
        // And the other way round: 10:00 winter time.
        {MakeCalendarTime(2024, 1, 10), MakeCalendarTime(2024, 7, 15, 10, 0, 0), 1704877200},
        {MakeCalendarTime(1970, 1, 1), MakeCalendarTime(2000, 6, 1, 1, 0, 0), 0},
        {MakeCalendarTime(2024, 7, 15), MakeCalendarTime(2024, 7, 15, 23, 59, 59), 1721080799},
    };
    for (const Case& c : cases) {
        const int64_t t = ComposeLocalTime(c.date, c.time);
        EXPECT_EQ(c.expected, t) << c.date.wYear << "-" << c.date.wMonth << "-" << c.date.wDay;
        const CalendarTime back = LocalCalendarTime(t);
        EXPECT_EQ(c.date.wYear, back.wYear);
        EXPECT_EQ(c.date.wMonth, back.wMonth);
        EXPECT_EQ(c.date.wDay, back.wDay);
        EXPECT_EQ(c.time.wHour, back.wHour);
        EXPECT_EQ(c.time.wMinute, back.wMinute);
        EXPECT_EQ(c.time.wSecond, back.wSecond);
    }
}

TEST(LogCalendar, LocalCalendarTimeOfWhatAPickerCannotShow)
{
    LocalZone zone(kZoneWithDst);
    const CalendarTime summer = LocalCalendarTime(kNow);
    EXPECT_EQ(2024, summer.wYear);
    EXPECT_EQ(10, summer.wHour);
    EXPECT_EQ(1, summer.wDayOfWeek);  // a Monday
    // Year 10000 and beyond: all zeros, never a wrapped year.
    const CalendarTime far = LocalCalendarTime(253402300800LL + 86400);
    EXPECT_EQ(0, far.wYear);
    EXPECT_EQ(0, far.wMonth);
    EXPECT_EQ(0, LocalCalendarTime(INT64_MAX).wYear);
}

TEST(LogCalendar, GateOpensWithinTheIntervalBoundsIncluded)
{
    const int64_t start = kNow;
    const int64_t end = kNow + 600;
    LogCalendarValues values;
    values.use = 1;
    values.start = start;
    values.end = end;
    struct Case {
        int64_t now;
        bool open;
    } cases[] = {
        {start - 3600, false}, {start - 1, false}, {start, true},  {start + 1, true},
        {end - 1, true},       {end, true},        {end + 1, false}, {end + 3600, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.open, IsCalendarOpen(values, c.now)) << c.now - start;

    LogCalendarValues off = values;
    off.use = 0;
    for (const Case& c : cases)
        EXPECT_TRUE(IsCalendarOpen(off, c.now)) << c.now - start;
}

TEST(LogCalendar, EndIsReportedOnceAndSwitchesTheCalendarOff)
{
    LogCalendarValues values;
    values.use = 1;
    values.start = kNow;
    values.end = kNow + 600;

    EXPECT_FALSE(HasCalendarEnded(values, kNow - 1));
    EXPECT_FALSE(HasCalendarEnded(values, kNow + 600));  // the last open second
    EXPECT_EQ(1, values.use);

    EXPECT_TRUE(HasCalendarEnded(values, kNow + 601));
    EXPECT_EQ(0, values.use);
    EXPECT_EQ(kNow, values.start);
    EXPECT_EQ(kNow + 600, values.end);
    // Switched off: no second report, and logging is no longer held back.
    EXPECT_FALSE(HasCalendarEnded(values, kNow + 602));
    EXPECT_TRUE(IsCalendarOpen(values, kNow + 602));

    LogCalendarValues never;
    EXPECT_FALSE(HasCalendarEnded(never, kNow));
}

} // namespace
