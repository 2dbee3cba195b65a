#pragma once
// Where the protocol engine's timers live. On Windows a hidden window owns them
// and routes WM_TIMER back to the engine; tests record the calls instead, so the
// engine's timer logic never needs a window to be checked.
#include <cstdint>

struct ITimerHost {
    // Starts (or restarts) timer `id` with period `ms`; false when the system refused.
    virtual bool SetTimer(uint32_t id, uint32_t ms) = 0;
    virtual void KillTimer(uint32_t id) = 0;
    virtual ~ITimerHost() {}
};
