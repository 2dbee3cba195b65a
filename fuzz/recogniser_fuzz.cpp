// The frame recogniser and frame handler over untrusted link bytes, with the
// real protocol checks and model behind them.
//
// The first input byte chooses the link: bits 0-1 serial, playback, conversion
// or playback with raw frames; bits 2-4 the protocol a conversion has already
// detected; bit 5 an empty NMEA marker (every sentence paces). The rest is the
// byte stream.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "link/CConverterEngine.h"
#include "link/FrameHandler.h"
#include "link/LinkStatistics.h"
#include "model/CModel.h"

namespace {

void Require(bool condition, const char* what)
{
    if (!condition) {
        fprintf(stderr, "recogniser invariant broken: %s\n", what);
        abort();
    }
}

struct NullListener : IReceiverEventSink {
    bool NotifyListeners(int32_t, int32_t, bool) override { return true; }
};

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

// Checks every finding before the handler sees it, and counts frames per kind.
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
    }
    void OnBrokenQbinPacket(BYTE, BYTE, int length) override
    {
        Require(length >= 0 && length <= 512, "broken packet length");
    }
    void OnBangDigit(BYTE digit) override { Require(digit >= '0' && digit <= '9', "bang digit"); }

    uint32_t frames[32] = {};
    uint32_t total = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    static const ProtocolKind kDetected[8] = {PROTO_NONE, PROTO_QBIN, PROTO_NMEA, PROTO_QTXT,
                                              PROTO_KESTO, PROTO_QOP,  PROTO_MON,  PROTO_SIRF_NMEA};
    const uint8_t mode = data[0] & 3;
    const ProtocolKind detected = kDetected[(data[0] >> 2) & 7];

    CModel model;
    NullListener listener;
    if (!model.Attach(&listener, nullptr)) return 0;
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

    FrameAudit audit;
    {
        CFrameHandler handler(context);
        handler.SetFrameObserver(&audit);
        for (size_t i = 1; i < size; ++i) {
            link.readCount = static_cast<uint32_t>(i);
            FrameStep step = handler.OnByte(data[i]);
            Require(step.pauseMs <= 1000, "pause at most 1000 ms");
            Require(step.pauseMs == 0 || context.channelType == LINK_CHANNEL_PLAYBACK, "serial never paces");
            Require(step.pauseMs == 0 || mode != 2, "a conversion never paces");
        }
    }

    Require(stats.Get(LINK_BYTES) == size - 1, "every byte counted");
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
        Require(n <= audit.frames[k.kind], "good + bad <= frames of the protocol");
        counted += n;
    }
    Require(stats.Get(LINK_GOOD) + stats.Get(LINK_BAD) == counted, "totals are the sum of the protocols");
    Require(counted <= audit.total, "good + bad <= frames");
    if (mode == 2 && detected != PROTO_NONE && detected != PROTO_SIRF_NMEA) {
        for (const PerKind& k : kinds) {
            if (k.kind != detected) Require(audit.frames[k.kind] == 0, "a conversion opens only its protocol");
        }
    }
    return 0;
}
