#pragma once
// Finds the frames of six framings mixed in one received byte stream: QBIN
// (DLE id data DLE ETX, with DLE doubling), NMEA ("$" ... CR LF), QTXT
// (">" ... "<"), QOP ("@@" id, fixed length, CR LF), KESTO (0x81 ... 0x82 with
// 0x80 escapes) and monitor-mode frames (STX 0x00 id length data sum ETX).
//
// Pure and block-fed: no I/O, no clock, no heap. The reader hands over what it
// received; whatever completes goes to a sink while its bytes are at hand (in
// the recogniser's buffers or in the block being fed; valid only during the
// call). Frames are handed on unchecked: checking, counting and decoding are
// the frame handler's.
//
// False starts. A start byte inside binary data (0x10, 02 00, 0x81, '@', '>'
// in a UBX payload) opens a candidate that is no frame. Whenever a candidate
// is given up without being handed to the sink (a byte that cannot continue
// it, a length or line-end check that fails, a QBIN packet broken by a stray
// DLE, a KESTO packet restarted by 0x81, the frame limit), every byte it held
// after its start byte, and the byte that broke it, is scanned again from
// "between frames", so a real frame among them is still found, in order. Those
// bytes are kept raw (QBIN and KESTO also have a decoded form) in a fixed
// buffer; scanning them again is internal to the recogniser: they are not
// received again, so nobody counts, logs or copies them twice. A frame handed
// to the sink is never scanned again, even when its check fails later; a QBIN
// packet that ends with DLE ETX is handed on whatever it held.
//
// Work per input byte: a candidate holds at most RAW_ROOM raw bytes and each
// candidate starts at least one byte after the previous one, so a byte is
// scanned at most RAW_ROOM + 1 (1025) times, whatever the input; on a sane
// stream it is scanned once or twice.
#include <cstddef>
#include <cstdint>

#include "framework/WinTypes.h"
#include "link/ProtocolKind.h"

struct IFrameSink {
    virtual ~IFrameSink() {}
    // A complete frame of kind 3 (QBIN, from its DLE through DLE ETX, DLE
    // doubling undone), 4 NMEA, 5 QTXT, 6 KESTO (unescaped), 7 QOP or 20 MON.
    virtual void OnFrame(ProtocolKind kind, const BYTE* frame, int length) = 0;
    // A DLE inside QBIN data followed by neither DLE nor ETX. The packet so far
    // is given up; the stray DLE and the byte after it then normally start a
    // new packet. length counts the data stored so far (without DLE and id);
    // firstData is 0 when there was none. Packets that began inside the data
    // of a broken packet are not reported when they break in turn.
    virtual void OnBrokenQbinPacket(BYTE id, BYTE firstData, int length) = 0;
    // "!" followed by a digit between frames: a receiver's one-character
    // acknowledgement. Never reported during a conversion.
    virtual void OnBangDigit(BYTE digit) = 0;
};

class CFrameRecogniser {
public:
    enum : int {
        FRAME_LIMIT = 512,          // a frame reaching this many stored bytes is dropped
        FRAME_ROOM = 512 + 2,       // plus the DLE ETX a QBIN packet gets back at its end
        QOP_CANDIDATE_ROOM = 294,   // the longest QOP reply
        RAW_ROOM = 2 * FRAME_LIMIT  // raw bytes of a candidate: every QBIN data DLE doubled
    };

    // The recogniser states; the numbers are those the diagnostics show.
    enum State : uint8_t {
        ST_IDLE = 0,          // between frames
        ST_QBIN_START = 1,    // after the leading DLE
        ST_QBIN_DLE = 2,      // DLE seen inside QBIN data
        ST_QBIN_DATA = 3,     // inside QBIN data
        ST_QOP_BODY = 4,      // QOP header and data
        ST_QOP_LAST = 5,      // QOP: the closing LF is due
        ST_NMEA_BODY = 6,
        ST_NMEA_CR = 7,       // NMEA: CR seen, LF due
        ST_QTXT_BODY = 8,
        ST_KESTO = 9,
        ST_MON_STX = 10,      // MON: after STX, 0x00 due
        ST_MON_BODY = 11
    };

    explicit CFrameRecogniser(IFrameSink* sink);
    CFrameRecogniser(const CFrameRecogniser&) = delete;
    CFrameRecogniser& operator=(const CFrameRecogniser&) = delete;

    // Back to "between frames" with nothing collected or pending.
    void Reset();

    // During a conversion a log is known to hold one protocol: "!"-digits are
    // not reported, and QOP messages are not looked for inside QBIN data.
    void SetConverting(bool converting);
    // Once the conversion has found the log's protocol (non-zero), only that
    // protocol's start byte opens a frame, so bytes of another framing inside
    // its data cannot hide a frame. 0 opens every framing.
    void SetDetectedKind(ProtocolKind kind);

