// Lines per second of the raw data monitor's formatter, in the full (hex or
// text) and the identifiers-only form, alone and with the window's queue
// behind it, over the frames of the real receiver logs (cut by the frame
// recogniser) and over generated frames of every listed kind. Reported,
// never asserted.
//
// Each figure comes with a plain memcpy of the same frames, one copy per
// frame into a reused buffer, measured in the same run ("memcpy_lines_per_s",
// "memcpy_MBps") and the ratio of the two ("vs_memcpy"), so figures from
// different machines compare.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "app/RawLine.h"
#include "link/FrameRecogniser.h"

namespace {

using bench::Bytes;
typedef std::chrono::steady_clock Clock;

// Frames one after the other in one buffer, with their kinds and offsets, so
// walking them costs nothing the formatter would not pay in the window.
struct FrameSet {
    Bytes bytes;
    std::vector<ProtocolKind> kinds;
    std::vector<size_t> starts;  // one more than frames: the last is the end

    void Add(ProtocolKind kind, const uint8_t* frame, size_t length)
    {
        if (starts.empty()) starts.push_back(0);
        bytes.insert(bytes.end(), frame, frame + length);
        kinds.push_back(kind);
        starts.push_back(bytes.size());
    }
    size_t Count() const { return kinds.size(); }
    const uint8_t* Frame(size_t i) const { return bytes.data() + starts[i]; }
    int Length(size_t i) const { return static_cast<int>(starts[i + 1] - starts[i]); }
};

struct CollectingSink : IFrameSink {
    explicit CollectingSink(FrameSet& set) : frames(set) {}
    void OnFrame(ProtocolKind kind, const BYTE* frame, int length) override
    {
        if (length > 0) frames.Add(kind, frame, static_cast<size_t>(length));
    }
    void OnBrokenQbinPacket(BYTE, BYTE, int) override {}
    void OnBangDigit(BYTE) override {}
    FrameSet& frames;
};

const FrameSet& CorpusFrames()
{
    static const FrameSet set = [] {
        FrameSet frames;
        CollectingSink sink(frames);
        CFrameRecogniser recogniser(&sink);
        for (const std::string& file : bench::CorpusLogFiles()) {
            const Bytes log = bench::ReadWholeFile(file);
            recogniser.Feed(log.data(), log.size());
        }
        return frames;
    }();
    return set;
}

// About 20,000 frames of the six listed kinds, of typical lengths.
const FrameSet& GeneratedFrames()
{
    static const FrameSet set = [] {
        FrameSet frames;
        std::mt19937 rng(20261211);
        const char* nmea[] = {"$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n",
                              "$GPGPQ,GGA*3C\r\n", "$PZULSRT,F*2C\r\n", "$GNGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r\n"};
        for (int i = 0; i < 20000; ++i) {
            Bytes f;
            ProtocolKind kind = PROTO_QBIN;
            switch (i % 6) {
            case 0: {
                kind = PROTO_NMEA;
                const char* s = nmea[rng() % 4];
                f.assign(s, s + std::strlen(s));
                break;
            }
            case 1: {
                const int data = 4 + static_cast<int>(rng() % 60);
                f = {0x10, static_cast<uint8_t>(rng() % 2 ? 0x8F : 0x41)};
                for (int k = 0; k < data; ++k) f.push_back(static_cast<uint8_t>(rng()));
                f.push_back(0x10);
                f.push_back(0x03);
                break;
            }
            case 2: {
                kind = PROTO_QTXT;
                const char* s = ">RTM1234567890123456789;*4F<";
                f.assign(s, s + std::strlen(s));
                break;
            }
            case 3:
                kind = PROTO_QOP;
                f = {'@', '@', 'H', 'a'};
                for (int k = 0; k < 150; ++k) f.push_back(static_cast<uint8_t>(rng()));
                f.push_back(0x0D);
                f.push_back(0x0A);
                break;
            case 4:
                kind = PROTO_KESTO;
                f = {0x81, 0x30, 0x02};
                for (int k = 0; k < 20; ++k) f.push_back(static_cast<uint8_t>(rng() & 0x7F));
                f.push_back(0x82);
                break;
            default:
                kind = PROTO_MON;
                f = {0x02, 0x00, 0x96, 6, 1, 2, 3, 4, 5, 6, 0x15, 0x03};
                break;
            }
            frames.Add(kind, f.data(), f.size());
        }
        return frames;
    }();
    return set;
}

// Frames per second of a plain copy of each frame, best of a few rounds.
double MemcpyFramesPerSecond(const FrameSet& set)
{
    static Bytes target;
    size_t longest = 0;
    for (size_t i = 0; i < set.Count(); ++i) longest = std::max(longest, static_cast<size_t>(set.Length(i)));
    target.resize(std::max(target.size(), longest));
    double best = 0;
    for (int round = 0; round < 5; ++round) {
        const int passes = 20;
        const Clock::time_point start = Clock::now();
        for (int p = 0; p < passes; ++p) {
            for (size_t i = 0; i < set.Count(); ++i) {
                std::memcpy(target.data(), set.Frame(i), static_cast<size_t>(set.Length(i)));
                benchmark::ClobberMemory();
            }
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        best = std::max(best, static_cast<double>(set.Count()) * passes / seconds);
    }
    return best;
}

void Report(benchmark::State& state, const FrameSet& set, Clock::duration elapsed)
{
    const double lines = static_cast<double>(state.iterations()) * static_cast<double>(set.Count());
    const double ours = lines / std::chrono::duration<double>(elapsed).count();
    const double copy = MemcpyFramesPerSecond(set);
    const double bytesPerFrame = static_cast<double>(set.bytes.size()) / static_cast<double>(set.Count());
    state.SetBytesProcessed(static_cast<int64_t>(static_cast<double>(state.iterations()) *
                                                 static_cast<double>(set.bytes.size())));
    state.counters["lines_per_s"] = ours;
    state.counters["memcpy_lines_per_s"] = copy;
    state.counters["memcpy_MBps"] = copy * bytesPerFrame / 1e6;
    state.counters["vs_memcpy"] = ours / copy;
    state.counters["frames"] = static_cast<double>(set.Count());
}

void Format(benchmark::State& state, const FrameSet& set, bool idsOnly, bool queued)
{
    if (set.Count() == 0) {
        state.SkipWithError("no frames (corpus folder absent)");
        return;
    }
    std::string line;
    RawLineQueue queue;
    const Clock::time_point start = Clock::now();
    for (auto _ : state) {
        for (size_t i = 0; i < set.Count(); ++i) {
            FormatRawLineInto(line, set.kinds[i], set.Frame(i), set.Length(i), idsOnly);
            if (queued) queue.Push(line);
            benchmark::DoNotOptimize(line.data());
        }
        // One refresh per pass, as the window's timer takes the batch.
        if (queued) benchmark::DoNotOptimize(queue.Take().lines);
    }
    Report(state, set, Clock::now() - start);
}

void CorpusFull(benchmark::State& state) { Format(state, CorpusFrames(), false, false); }
void CorpusIdsOnly(benchmark::State& state) { Format(state, CorpusFrames(), true, false); }
void CorpusFullQueued(benchmark::State& state) { Format(state, CorpusFrames(), false, true); }
void GeneratedFull(benchmark::State& state) { Format(state, GeneratedFrames(), false, false); }
void GeneratedIdsOnly(benchmark::State& state) { Format(state, GeneratedFrames(), true, false); }
void GeneratedFullQueued(benchmark::State& state) { Format(state, GeneratedFrames(), false, true); }

void UnstuffSentCommands(benchmark::State& state)
{
    const FrameSet& set = GeneratedFrames();
    std::vector<uint8_t> shown;
    std::string line;
    const Clock::time_point start = Clock::now();
    for (auto _ : state) {
        for (size_t i = 0; i < set.Count(); ++i) {
            UnstuffQbinCommand(set.Frame(i), set.Length(i), shown);
            FormatRawLineInto(line, PROTO_QBIN, shown.data(), static_cast<int>(shown.size()), false);
            benchmark::DoNotOptimize(line.data());
        }
    }
    Report(state, set, Clock::now() - start);
}

}  // namespace

BENCHMARK(CorpusFull)->Unit(benchmark::kMillisecond);
BENCHMARK(CorpusIdsOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(CorpusFullQueued)->Unit(benchmark::kMillisecond);
BENCHMARK(GeneratedFull)->Unit(benchmark::kMillisecond);
BENCHMARK(GeneratedIdsOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(GeneratedFullQueued)->Unit(benchmark::kMillisecond);
BENCHMARK(UnstuffSentCommands)->Unit(benchmark::kMillisecond);
