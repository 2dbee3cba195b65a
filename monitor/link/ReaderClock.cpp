#include "link/ReaderClock.h"

#include "link/StopEvent.h"

#include <chrono>
#include <thread>

namespace {

class CSystemReaderClock : public IReaderClock {
public:
    bool PauseUnlessStopped(const CStopEvent& stop, uint32_t ms) override
    {
        if (ms == 0) return stop.IsSet();
        return stop.Wait(ms);
    }
    void Sleep(uint32_t ms) override
    {
        if (ms) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
};

} // namespace

IReaderClock& GetSystemReaderClock()
{
    static CSystemReaderClock clock;
    return clock;
}
