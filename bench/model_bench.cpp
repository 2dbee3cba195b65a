// The model's per-frame path: every received frame is stored and sent to the
// listeners as a raw frame, and every announced QBIN packet is CRC-checked.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "link/CController.h"
#include "model/CModel.h"
#include "model/Crc.h"

namespace {

// Listeners that take every message at once, so only the link's own work is measured.
class NullWindows : public IListenerWindows {
public:
    bool CreateAnchor() override { return true; }
    void DestroyAnchor() override {}
    bool Post(HWND, uint32_t, WPARAM, LPARAM) override { return true; }
    LRESULT Send(HWND, uint32_t, WPARAM, LPARAM) override { return 1; }
};

std::vector<uint8_t> Packet(size_t length)
{
    std::vector<uint8_t> p(length);
    for (size_t i = 0; i < length; ++i) p[i] = static_cast<uint8_t>(i * 7 + 1);
    return p;
}

void BM_RawFrameToThreeListeners(benchmark::State& state)
{
    NullWindows windows;
    CController controller;
    controller.SetListenerWindows(&windows);
    for (uintptr_t w = 1; w <= 3; ++w)
        controller.AddListener(reinterpret_cast<HWND>(w), WM_RECEIVER_EVENT);
    CModel& model = controller.GetModel();
    model.Attach(&controller, &controller.GetProtocol());
    std::vector<uint8_t> frame = Packet(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        model.SetLastRawFrame(PROTO_QBIN, frame.data(), static_cast<int>(frame.size()));
        model.Notify(EV_FRAME_RECEIVED, PROTO_QBIN, false);
    }
    model.Detach();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_RawFrameToThreeListeners)->Arg(16)->Arg(512);

void BM_CheckPacketCrcAnnounced(benchmark::State& state)
{
    CModel model;
    std::vector<uint8_t> packet = Packet(513);  // id + 512 data bytes
    const uint16_t crc = static_cast<uint16_t>(ComputeCrc32(packet.data() + 1, 512) & 0xFFFF);
    for (auto _ : state) {
        model.SetExpectedCrc(512, crc);
        benchmark::DoNotOptimize(model.CheckPacketCrc(packet.data(), 513));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 512);
}
BENCHMARK(BM_CheckPacketCrcAnnounced);

void BM_ComputeCrc32Of512Bytes(benchmark::State& state)
{
    std::vector<uint8_t> data = Packet(512);
    for (auto _ : state) benchmark::DoNotOptimize(ComputeCrc32(data.data(), 512));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 512);
}
BENCHMARK(BM_ComputeCrc32Of512Bytes);

void BM_NavStateRoundTrip(benchmark::State& state)
{
    CModel model;
    NavState s = {};
    s.timeOfFix = 1;
    for (auto _ : state) {
        model.UpdateNavState(s, NAV_KIND_LLA, nullptr);
        model.GetNavState(s);
    }
}
BENCHMARK(BM_NavStateRoundTrip);

} // namespace
