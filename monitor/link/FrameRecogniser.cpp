#include "link/FrameRecogniser.h"

#include <string.h>

#include "protocol/QopProtocol.h"

namespace {

const BYTE STX = 0x02;
const BYTE ETX = 0x03;
const BYTE DLE = 0x10;
const BYTE LF = 0x0A;
const BYTE CR = 0x0D;
const BYTE BANG = '!';
const BYTE KESTO_ESC = 0x80;
const BYTE KESTO_START = 0x81;
const BYTE KESTO_END = 0x82;
const BYTE KESTO_ESCAPED_LAST = 0x87;  // 0x80..0x87 may not follow an escape
const BYTE KESTO_ESCAPE_OFFSET = 0x80;
const int KESTO_LIMIT = 240;  // a KESTO packet holds at most 239 bytes
const int KESTO_MIN = 5;
const int NMEA_MIN = 8;       // "$" + 5-letter address + CR LF
const int NMEA_MAX = 255;
const int NMEA_TEXT_MAX = NMEA_MAX - 2;  // before CR LF
const int QTXT_MIN = 5;
const int QOP_MIN = 7;        // "@@", id, checksum, CR LF
const int QOP_HEADER = 4;     // "@@" and the two id letters
const int MON_LENGTH_AT = 3;  // the data length is the fourth byte
const int MON_OVERHEAD = 6;   // STX 00 id length ... sum ETX

// Marks in the idle table besides the states a start byte opens.
const uint8_t IDLE_SKIP = 0;
const uint8_t IDLE_BANG = 0xFF;

// A table of 256 flags, built at compile time from a rule on the byte.
struct ByteTable {
    uint8_t is[256];
};

template <typename Rule>
constexpr ByteTable MakeTable(Rule rule)
{
    ByteTable t{};
    for (int b = 0; b < 256; ++b) t.is[b] = rule(b) ? 1 : 0;
    return t;
}

constexpr bool IsPrintable(int b) { return b >= 0x20 && b <= 0x7E; }
bool IsDigit(BYTE b) { return b >= '0' && b <= '9'; }

// Bytes that only need storing, state by state: runs of them are taken whole.
constexpr ByteTable kNmeaText = MakeTable([](int b) { return IsPrintable(b) && b != '$'; });
constexpr ByteTable kQtxtText = MakeTable([](int b) { return IsPrintable(b) && b != '<'; });
constexpr ByteTable kKestoPlain =
    MakeTable([](int b) { return b != KESTO_ESC && b != KESTO_START && b != KESTO_END; });
constexpr ByteTable kQbinPlain = MakeTable([](int b) { return b != DLE; });
// While QOP messages are looked for inside QBIN data, an '@' needs a look too.
constexpr ByteTable kQbinPlainFinding = MakeTable([](int b) { return b != DLE && b != '@'; });

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

struct StartByte {
    BYTE b;
    CFrameRecogniser::State opens;
};
const StartByte kStartBytes[] = {
    {STX, CFrameRecogniser::ST_MON_STX},   {DLE, CFrameRecogniser::ST_QBIN_START},
    {'$', CFrameRecogniser::ST_NMEA_BODY}, {'>', CFrameRecogniser::ST_QTXT_BODY},
    {'@', CFrameRecogniser::ST_QOP_BODY},  {KESTO_START, CFrameRecogniser::ST_KESTO},
};

size_t Min(size_t a, size_t b) { return a < b ? a : b; }

// The first index from i, below limit, whose byte's entry in `table` is 0;
// four bytes a step while they last.
inline size_t RunWhileSet(const uint8_t* table, const BYTE* p, size_t i, size_t limit)
{
    while (limit - i >= 4 && (table[p[i]] & table[p[i + 1]] & table[p[i + 2]] & table[p[i + 3]])) i += 4;
    while (i < limit && table[p[i]]) ++i;
    return i;
}

// ... whose entry is not 0.
inline size_t RunWhileClear(const uint8_t* table, const BYTE* p, size_t i, size_t limit)
{
    while (limit - i >= 4 && (table[p[i]] | table[p[i + 1]] | table[p[i + 2]] | table[p[i + 3]]) == 0) i += 4;
    while (i < limit && !table[p[i]]) ++i;
    return i;
}

// NMEA text eight bytes a step while no byte of a word is below 0x20, above
// 0x7E or a '$' (each test is exact for the word as a whole), then byte by
// byte.
inline size_t RunNmeaText(const BYTE* p, size_t i, size_t limit)
{
    const uint64_t kOnes = 0x0101010101010101ull;
    const uint64_t kHighBits = 0x8080808080808080ull;
    const uint64_t kFirstPrintable = 0x20;
    const uint64_t kDollars = kOnes * '$';
    while (limit - i >= sizeof(uint64_t)) {
        uint64_t word;
        memcpy(&word, p + i, sizeof word);
        const uint64_t below = (word - kOnes * kFirstPrintable) & ~word & kHighBits;
        const uint64_t above = ((word + kOnes) | word) & kHighBits;   // 0x7F and up
        const uint64_t dollar = ((word ^ kDollars) - kOnes) & ~(word ^ kDollars) & kHighBits;
        if ((below | above | dollar) != 0) break;
        i += sizeof word;
    }
    return RunWhileSet(kNmeaText.is, p, i, limit);
}

}  // namespace

