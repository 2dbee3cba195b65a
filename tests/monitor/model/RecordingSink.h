#pragma once
// A stand-in for the link owner: records every event the model raises, and
// can run a listener's work from inside the delivery, as a window would.
#include <cstdint>
#include <functional>
#include <mutex>
#include <ostream>
#include <vector>

#include "model/ReceiverEventSink.h"

struct RecordedEvent {
    int32_t event;
    int32_t detail;
    bool send;
    bool operator==(const RecordedEvent& o) const
    {
        return event == o.event && detail == o.detail && send == o.send;
    }
};

inline void PrintTo(const RecordedEvent& e, std::ostream* os)
{
    *os << "{" << e.event << ", " << e.detail << (e.send ? ", sent}" : ", posted}");
}

class RecordingSink : public IReceiverEventSink {
public:
    bool NotifyListeners(int32_t event, int32_t detail, bool send) override
    {
        {
            std::lock_guard<std::mutex> g(m_lock);
            m_events.push_back(RecordedEvent{event, detail, send});
        }
        if (onEvent) onEvent(event, detail);
        return result;
    }
    std::vector<RecordedEvent> Events() const
    {
        std::lock_guard<std::mutex> g(m_lock);
        return m_events;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_events.clear();
    }

    std::function<void(int32_t event, int32_t detail)> onEvent;
    bool result = true;

private:
    mutable std::mutex m_lock;
    std::vector<RecordedEvent> m_events;
};
