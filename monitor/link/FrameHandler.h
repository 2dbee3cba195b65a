#pragma once
// What the reader thread does with the bytes it has read: count them, copy
// them for a conversion, mark receive activity, and recognise frames; and with
// each recognised frame: check it, count it, raise its events, hand it to the
// listeners as a raw frame, decode it, and decide the pacing pause of a replay.
//
// The handler runs on the reader thread only and never blocks: it returns the
// pause it wants, and the reader performs it as a stop-aware wait. It allocates
// nothing per byte or per frame.
//
// Binding it in the reader (one handler per reader run, on the reader's stack):
//
//     FrameContext ctx;
//     ctx.channelType = channel->GetType();     // 1 serial port, 2 playback file
//     ctx.model = model;                        // events and raw frames go here
//     ctx.converter = converterEngine;          // null unless converting
//     ctx.statistics = &m_statistics;           // the link's 13 counters
//     ctx.link = this;                          // an IFrameLink (see below)
//     ctx.markers = ...;                        // from the playback channel, type 2 only
//     CFrameHandler handler(ctx);
//     for (;;) {                                // one round per read
//         ... stop request, logger service, read n bytes, log them raw ...
//         for (size_t done = 0; done < n;) {
//             FrameStep step = handler.OnBytes(buf + done, n - done);
//             done += step.taken;
//             if (step.stopRequested) return;   // stop seen right after a frame
//             if (step.pauseMs != 0) pause step.pauseMs unless stopped;
//         }
//     }
//
// A reader that reads one byte at a time calls OnByte instead, which takes
// its byte in every case.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "framework/WinTypes.h"
#include "link/FrameRecogniser.h"
#include "link/LinkStatistics.h"
#include "link/PlaybackMarker.h"
#include "link/ProtocolKind.h"

class CModel;
class CConverterEngine;

enum : int {
    LINK_CHANNEL_SERIAL = 1,
    LINK_CHANNEL_PLAYBACK = 2
};

// What the handler asks of the link while the reader runs: values another
// thread may change under a running reader (the stop request, the speed slider,
// the pass-raw option, the protocol setting) and the link state the handler
// keeps up to date. CProtocol implements it over its channel and its atomics.
class IFrameLink {
public:
    virtual ~IFrameLink() {}
    // Asked after each frame: a stop seen there skips the pacing pause.
    virtual bool IsStopRequested() = 0;
    // Playback only: hand every frame to the listeners as a raw frame too.
    virtual bool IsPassRawData() = 0;
    // Playback only: the speed factor, 1 (real time) .. 1000 (no pauses).
    virtual uint32_t GetPlaybackSpeed() = 0;
    // Playback only: the file position just after the last byte handed to the
    // handler so far (the last byte of a block given to OnBytes, the byte
    // given to OnByte). Conversion diagnostics report the position where a
    // frame ended, counting back from it.
    virtual uint32_t GetPlaybackReadCount() = 0;
    // The link's protocol setting (1 AUTO, 3 QBIN, 4 NMEA, ...).
    virtual ProtocolKind GetLinkProtocol() = 0;
    virtual ProtocolKind GetVendorSubMode() = 0;
    // Called only when an NMEA sentence revealed another dialect and the link
    // protocol is NMEA (4) or AUTO (1): a stray "$PSRFTXT" on a QBIN link must
    // not switch the command dialect.
    virtual void SetVendorSubMode(ProtocolKind kind) = 0;
    // The protocol of the last good frame (3, 4, 5, 6, 7 or 20).
    virtual void SetLastProtocol(ProtocolKind kind) = 0;
};

// A plain IFrameLink holding its values: the tests, the fuzz target and the
// benchmark use it, and a reader may too. Every value is atomic because the
// GUI thread sets some of them while the reader runs.
class CFrameLinkState : public IFrameLink {
public:
    CFrameLinkState() {}
    bool IsStopRequested() override { return stop.load(); }
    bool IsPassRawData() override { return passRaw.load(); }
    uint32_t GetPlaybackSpeed() override { return speed.load(); }
    uint32_t GetPlaybackReadCount() override { return readCount.load(); }
    ProtocolKind GetLinkProtocol() override { return protocol.load(); }
    ProtocolKind GetVendorSubMode() override { return vendorSubMode.load(); }
    void SetVendorSubMode(ProtocolKind kind) override { vendorSubMode.store(kind); }
    void SetLastProtocol(ProtocolKind kind) override { lastProtocol.store(kind); }

    std::atomic<bool> stop{false};
    std::atomic<bool> passRaw{false};
    std::atomic<uint32_t> speed{1000};
    std::atomic<uint32_t> readCount{0};
    std::atomic<ProtocolKind> protocol{PROTO_NONE};
    std::atomic<ProtocolKind> vendorSubMode{PROTO_NONE};
    std::atomic<ProtocolKind> lastProtocol{PROTO_NONE};
};

// Everything fixed for one reader run.
struct FrameContext {
    int channelType = LINK_CHANNEL_SERIAL;   // 1 serial port, 2 playback file
    CModel* model = nullptr;                 // events, raw frames, CRC check; may be null
    CConverterEngine* converter = nullptr;   // non-null exactly during a conversion
    LinkStatistics* statistics = nullptr;    // the 13 counters; may be null (nothing counted)
    IFrameLink* link = nullptr;              // may be null: serial defaults, no stop
    PlaybackMarkers markers;                 // the marker frame of a replay
};