CFrameRecogniser::CFrameRecogniser(IFrameSink* sink)
    : m_sink(sink), m_converting(false), m_live(nullptr), m_findingEnd(0)
{
    Reset();
    m_onlyStart = -1;
    RebuildIdleTable();
    memset(m_raw, 0, sizeof(m_raw));
    memset(m_frame, 0, sizeof(m_frame));
    memset(m_pending, 0, sizeof(m_pending));
}

void CFrameRecogniser::Reset()
{
    m_state = ST_IDLE;
    m_rawCount = 0;
    m_count = 0;
    m_kestoEscape = false;
    m_bangPending = false;
    m_return = false;
    m_qopLength = 0;
    m_candStart = -1;
    m_qopAt = 0;
    m_qopEnd = 0;
    m_pendingRead = 0;
    m_pendingEnd = 0;
    m_quietEnd = 0;
}

void CFrameRecogniser::SetConverting(bool converting)
{
    m_converting = converting;
    if (converting) {
        m_qopAt = 0;
        m_bangPending = false;
    }
    RebuildIdleTable();
}

void CFrameRecogniser::SetDetectedKind(ProtocolKind kind)
{
    const int onlyStart = (kind == PROTO_NONE) ? -1 : StartByteOf(kind);
    // A conversion confirms its kind with every good frame.
    if (onlyStart == m_onlyStart) return;
    m_onlyStart = onlyStart;
    RebuildIdleTable();
}

void CFrameRecogniser::RebuildIdleTable()
{
    memset(m_idleClass, IDLE_SKIP, sizeof(m_idleClass));
    // During a conversion, once the log's protocol is known, the other
    // protocols' start bytes open nothing. A detected kind without a start
    // byte of its own (never reported by the handler) would shut every
    // framing; it is treated as not yet detected.
    for (const StartByte& s : kStartBytes) {
        if (m_onlyStart < 0 || s.b == m_onlyStart) m_idleClass[s.b] = s.opens;
    }
    if (!m_converting) m_idleClass[BANG] = IDLE_BANG;
}

// ---------------------------------------------------------------------------
// Feeding

size_t CFrameRecogniser::Feed(const BYTE* bytes, size_t count)
{
    m_return = false;
    Cursor live = {bytes, 0, bytes != nullptr ? count : 0, false, false};
    m_live = &live;
    while (!m_return) {
        if (HasPending()) {
            Cursor again = {m_pending, m_pendingRead, m_pendingEnd, true, false};
            Scan(again);
            m_pendingRead = static_cast<uint16_t>(again.pos);
            if (!HasPending()) PendingDrained();
        } else if (live.pos < live.end) {
            live.diverted = false;
            Scan(live);
        } else {
            break;
        }
    }
    m_live = nullptr;
    return live.pos;
}

