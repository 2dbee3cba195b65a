// A batch command file from an untrusted source: the bytes are the whole
// file (and, at the end, a received diagnostic frame). The runner is driven tick by tick to its end with recording seams;
// it must neither crash nor run without end, and every line it hands to the
// sender must be one it read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "app/BatchQuery.h"
#include "app/DiagPacket.h"
#include "app/InputValidation.h"

namespace {

struct NullTimers : ITimerHost {
    bool SetTimer(uint32_t, uint32_t ms) override
    {
        // A period is never 0 (the delay is above 0) and never beyond what
        // a Win32 timer accepts.
        if (ms == 0 || ms > 0x7FFFFFFFu) std::abort();
        return true;
    }
    void KillTimer(uint32_t) override {}
};

struct CountingSender : IBatchCommandSender {
    bool SendBatchCommand(const char* text) override
    {
        if (IsCommentLine(text) || IsBatchWaitLine(text)) std::abort();
        ++sent;
        return true;
    }
    size_t sent = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    NullTimers timers;
    CountingSender sender;
    CBatchQuery batch(&timers, &sender);
    std::unique_ptr<IBatchLineSource> source(new CBatchTextSource(reinterpret_cast<const char*>(data), size));
    if (batch.Start(std::move(source), nullptr) != BATCH_STARTED) {
        if (batch.IsRunning()) std::abort();
        return 0;
    }
    // Every tick consumes at least one line, so the run ends within one tick
    // per byte plus the final one.
    size_t ticks = 0;
    while (batch.OnTimer(batch.GetTimerId()) == BATCH_TICK_RUNNING) {
        if (++ticks > size + 1) std::abort();
    }
    if (batch.IsRunning() || sender.sent > size) std::abort();

    // The line helpers on the raw text as a single line as well.
    std::string line(reinterpret_cast<const char*>(data), size);
    ProtocolKind protocol;
    uint32_t delay;
    if (ParseBatchSettingsLine(line.c_str(), protocol, delay) && (delay == 0 || protocol == PROTO_NONE))
        std::abort();
    (void)GetBatchWaitTime(line.c_str());

    // The same bytes as a diagnostic frame: whatever it reports must lie
    // inside the frame.
    const DiagPacket packet = ParseDiagPacket(data, static_cast<int>(size));
    if (packet.length < 0 && packet.action != DIAG_IGNORE) std::abort();
    if (packet.data != nullptr &&
        (packet.data < data || packet.data + packet.length > data + size || packet.length <= 0))
        std::abort();
    return 0;
}