// The checks and decoders, reached through a table so tests can put fakes in
// their place. GetDefaultFrameDispatch binds the real protocol functions.
typedef bool (*FrameCheckFn)(const BYTE* frame, int length);
// dialect is non-null for NMEA only: in, the link's vendor sub-mode; out, the
// dialect the sentence revealed.
typedef void (*FrameDecodeFn)(const BYTE* frame, int length, CModel* model, CConverterEngine* converter,
                              ProtocolKind* dialect);
typedef bool (*QbinStartFn)(const BYTE* frame, int& length, int& start, CConverterEngine* converter);
typedef void (*QbinDecodeFn)(const BYTE* frame, int length, CModel* model, CConverterEngine* converter);

struct FrameProtocolEntry {
    ProtocolKind kind;
    FrameCheckFn check;
    FrameDecodeFn decode;
    int goodCounter;   // LinkCounter, or -1 for frames that are not counted (MON)
    int badCounter;
};

enum : int { FRAME_TEXT_PROTOCOLS = 5 };

struct FrameDispatchTable {
    FrameProtocolEntry entries[FRAME_TEXT_PROTOCOLS];  // NMEA, QTXT, KESTO, QOP, MON
    QbinStartFn findQbinStart;
    QbinDecodeFn decodeQbin;

    const FrameProtocolEntry* Find(ProtocolKind kind) const;
    FrameProtocolEntry* Find(ProtocolKind kind);
};

const FrameDispatchTable& GetDefaultFrameDispatch();

// What the reader must do after the bytes it handed over.
struct FrameStep {
    uint32_t pauseMs = 0;        // pacing pause, 0 for none
    bool stopRequested = false;  // the stop request was set when a frame ended
    size_t taken = 0;            // how many of the bytes were taken (OnBytes)
};

class CFrameHandler : public IFrameSink {
public:
    explicit CFrameHandler(const FrameContext& context,
                           const FrameDispatchTable& dispatch = GetDefaultFrameDispatch());
    CFrameHandler(const CFrameHandler&) = delete;
    CFrameHandler& operator=(const CFrameHandler&) = delete;

    // Received bytes: counted (bytes received), appended to the conversion's
    // raw copy while its window is open, marked as receive activity in the
    // model, then fed to the recogniser; frames that complete are handled
    // before this returns. It returns early, right after a frame that asks
    // for a pacing pause or saw the stop request; `taken` then tells how many
    // bytes it took, and the rest is to be handed over again after the pause.
    // Only taken bytes are counted and copied. A call with no bytes finishes
    // what the recogniser still had to scan again.
    FrameStep OnBytes(const BYTE* bytes, size_t count);
    // One received byte, always taken; the steps of all frames it ends are
    // merged (the last pause, a stop seen at any of them).
    FrameStep OnByte(BYTE b);

    // IFrameSink: the recogniser's findings.
    void OnFrame(ProtocolKind kind, const BYTE* frame, int length) override;
    void OnBrokenQbinPacket(BYTE id, BYTE firstData, int length) override;
    void OnBangDigit(BYTE digit) override;

    // Sees every finding before it is handled (not owned; null for none).
    void SetFrameObserver(IFrameSink* observer) { m_observer = observer; }

    // True until the first good frame of any protocol but MON. Bad frames are
    // only counted after it: the first bytes of a link often catch a frame in
    // the middle.
    bool IsNoGoodFrameYet() const { return m_noGoodFrameYet; }
    bool IsConverting() const { return m_context.converter != nullptr; }
    const CFrameRecogniser& GetRecogniser() const { return m_recogniser; }

private:
    void CountBytes(size_t count);
    uint32_t FindingPosition();
    bool IsRawCopyOpen();
    void HandleQbinPacket(const BYTE* frame, int length);
    void HandleFrame(const FrameProtocolEntry& entry, const BYTE* frame, int length);
    void ReportGoodFrame(ProtocolKind kind);
    void SetLastProtocol(ProtocolKind kind);
    void PassRawFrame(ProtocolKind kind, const BYTE* frame, int length);
    void Count(int counter);
    void AfterGoodFrame(ProtocolKind kind, const BYTE* frame, int length);
    bool WantsRawFrames();

    FrameContext m_context;
    FrameDispatchTable m_dispatch;
    // The dispatch table's entry of each kind, so a frame finds its own at once.
    const FrameProtocolEntry* m_entryOfKind[PROTO_KIND_COUNT];
    CFrameLinkState m_defaultLink;   // stands in when the context has no link
    IFrameLink* m_link;
    IFrameSink* m_observer;
    bool m_noGoodFrameYet;
    FrameStep m_step;         // what the frames of the current bytes asked for
    bool m_stepSet;
    // The bytes from the start of the recogniser's current Feed to the end of
    // the current OnBytes call: a finding's file position counts back from
    // the link's read count by those after the finding.
    size_t m_fedToCallEnd;
    ProtocolKind m_lastProtocol;   // what the link was last told (PROTO_NONE: nothing yet)
    CFrameRecogniser m_recogniser;
};
