#include "link/StopEvent.h"

#include "framework/WinTypes.h"

CStopEvent::CStopEvent()
    // Manual reset: one Set must wake every wait that follows, not just the next.
    : m_event(::CreateEventA(NULL, TRUE, FALSE, NULL))
{
}

CStopEvent::~CStopEvent()
{
    if (m_event) ::CloseHandle(m_event);
}

void CStopEvent::Set()
{
    if (m_event) ::SetEvent(m_event);
}

void CStopEvent::Reset()
{
    if (m_event) ::ResetEvent(m_event);
}

bool CStopEvent::IsSet() const
{
    return m_event && ::WaitForSingleObject(m_event, 0) == WAIT_OBJECT_0;
}

bool CStopEvent::Wait(uint32_t ms) const
{
    if (!m_event) {
        // Without an event nothing can wake us: keep a finite pause, never hang.
        if (ms != STOP_WAIT_FOREVER) ::Sleep(ms);
        return false;
    }
    DWORD r = ::WaitForSingleObject(m_event, ms == STOP_WAIT_FOREVER ? INFINITE : (DWORD)ms);
    return r == WAIT_OBJECT_0;
}
