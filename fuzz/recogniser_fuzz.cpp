// The frame recogniser and frame handler over untrusted link bytes, with the
// real protocol checks and model behind them.
//
// The first input byte chooses the link: bits 0-1 serial, playback, conversion
// or playback with raw frames; bits 2-4 the protocol a conversion has already
// detected; bit 5 an empty NMEA marker (every sentence paces); bits 6-7 the
// block size of a second run. The rest is the byte stream.
//
// The stream runs twice, byte by byte and in blocks: the findings, in order,
// and every counter must be the same.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "FuzzSupport.h"
#include "link/CConverterEngine.h"
#include "link/FrameHandler.h"
#include "link/LinkStatistics.h"
#include "model/CModel.h"

namespace {

using fuzzsupport::MemoryFiles;
using fuzzsupport::NullListener;

void Require(bool condition, const char* what)
{
    if (!condition) {
        fprintf(stderr, "recogniser invariant broken: %s\n", what);
        abort();
    }
}

int StartByteOf(ProtocolKind kind)
{
    switch (kind) {
    case PROTO_QBIN: return 0x10;
    case PROTO_NMEA: return '$';
    case PROTO_QTXT: return '>';
    case PROTO_KESTO: return 0x81;
    case PROTO_QOP: return '@';
    case PROTO_MON: return 0x02;
    default: return -1;
    }
}

// Checks every finding before the handler sees it, counts frames per kind,
// and keeps a fingerprint of every finding in order.
class FrameAudit : public IFrameSink {
public:
    void OnFrame(ProtocolKind kind, const BYTE* frame, int length) override
    {
        Require(length > 0 && length <= 514, "frame length within 1..514");
        int start = StartByteOf(kind);
        Require(start >= 0, "frame of a known kind");
        Require(frame[0] == start, "frame starts with its start byte");
        if (kind >= 0 && kind < 32) ++frames[kind];
        ++total;
        uint32_t hash = 2166136261u;  // FNV-1a over the frame
        for (int i = 0; i < length; ++i) hash = (hash ^ frame[i]) * 16777619u;
        findings.push_back(static_cast<uint64_t>(kind) << 56 | static_cast<uint64_t>(length) << 32 | hash);
    }
    void OnBrokenQbinPacket(BYTE id, BYTE firstData, int length) override
    {
        Require(length >= 0 && length <= 512, "broken packet length");
        findings.push_back(1ull << 63 | static_cast<uint64_t>(id) << 24 | static_cast<uint64_t>(firstData) << 16 |
                           static_cast<uint64_t>(length));
    }
    void OnBangDigit(BYTE digit) override
    {
        Require(digit >= '0' && digit <= '9', "bang digit");
        findings.push_back(3ull << 62 | digit);
    }

    uint32_t frames[32] = {};
    uint32_t total = 0;
    std::vector<uint64_t> findings;
};

struct LinkRun {
    FrameAudit audit;
    uint32_t counters[LINK_COUNTER_COUNT] = {};
};

// Runs the stream through a fresh link, byte by byte (block 1) or in blocks
// handed over again after each pause.
void RunLink(const uint8_t* data, size_t size, size_t block, LinkRun& run)
{
    static const ProtocolKind kDetected[8] = {PROTO_NONE, PROTO_QBIN, PROTO_NMEA, PROTO_QTXT,
                                              PROTO_KESTO, PROTO_QOP,  PROTO_MON,  PROTO_SIRF_NMEA};
    const uint8_t mode = data[0] & 3;
    const ProtocolKind detected = kDetected[(data[0] >> 2) & 7];

    CModel model;
    NullListener listener;
    if (!model.Attach(&listener, nullptr)) return;
    CConverterEngine converter;
    LinkStatistics stats;
    CFrameLinkState link;
    link.protocol = PROTO_AUTO;
    link.speed = 1;
    link.passRaw = mode == 3;
    FrameContext context;
    context.channelType = mode == 0 ? LINK_CHANNEL_SERIAL : LINK_CHANNEL_PLAYBACK;
    context.model = &model;
    context.statistics = &stats;
    context.link = &link;
    context.markers.qbinId = 0x8F;
    context.markers.kestoClass = 0x02;
    context.markers.kestoId = 0x11;
    context.markers.nmea = (data[0] & 0x20) ? "" : "GGA";
    context.markers.qtxt = "ST";
    context.markers.qop = "Ha";
    if (mode == 2) {
        converter.Open(ConverterOptions(), &model);
        converter.SetDetectedKind(detected);
        context.converter = &converter;
    }

    {
        CFrameHandler handler(context);
        handler.SetFrameObserver(&run.audit);
        for (size_t i = 1; i < size;) {
            link.readCount = static_cast<uint32_t>(i);
            FrameStep step = block == 1 ? handler.OnByte(data[i]) : handler.OnBytes(data + i, std::min(block, size - i));
            Require(step.taken >= 1 || block != 1, "a single byte is always taken");
            Require(step.taken <= std::min(block, size - i), "no more taken than given");
            Require(step.pauseMs <= 1000, "pause at most 1000 ms");
            Require(step.pauseMs == 0 || context.channelType == LINK_CHANNEL_PLAYBACK, "serial never paces");
            Require(step.pauseMs == 0 || mode != 2, "a conversion never paces");
            i += step.taken;
        }
        // What the recogniser still had to scan again.
        while (handler.GetRecogniser().HasPending()) handler.OnBytes(nullptr, 0);
    }

    Require(stats.Get(LINK_BYTES) == size - 1, "every byte counted once");
    struct PerKind {
        ProtocolKind kind;
        LinkCounter good, bad;
    };
    const PerKind kinds[] = {
        {PROTO_QBIN, LINK_QBIN_GOOD, LINK_QBIN_BAD},    {PROTO_NMEA, LINK_NMEA_GOOD, LINK_NMEA_BAD},
        {PROTO_QTXT, LINK_QTXT_GOOD, LINK_QTXT_BAD},    {PROTO_QOP, LINK_QOP_GOOD, LINK_QOP_BAD},
        {PROTO_KESTO, LINK_KESTO_GOOD, LINK_KESTO_BAD},
    };
    uint32_t counted = 0;
    for (const PerKind& k : kinds) {
        uint32_t n = stats.Get(k.good) + stats.Get(k.bad);
        Require(n <= run.audit.frames[k.kind], "good + bad <= frames of the protocol");
        counted += n;
    }
    Require(stats.Get(LINK_GOOD) + stats.Get(LINK_BAD) == counted, "totals are the sum of the protocols");
    Require(counted <= run.audit.total, "good + bad <= frames");
    if (mode == 2 && detected != PROTO_NONE && detected != PROTO_SIRF_NMEA) {
        for (const PerKind& k : kinds) {
            if (k.kind != detected) Require(run.audit.frames[k.kind] == 0, "a conversion opens only its protocol");
        }
    }
    for (int i = 0; i < LINK_COUNTER_COUNT; ++i) run.counters[i] = stats.Get(static_cast<LinkCounter>(i));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    MemoryFiles().RemoveAllFiles();
    static const size_t kBlocks[4] = {2, 7, 64, 4096};
    LinkRun single;
    LinkRun blocks;
    RunLink(data, size, 1, single);
    RunLink(data, size, kBlocks[data[0] >> 6], blocks);
    Require(single.audit.findings == blocks.audit.findings, "blocks find what single bytes find, in order");
    for (int i = 0; i < LINK_COUNTER_COUNT; ++i)
        Require(single.counters[i] == blocks.counters[i], "blocks count what single bytes count");
    return 0;
}