void CFrameRecogniser::PendingDrained()
{
    // A candidate opened among the pending bytes goes on with received ones;
    // from now on its bytes are only in m_raw.
    m_pendingRead = 0;
    m_pendingEnd = 0;
    m_quietEnd = 0;
    m_candStart = -1;
}

void CFrameRecogniser::Scan(Cursor& c)
{
    // A candidate carried over from an earlier stretch is in m_raw; one that
    // opens in this stretch is read where it lies, and copied to m_raw only if
    // it is still open when the stretch ends.
    Work w = {m_state, m_rawCount, m_count, m_raw};
    while (c.pos < c.end && !c.diverted && !m_return) {
        switch (w.state) {
        case ST_IDLE: ScanIdle(c, w); break;
        case ST_QBIN_START: ScanQbinStart(c, w); break;
        case ST_QBIN_DLE: ScanQbinDle(c, w); break;
        case ST_QBIN_DATA: ScanQbinData(c, w); break;
        case ST_QOP_BODY: ScanQop(c, w); break;
        case ST_QOP_LAST: ScanQopLast(c, w); break;
        case ST_NMEA_BODY: ScanNmeaBody(c, w); break;
        case ST_NMEA_CR: ScanNmeaCr(c, w); break;
        case ST_QTXT_BODY: ScanQtxt(c, w); break;
        case ST_KESTO: ScanKesto(c, w); break;
        case ST_MON_STX: ScanMonStx(c, w); break;
        case ST_MON_BODY: ScanMonBody(c, w); break;
        }
    }
    if (w.state != ST_IDLE) Own(w);
    m_state = w.state;
    m_rawCount = static_cast<uint16_t>(w.raw);
    m_count = static_cast<uint16_t>(w.count);
}

// Takes the run of bytes that `keep` marks, at most `room` of them, from the
// cursor into the candidate; returns how many.
inline size_t CFrameRecogniser::TakeRun(Cursor& c, Work& w, const uint8_t* keep, size_t room)
{
    const BYTE* p = c.base;
    const size_t from = c.pos;
    const size_t limit = from + Min(c.end - from, room);
    const size_t end = keep == kNmeaText.is ? RunNmeaText(p, from, limit) : RunWhileSet(keep, p, from, limit);
    const size_t n = end - from;
    Append(c, w, n);
    w.count += static_cast<int>(n);
    return n;
}

// Adds the next n raw bytes under the cursor to the candidate. Read in place,
// they are there already; a candidate in m_raw gets them copied.
inline void CFrameRecogniser::Append(Cursor& c, Work& w, size_t n)
{
    if (w.data == m_raw) memcpy(m_raw + w.raw, c.base + c.pos, n);
    w.raw += static_cast<int>(n);
    c.pos += n;
}

// Moves a candidate read in place into m_raw.
void CFrameRecogniser::Own(Work& w)
{
    if (w.data == m_raw) return;
    memcpy(m_raw, w.data, static_cast<size_t>(w.raw));
    w.data = m_raw;
}

// Stores up to `wanted` bytes, whatever they are.
inline void CFrameRecogniser::Copy(Cursor& c, Work& w, size_t wanted)
{
    const size_t n = Min(c.end - c.pos, wanted);
    Append(c, w, n);
    w.count += static_cast<int>(n);
}

// Stores the byte under the cursor as it is.
inline void CFrameRecogniser::Store(Cursor& c, Work& w)
{
    Append(c, w, 1);
    ++w.count;
}

