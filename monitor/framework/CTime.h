// CTime and CTimeSpan: seconds since 1970 (64-bit, so dates past 2038 work
// in the 32-bit build) with local-time fields and strftime-style Format.
//
// The current time comes through a process-wide clock seam so that tests can
// fix "now" (SetClock); everything else is plain arithmetic. Local time is
// the process's time zone, in both builds.
#pragma once

#include <stdint.h>

#include "framework/CString.h"

class CTimeSpan {
public:
  CTimeSpan() : m_span(0) {}
  explicit CTimeSpan(int64_t seconds) : m_span(seconds) {}
  CTimeSpan(LONG days, int hours, int minutes, int seconds)
      : m_span(((static_cast<int64_t>(days) * 24 + hours) * 60 + minutes) * 60 + seconds) {}

  int64_t GetDays() const { return m_span / 86400; }
  int64_t GetTotalHours() const { return m_span / 3600; }
  int GetHours() const { return static_cast<int>(GetTotalHours() - GetDays() * 24); }
  int64_t GetTotalMinutes() const { return m_span / 60; }
  int GetMinutes() const { return static_cast<int>(GetTotalMinutes() - GetTotalHours() * 60); }
  int64_t GetTotalSeconds() const { return m_span; }
  int GetSeconds() const { return static_cast<int>(m_span - GetTotalMinutes() * 60); }
  int64_t GetTimeSpan() const { return m_span; }

  // %D days, %H hours (00-23), %M minutes, %S seconds, %% a percent sign;
  // any other character is copied.
  CString Format(const char* pszFormat) const;

  CTimeSpan operator+(CTimeSpan o) const { return CTimeSpan(m_span + o.m_span); }
  CTimeSpan operator-(CTimeSpan o) const { return CTimeSpan(m_span - o.m_span); }
  CTimeSpan& operator+=(CTimeSpan o) { m_span += o.m_span; return *this; }
  CTimeSpan& operator-=(CTimeSpan o) { m_span -= o.m_span; return *this; }
  bool operator==(CTimeSpan o) const { return m_span == o.m_span; }
  bool operator!=(CTimeSpan o) const { return m_span != o.m_span; }
  bool operator<(CTimeSpan o) const { return m_span < o.m_span; }
  bool operator>(CTimeSpan o) const { return m_span > o.m_span; }
  bool operator<=(CTimeSpan o) const { return m_span <= o.m_span; }
  bool operator>=(CTimeSpan o) const { return m_span >= o.m_span; }

private:
  int64_t m_span;
};

class CTime {
public:
  typedef int64_t (*ClockFn)();

  CTime() : m_time(0) {}
  explicit CTime(int64_t t) : m_time(t) {}
  // A local date and time; nDST < 0 lets the library decide daylight saving.
  // Out-of-range fields are normalised (second 60 is the next minute).
  CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);

  // "Now" from the clock seam (the system clock unless a test set one).
  static CTime GetCurrentTime();
  // Replaces the clock; nullptr restores the system clock.
  static void SetClock(ClockFn pfnClock);

  int64_t GetTime() const { return m_time; }
  int GetYear() const;
  int GetMonth() const;      // 1-12
  int GetDay() const;        // 1-31
  int GetHour() const;
  int GetMinute() const;
  int GetSecond() const;
  int GetDayOfWeek() const;  // 1 = Sunday

  // strftime formatting of the local time ("%m/%d/%y %I:%M:%S%p",
  // "%B %d, %Y"); names come from the C locale, so they are English.
  CString Format(const char* pszFormat) const;
  CString FormatGmt(const char* pszFormat) const;

  CTimeSpan operator-(CTime o) const { return CTimeSpan(m_time - o.m_time); }
  CTime operator+(CTimeSpan s) const { return CTime(m_time + s.GetTimeSpan()); }
  CTime operator-(CTimeSpan s) const { return CTime(m_time - s.GetTimeSpan()); }
  CTime& operator+=(CTimeSpan s) { m_time += s.GetTimeSpan(); return *this; }
  CTime& operator-=(CTimeSpan s) { m_time -= s.GetTimeSpan(); return *this; }
  bool operator==(CTime o) const { return m_time == o.m_time; }
  bool operator!=(CTime o) const { return m_time != o.m_time; }
  bool operator<(CTime o) const { return m_time < o.m_time; }
  bool operator>(CTime o) const { return m_time > o.m_time; }
  bool operator<=(CTime o) const { return m_time <= o.m_time; }
  bool operator>=(CTime o) const { return m_time >= o.m_time; }

private:
  bool ToTm(struct tm* out, bool gmt) const;
  int64_t m_time;
};
