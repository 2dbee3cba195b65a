#include "model/Clock.h"

#include <atomic>
#include <ctime>

#ifdef _WIN32
#include "framework/WinTypes.h"
#else
#include <sys/time.h>
#endif

namespace {

#ifdef _WIN32
CalendarTime FromSystemTime(const SYSTEMTIME& st)
{
    CalendarTime t;
    t.wYear = st.wYear;
    t.wMonth = st.wMonth;
    t.wDayOfWeek = st.wDayOfWeek;
    t.wDay = st.wDay;
    t.wHour = st.wHour;
    t.wMinute = st.wMinute;
    t.wSecond = st.wSecond;
    t.wMilliseconds = st.wMilliseconds;
    return t;
}
#else
CalendarTime FromTm(const struct tm& tm, long microseconds)
{
    CalendarTime t;
    t.wYear = static_cast<uint16_t>(tm.tm_year + 1900);
    t.wMonth = static_cast<uint16_t>(tm.tm_mon + 1);
    t.wDayOfWeek = static_cast<uint16_t>(tm.tm_wday);
    t.wDay = static_cast<uint16_t>(tm.tm_mday);
    t.wHour = static_cast<uint16_t>(tm.tm_hour);
    t.wMinute = static_cast<uint16_t>(tm.tm_min);
    t.wSecond = static_cast<uint16_t>(tm.tm_sec > 59 ? 59 : tm.tm_sec);
    t.wMilliseconds = static_cast<uint16_t>(microseconds / 1000);
    return t;
}
#endif

// The machine's clock, in UTC or in local time.
CalendarTime SystemNow(bool utc)
{
#ifdef _WIN32
    SYSTEMTIME st;
    if (utc)
        ::GetSystemTime(&st);
    else
        ::GetLocalTime(&st);
    return FromSystemTime(st);
#else
    struct timeval tv;
    gettimeofday(&tv, nullptr);
    time_t secs = tv.tv_sec;
    struct tm tm;
    if (utc)
        gmtime_r(&secs, &tm);
    else
        localtime_r(&secs, &tm);
    return FromTm(tm, tv.tv_usec);
#endif
}

class SystemClock : public IClock {
public:
    CalendarTime NowUtc() override { return SystemNow(true); }
    CalendarTime NowLocal() override { return SystemNow(false); }
    int64_t NowSeconds() override { return static_cast<int64_t>(time(nullptr)); }
};

SystemClock g_systemClock;
std::atomic<IClock*> g_clock(nullptr);

} // namespace

IClock& GetClock()
{
    IClock* clock = g_clock.load();
    return clock ? *clock : g_systemClock;
}

IClock* SetClock(IClock* clock)
{
    return g_clock.exchange(clock);
}
