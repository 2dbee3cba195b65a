#pragma once
// The one way a receiver data model reaches the windows that listen to its link.
// The model only knows this interface, so it can be tested with a recorder and
// never needs a window of its own to deliver events.
#include <cstdint>

struct IReceiverEventSink {
    virtual ~IReceiverEventSink() {}
    // Delivers event `event` with its 16-bit `detail` to every listener; `send`
    // waits until each listener has handled it (see IsSentEvent). Returns false
    // when any delivery failed.
    virtual bool NotifyListeners(int32_t event, int32_t detail, bool send) = 0;
};
