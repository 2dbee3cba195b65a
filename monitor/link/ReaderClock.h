#pragma once
// The engine's pauses, behind a seam so that tests see every pause it asks for
// without waiting for it, and can check that a stop request cuts a pause short.
#include <cstdint>

class CStopEvent;

struct IReaderClock {
    virtual ~IReaderClock() {}
    // Pauses `ms` unless `stop` is signalled first (reader thread: pacing, the
    // pause after a failed read, the end-of-file pause). True when the stop
    // event ended the pause.
    virtual bool PauseUnlessStopped(const CStopEvent& stop, uint32_t ms) = 0;
    // A plain pause of the calling thread: the gap between two commands that
    // the receiver needs to take them apart.
    virtual void Sleep(uint32_t ms) = 0;
};

// The real clock: waits on the stop event, and sleeps the thread.
IReaderClock& GetSystemReaderClock();
