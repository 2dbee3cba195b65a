// Throughput of the frame recogniser, alone and with the frame handler, the
// frame checks and the model behind it, over a generated mixed-protocol stream
// with garbage and over the real receiver logs. Reported, never asserted.
#include <benchmark/benchmark.h>

#include <dirent.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "link/FrameHandler.h"
#include "link/FrameRecogniser.h"
#include "link/LinkStatistics.h"
#include "model/CModel.h"
#include "protocol/QopProtocol.h"

namespace {

typedef std::vector<uint8_t> Bytes;

void Append(Bytes& out, const std::string& s) { out.insert(out.end(), s.begin(), s.end()); }

std::string Hex2(unsigned v)
{
    static const char d[] = "0123456789ABCDEF";
    return std::string{d[(v >> 4) & 15], d[v & 15]};
}

void AppendNmea(Bytes& out, std::mt19937& rng)
{
    static const char* bodies[] = {
        "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
        "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W",
        "GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00",
        "GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1",
    };
    std::string body = bodies[rng() % 4];
    unsigned x = 0;
    for (char c : body) x ^= static_cast<uint8_t>(c);
    // One sentence in eight carries a wrong checksum.
    if (rng() % 8 == 0) x ^= 1;
    Append(out, "$" + body + "*" + Hex2(x) + "\r\n");
}

void AppendQbin(Bytes& out, std::mt19937& rng)
{
    static const uint8_t ids[] = {0x41, 0x46, 0x4A, 0x5C, 0x6D, 0x8F};
    out.push_back(0x10);
    out.push_back(ids[rng() % sizeof ids]);
    size_t n = 4 + rng() % 60;
    for (size_t i = 0; i < n; ++i) {
        uint8_t b = static_cast<uint8_t>(rng());
        out.push_back(b);
        if (b == 0x10) out.push_back(0x10);
    }
    out.push_back(0x10);
    out.push_back(0x03);
}

void AppendQtxt(Bytes& out, std::mt19937& rng)
{
    std::string s = rng() % 2 ? ">RTM1234567890123456789" : ">RLN12345000000000000000000000000";
    s += ";*";
    unsigned x = 0;
    for (char c : s) x ^= static_cast<uint8_t>(c);
    Append(out, s + Hex2(x) + "<");
}

void AppendQop(Bytes& out, std::mt19937& rng)
{
    static const char* ids[] = {"Ha", "Bb", "Ag", "Cf"};
    const char* id = ids[rng() % 4];
    Bytes m = {'@', '@', static_cast<uint8_t>(id[0]), static_cast<uint8_t>(id[1])};
    uint16_t length = GetQopMessageLength(m.data(), QOP_LENGTH_REPLY);
    while (m.size() < static_cast<size_t>(length) - 3) m.push_back(static_cast<uint8_t>(rng() & 0x7F));
    m.push_back(0);
    m.push_back(0x0D);
    m.push_back(0x0A);
    m[length - 3] = ComputeQopChecksum(m.data(), length);
    out.insert(out.end(), m.begin(), m.end());
}

void AppendKesto(Bytes& out, std::mt19937& rng)
{
    Bytes p = {0x81, 0x30, 0x02};
    for (int i = 0; i < 20; ++i) p.push_back(static_cast<uint8_t>(rng() & 0x7F));
    uint8_t sum = 0x82;
    for (uint8_t b : p) sum = static_cast<uint8_t>(sum + b);
    p.push_back(static_cast<uint8_t>(-sum));
    p.push_back(0x82);
    out.insert(out.end(), p.begin(), p.end());
}

void AppendGarbage(Bytes& out, std::mt19937& rng)
{
    size_t n = 1 + rng() % 40;
    for (size_t i = 0; i < n; ++i) out.push_back(static_cast<uint8_t>(rng()));
}

// At least `size` bytes of mixed frames with garbage between some of them.
const Bytes& MixedStream()
{
    static Bytes stream;
    if (!stream.empty()) return stream;
    std::mt19937 rng(20240601);
    while (stream.size() < (1u << 20) + 4096) {
        switch (rng() % 8) {
        case 0: case 1: AppendNmea(stream, rng); break;
        case 2: case 3: AppendQbin(stream, rng); break;
        case 4: AppendQtxt(stream, rng); break;
        case 5: AppendQop(stream, rng); break;
        case 6: AppendKesto(stream, rng); break;
        default: AppendGarbage(stream, rng); break;
        }
    }
    return stream;
}

const Bytes& CorpusStream()
{
    static Bytes stream;
    static bool loaded = false;
    if (loaded) return stream;
    loaded = true;
    std::vector<std::string> files;
    if (DIR* dir = opendir(CORPUS_DIR)) {
        while (dirent* e = readdir(dir)) {
            std::string name = e->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".log") == 0)
                files.push_back(std::string(CORPUS_DIR) + "/" + name);
        }
        closedir(dir);
    }
    std::sort(files.begin(), files.end());
    for (const std::string& f : files) {
        std::ifstream in(f, std::ios::binary);
        stream.insert(stream.end(), std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return stream;
}

struct NullSink : IFrameSink {
    void OnFrame(ProtocolKind, const BYTE* frame, int length) override { benchmark::DoNotOptimize(frame[length - 1]); }
    void OnBrokenQbinPacket(BYTE, BYTE, int) override {}
    void OnBangDigit(BYTE) override {}
};

struct NullListener : IReceiverEventSink {
    bool NotifyListeners(int32_t, int32_t, bool) override { return true; }
};

void RecogniserOnly(benchmark::State& state)
{
    const Bytes& stream = MixedStream();
    NullSink sink;
    CFrameRecogniser rec(&sink);
    for (auto _ : state) rec.Feed(stream.data(), stream.size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(stream.size()));
}

// The reader's whole per-byte path except the channel and the raw logger.
void RunHandler(benchmark::State& state, const Bytes& stream, int channelType)
{
    if (stream.empty()) {
        state.SkipWithError("no input (corpus folder absent)");
        return;
    }
    CModel model;
    NullListener listener;
    model.Attach(&listener, nullptr);
    LinkStatistics stats;
    CFrameLinkState link;
    link.protocol = PROTO_AUTO;
    FrameContext context;
    context.channelType = channelType;
    context.model = &model;
    context.statistics = &stats;
    context.link = &link;
    context.markers.nmea = "GGA";
    CFrameHandler handler(context);
    uint32_t pauses = 0;
    for (auto _ : state) {
        for (uint8_t b : stream) pauses += handler.OnByte(b).pauseMs;
    }
    benchmark::DoNotOptimize(pauses);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(stream.size()));
    state.counters["good"] = static_cast<double>(stats.Get(LINK_GOOD)) / static_cast<double>(state.iterations());
    state.counters["bad"] = static_cast<double>(stats.Get(LINK_BAD)) / static_cast<double>(state.iterations());
}

void HandlerSerial(benchmark::State& state) { RunHandler(state, MixedStream(), LINK_CHANNEL_SERIAL); }
void HandlerPlayback(benchmark::State& state) { RunHandler(state, MixedStream(), LINK_CHANNEL_PLAYBACK); }
void HandlerCorpusLogs(benchmark::State& state) { RunHandler(state, CorpusStream(), LINK_CHANNEL_PLAYBACK); }

}  // namespace

BENCHMARK(RecogniserOnly)->Unit(benchmark::kMillisecond);
// Serial: every frame also goes to the listeners as a raw frame.
BENCHMARK(HandlerSerial)->Unit(benchmark::kMillisecond);
// Playback at speed 1000: no raw frames, no pauses.
BENCHMARK(HandlerPlayback)->Unit(benchmark::kMillisecond);
BENCHMARK(HandlerCorpusLogs)->Unit(benchmark::kMillisecond);
