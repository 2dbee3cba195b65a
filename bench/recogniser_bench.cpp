// Throughput of the frame recogniser, alone with the frame checks behind it,
// and with the frame handler and the model, over a generated stream of all six
// framings with UBX messages and garbage between them, and over the real
// receiver logs. Reported, never asserted.
//
// Each figure comes with a plain memcpy of the same buffer measured in the
// same run ("memcpy_MBps") and the ratio of the two ("vs_memcpy"), so figures
// from different machines compare.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "link/FrameHandler.h"
#include "link/FrameRecogniser.h"
#include "link/LinkStatistics.h"
#include "model/CModel.h"
#include "protocol/QbinReports.h"
#include "protocol/QopProtocol.h"

namespace {

using bench::Bytes;
typedef std::chrono::steady_clock Clock;

const size_t kMiB = 1u << 20;
const size_t kReadBlock = 4096;  // what a reader hands over at once

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

// A report of an accepted length (its sub-code first where the row has one);
// one in eight of a length no row accepts.
void AppendQbin(Bytes& out, std::mt19937& rng)
{
    int rows = 0;
    const QbinLengthRule* table = GetQbinLengthTable(rows);
    const QbinLengthRule& row = table[rng() % static_cast<unsigned>(rows)];
    const int most = row.maxAccepted == QBIN_ANY_LENGTH ? row.minAccepted + 60 : row.maxAccepted;
    int n = row.minAccepted + static_cast<int>(rng() % static_cast<unsigned>(most - row.minAccepted + 1));
    if (rng() % 8 == 0) n = most + 1 + static_cast<int>(rng() % 8);
    Bytes data;
    if (row.subcode != QBIN_ANY_SUBCODE && n > 0) data.push_back(static_cast<uint8_t>(row.subcode));
    while (static_cast<int>(data.size()) < n) data.push_back(static_cast<uint8_t>(rng()));
    out.push_back(0x10);
    out.push_back(row.id);
    for (uint8_t b : data) {
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
    const uint8_t check = static_cast<uint8_t>(-sum);
    out.insert(out.end(), p.begin(), p.end());
    if (check >= 0x80 && check <= 0x82) {  // escaped like data
        out.push_back(0x80);
        out.push_back(static_cast<uint8_t>(check - 0x80));
    } else {
        out.push_back(check);
    }
    out.push_back(0x82);
}

void AppendMon(Bytes& out, std::mt19937& rng)
{
    Bytes f = {0x02, 0x00, 0x96, 6};
    for (int i = 0; i < 6; ++i) f.push_back(static_cast<uint8_t>(rng()));
    uint8_t sum = 0;
    for (size_t i = 2; i < f.size(); ++i) sum = static_cast<uint8_t>(sum + f[i]);
    f.push_back(sum);
    f.push_back(0x03);
    out.insert(out.end(), f.begin(), f.end());
}

// A UBX message with a random payload; one in four holds start bytes of the
// other framings, as real payloads do.
void AppendUbx(Bytes& out, std::mt19937& rng)
{
    static const uint8_t starts[] = {0x10, 0x41, 0x02, 0x00, 0xFF, 0x81, 0x05, 0x40, 0x41, 0x3E};
    const size_t n = sizeof starts + rng() % 90;
    Bytes m = {0xB5, 0x62, 0x01, static_cast<uint8_t>(rng() % 0x40), static_cast<uint8_t>(n), 0};
    for (size_t i = 0; i < n; ++i) m.push_back(static_cast<uint8_t>(rng()));
    if (rng() % 4 == 0) {
        const size_t at = 6 + rng() % (n - sizeof starts + 1);
        std::copy(std::begin(starts), std::end(starts), m.begin() + static_cast<long>(at));
    }
    uint8_t a = 0, b = 0;
    for (size_t i = 2; i < m.size(); ++i) {
        a = static_cast<uint8_t>(a + m[i]);
        b = static_cast<uint8_t>(b + a);
    }
    m.push_back(a);
    m.push_back(b);
    out.insert(out.end(), m.begin(), m.end());
}

void AppendGarbage(Bytes& out, std::mt19937& rng)
{
    size_t n = 1 + rng() % 40;
    for (size_t i = 0; i < n; ++i) out.push_back(static_cast<uint8_t>(rng()));
}

// About 1 MiB of frames of every framing, UBX and garbage.
const Bytes& MixedStream()
{
    static Bytes stream;
    if (!stream.empty()) return stream;
    std::mt19937 rng(20240601);
    while (stream.size() < kMiB) {
        switch (rng() % 10) {
        case 0: case 1: AppendNmea(stream, rng); break;
        case 2: case 3: AppendQbin(stream, rng); break;
        case 4: AppendQtxt(stream, rng); break;
        case 5: AppendQop(stream, rng); break;
        case 6: AppendKesto(stream, rng); break;
        case 7: AppendMon(stream, rng); break;
        case 8: AppendUbx(stream, rng); break;
        default: AppendGarbage(stream, rng); break;
        }
    }
    return stream;
}

std::vector<Bytes> CorpusLogs()
{
    std::vector<Bytes> logs;
    for (const std::string& f : bench::CorpusLogFiles()) logs.push_back(bench::ReadWholeFile(f));
    return logs;
}

const Bytes& CorpusStream()
{
    static const Bytes stream = [] {
        Bytes all;
        for (const Bytes& log : CorpusLogs()) all.insert(all.end(), log.begin(), log.end());
        return all;
    }();
    return stream;
}

// MB/s of a plain memcpy of the buffer, best of a few rounds.
double MemcpyMBps(const Bytes& buffer)
{
    static Bytes target;
    target.resize(buffer.size());
    double best = 0;
    for (int round = 0; round < 5; ++round) {
        const int copies = 20;
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < copies; ++i) {
            memcpy(target.data(), buffer.data(), buffer.size());
            benchmark::ClobberMemory();
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        best = std::max(best, static_cast<double>(buffer.size()) * copies / seconds / 1e6);
    }
    benchmark::DoNotOptimize(target.data());
    return best;
}

// Sets the throughput counters: our MB/s, memcpy's, and their ratio.
void Report(benchmark::State& state, const Bytes& buffer, Clock::duration elapsed)
{
    const double bytes = static_cast<double>(state.iterations()) * static_cast<double>(buffer.size());
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    const double ours = bytes / std::chrono::duration<double>(elapsed).count() / 1e6;
    const double copy = MemcpyMBps(buffer);
    state.counters["MBps"] = ours;
    state.counters["memcpy_MBps"] = copy;
    state.counters["vs_memcpy"] = ours / copy;
}

// Checks every frame with its protocol's check, as the handler does first.
struct CheckingSink : IFrameSink {
    void OnFrame(ProtocolKind kind, const BYTE* frame, int length) override
    {
        const FrameDispatchTable& dispatch = GetDefaultFrameDispatch();
        bool ok;
        if (kind == PROTO_QBIN) {
            int start = 0, n = length;
            ok = dispatch.findQbinStart(frame, n, start, nullptr);
        } else {
            const FrameProtocolEntry* entry = dispatch.Find(kind);
            ok = entry != nullptr && entry->check(frame, length);
        }
        good += ok;
        ++frames;
    }
    void OnBrokenQbinPacket(BYTE, BYTE, int) override {}
    void OnBangDigit(BYTE) override {}
    uint64_t frames = 0;
    uint64_t good = 0;
};

void RunRecogniser(benchmark::State& state, const Bytes& stream)
{
    if (stream.empty()) {
        state.SkipWithError("no input (corpus folder absent)");
        return;
    }
    CheckingSink sink;
    CFrameRecogniser rec(&sink);
    const Clock::time_point start = Clock::now();
    for (auto _ : state) rec.Feed(stream.data(), stream.size());
    Report(state, stream, Clock::now() - start);
    state.counters["frames"] = static_cast<double>(sink.frames) / static_cast<double>(state.iterations());
    state.counters["good"] = static_cast<double>(sink.good) / static_cast<double>(state.iterations());
}

void RecogniserWithChecks(benchmark::State& state) { RunRecogniser(state, MixedStream()); }
void RecogniserCorpusLogs(benchmark::State& state) { RunRecogniser(state, CorpusStream()); }

using bench::NullListener;

// The reader's whole path except the channel and the raw logger: OnBytes in
// blocks as a reader hands them over, every check and decoder, a real model.
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
    const Clock::time_point start = Clock::now();
    for (auto _ : state) {
        for (size_t at = 0; at < stream.size();) {
            FrameStep step = handler.OnBytes(stream.data() + at, std::min(kReadBlock, stream.size() - at));
            at += step.taken;
            pauses += step.pauseMs;
        }
    }
    const Clock::duration elapsed = Clock::now() - start;
    benchmark::DoNotOptimize(pauses);
    Report(state, stream, elapsed);
    const double iterations = static_cast<double>(state.iterations());
    state.counters["good"] = static_cast<double>(stats.Get(LINK_GOOD)) / iterations;
    state.counters["bad"] = static_cast<double>(stats.Get(LINK_BAD)) / iterations;
    state.counters["sentences_per_s"] = benchmark::Counter(static_cast<double>(stats.Get(LINK_NMEA_GOOD)),
                                                           benchmark::Counter::kIsRate);
}

void HandlerSerial(benchmark::State& state) { RunHandler(state, MixedStream(), LINK_CHANNEL_SERIAL); }
void HandlerPlayback(benchmark::State& state) { RunHandler(state, MixedStream(), LINK_CHANNEL_PLAYBACK); }
void HandlerCorpusLogs(benchmark::State& state) { RunHandler(state, CorpusStream(), LINK_CHANNEL_PLAYBACK); }

}  // namespace

// The target: at least 500 MB/s.
BENCHMARK(RecogniserWithChecks)->Unit(benchmark::kMillisecond);
BENCHMARK(RecogniserCorpusLogs)->Unit(benchmark::kMillisecond);
// Serial: every frame also goes to the listeners as a raw frame.
BENCHMARK(HandlerSerial)->Unit(benchmark::kMillisecond);
// Playback at speed 1000: no raw frames, no pauses.
BENCHMARK(HandlerPlayback)->Unit(benchmark::kMillisecond);
BENCHMARK(HandlerCorpusLogs)->Unit(benchmark::kMillisecond);