inline void CFrameRecogniser::ScanIdle(Cursor& c, Work& w)
{
    const BYTE* p = c.base;
    size_t i = c.pos;
    if (m_bangPending) {
        m_bangPending = false;
        if (IsDigit(p[i]) && m_sink != nullptr) m_sink->OnBangDigit(p[i]);
    }
    i = RunWhileClear(m_idleClass, p, i, c.end);
    c.pos = i;
    if (i == c.end) return;
    const uint8_t cls = m_idleClass[p[i]];
    ++c.pos;
    if (cls == IDLE_BANG) {
        // The digit, if one follows, is skipped like any other byte.
        if (c.pos == c.end) {
            m_bangPending = true;
        } else if (IsDigit(p[c.pos]) && m_sink != nullptr) {
            m_sink->OnBangDigit(p[c.pos]);
        }
        return;
    }
    w.data = p + i;
    w.raw = 1;
    w.count = 1;
    w.state = static_cast<State>(cls);
    m_kestoEscape = false;
    m_qopAt = 0;
    m_candStart = c.pending ? static_cast<int>(i) : -1;
}

// ---------------------------------------------------------------------------
// Giving up and handing on

void CFrameRecogniser::GiveUp(Cursor& c, Work& w, bool breakerStored)
{
    m_qopAt = 0;
    m_kestoEscape = false;
    w.state = ST_IDLE;
    if (c.pending) {
        // The candidate began among the pending bytes, which are still there:
        // scan on from the byte after its start (the breaker, if not stored,
        // is still under the cursor).
        c.pos = static_cast<size_t>(m_candStart) + 1;
    } else if (w.raw > 1 || breakerStored) {
        // A candidate never holds more than RAW_ROOM bytes; the bound is
        // restated for the compiler's sake.
        size_t n = w.raw > 1 ? Min(static_cast<size_t>(w.raw - 1), static_cast<size_t>(RAW_ROOM)) : 0;
        memcpy(m_pending, w.data + 1, n);
        if (!breakerStored) m_pending[n++] = c.base[c.pos++];
        m_pendingRead = 0;
        m_pendingEnd = static_cast<uint16_t>(n);
        m_quietEnd = 0;
        c.diverted = true;
    }
    // Otherwise the candidate held its start byte only: the breaker, not yet
    // taken, is scanned next between frames as it is.
    w.raw = 0;
    w.count = 0;
}

void CFrameRecogniser::Deliver(Work& w, ProtocolKind kind, const BYTE* frame, int length)
{
    w.state = ST_IDLE;
    w.raw = 0;
    w.count = 0;
    m_qopAt = 0;
    // Every frame is handed on after the byte that completed it was taken.
    m_findingEnd = m_live != nullptr ? m_live->pos : 0;
    if (m_sink != nullptr) m_sink->OnFrame(kind, frame, length);
}

// ---------------------------------------------------------------------------
// QBIN

inline void CFrameRecogniser::ScanQbinStart(Cursor& c, Work& w)
{
    const BYTE b = c.base[c.pos];
    if (b == DLE) {
        // DLE DLE between frames: the later DLE is the packet's start.
        m_candStart = c.pending ? static_cast<int>(c.pos) : -1;
        if (w.data != m_raw) w.data = c.base + c.pos;
        ++c.pos;
    } else if (b == 0x00 || b == ETX) {
        GiveUp(c, w, false);  // DLE NUL / DLE ETX between frames: no packet start
    } else {
        Store(c, w);  // the packet id
        w.state = ST_QBIN_DATA;
    }
}

