#include "framework/CTime.h"

#include <string.h>
#include <time.h>

#include <atomic>

namespace {

std::atomic<CTime::ClockFn> g_clock{nullptr};

int64_t SystemClock() { return static_cast<int64_t>(::time(nullptr)); }

CString FormatTm(const struct tm& t, const char* pszFormat) {
  if (pszFormat == nullptr || *pszFormat == '\0') return CString();
  // strftime gives 0 both for "too small" and for an empty result; grow a
  // few times, then give up rather than loop on a format that yields "".
  for (size_t size = 128; size <= 65536; size *= 8) {
    CString out;
    char* buf = out.GetBuffer(static_cast<int>(size));
    size_t n = strftime(buf, size, pszFormat, &t);
    out.ReleaseBuffer(static_cast<int>(n));
    if (n > 0) return out;
  }
  return CString();
}

}  // namespace

CString CTimeSpan::Format(const char* pszFormat) const {
  CString out;
  if (pszFormat == nullptr) return out;
  for (const char* p = pszFormat; *p != '\0'; ++p) {
    if (*p != '%' || p[1] == '\0') {
      out += *p;
      continue;
    }
    ++p;
    switch (*p) {
      case 'D': out.AppendFormat("%lld", static_cast<long long>(GetDays())); break;
      case 'H': out.AppendFormat("%02d", GetHours()); break;
      case 'M': out.AppendFormat("%02d", GetMinutes()); break;
      case 'S': out.AppendFormat("%02d", GetSeconds()); break;
      case '%': out += '%'; break;
      default:
        out += '%';
        out += *p;
    }
  }
  return out;
}

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST) {
  struct tm t;
  memset(&t, 0, sizeof t);
  t.tm_year = nYear - 1900;
  t.tm_mon = nMonth - 1;
  t.tm_mday = nDay;
  t.tm_hour = nHour;
  t.tm_min = nMin;
  t.tm_sec = nSec;
  t.tm_isdst = nDST;
  time_t v = mktime(&t);
  m_time = v == static_cast<time_t>(-1) ? 0 : static_cast<int64_t>(v);
}

CTime CTime::GetCurrentTime() {
  ClockFn fn = g_clock.load();
  return CTime(fn != nullptr ? fn() : SystemClock());
}

void CTime::SetClock(ClockFn pfnClock) { g_clock.store(pfnClock); }

bool CTime::ToTm(struct tm* out, bool gmt) const {
  time_t v = static_cast<time_t>(m_time);
  if (static_cast<int64_t>(v) != m_time) return false;  // a 32-bit time_t cannot hold it
#ifdef _WIN32
  struct tm* r = gmt ? gmtime(&v) : localtime(&v);  // per-thread buffer in the C runtime
  if (r == nullptr) return false;
  *out = *r;
  return true;
#else
  return (gmt ? gmtime_r(&v, out) : localtime_r(&v, out)) != nullptr;
#endif
}

#define CTIME_FIELD(name, expr)             \
  int CTime::name() const {                 \
    struct tm t;                            \
    if (!ToTm(&t, false)) {                 \
      memset(&t, 0, sizeof t);              \
      t.tm_mday = 1;                        \
      t.tm_year = 70;                       \
    }                                       \
    return expr;                            \
  }
CTIME_FIELD(GetYear, t.tm_year + 1900)
CTIME_FIELD(GetMonth, t.tm_mon + 1)
CTIME_FIELD(GetDay, t.tm_mday)
CTIME_FIELD(GetHour, t.tm_hour)
CTIME_FIELD(GetMinute, t.tm_min)
CTIME_FIELD(GetSecond, t.tm_sec)
CTIME_FIELD(GetDayOfWeek, t.tm_wday + 1)
#undef CTIME_FIELD

CString CTime::Format(const char* pszFormat) const {
  struct tm t;
  if (!ToTm(&t, false)) return CString();
  return FormatTm(t, pszFormat);
}

CString CTime::FormatGmt(const char* pszFormat) const {
  struct tm t;
  if (!ToTm(&t, true)) return CString();
  return FormatTm(t, pszFormat);
}
