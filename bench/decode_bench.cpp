// Throughput of NMEA decoding end to end: the frame handler with every
// decoder behind it, into a real model, over an NMEA-only stream made of the
// real logs' sentences, repeated to 8 MiB or more, on one thread. Each figure
// is printed beside a plain memcpy of the same buffer timed in the same run,
// with the ratio, so runs on different machines compare. Reported, never
// asserted; the target is 300 MB/s.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "link/FrameHandler.h"
#include "link/LinkStatistics.h"
#include "model/CModel.h"
#include "protocol/NmeaSentence.h"

namespace {

using bench::Bytes;
using bench::CorpusLogFiles;
using bench::NullListener;

const size_t kStreamBytes = 8u << 20;
const double kBytesPerMegabyte = 1e6;

// A line of a log that the monitor accepts as a sentence once CR LF ends it.
bool IsSentence(const std::string& line)
{
    if (line.size() < 6 || line[0] != '$' || line.size() + 2 > 255) return false;
    for (char c : line) {
        if (static_cast<uint8_t>(c) < 0x20 || static_cast<uint8_t>(c) > 0x7E) return false;
    }
    const std::string wire = line + "\r\n";
    return CheckNmeaSentence(reinterpret_cast<const BYTE*>(wire.data()), static_cast<int>(wire.size()));
}

struct NmeaStream {
    Bytes bytes;
    uint64_t sentences = 0;
};

// Every sentence line of every log with CR LF, in log order, the whole set
// repeated until the stream holds at least kStreamBytes.
const NmeaStream& Stream()
{
    static NmeaStream stream;
    static bool made = false;
    if (made) return stream;
    made = true;
    Bytes once;
    uint64_t perRound = 0;
    for (const std::string& path : CorpusLogFiles()) {
        std::ifstream in(path, std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!IsSentence(line)) continue;
            once.insert(once.end(), line.begin(), line.end());
            once.push_back('\r');
            once.push_back('\n');
            ++perRound;
        }
    }
    if (once.empty()) return stream;
    while (stream.bytes.size() < kStreamBytes) {
        stream.bytes.insert(stream.bytes.end(), once.begin(), once.end());
        stream.sentences += perRound;
    }
    return stream;
}

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The decode pass: the reader's work on a replay at full speed, handing over
// each block it read (a block returns early only for a pause or a stop,
// which a replay at full speed never asks for).
const size_t kReadBlock = 65536;

void Feed(CFrameHandler& handler, const Bytes& bytes)
{
    for (size_t start = 0; start < bytes.size(); start += kReadBlock) {
        const size_t count = std::min(kReadBlock, bytes.size() - start);
        for (size_t done = 0; done < count;) done += handler.OnBytes(bytes.data() + start + done, count - done).taken;
    }
}

void NmeaDecodeIntoModel(benchmark::State& state)
{
    const NmeaStream& stream = Stream();
    if (stream.bytes.empty()) {
        state.SkipWithError("no corpus at " CORPUS_DIR ": nothing to decode");
        return;
    }
    CModel model;
    NullListener listener;
    model.Attach(&listener, nullptr);
    LinkStatistics stats;
    CFrameLinkState link;
    link.protocol = PROTO_NMEA;
    FrameContext context;
    context.channelType = LINK_CHANNEL_PLAYBACK;
    context.model = &model;
    context.statistics = &stats;
    context.link = &link;
    CFrameHandler handler(context);

    Bytes copy(stream.bytes.size());
    double decodeSeconds = 0;
    double copySeconds = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        Feed(handler, stream.bytes);
        decodeSeconds += SecondsSince(start);

        start = std::chrono::steady_clock::now();
        std::memcpy(copy.data(), stream.bytes.data(), stream.bytes.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
        copySeconds += SecondsSince(start);
    }
    const double passes = static_cast<double>(state.iterations());
    const double megabytes = passes * static_cast<double>(stream.bytes.size()) / kBytesPerMegabyte;
    const double decodeRate = megabytes / decodeSeconds;
    const double copyRate = megabytes / copySeconds;
    state.counters["stream_MB"] = static_cast<double>(stream.bytes.size()) / kBytesPerMegabyte;
    state.counters["decode_MB/s"] = decodeRate;
    state.counters["sentences/s"] = passes * static_cast<double>(stream.sentences) / decodeSeconds;
    state.counters["memcpy_MB/s"] = copyRate;
    state.counters["decode/memcpy"] = decodeRate / copyRate;
    state.counters["good/pass"] = static_cast<double>(stats.Get(LINK_NMEA_GOOD)) / passes;
    state.counters["bad/pass"] = static_cast<double>(stats.Get(LINK_NMEA_BAD)) / passes;
    model.Detach();
}

}  // namespace

// Wall time: the memcpy beside it is timed the same way.
BENCHMARK(NmeaDecodeIntoModel)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
