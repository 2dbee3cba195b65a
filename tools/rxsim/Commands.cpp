#include "Commands.h"

#include "Script.h"

namespace rxsim {

namespace {

const uint8_t DLE = 0x10, ETX = 0x03, STX = 0x02, CR = 0x0D, LF = 0x0A;
const uint8_t KESTO_ESCAPE = 0x80, KESTO_START = 0x81, KESTO_END = 0x82, KESTO_LAST_RESERVED = 0x87;
const uint8_t UBX_SYNC1 = 0xB5, UBX_SYNC2 = 0x62;
const size_t UBX_HEADER = 6, UBX_TRAILER = 2, UBX_MAX_PAYLOAD = 1024;
const size_t MON_HEADER = 4, MON_TRAILER = 2;

struct QopRow {
    char id1, id2;
    uint16_t command, reply;
};

// The QOP messages by id: the length of the command the program sends and
// of the receiver's reply, each from "@" through LF.
const QopRow kQopTable[] = {
    {'A', 'd', 11, 11}, {'A', 'e', 11, 11}, {'A', 'f', 12, 15}, {'A', 'g', 8, 8},
    {'A', 's', 20, 20}, {'A', 'w', 8, 8},   {'A', 'y', 11, 11}, {'A', 'z', 11, 11},
    {'B', 'b', 8, 92},  {'B', 'j', 8, 8},   {'B', 'o', 8, 8},   {'C', 'f', 7, 7},
    {'C', 'j', 7, 294}, {'G', 'c', 8, 8},   {'G', 'd', 8, 8},   {'G', 'e', 8, 8},
    {'G', 'f', 9, 9},   {'H', 'a', 8, 154}, {'H', 'n', 8, 78},  {'I', 'a', 7, 10},
    {'W', 'b', 7, 7},
};

const QopRow* FindQop(uint8_t id1, uint8_t id2)
{
    for (const QopRow& r : kQopTable)
        if (static_cast<uint8_t>(r.id1) == id1 && static_cast<uint8_t>(r.id2) == id2) return &r;
    return nullptr;
}

bool IsPrintable(uint8_t b) { return b >= 0x20 && b <= 0x7E; }

int HexDigit(uint8_t c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The two hex digits at p as a byte; -1 when they are not hex digits.
int HexByte(const uint8_t* p)
{
    int high = HexDigit(p[0]), low = HexDigit(p[1]);
    return high < 0 || low < 0 ? -1 : high << 4 | low;
}

}  // namespace

uint16_t QopCommandLength(uint8_t id1, uint8_t id2)
{
    const QopRow* r = FindQop(id1, id2);
    return r ? r->command : 0;
}

uint16_t QopReplyLength(uint8_t id1, uint8_t id2)
{
    const QopRow* r = FindQop(id1, id2);
    return r ? r->reply : 0;
}

std::string Command::LogText() const
{
    if (kind == KIND_NMEA || kind == KIND_QTXT) {  // the sentence as text
        std::string s(wire.begin(), wire.end());
        while (!s.empty() && (s.back() == '\r' || s.back() == '\n')) s.pop_back();
        return s;
    }
    return ToHex(wire.data(), wire.size(), true);
}

CommandCollector::CommandCollector() { Reset(); }

void CommandCollector::Reset()
{
    for (Candidate* p : {&m_qbin, &m_nmea, &m_qtxt, &m_qop, &m_kesto, &m_mon, &m_ubx}) *p = Candidate();
}

bool CommandCollector::Feed(uint8_t b, Command& out)
{
    // Framings whose end is fixed by a length or a unique byte first: a "$"
    // inside QOP data must not let the sentence collector claim its CR LF.
    bool done = FeedQbin(b, out) || FeedQop(b, out) || FeedKesto(b, out) || FeedMon(b, out) ||
                FeedUbx(b, out) || FeedText(m_nmea, '$', b, out, true) ||
                FeedText(m_qtxt, '>', b, out, false);
    if (done) Reset();
    return done;
}

bool CommandCollector::FeedQbin(uint8_t b, Command& out)
{
    Candidate& p = m_qbin;
    switch (p.state) {
    case 0:
        if (b == DLE) p.state = 1;
        break;
    case 1:  // after the opening DLE: DLE ETX and DLE NUL open nothing
        if (b == DLE || b == ETX || b == 0x00) {
            p.state = b == DLE ? 1 : 0;
        } else {
            p.buf.assign(1, b);
            p.state = 2;
        }
        break;
    case 2:
        if (b == DLE) p.state = 3;
        else if (p.buf.size() < LIMIT) p.buf.push_back(b);
        else p.state = 0;
        break;
    case 3:  // DLE inside a packet
        if (b == ETX) {
            out = Command();
            out.kind = KIND_QBIN;
            out.body = p.buf;
            out.wire = QbinPacket(p.buf[0], Bytes(p.buf.begin() + 1, p.buf.end()));
            out.valid = true;
            return true;
        }
        if (b == DLE) {
            p.buf.push_back(DLE);
        } else {
            p.buf.assign(1, b);  // the DLE opened a new packet
        }
        p.state = 2;
        break;
    }
    return false;
}

bool CommandCollector::FeedText(Candidate& p, uint8_t start, uint8_t b, Command& out, bool nmea)
{
    if (b == start) {  // a start character always opens a new sentence
        p.buf.assign(1, b);
        p.state = 1;
        return false;
    }
    if (p.state == 0) return false;
    if (p.buf.size() >= LIMIT) {
        p = Candidate();
        return false;
    }
    if (nmea && p.state == 2) {  // CR seen
        if (b != LF) {
            p = Candidate();
            return false;
        }
    } else if (nmea && b == CR) {
        p.state = 2;
        return false;
    } else if (IsPrintable(b)) {
        p.buf.push_back(b);
        if (nmea || b != '<') return false;
    } else if (!(nmea && b == LF)) {
        p = Candidate();
        return false;
    }

    // A whole sentence: NMEA in p.buf without CR LF, QTXT with its "<".
    const Bytes& s = p.buf;
    out = Command();
    out.kind = nmea ? KIND_NMEA : KIND_QTXT;
    out.wire = s;
    out.valid = true;
    if (nmea) {
        out.wire.push_back(CR);
        out.wire.push_back(LF);
        size_t n = s.size();
        if (n >= 4 && s[n - 3] == '*') {
            out.body.assign(s.begin() + 1, s.end() - 3);
            out.valid = HexByte(&s[n - 2]) == XorOf(out.body.data(), out.body.size());
        } else {
            out.body.assign(s.begin() + 1, s.end());
        }
        return out.body.size() > 0;
    }
    size_t n = s.size();
    if (n >= 6 && s[n - 5] == ';' && s[n - 4] == '*') {
        out.body.assign(s.begin() + 1, s.end() - 5);
        out.valid = HexByte(&s[n - 3]) == XorOf(s.data(), n - 3);
    } else {
        out.body.assign(s.begin() + 1, s.end() - 1);
    }
    return out.body.size() > 0;
}

bool CommandCollector::FeedQop(uint8_t b, Command& out)
{
    Candidate& p = m_qop;
    if (p.state == 0) {
        if (b == '@') {
            p.buf.assign(1, b);
            p.state = 1;
        }
        return false;
    }
    if (p.state == 1) {  // the second "@"
        if (b == '@') {
            p.buf.push_back(b);
            p.state = 2;
        } else {
            p = Candidate();
        }
        return false;
    }
    p.buf.push_back(b);
    const size_t n = p.buf.size();
    if (n == 4) p.want = QopCommandLength(p.buf[2], p.buf[3]);
    if (n < 4) return false;
    // A known id has its command length; any other message ends at CR LF.
    const bool crlf = n >= 7 && p.buf[n - 2] == CR && p.buf[n - 1] == LF;
    if (p.want ? n < p.want : !crlf) {
        if (n >= LIMIT) p = Candidate();
        return false;
    }
    if (!crlf) {
        p = Candidate();
        return false;
    }
    out = Command();
    out.kind = KIND_QOP;
    out.wire = p.buf;
    out.body.assign(p.buf.begin() + 2, p.buf.end() - 3);
    out.valid = XorOf(out.body.data(), out.body.size()) == p.buf[n - 3];
    return true;
}

bool CommandCollector::FeedKesto(uint8_t b, Command& out)
{
    Candidate& p = m_kesto;
    if (b == KESTO_START) {  // always the start of a packet
        p.buf.assign(1, b);
        p.escape = false;
        p.state = 1;
        return false;
    }
    if (p.state == 0) return false;
    if (p.escape && b >= KESTO_ESCAPE && b <= KESTO_LAST_RESERVED) {
        p = Candidate();  // an escaped value must be below 0x80
        return false;
    }
    p.escape = b == KESTO_ESCAPE && !p.escape;
    p.buf.push_back(b);
    if (b != KESTO_END || p.escape) {
        if (p.buf.size() >= LIMIT) p = Candidate();
        return false;
    }
    // Undo the escapes: the whole packet as the checksum covers it.
    Bytes u;
    for (size_t i = 0; i < p.buf.size(); ++i) {
        if (p.buf[i] == KESTO_ESCAPE && i + 1 < p.buf.size())
            u.push_back(static_cast<uint8_t>(KESTO_ESCAPE + p.buf[++i]));
        else
            u.push_back(p.buf[i]);
    }
    if (u.size() < 5) {
        p = Candidate();
        return false;
    }
    unsigned sum = 0;
    for (uint8_t v : u) sum += v;
    out = Command();
    out.kind = KIND_KESTO;
    out.wire = p.buf;
    out.body.assign(u.begin() + 1, u.end() - 2);
    out.valid = (sum & 0xFF) == 0;
    return true;
}

bool CommandCollector::FeedMon(uint8_t b, Command& out)
{
    Candidate& p = m_mon;
    if (p.state == 0) {
        if (b == STX) {
            p.buf.assign(1, b);
            p.state = 1;
        }
        return false;
    }
    if (p.state == 1) {
        if (b == 0x00) {
            p.buf.push_back(b);
            p.state = 2;
        } else {
            p = Candidate();
            if (b == STX) return FeedMon(b, out);
        }
        return false;
    }
    p.buf.push_back(b);
    const size_t n = p.buf.size();
    if (n < MON_HEADER || n < p.buf[3] + MON_HEADER + MON_TRAILER) return false;
    if (b != ETX) {
        p = Candidate();
        return false;
    }
    unsigned sum = 0;
    for (size_t i = 2; i + MON_TRAILER < n; ++i) sum += p.buf[i];
    out = Command();
    out.kind = KIND_MON;
    out.wire = p.buf;
    out.body.push_back(p.buf[2]);
    out.body.insert(out.body.end(), p.buf.begin() + MON_HEADER, p.buf.end() - MON_TRAILER);
    out.valid = (sum & 0xFF) == p.buf[n - 2];
    return true;
}

bool CommandCollector::FeedUbx(uint8_t b, Command& out)
{
    Candidate& p = m_ubx;
    if (p.state == 0) {
        if (b == UBX_SYNC1) {
            p.buf.assign(1, b);
            p.state = 1;
        }
        return false;
    }
    if (p.state == 1) {
        if (b == UBX_SYNC2) {
            p.buf.push_back(b);
            p.state = 2;
        } else {
            p = Candidate();
            if (b == UBX_SYNC1) return FeedUbx(b, out);
        }
        return false;
    }
    p.buf.push_back(b);
    const size_t n = p.buf.size();
    if (n == UBX_HEADER) {
        size_t length = p.buf[4] | static_cast<size_t>(p.buf[5]) << 8;
        if (length > UBX_MAX_PAYLOAD) {
            p = Candidate();
            return false;
        }
        p.want = UBX_HEADER + length + UBX_TRAILER;
    }
    if (n < UBX_HEADER || n < p.want) return false;
    uint8_t a = 0, c = 0;
    for (size_t i = 2; i + UBX_TRAILER < n; ++i) {
        a = static_cast<uint8_t>(a + p.buf[i]);
        c = static_cast<uint8_t>(c + a);
    }
    out = Command();
    out.kind = KIND_UBX;
    out.wire = p.buf;
    out.body.assign(p.buf.begin() + 2, p.buf.begin() + 4);
    out.body.insert(out.body.end(), p.buf.begin() + UBX_HEADER, p.buf.end() - UBX_TRAILER);
    out.valid = a == p.buf[n - 2] && c == p.buf[n - 1];
    return true;
}

}  // namespace rxsim
