#include "link/StopEvent.h"

// The Windows form (a kernel event) lives in StopEvent_win.cpp.
#ifndef _WIN32

#include <chrono>

CStopEvent::CStopEvent() : m_set(false) {}

CStopEvent::~CStopEvent() {}

void CStopEvent::Set()
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_set = true;
    }
    m_changed.notify_all();
}

void CStopEvent::Reset()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_set = false;
}

bool CStopEvent::IsSet() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_set;
}

bool CStopEvent::Wait(uint32_t ms) const
{
    std::unique_lock<std::mutex> hold(m_lock);
    if (ms == STOP_WAIT_FOREVER) {
        m_changed.wait(hold, [this] { return m_set; });
        return true;
    }
    return m_changed.wait_for(hold, std::chrono::milliseconds(ms), [this] { return m_set; });
}

#endif