inline void CFrameRecogniser::ScanQbinData(Cursor& c, Work& w)
{
    const bool finding = m_qopAt == 0 && !m_converting;
    const uint8_t* plain = finding ? kQbinPlainFinding.is : kQbinPlain.is;
    // A data byte stored at FRAME_LIMIT - 1 would reach the limit.
    size_t room = static_cast<size_t>(FRAME_LIMIT - 1 - w.count);
    if (m_qopAt != 0) room = Min(room, static_cast<size_t>(m_qopEnd - w.raw));
    // Within three bytes after an '@' each byte may complete "@@" and an id:
    // they are stored one at a time and looked at.
    const bool watching = finding && (AtFromEnd(w, 1) || AtFromEnd(w, 2) || AtFromEnd(w, 3));
    if (watching) room = Min(room, 1);
    TakeRun(c, w, plain, room);
    if (watching) StartQopCandidateIfFound(w);
    if (m_qopAt != 0 && w.raw == m_qopEnd && QopCandidateCompletes(w)) {
        GiveUp(c, w, true);  // a QOP message found among the data: scanned again, it is delivered
        return;
    }
    if (c.pos == c.end) return;
    const BYTE b = c.base[c.pos];
    if (b == DLE) {
        Append(c, w, 1);  // counted with the byte after it
        w.state = ST_QBIN_DLE;
        if (m_qopAt != 0 && w.raw == m_qopEnd) m_qopAt = 0;  // a message ends with LF, not DLE
    } else if (w.count >= FRAME_LIMIT - 1) {
        GiveUp(c, w, false);  // too long for any framing
    } else if (!plain[b]) {
        Store(c, w);  // an '@'
        StartQopCandidateIfFound(w);
    }
    // Otherwise the run stopped after one watched byte, or where a QOP
    // candidate reached its length without completing; the data go on.
}

inline void CFrameRecogniser::ScanQbinDle(Cursor& c, Work& w)
{
    const BYTE b = c.base[c.pos];
    if (m_qopAt != 0 && w.raw + 1 == m_qopEnd) {
        if (w.data == m_raw) m_raw[w.raw] = b;  // the candidate's last byte, on trial
        if (QopCandidateCompletes(w)) {
            Append(c, w, 1);
            GiveUp(c, w, true);
            return;
        }
    }
    if (b == ETX) {
        ++c.pos;
        DeliverQbin(w);
    } else if (b == DLE) {
        if (w.count >= FRAME_LIMIT - 1) {
            GiveUp(c, w, false);
            return;
        }
        Store(c, w);  // one DLE of the pair stands for the data byte
        w.state = ST_QBIN_DATA;
        if (m_qopAt != 0 && w.raw == m_qopEnd) m_qopAt = 0;
    } else {
        GiveUpBrokenPacket(c, w);
    }
}

void CFrameRecogniser::GiveUpBrokenPacket(Cursor& c, Work& w)
{
    // The data of a broken packet hold DLE pairs; scanned again, a pair's
    // second DLE looks like a packet start that breaks at the same stray DLE.
    // Those echoes are not reported.
    const bool echo = c.pending && m_candStart >= 0 && m_candStart < m_quietEnd;
    if (!echo && m_sink != nullptr) {
        // The byte after the stray DLE, under the cursor, breaks the packet.
        m_findingEnd = c.pending ? (m_live != nullptr ? m_live->pos : 0) : c.pos + 1;
        BYTE firstData = w.count >= 3 ? w.data[2] : 0;
        m_sink->OnBrokenQbinPacket(w.data[1], firstData, w.count - 2);
    }
    const int strayRaw = w.raw - 1;         // the stray DLE's place in the candidate
    const size_t strayPending = c.pos - 1;  // ... or among the pending bytes
    GiveUp(c, w, false);
    if (c.pending) {
        if (strayPending > m_quietEnd) m_quietEnd = static_cast<uint16_t>(strayPending);
    } else {
        m_quietEnd = static_cast<uint16_t>(strayRaw - 1);  // m_pending starts after the start byte
    }
}

bool CFrameRecogniser::AtFromEnd(const Work& w, int back) const
{
    return w.raw >= back && w.data[w.raw - back] == '@';
}