    // Recognises the bytes; returns how many it took. That is all of them
    // unless the sink called ReturnAfterFrame while handling a frame: then
    // Feed returns right after that frame, having taken the bytes up to the
    // one that completed it (or that made it known). Bytes still to be scanned
    // again are kept and come first on the next call; a call with no bytes
    // scans just those.
    size_t Feed(const BYTE* bytes, size_t count);
    size_t Feed(BYTE b) { return Feed(&b, 1); }

    // For the sink, during OnFrame: stop the current Feed after this frame.
    void ReturnAfterFrame() { m_return = true; }
    // True while bytes given up by a candidate still wait to be scanned again.
    bool HasPending() const { return m_pendingRead < m_pendingEnd; }
    // For the sink, during OnFrame and OnBrokenQbinPacket: how many of the
    // bytes of the current Feed lie up to and including the last one the
    // finding needed (the byte that completed the frame, or the one that
    // broke the packet). A finding among bytes scanned again was made by the
    // last byte taken before them. Fed one byte at a time, every finding of
    // a call ends at that byte.
    size_t GetFindingEnd() const { return m_findingEnd; }

    State GetState() const { return m_state; }
    int GetCount() const { return m_count; }
    bool HasQopCandidate() const { return m_qopAt != 0; }

private:
    // Where the bytes being scanned come from: the caller's block, or the
    // pending bytes a given-up candidate left to be scanned again.
    struct Cursor {
        const BYTE* base;
        size_t pos;
        size_t end;
        bool pending;    // base is m_pending
        bool diverted;   // a candidate was given up: its bytes wait in m_pending
    };
    // The open candidate, held in locals while a stretch of bytes is scanned.
    struct Work {
        State state;
        int raw;            // raw bytes of the candidate, start byte included
        int count;          // bytes stored as the frame will be handed on
        const BYTE* data;   // its raw bytes: m_raw, or in place among those scanned
    };

    void RebuildIdleTable();
    void Scan(Cursor& c);
    void ScanIdle(Cursor& c, Work& w);
    void ScanQbinStart(Cursor& c, Work& w);
    void ScanQbinData(Cursor& c, Work& w);
    void ScanQbinDle(Cursor& c, Work& w);
    void ScanQop(Cursor& c, Work& w);
    void ScanQopLast(Cursor& c, Work& w);
    void ScanNmeaBody(Cursor& c, Work& w);
    void ScanNmeaCr(Cursor& c, Work& w);
    void ScanQtxt(Cursor& c, Work& w);
    void ScanKesto(Cursor& c, Work& w);
    void ScanMonStx(Cursor& c, Work& w);
    void ScanMonBody(Cursor& c, Work& w);

    size_t TakeRun(Cursor& c, Work& w, const uint8_t* keep, size_t room);
    void Append(Cursor& c, Work& w, size_t n);
    void Own(Work& w);
    void Copy(Cursor& c, Work& w, size_t wanted);
    void Store(Cursor& c, Work& w);
    void GiveUp(Cursor& c, Work& w, bool breakerStored);
    void GiveUpBrokenPacket(Cursor& c, Work& w);
    void Deliver(Work& w, ProtocolKind kind, const BYTE* frame, int length);
    void DeliverQbin(Work& w);
    void DeliverKesto(Work& w);
    bool AtFromEnd(const Work& w, int back) const;
    void StartQopCandidateIfFound(const Work& w);
    bool QopCandidateCompletes(const Work& w);
    void PendingDrained();

    IFrameSink* m_sink;
    State m_state;
    uint16_t m_rawCount;
    uint16_t m_count;
    bool m_kestoEscape;
    bool m_bangPending;       // "!" was the last byte scanned between frames
    bool m_converting;
    bool m_return;            // the sink asked Feed to return
    const Cursor* m_live;     // the bytes of the current Feed
    size_t m_findingEnd;      // see GetFindingEnd
    int m_onlyStart;          // the one start byte allowed in a conversion, or -1
    uint16_t m_qopLength;     // expected length of the QOP message being collected
    int m_candStart;          // index in m_pending of the open candidate's start byte, or -1

    // A QOP message that may have begun inside QBIN data, as raw offsets into
    // the packet. It gives the packet up only if it completes (its length, LF,
    // checksum) before the packet ends; a QBIN packet may well hold "@@" and two
    // letters among its data (the float 3.0044177 is 40 40 48 61, "@@Ha").
    uint16_t m_qopAt;         // 0 while there is no candidate
    uint16_t m_qopEnd;

    // Bytes of given-up candidates still to be scanned again.
    uint16_t m_pendingRead;
    uint16_t m_pendingEnd;
    uint16_t m_quietEnd;      // packets starting before this index of m_pending break unreported

    uint8_t m_idleClass[256];        // between frames: the state a byte opens, or a mark

    BYTE m_raw[RAW_ROOM + 2];        // an open candidate as received, kept between stretches
                                     // (+ CR LF of a bare-LF line)
    BYTE m_frame[FRAME_ROOM];        // a QBIN or KESTO frame decoded for the sink
    BYTE m_pending[RAW_ROOM + 1];    // a candidate's bytes after its start byte, and its breaker
};
