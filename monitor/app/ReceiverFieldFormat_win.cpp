// The system's side of the clock-setter seam.
#include "app/ReceiverFieldFormat.h"

#include <windows.h>

namespace {

class SystemClockSetter : public IClockSetter {
public:
    bool SetSystemClock(const CalendarTime& utc) override
    {
        SYSTEMTIME st = {};
        st.wYear = utc.wYear;
        st.wMonth = utc.wMonth;
        st.wDayOfWeek = utc.wDayOfWeek;
        st.wDay = utc.wDay;
        st.wHour = utc.wHour;
        st.wMinute = utc.wMinute;
        st.wSecond = utc.wSecond;
        st.wMilliseconds = utc.wMilliseconds;
        return ::SetSystemTime(&st) != FALSE;
    }
};

} // namespace

IClockSetter& GetSystemClockSetter()
{
    static SystemClockSetter setter;
    return setter;
}
