#pragma once
// The one place the helpers read the PC clock. Tests install a fixed clock so
// that texts and file names that carry the time are exact, and so that
// nothing depends on when or where a test runs.
#include <cstdint>

#include "model/CalendarTime.h"

struct IClock {
    virtual ~IClock() {}
    virtual CalendarTime NowUtc() = 0;    // as GetSystemTime
    virtual CalendarTime NowLocal() = 0;  // as GetLocalTime
    virtual int64_t NowSeconds() = 0;     // seconds since 1970-01-01 UTC, as time()
};

// The clock in use: the installed one, else the system clock.
IClock& GetClock();
// Installs a clock (nullptr puts the system clock back); returns the previous
// one (nullptr when it was the system clock). Meant for start-up and tests.
IClock* SetClock(IClock* clock);

// A clock that shows what it was told: the test double for every user of the seam.
class FixedClock : public IClock {
public:
    FixedClock() : m_utc(), m_local(), m_seconds(0) {}
    void Set(const CalendarTime& utc, const CalendarTime& local, int64_t seconds)
    {
        m_utc = utc;
        m_local = local;
        m_seconds = seconds;
    }
    CalendarTime NowUtc() override { return m_utc; }
    CalendarTime NowLocal() override { return m_local; }
    int64_t NowSeconds() override { return m_seconds; }

private:
    CalendarTime m_utc;
    CalendarTime m_local;
    int64_t m_seconds;
};

// Installs a clock for one scope and restores the previous one after it.
class ScopedClock {
public:
    explicit ScopedClock(IClock* clock) : m_previous(SetClock(clock)) {}
    ~ScopedClock() { SetClock(m_previous); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    IClock* m_previous;
};
