// Full-speed replay of a recording on the host, the way the monitor plays it
// back: the link owner opens the file as a replay at speed 1000 and its
// reader thread hands the blocks to the frame handler, the decoders and the
// model. The recording is named by VELMARA_PLAYBACK_FILE (the Wine playback
// run generates one with rxsim and prints this figure next to its own);
// without it the benchmark is skipped. Reported, never asserted.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "link/CController.h"
#include "link/CPlaybackChannel.h"

namespace {

const double kBytesPerMegabyte = 1e6;
const auto kPollInterval = std::chrono::milliseconds(1);

// The markers the monitor's playback dialog starts with.
PlaybackSettings ReplaySettings(const char* file)
{
    PlaybackSettings settings;
    settings.fileName = file;
    settings.speed = CPlaybackChannel::kMaxSpeed;
    settings.qbinMarker = 0x6D;
    settings.kestoClass = 0x31;
    settings.kestoId = 0x01;
    settings.nmeaMarker = "GGA";
    settings.qopMarker = "LN";
    settings.qtxtMarker = "HA";
    return settings;
}

void BM_FullSpeedReplay(benchmark::State& state)
{
    const char* file = std::getenv("VELMARA_PLAYBACK_FILE");
    if (file == nullptr || *file == '\0') {
        state.SkipWithError("VELMARA_PLAYBACK_FILE names no recording");
        return;
    }
    uint64_t bytes = 0;
    double seconds = 0.0;
    for (auto _ : state) {
        CController link;
        int32_t error = 0;
        const auto start = std::chrono::steady_clock::now();
        if (!link.OpenPlayback(ReplaySettings(file), PROTO_QBIN, &error)) {
            state.SkipWithError("the recording cannot be replayed");
            return;
        }
        CPlaybackChannel* replay = dynamic_cast<CPlaybackChannel*>(link.GetChannel());
        const uint32_t length = replay != nullptr ? replay->GetFileLength() : 0;
        while (replay != nullptr && replay->GetReadCount() < length && link.GetProtocol().HasReaderThread())
            std::this_thread::sleep_for(kPollInterval);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        bytes += length;
        link.Disconnect();
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    const double rate = seconds > 0.0 ? static_cast<double>(bytes) / seconds : 0.0;
    state.counters["MB/s"] = rate / kBytesPerMegabyte;
    std::printf("host playback rate: %.0f bytes/s (%s)\n", rate, file);
}
BENCHMARK(BM_FullSpeedReplay)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
