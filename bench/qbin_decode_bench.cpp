// Throughput of QBIN decoding: a generated receiver log of more than 1 MB,
// one second of the usual reports after another, through the recogniser,
// the frame handler, the report decoder and the model. Reported as bytes
// per second, never asserted.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "framework/CArray.h"
#include "link/FrameHandler.h"
#include "link/LinkStatistics.h"
#include "model/CModel.h"
#include "protocol/QbinComposer.h"

namespace {

struct NullListener : IReceiverEventSink {
    bool NotifyListeners(int32_t, int32_t, bool) override { return true; }
};

void Put(std::vector<uint8_t>& out, const CByteArray& packet)
{
    out.insert(out.end(), packet.GetData(), packet.GetData() + packet.GetSize());
}

// One second of output: time, position, health, satellite selection, the
// tracking status of each of 12 channels and the signal levels. Values move
// every second so the model really changes; some fields hold 0x10 bytes, so
// stuffed DLEs are part of the load.
void AppendSecond(std::vector<uint8_t>& out, uint32_t second)
{
    CByteArray p;
    BeginQbinPacket(p, 0x41);
    AppendQbinU32(p, static_cast<float>(second % 604800));
    AppendQbinU16(p, 2200);
    AppendQbinU32(p, 18.0f);
    EndQbinPacket(p);
    Put(out, p);

    BeginQbinPacket(p, 0x84);
    AppendQbinDouble(p, 0.8 + second * 1e-9);
    AppendQbinDouble(p, -0.2);
    AppendQbinDouble(p, 100.0 + (second % 16));
    AppendQbinDouble(p, 12345.5);
    AppendQbinU32(p, static_cast<float>(second % 604800));
    EndQbinPacket(p);
    Put(out, p);

    BeginQbinPacket(p, 0x46);
    AppendQbinByte(p, 0x00);
    AppendQbinByte(p, static_cast<BYTE>(second & 0x10));
    EndQbinPacket(p);
    Put(out, p);

    BeginQbinPacket(p, 0x6D);
    AppendQbinByte(p, 0x84);
    for (int i = 0; i < 4; ++i) AppendQbinU32(p, 1.5f + i);
    for (int i = 0; i < 8; ++i) AppendQbinByte(p, static_cast<BYTE>(i * 3 + 1));
    EndQbinPacket(p);
    Put(out, p);

    for (int channel = 0; channel < 12; ++channel) {
        BeginQbinPacket(p, 0x5C);
        AppendQbinByte(p, static_cast<BYTE>(channel + 1 + (second & 0x10)));
        AppendQbinByte(p, static_cast<BYTE>(channel << 3));
        AppendQbinByte(p, 1);
        AppendQbinByte(p, 0x40);
        AppendQbinU32(p, 40.0f + channel);
        AppendQbinU32(p, static_cast<float>(second));
        AppendQbinU32(p, 0.5f);
        AppendQbinU32(p, 1.25f);
        for (int i = 0; i < 4; ++i) AppendQbinByte(p, 0);
        EndQbinPacket(p);
        Put(out, p);
    }

    BeginQbinPacket(p, 0x47);
    AppendQbinByte(p, 8);
    for (int i = 0; i < 8; ++i) {
        AppendQbinByte(p, static_cast<BYTE>(i + 1));
        AppendQbinU32(p, 35.0f + i);
    }
    EndQbinPacket(p);
    Put(out, p);
}

const std::vector<uint8_t>& Log()
{
    static std::vector<uint8_t> log;
    if (log.empty()) {
        for (uint32_t second = 0; log.size() < (1u << 20) + 1; ++second) AppendSecond(log, second);
    }
    return log;
}

void BM_QbinDecodeLog(benchmark::State& state)
{
    const std::vector<uint8_t>& log = Log();
    NullListener listener;
    CModel model;
    model.Attach(&listener, nullptr);
    LinkStatistics stats;
    CFrameLinkState link;
    link.protocol = PROTO_QBIN;
    FrameContext context;
    context.model = &model;
    context.statistics = &stats;
    context.link = &link;
    CFrameHandler handler(context, GetDefaultFrameDispatch());
    for (auto _ : state) {
        for (uint8_t b : log) handler.OnByte(b);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(log.size()));
    state.counters["log_bytes"] = static_cast<double>(log.size());
    state.counters["good_frames"] = static_cast<double>(stats.Get(LINK_GOOD));
    model.Detach();
}
BENCHMARK(BM_QbinDecodeLog)->Unit(benchmark::kMillisecond);

}  // namespace
