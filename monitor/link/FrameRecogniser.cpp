#include "link/FrameRecogniser.h"

#include <string.h>

#include "protocol/QopProtocol.h"

namespace {

const BYTE STX = 0x02;
const BYTE ETX = 0x03;
const BYTE DLE = 0x10;
const BYTE LF = 0x0A;
const BYTE CR = 0x0D;
const BYTE KESTO_ESC = 0x80;
const BYTE KESTO_START = 0x81;
const BYTE KESTO_END = 0x82;
const int KESTO_LIMIT = 240;  // a KESTO packet holds at most 239 bytes
const int NMEA_MIN = 8;       // "$" + 5-letter address + CR LF
const int NMEA_MAX = 255;
const int QTXT_MIN = 5;
const int QOP_MIN = 7;        // "@@", id, checksum, CR LF

// The byte that opens a frame of `kind`, or -1 for a kind without one.
int StartByteOf(ProtocolKind kind)
{
    switch (kind) {
    case PROTO_MON: return STX;
    case PROTO_QBIN: return DLE;
    case PROTO_NMEA: return '$';
    case PROTO_QTXT: return '>';
    case PROTO_QOP: return '@';
    case PROTO_KESTO: return KESTO_START;
    default: return -1;
    }
}

bool IsPrintable(BYTE b) { return b >= 0x20 && b <= 0x7E; }

}  // namespace

CFrameRecogniser::CFrameRecogniser(IFrameSink* sink)
    : m_sink(sink), m_converting(false), m_onlyStart(-1)
{
    Reset();
    memset(m_buf, 0, sizeof(m_buf));
    memset(m_cand, 0, sizeof(m_cand));
}

void CFrameRecogniser::Reset()
{
    m_state = ST_IDLE;
    m_count = 0;
    m_prev = 0;
    m_kestoEscape = false;
    m_qopLength = 0;
    m_candLength = 0;
    m_candCount = 0;
}

void CFrameRecogniser::SetConverting(bool converting)
{
    m_converting = converting;
    if (converting) m_candLength = 0;
}

void CFrameRecogniser::SetDetectedKind(ProtocolKind kind)
{
    // A detected kind without a start byte of its own (never reported by the
    // handler) would shut every framing; treat it as not yet detected.
    m_onlyStart = (kind == PROTO_NONE) ? -1 : StartByteOf(kind);
}

void CFrameRecogniser::Finish(ProtocolKind kind, const BYTE* frame, int length)
{
    if (m_sink != nullptr) m_sink->OnFrame(kind, frame, length);
}

void CFrameRecogniser::FeedState(BYTE b)
{
    switch (m_state) {
    case ST_IDLE:
        OnIdle(b);
        break;
    case ST_QBIN_START:
        if (b == 0x00 || b == ETX) {
            m_state = ST_IDLE;   // DLE NUL / DLE ETX between frames: no packet start
            m_count = 0;
        } else if (b != DLE) {   // a doubled DLE keeps waiting for the id
            Store(b);
            m_state = ST_QBIN_DATA;
        }
        break;
    case ST_QBIN_DLE:
        OnQbinDle(b);
        break;
    case ST_QBIN_DATA:
        OnQbinData(b);
        break;
    case ST_QOP_BODY:
        OnQop(b);
        break;
    case ST_QOP_LAST:
        if (b == LF) {
            Store(b);
            if (m_count >= QOP_MIN) Finish(PROTO_QOP, m_buf, m_count);
        }
        m_state = ST_IDLE;
        m_count = 0;
        break;
    case ST_NMEA_BODY:
        if (IsPrintable(b)) {
            Store(b);
        } else if (b == CR) {
            Store(b);
            m_state = ST_NMEA_CR;
        } else if (b == LF) {
            // A line without its CR (a log saved with bare LF line ends) ends
            // here too. It is handed on in its wire form, CR LF, so the check
            // and the decoders see one shape of sentence.
            Store(CR);
            Store(LF);
            if (m_count >= NMEA_MIN && m_count <= NMEA_MAX) Finish(PROTO_NMEA, m_buf, m_count);
            m_state = ST_IDLE;
            m_count = 0;
        } else {
            Drop();
        }
        break;
    case ST_NMEA_CR:
        if (b == LF) {
            Store(b);
            if (m_count >= NMEA_MIN && m_count <= NMEA_MAX) Finish(PROTO_NMEA, m_buf, m_count);
        }
        m_state = ST_IDLE;
        m_count = 0;
        break;
    case ST_QTXT_BODY:
        if (IsPrintable(b)) {
            Store(b);
            if (b == '<') {
                if (m_count >= QTXT_MIN) Finish(PROTO_QTXT, m_buf, m_count);
                m_state = ST_IDLE;
                m_count = 0;
            }
        } else {
            Drop();
        }
        break;
    case ST_KESTO:
        OnKesto(b);
        break;
    case ST_MON_STX:
        if (b == 0x00) {
            Store(b);
            m_state = ST_MON_BODY;
        } else {
            Drop();
        }
        break;
    case ST_MON_BODY:
        Store(b);
        // The length byte is the fourth; the frame is that many data bytes + 6.
        if (m_count >= 4 && m_count == m_buf[3] + 6) {
            if (b == ETX) Finish(PROTO_MON, m_buf, m_count);
            m_state = ST_IDLE;
            m_count = 0;
        }
        break;
    }

    if (m_count >= FRAME_LIMIT) {
        // Too long for any framing: dropped without a count. A QOP message
        // that began inside the lost QBIN data can still complete on its own.
        if (m_candLength != 0 && (m_state == ST_QBIN_DATA || m_state == ST_QBIN_DLE)) {
            TakeOverQopCandidate();
        } else {
            Drop();
        }
    }
    m_prev = b;
}

