#pragma once
// A one-way "stop now" signal that a reader thread can wait on.
//
// Every wait of the reader (a pending serial read, a pacing pause, the pause
// after a failed read or at the end of a file) must end as soon as the engine is
// asked to stop; otherwise the thread that waits for the reader to end is held
// up by a sleep. On Windows the signal is a manual-reset event, so that the
// serial channel can wait on its read event and this one together.
#include <cstdint>

#ifndef _WIN32
#include <condition_variable>
#include <mutex>
#endif

enum : uint32_t { STOP_WAIT_FOREVER = 0xFFFFFFFFu };

class CStopEvent {
public:
    CStopEvent();
    ~CStopEvent();
    CStopEvent(const CStopEvent&) = delete;
    CStopEvent& operator=(const CStopEvent&) = delete;

    // Signals the event: current and later waits return at once until Reset.
    void Set();
    void Reset();
    bool IsSet() const;

    // Waits up to `ms` (STOP_WAIT_FOREVER: no limit). True when the event is
    // signalled, false when the time ran out first.
    bool Wait(uint32_t ms) const;

#ifdef _WIN32
    // The manual-reset event handle (a HANDLE), valid for the object's lifetime.
    void* GetHandle() const { return m_event; }
#endif

private:
#ifdef _WIN32
    void* m_event;
#else
    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    bool m_set;
#endif
};