void CFrameRecogniser::StartQopCandidateIfFound(const Work& w)
{
    if (w.raw < QOP_HEADER) return;
    const BYTE* last = w.data + w.raw - QOP_HEADER;
    if (last[0] != '@' || last[1] != '@') return;
    uint16_t length = GetQopMessageLength(last, QOP_LENGTH_REPLY);
    // Every reply of the table is longer than its header and fits the room;
    // anything else is no candidate.
    if (length <= QOP_HEADER || length > QOP_CANDIDATE_ROOM) return;
    m_qopAt = static_cast<uint16_t>(w.raw - QOP_HEADER);
    m_qopEnd = static_cast<uint16_t>(m_qopAt + length);
}

// The candidate has its full length (its last byte at m_qopEnd - 1): it
// completes only with LF last and a matching checksum; either way it ends.
bool CFrameRecogniser::QopCandidateCompletes(const Work& w)
{
    const int length = m_qopEnd - m_qopAt;
    const BYTE* message = w.data + m_qopAt;
    m_qopAt = 0;
    return message[length - 1] == LF && length >= QOP_MIN && CheckQopMessage(message, length);
}

void CFrameRecogniser::DeliverQbin(Work& w)
{
    // DLE, id, data with DLE pairs, the DLE before ETX.
    const BYTE* from = w.data + 1;
    const BYTE* end = w.data + w.raw - 1;
    BYTE* out = m_frame;
    *out++ = DLE;
    while (from < end) {
        const BYTE* dle = static_cast<const BYTE*>(memchr(from, DLE, static_cast<size_t>(end - from)));
        const BYTE* runEnd = dle != nullptr ? dle + 1 : end;  // one DLE of a pair stays
        memcpy(out, from, static_cast<size_t>(runEnd - from));
        out += runEnd - from;
        from = dle != nullptr ? dle + 2 : end;
    }
    *out++ = DLE;
    *out++ = ETX;
    Deliver(w, PROTO_QBIN, m_frame, static_cast<int>(out - m_frame));
}

// ---------------------------------------------------------------------------
// QOP

inline void CFrameRecogniser::ScanQop(Cursor& c, Work& w)
{
    if (w.count < QOP_HEADER) {
        Copy(c, w, static_cast<size_t>(QOP_HEADER - w.count));
        if (w.count < QOP_HEADER) return;
        m_qopLength = GetQopMessageLength(w.data, QOP_LENGTH_REPLY);
        if (m_qopLength <= w.count) {  // unknown id (length 0) included
            GiveUp(c, w, true);
            return;
        }
    }
    Copy(c, w, static_cast<size_t>(m_qopLength - 1 - w.count));
    if (w.count == m_qopLength - 1) w.state = ST_QOP_LAST;
}

inline void CFrameRecogniser::ScanQopLast(Cursor& c, Work& w)
{
    if (c.base[c.pos] != LF) {
        GiveUp(c, w, false);
        return;
    }
    Store(c, w);
    if (w.count >= QOP_MIN) {
        Deliver(w, PROTO_QOP, w.data, w.raw);
    } else {
        GiveUp(c, w, true);
    }
}

// ---------------------------------------------------------------------------
// NMEA and QTXT

inline void CFrameRecogniser::ScanNmeaBody(Cursor& c, Work& w)
{
    TakeRun(c, w, kNmeaText.is, static_cast<size_t>(NMEA_TEXT_MAX - w.raw));
    if (c.pos == c.end) return;
    const BYTE b = c.base[c.pos];
    if (b == CR) {
        Store(c, w);
        w.state = ST_NMEA_CR;
    } else if (b == LF && w.raw + 2 >= NMEA_MIN) {
        // A line without its CR (a log saved with bare LF line ends) ends
        // here too. It is handed on in its wire form, CR LF, so the check
        // and the decoders see one shape of sentence.
        ++c.pos;
        Own(w);
        m_raw[w.raw] = CR;
        m_raw[w.raw + 1] = LF;
        Deliver(w, PROTO_NMEA, m_raw, w.raw + 2);
    } else {
        // Text beyond the longest sentence, a control byte, a byte above
        // 0x7E, or a '$' that starts the next sentence.
        GiveUp(c, w, false);
    }
}