void CFrameRecogniser::OnIdle(BYTE b)
{
    State next;
    switch (b) {
    case STX: next = ST_MON_STX; break;
    case DLE: next = ST_QBIN_START; break;
    case '$': next = ST_NMEA_BODY; break;
    case '>': next = ST_QTXT_BODY; break;
    case '@': next = ST_QOP_BODY; break;
    case KESTO_START: next = ST_KESTO; break;
    default:
        if (m_prev == '!' && b >= '0' && b <= '9' && !m_converting && m_sink != nullptr)
            m_sink->OnBangDigit(b);
        return;
    }
    if (m_onlyStart >= 0 && b != m_onlyStart) return;  // another protocol's start in a conversion
    m_count = 0;
    m_candLength = 0;
    m_kestoEscape = false;
    Store(b);
    m_state = next;
}

void CFrameRecogniser::OnQbinData(BYTE b)
{
    if (m_candLength != 0 && FeedQopCandidate(b)) return;
    if (b == DLE) {
        m_state = ST_QBIN_DLE;
        return;
    }
    Store(b);
    if (m_candLength == 0 && !m_converting) StartQopCandidateIfFound();
}

void CFrameRecogniser::OnQbinDle(BYTE b)
{
    if (m_candLength != 0 && FeedQopCandidate(b)) return;
    if (b == ETX) {
        // The packet ends before any QOP candidate completed: it is kept.
        m_candLength = 0;
        Store(DLE);
        Store(ETX);
        Finish(PROTO_QBIN, m_buf, m_count);
        m_state = ST_IDLE;
        m_count = 0;
    } else if (b == DLE) {
        Store(DLE);
        m_state = ST_QBIN_DATA;
    } else {
        if (m_sink != nullptr) {
            BYTE firstData = m_count >= 3 ? m_buf[2] : 0;
            m_sink->OnBrokenQbinPacket(m_buf[1], firstData, m_count - 2);
        }
        // The leading DLE stays; the byte after the stray DLE is the new id.
        m_buf[1] = b;
        m_count = 2;
        m_state = ST_QBIN_DATA;
    }
}

void CFrameRecogniser::StartQopCandidateIfFound()
{
    if (m_count < 4) return;
    const BYTE* last = m_buf + m_count - 4;
    if (last[0] != '@' || last[1] != '@') return;
    uint16_t length = GetQopMessageLength(last, QOP_LENGTH_REPLY);
    // Every reply of the table is longer than its header and fits the room;
    // anything else is no candidate.
    if (length <= 4 || length > QOP_CANDIDATE_ROOM) return;
    memcpy(m_cand, last, 4);
    m_candCount = 4;
    m_candLength = length;
}

bool CFrameRecogniser::FeedQopCandidate(BYTE b)
{
    m_cand[m_candCount++] = b;
    if (m_candCount < m_candLength) return false;
    // The candidate has its full length: it completes only with LF last and a
    // matching checksum; otherwise the QBIN packet simply goes on.
    bool complete = b == LF && m_candCount >= QOP_MIN && CheckQopMessage(m_cand, m_candCount);
    int length = m_candCount;
    m_candLength = 0;
    if (!complete) return false;
    m_state = ST_IDLE;
    m_count = 0;
    Finish(PROTO_QOP, m_cand, length);
    return true;
}

void CFrameRecogniser::TakeOverQopCandidate()
{
    memcpy(m_buf, m_cand, m_candCount);
    m_count = m_candCount;
    m_qopLength = m_candLength;
    m_candLength = 0;
    m_state = (m_count + 1 == m_qopLength) ? ST_QOP_LAST : ST_QOP_BODY;
}

void CFrameRecogniser::OnQop(BYTE b)
{
    Store(b);
    if (m_count < 4) return;
    if (m_count == 4) m_qopLength = GetQopMessageLength(m_buf, QOP_LENGTH_REPLY);
    if (m_qopLength == m_count + 1) {
        m_state = ST_QOP_LAST;
    } else if (m_count >= m_qopLength) {  // unknown id (length 0) included
        m_state = ST_IDLE;
        m_count = 0;
    }
}

void CFrameRecogniser::OnKesto(BYTE b)
{
    if (m_kestoEscape && b >= 0x80 && b <= 0x87) {
        Drop();  // an escaped byte must be below 0x80
        m_kestoEscape = false;
        return;
    }
    if (b == KESTO_ESC) {
        m_kestoEscape = true;
        Store(b);
    } else if (b == KESTO_START) {
        m_count = 0;  // a new packet starts over the unfinished one
        Store(b);
    } else if (b == KESTO_END) {
        Store(b);
        if (m_count >= 5) Finish(PROTO_KESTO, m_buf, m_count);
        m_state = ST_IDLE;
        m_count = 0;
        return;
    } else if (m_kestoEscape) {
        m_kestoEscape = false;
        --m_count;  // the stored escape byte gives way to the value it escapes
        Store(static_cast<BYTE>(b + 0x80));
    } else {
        Store(b);
    }
    if (m_count >= KESTO_LIMIT) {
        Drop();
        m_kestoEscape = false;
    }
}
