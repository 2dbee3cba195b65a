#pragma once
// Finds the frames of six framings mixed in one received byte stream: QBIN
// (DLE id data DLE ETX, with DLE doubling), NMEA ("$" ... CR LF), QTXT
// (">" ... "<"), QOP ("@@" id, fixed length, CR LF), KESTO (0x81 ... 0x82 with
// 0x80 escapes) and monitor-mode frames (STX 0x00 id length data sum ETX).
//
// Pure and byte-fed: no I/O, no clock, no heap. The reader thread feeds every
// received byte; whatever completes goes to a sink while the bytes are still in
// the recogniser's own buffer (valid only during the call). Frames are handed
// on unchecked: checking, counting and decoding are the frame handler's.
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
    // is given up and the byte after the DLE starts a new packet as its id.
    // length counts the data stored so far (without DLE and id); firstData is
    // 0 when there was none.
    virtual void OnBrokenQbinPacket(BYTE id, BYTE firstData, int length) = 0;
    // "!" followed by a digit between frames: a receiver's one-character
    // acknowledgement. Never reported during a conversion.
    virtual void OnBangDigit(BYTE digit) = 0;
};

class CFrameRecogniser {
public:
    enum : int {
        FRAME_LIMIT = 512,       // a frame reaching this many bytes is dropped
        FRAME_ROOM = 512 + 2,    // plus the DLE ETX a QBIN packet gets back at its end
        QOP_CANDIDATE_ROOM = 294 // the longest QOP reply
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

    // Back to "between frames" with nothing collected.
    void Reset();

    // During a conversion a log is known to hold one protocol: "!"-digits are
    // not reported, and QOP messages are not looked for inside QBIN data.
    void SetConverting(bool converting);
    // Once the conversion has found the log's protocol (non-zero), only that
    // protocol's start byte opens a frame, so bytes of another framing inside
    // its data cannot hide a frame. 0 opens every framing.
    void SetDetectedKind(ProtocolKind kind);

    void Feed(BYTE b)
    {
        // The bulk of a stream is sentence text and packet data that only
        // needs storing; those bytes skip the full state dispatch. A QBIN data
        // byte can only start a QOP candidate when it is the second letter of
        // an id, and every id of the QOP table ends in a lower-case letter.
        if (m_count < FRAME_LIMIT - 1) {
            if (m_state == ST_NMEA_BODY && b >= 0x20 && b <= 0x7E) {
                Store(b);
                m_prev = b;
                return;
            }
            if (m_state == ST_QBIN_DATA && b != 0x10 && m_candLength == 0 && (b < 'a' || b > 'z')) {
                Store(b);
                m_prev = b;
                return;
            }
        }
        FeedState(b);
    }
    void Feed(const BYTE* bytes, size_t count)
    {
        for (size_t i = 0; i < count; ++i) Feed(bytes[i]);
    }

    State GetState() const { return m_state; }
    int GetCount() const { return m_count; }
    bool HasQopCandidate() const { return m_candLength != 0; }

private:
    void Drop() { m_state = ST_IDLE; m_count = 0; m_candLength = 0; }
    void Store(BYTE b) { m_buf[m_count++] = b; }
    void FeedState(BYTE b);
    void OnIdle(BYTE b);
    void OnQbinData(BYTE b);
    void OnQbinDle(BYTE b);
    void OnQop(BYTE b);
    void OnKesto(BYTE b);
    void Finish(ProtocolKind kind, const BYTE* frame, int length);
    void StartQopCandidateIfFound();
    bool FeedQopCandidate(BYTE b);
    void TakeOverQopCandidate();

    IFrameSink* m_sink;
    State m_state;
    uint16_t m_count;
    BYTE m_prev;
    bool m_kestoEscape;
    bool m_converting;
    int m_onlyStart;          // the one start byte allowed in a conversion, or -1
    uint16_t m_qopLength;     // expected length of the QOP message in the buffer

    // A QOP message that may have begun inside QBIN data. It is collected beside
    // the packet from the raw bytes and replaces the packet only if it
    // completes (its length, LF, checksum) before the packet ends; a QBIN packet
    // may well hold "@@" and two letters among its data (the float 3.0044177 is
    // 40 40 48 61, "@@Ha").
    uint16_t m_candLength;    // 0 while there is no candidate
    uint16_t m_candCount;
    BYTE m_cand[QOP_CANDIDATE_ROOM];

    BYTE m_buf[FRAME_ROOM];
};
