#include "app/RawLine.h"

#include <cstdio>
#include <cstring>

#include "model/ReceiverEvent.h"

namespace {

const uint8_t kDle = 0x10;
const uint8_t kEtx = 0x03;

// The identifier forms read fixed positions: each needs this many bytes.
const int kShortestBinaryId = 4;     // QBIN, QTXT, KESTO, QOP, MON
const int kShortestNmeaId = 6;       // "$" and five letters
const int kShortestNmeaQuery = 10;   // "$GPGPQ," and three letters
const int kShortestProprietary = 8;  // "$PZUL", a query mark, two letters
const int kNmeaLineEnd = 2;          // CR LF
const int kQbinFrameBytes = 4;       // DLE id ... DLE ETX
const int kKestoFrameBytes = 5;      // the bytes around a KESTO packet's data
const int kQopTextBytes = 4;         // "@@" and the two-letter id

// The maker's three-letter NMEA code starts with these two letters.
const char kMakerNmeaCode[] = "ZUL";

// QBIN packets whose id is followed by a sub-code.
const uint8_t kQbinIdsWithSubCode[] = {0x3F, 0x5F, 0x6F, 0x8E, 0x8F};

const char kHexDigits[] = "0123456789ABCDEF";

char Shown(uint8_t b) { return b == 0 ? '.' : static_cast<char>(b); }

// Each byte as "%02X ".
void AppendHex(std::string& out, const uint8_t* bytes, int n)
{
    if (n <= 0) return;
    size_t at = out.size();
    out.resize(at + 3 * static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        out[at++] = kHexDigits[bytes[i] >> 4];
        out[at++] = kHexDigits[bytes[i] & 0x0F];
        out[at++] = ' ';
    }
}

void AppendText(std::string& out, const uint8_t* bytes, int n)
{
    for (int i = 0; i < n; ++i) out += Shown(bytes[i]);
}

// snprintf with the characters of the frame passed as %c: NULs must not
// cut the line, so they go in as '.' already.
template <class... Args>
void AppendFormat(std::string& out, const char* format, Args... args)
{
    char line[96];
    const int length = std::snprintf(line, sizeof line, format, args...);
    if (length > 0) out.append(line, static_cast<size_t>(length) < sizeof line ? static_cast<size_t>(length)
                                                                                  : sizeof line - 1);
}

bool HasSubCode(uint8_t id)
{
    for (uint8_t withSubCode : kQbinIdsWithSubCode)
        if (id == withSubCode) return true;
    return false;
}

bool StartsWith(const uint8_t* bytes, int n, const char* prefix)
{
    for (int i = 0; prefix[i] != '\0'; ++i)
        if (i >= n || bytes[i] != static_cast<uint8_t>(prefix[i])) return false;
    return true;
}

void FormatQbinId(std::string& out, const uint8_t* b, int n)
{
    if (n < kShortestBinaryId) return;
    if (HasSubCode(b[1]))
        AppendFormat(out, "Packet ID: 0x%02X-%02X  Data Length: %d", b[1], b[2], n - kQbinFrameBytes);
    else
        AppendFormat(out, "Packet ID: 0x%02X     Data Length: %d", b[1], n - kQbinFrameBytes);
}

void FormatNmeaId(std::string& out, const uint8_t* b, int n)
{
    if (n < kShortestNmeaId) return;
    const bool proprietary = b[2] == static_cast<uint8_t>(kMakerNmeaCode[0]) &&
                             b[3] == static_cast<uint8_t>(kMakerNmeaCode[1]);
    if (StartsWith(b, n, "$GPGP") && n >= kShortestNmeaQuery)
        AppendFormat(out, "Message ID: Query %c%c%c   Message Length: %d", Shown(b[7]), Shown(b[8]), Shown(b[9]), n);
    else if (StartsWith(b, n, "$GP") && !StartsWith(b, n, "$GPGP"))
        AppendFormat(out, "Message ID: %c%c%c   Message Length: %d", Shown(b[3]), Shown(b[4]), Shown(b[5]), n);
    else if (proprietary && n >= kShortestProprietary && b[5] == 'Q')
        AppendFormat(out, "Message ID: Query %c%c    Message Length: %d", Shown(b[6]), Shown(b[7]), n);
    else if (proprietary && n >= kShortestProprietary)
        AppendFormat(out, "Message ID: %c%c    Message Length: %d", Shown(b[6]), Shown(b[7]), n);
    else
        AppendFormat(out, "Message ID: %c%c%c%c%c    Message Length: %d", Shown(b[1]), Shown(b[2]), Shown(b[3]),
                     Shown(b[4]), Shown(b[5]), n);
}

// QTXT and QOP name their frames with two letters after the start mark(s).
void FormatTwoLetterId(std::string& out, const uint8_t* b, int n)
{
    if (n < kShortestBinaryId) return;
    AppendFormat(out, "Message ID: %c%c    Message Length: %d", Shown(b[2]), Shown(b[3]), n);
}

void FormatKestoId(std::string& out, const uint8_t* b, int n)
{
    if (n < kShortestBinaryId) return;
    AppendFormat(out, "Packet Code: 0x%02X  Sub-Code: 0x%02X   Data Length: %d", b[1], b[2], n - kKestoFrameBytes);
}

void FormatMonId(std::string& out, const uint8_t* b, int n)
{
    if (n < kShortestBinaryId) return;
    AppendFormat(out, "Packet Code: 0x%02X  Data Length: %d", b[2], b[3]);
}

void FormatIdLine(std::string& out, ProtocolKind kind, const uint8_t* b, int n)
{
    switch (kind) {
    case PROTO_QBIN: FormatQbinId(out, b, n); break;
    case PROTO_NMEA: FormatNmeaId(out, b, n); break;
    case PROTO_QTXT:
    case PROTO_QOP: FormatTwoLetterId(out, b, n); break;
    case PROTO_KESTO: FormatKestoId(out, b, n); break;
    case PROTO_MON: FormatMonId(out, b, n); break;
    default: break;
    }
}

void FormatFullLine(std::string& out, ProtocolKind kind, const uint8_t* b, int n)
{
    switch (kind) {
    case PROTO_QBIN:
    case PROTO_KESTO:
    case PROTO_MON: AppendHex(out, b, n); break;
    case PROTO_NMEA:
        if (n > kNmeaLineEnd) AppendText(out, b, n - kNmeaLineEnd);
        break;
    case PROTO_QTXT: AppendText(out, b, n); break;
    case PROTO_QOP: {
        // "@@" and the id read as text; a frame shorter than that shows what it has.
        const int text = n < kQopTextBytes ? n : kQopTextBytes;
        if (text == 0) break;
        AppendText(out, b, text);
        out += ' ';
        AppendHex(out, b + text, n - text);
        break;
    }
    default: break;
    }
}

}  // namespace