inline void CFrameRecogniser::ScanNmeaCr(Cursor& c, Work& w)
{
    if (c.base[c.pos] != LF) {
        GiveUp(c, w, false);
        return;
    }
    Store(c, w);
    if (w.raw >= NMEA_MIN && w.raw <= NMEA_MAX) {
        Deliver(w, PROTO_NMEA, w.data, w.raw);
    } else {
        GiveUp(c, w, true);
    }
}

inline void CFrameRecogniser::ScanQtxt(Cursor& c, Work& w)
{
    TakeRun(c, w, kQtxtText.is, static_cast<size_t>(FRAME_LIMIT - 1 - w.count));
    if (c.pos == c.end) return;
    if (c.base[c.pos] != '<') {
        GiveUp(c, w, false);  // a byte outside the text, or too long
        return;
    }
    Store(c, w);
    if (w.count >= QTXT_MIN) {
        Deliver(w, PROTO_QTXT, w.data, w.raw);
    } else {
        GiveUp(c, w, true);
    }
}

// ---------------------------------------------------------------------------
// KESTO

inline void CFrameRecogniser::ScanKesto(Cursor& c, Work& w)
{
    if (m_kestoEscape) {
        const BYTE b = c.base[c.pos];
        if (b >= KESTO_ESC && b <= KESTO_ESCAPED_LAST) {
            GiveUp(c, w, false);  // an escaped byte must be below 0x80
            return;
        }
        // The stored escape byte, already counted, stands for the escaped value.
        m_kestoEscape = false;
        Append(c, w, 1);
        return;
    }
    TakeRun(c, w, kKestoPlain.is, static_cast<size_t>(KESTO_LIMIT - 1 - w.count));
    if (c.pos == c.end) return;
    const BYTE b = c.base[c.pos];
    if (b == KESTO_END) {
        Store(c, w);
        if (w.count >= KESTO_MIN) {
            DeliverKesto(w);
        } else {
            GiveUp(c, w, true);
        }
    } else if (b == KESTO_ESC && w.count < KESTO_LIMIT - 1) {
        Store(c, w);
        m_kestoEscape = true;
    } else {
        // 0x81 starts a new packet over the unfinished one; or the packet
        // grew too long.
        GiveUp(c, w, false);
    }
}

void CFrameRecogniser::DeliverKesto(Work& w)
{
    BYTE* out = m_frame;
    for (int i = 0; i < w.raw; ++i) {
        BYTE b = w.data[i];
        if (b == KESTO_ESC && i + 1 < w.raw) b = static_cast<BYTE>(w.data[++i] + KESTO_ESCAPE_OFFSET);
        *out++ = b;
    }
    Deliver(w, PROTO_KESTO, m_frame, static_cast<int>(out - m_frame));
}

// ---------------------------------------------------------------------------
// MON

inline void CFrameRecogniser::ScanMonStx(Cursor& c, Work& w)
{
    if (c.base[c.pos] != 0x00) {
        GiveUp(c, w, false);
        return;
    }
    Store(c, w);
    w.state = ST_MON_BODY;
}

inline void CFrameRecogniser::ScanMonBody(Cursor& c, Work& w)
{
    if (w.raw <= MON_LENGTH_AT) {  // up to the length byte
        Copy(c, w, static_cast<size_t>(MON_LENGTH_AT + 1 - w.raw));
        return;
    }
    const int total = w.data[MON_LENGTH_AT] + MON_OVERHEAD;
    if (w.raw < total - 1) {
        Copy(c, w, static_cast<size_t>(total - 1 - w.raw));
        return;
    }
    const BYTE last = c.base[c.pos];
    Store(c, w);
    if (last == ETX) {
        Deliver(w, PROTO_MON, w.data, w.raw);
    } else {
        GiveUp(c, w, true);
    }
}
