#include "Frames.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>

namespace rxsim {

Bytes QbinPacket(uint8_t id, const Bytes& data)
{
    Bytes out;
    out.reserve(data.size() * 2 + 5);
    out.push_back(0x10);
    out.push_back(id);
    if (id == 0x10) out.push_back(0x10);
    for (uint8_t b : data) {
        out.push_back(b);
        if (b == 0x10) out.push_back(0x10);
    }
    out.push_back(0x10);
    out.push_back(0x03);
    return out;
}

uint8_t XorOf(const uint8_t* p, size_t n)
{
    uint8_t x = 0;
    for (size_t i = 0; i < n; ++i) x ^= p[i];
    return x;
}

static void AppendHexByte(Bytes& out, uint8_t v, bool lower)
{
    const char* digits = lower ? "0123456789abcdef" : "0123456789ABCDEF";
    out.push_back(static_cast<uint8_t>(digits[v >> 4]));
    out.push_back(static_cast<uint8_t>(digits[v & 0x0F]));
}

Bytes NmeaSentence(const std::string& body, bool checksum, bool corrupt, bool lowerHex)
{
    Bytes out;
    out.push_back('$');
    out.insert(out.end(), body.begin(), body.end());
    if (checksum) {
        uint8_t x = XorOf(out.data() + 1, out.size() - 1);
        if (corrupt) x = static_cast<uint8_t>(x + 1);
        out.push_back('*');
        AppendHexByte(out, x, lowerHex);
    }
    out.push_back('\r');
    out.push_back('\n');
    return out;
}

Bytes QtxtSentence(const std::string& body, bool checksum, bool corrupt)
{
    Bytes out;
    out.push_back('>');
    out.insert(out.end(), body.begin(), body.end());
    if (checksum) {
        out.push_back(';');
        out.push_back('*');
        uint8_t x = XorOf(out.data(), out.size());
        if (corrupt) x = static_cast<uint8_t>(x + 1);
        AppendHexByte(out, x, false);
    }
    out.push_back('<');
    return out;
}

Bytes QopMessage(char id1, char id2, const Bytes& data, bool corrupt)
{
    Bytes out = {'@', '@', static_cast<uint8_t>(id1), static_cast<uint8_t>(id2)};
    out.insert(out.end(), data.begin(), data.end());
    uint8_t x = XorOf(out.data() + 2, out.size() - 2);
    if (corrupt) x = static_cast<uint8_t>(x + 1);
    out.push_back(x);
    out.push_back('\r');
    out.push_back('\n');
    return out;
}

uint8_t KestoChecksum(uint8_t cls, uint8_t id, const Bytes& data)
{
    unsigned sum = 0x81 + 0x82 + cls + id;
    for (uint8_t b : data) sum += b;
    return static_cast<uint8_t>(0x100 - (sum & 0xFF));
}

static void AppendKestoByte(Bytes& out, uint8_t b)
{
    const uint8_t kEscape = 0x80, kLastReserved = 0x87;
    if (b >= kEscape && b <= kLastReserved) {
        out.push_back(kEscape);
        out.push_back(static_cast<uint8_t>(b & 0x0F));
    } else {
        out.push_back(b);
    }
}

Bytes KestoPacket(uint8_t cls, uint8_t id, const Bytes& data, bool corrupt)
{
    uint8_t cs = KestoChecksum(cls, id, data);
    if (corrupt) cs = static_cast<uint8_t>(cs + 1);
    Bytes out = {0x81};
    AppendKestoByte(out, cls);
    AppendKestoByte(out, id);
    for (uint8_t b : data) AppendKestoByte(out, b);
    AppendKestoByte(out, cs);
    out.push_back(0x82);
    return out;
}

Bytes MonFrame(uint8_t id, const Bytes& data, bool corrupt)
{
    Bytes out = {0x02, 0x00, id, static_cast<uint8_t>(data.size())};
    out.insert(out.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (size_t i = 2; i < out.size(); ++i) sum += out[i];
    uint8_t s = static_cast<uint8_t>(sum);
    if (corrupt) s = static_cast<uint8_t>(s + 1);
    out.push_back(s);
    out.push_back(0x03);
    return out;
}

Bytes UbxMessage(uint8_t cls, uint8_t id, const Bytes& payload, bool corrupt)
{
    Bytes out = {0xB5, 0x62, cls, id, static_cast<uint8_t>(payload.size() & 0xFF),
                 static_cast<uint8_t>(payload.size() >> 8 & 0xFF)};
    out.insert(out.end(), payload.begin(), payload.end());
    uint8_t a = 0, b = 0;
    for (size_t i = 2; i < out.size(); ++i) {
        a = static_cast<uint8_t>(a + out[i]);
        b = static_cast<uint8_t>(b + a);
    }
    if (corrupt) b = static_cast<uint8_t>(b + 1);
    out.push_back(a);
    out.push_back(b);
    return out;
}

std::string NmeaChecksumText(const std::string& body)
{
    static const char digits[] = "0123456789ABCDEF";
    uint8_t x = XorOf(reinterpret_cast<const uint8_t*>(body.data()), body.size());
    return std::string{digits[x >> 4], digits[x & 0x0F]};
}

std::string Format(const char* format, ...)
{
    char buf[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return buf;
}

std::string ToHex(const uint8_t* p, size_t n, bool spaced)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    s.reserve(n * (spaced ? 3 : 2));
    for (size_t i = 0; i < n; ++i) {
        if (spaced && i) s.push_back(' ');
        s.push_back(digits[p[i] >> 4]);
        s.push_back(digits[p[i] & 0x0F]);
    }
    return s;
}

static int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool FromHex(const std::string& text, Bytes& out)
{
    out.clear();
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == ',' || c == '\t') {
            if (high >= 0) return false;  // a lone digit before a separator
            continue;
        }
        int v = HexValue(c);
        if (v < 0) return false;
        if (high < 0) {
            high = v;
        } else {
            out.push_back(static_cast<uint8_t>(high << 4 | v));
            high = -1;
        }
    }
    return high < 0;
}

}  // namespace rxsim