RawLineSource SelectRawLineSource(int32_t event, const RawMonitorState& state)
{
    if (state.paused) return RAW_SOURCE_NONE;
    if (state.fileMode && state.playbackSpeed > kRawMonitorMaxPlaybackSpeed) return RAW_SOURCE_NONE;
    if (event == EV_RAW_FRAME && state.showReceived) return RAW_SOURCE_RECEIVED;
    if (event == EV_COMMAND_BYTES && state.showSent) return RAW_SOURCE_SENT;
    return RAW_SOURCE_NONE;
}

void FormatRawLineInto(std::string& out, ProtocolKind kind, const uint8_t* bytes, int n, bool idsOnly)
{
    out.clear();
    if (bytes == nullptr || n <= 0) return;
    if (idsOnly)
        FormatIdLine(out, kind, bytes, n);
    else
        FormatFullLine(out, kind, bytes, n);
}

std::string FormatRawLine(ProtocolKind kind, const uint8_t* bytes, int n, bool idsOnly)
{
    std::string line;
    FormatRawLineInto(line, kind, bytes, n, idsOnly);
    return line;
}

void UnstuffQbinCommand(const uint8_t* bytes, int n, std::vector<uint8_t>& out)
{
    out.clear();
    if (bytes == nullptr || n <= 0) return;
    const bool framed = n >= 3 && bytes[0] == kDle && bytes[n - 2] == kDle && bytes[n - 1] == kEtx;
    if (!framed) {
        out.resize(static_cast<size_t>(n));
        std::memcpy(out.data(), bytes, static_cast<size_t>(n));
        return;
    }
    out.reserve(static_cast<size_t>(n));
    out.push_back(kDle);
    const int end = n - 2;
    for (int i = 1; i < end; ++i) {
        out.push_back(bytes[i]);
        if (bytes[i] == kDle && i + 1 < end && bytes[i + 1] == kDle) ++i;
    }
    out.push_back(kDle);
    out.push_back(kEtx);
}

// ---- The queue between refreshes ---------------------------------------------------------

void RawLineQueue::Push(const std::string& line)
{
    if (line.empty()) return;
    if (m_lines >= kLineLimit) {
        // What waited would have been shown and then emptied away.
        m_clearFirst = true;
        m_pending.clear();
        m_pendingLines = 0;
        m_lines = 0;
    }
    if (m_lines > 0) m_pending += "\r\n";
    m_pending += line;
    ++m_pendingLines;
    ++m_lines;
}

RawLineQueue::Batch RawLineQueue::Take()
{
    Batch batch;
    batch.clearFirst = m_clearFirst;
    batch.text.swap(m_pending);
    batch.lines = m_pendingLines;
    m_pending.clear();
    m_pendingLines = 0;
    m_clearFirst = false;
    return batch;
}

void RawLineQueue::Clear()
{
    m_pending.clear();
    m_pendingLines = 0;
    m_clearFirst = false;
    m_lines = 0;
}
