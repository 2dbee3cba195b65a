// Commands typed by the user, through every typed-text builder: the NMEA
// sentence, the QTXT sentence, the QOP message and the QBIN packet. Each
// builds nothing and says why, or builds one frame that passes its own check.
// Where the typed text leaves no room for doubt, the frame must also be the
// one the text asks for:
//  - NMEA: printable text, trimmed of blanks, 2..251 characters: "$" text
//    "*hh" CR LF, else nothing;
//  - QTXT: printable text, trimmed, 1..194 characters, no "<" but a closing
//    one (dropped): ">" text ";*hh<", else nothing;
//  - QOP: two id characters, then hex tokens by the rule of the hex parser:
//    "@@" id data checksum CR LF; a bad token builds nothing;
//  - QBIN: the bytes of the hex parser, stuffed between DLE and DLE ETX.
// The input is the text, ending at its first zero byte as a typed text does.
#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "DecoderFuzz.h"
#include "framework/CArray.h"
#include "framework/CString.h"
#include "protocol/NmeaCommands.h"
#include "protocol/NmeaSentence.h"
#include "protocol/QbinCommands.h"
#include "protocol/QopProtocol.h"
#include "protocol/QtxtSentence.h"

using namespace decoderfuzz;

namespace {

typedef bool (*TextBuilder)(CByteArray&, const char*, CString*);

const size_t kNmeaLongest = 251;
const size_t kQtxtLongest = 194;
const uint8_t kDle = 0x10;
const uint8_t kEtx = 0x03;

bool IsPrintable(uint8_t c) { return c >= 0x20 && c <= 0x7E; }

bool IsAllPrintable(const std::string& s)
{
    for (char c : s) {
        if (!IsPrintable(static_cast<uint8_t>(c))) return false;
    }
    return true;
}

std::string TrimSpaces(const std::string& s)
{
    size_t a = 0, b = s.size();
    while (a < b && s[a] == ' ') ++a;
    while (b > a && s[b - 1] == ' ') --b;
    return s.substr(a, b - a);
}

Frame Bytes(const CByteArray& a)
{
    const BYTE* p = a.GetData();
    return p == nullptr ? Frame() : Frame(p, p + a.GetSize());
}

Frame Text(const std::string& s) { return Frame(s.begin(), s.end()); }

std::string Hex2(uint8_t v) { return std::string{UpperHexDigit(v >> 4), UpperHexDigit(v)}; }

// Builds with and without an error text: both must agree. Nothing built
// leaves the array empty with a reason; a frame comes without one.
bool Build(TextBuilder build, const char* text, Frame& out)
{
    CByteArray frame;
    CByteArray again;
    CString error;
    frame.Add(0x55);  // the builder empties the caller's array first
    const bool built = build(frame, text, &error);
    Require(build(again, text, nullptr) == built, "the error text does not change the outcome");
    out = Bytes(frame);
    Require(Bytes(again) == out, "the error text does not change the bytes");
    if (built) {
        Require(!out.empty() && error.IsEmpty(), "a built frame has bytes and no reason");
    } else {
        Require(out.empty() && !error.IsEmpty(), "nothing built has a reason");
    }
    return built;
}

void CheckNmea(const std::string& text)
{
    Frame s;
    if (Build(&BuildNmeaFromText, text.c_str(), s)) {
        const size_t n = s.size();
        Require(n >= 7 && s[0] == '$' && s[n - 2] == '\r' && s[n - 1] == '\n' && s[n - 5] == '*',
                "NMEA: $ text *hh CR LF");
        Require(n - 6 <= kNmeaLongest, "NMEA: at most 251 characters of text");
        for (size_t i = 1; i < n - 5; ++i) Require(IsPrintable(s[i]), "NMEA: printable text");
        Require(s[1] != ' ' && s[n - 6] != ' ', "NMEA: trimmed text");
        const std::string hex = Hex2(Xor(s.data(), 1, n - 5));
        Require(s[n - 4] == hex[0] && s[n - 3] == hex[1], "NMEA: upper-case checksum of the text");
        Require(CheckNmeaSentence(s.data(), static_cast<int>(n)), "NMEA: passes its check");
    }
    if (!IsAllPrintable(text)) return;
    const std::string t = TrimSpaces(text);
    if (t.size() < 2 || t.size() > kNmeaLongest) {
        Require(s.empty(), "NMEA: too short or too long text builds nothing");
        return;
    }
    const Frame body = Text("$" + t);
    Require(s == Text("$" + t + "*" + Hex2(Xor(body.data(), 1, body.size())) + "\r\n"), "NMEA: the typed sentence");
}

void CheckQtxt(const std::string& text)
{
    Frame s;
    if (Build(&BuildQtxtFromText, text.c_str(), s)) {
        const size_t n = s.size();
        Require(n >= 6 && s[0] == '>' && s[n - 1] == '<' && s[n - 5] == ';' && s[n - 4] == '*',
                "QTXT: > text ;*hh <");
        Require(n - 6 <= kQtxtLongest, "QTXT: at most 194 characters of text");
        for (size_t i = 1; i < n - 3; ++i) Require(IsPrintable(s[i]), "QTXT: printable text");
        const std::string hex = Hex2(Xor(s.data(), 0, n - 3));
        Require(s[n - 3] == hex[0] && s[n - 2] == hex[1], "QTXT: upper-case checksum from > to *");
        Require(CheckQtxtSentence(s.data(), static_cast<int>(n)), "QTXT: passes its check");
    }
    if (!IsAllPrintable(text)) return;
    const std::string t = TrimSpaces(text);
    if (t.empty() || t.size() > kQtxtLongest) {
        Require(s.empty(), "QTXT: empty or too long text builds nothing");
        return;
    }
    std::string body = t;
    if (body.back() == '<') body.pop_back();
    if (body.empty() || body.find('<') != std::string::npos) {
        Require(s.empty(), "QTXT: a \"<\" that would end the sentence early builds nothing");
        return;
    }
    if (s.empty()) Require(false, "QTXT: a printable text builds");
    const size_t framing = 6;  // ">" and ";*hh<"
    const bool asTyped = s.size() == t.size() + framing && std::equal(t.begin(), t.end(), s.begin() + 1);
    const bool closerDropped = s.size() == body.size() + framing && std::equal(body.begin(), body.end(), s.begin() + 1);
    Require(asTyped || closerDropped, "QTXT: the typed sentence");
}

// The bytes of a run of hex tokens by the shared parser's rule: true with the
// bytes (none for a run without tokens), false for a bad token.
bool ParseTokens(const std::string& run, Frame& bytes)
{
    CByteArray parsed;
    // A leading good token makes a run without tokens parse too.
    if (!ParseHexBytesText(("00 " + run).c_str(), parsed)) return false;
    bytes = Bytes(parsed);
    bytes.erase(bytes.begin());
    return true;
}

bool IsLetter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

void CheckQop(const std::string& text)
{
    Frame m;
    const bool built = Build(&BuildQopFromHexText, text.c_str(), m);
    if (built) {
        const size_t n = m.size();
        Require(n >= 7 && m[0] == '@' && m[1] == '@' && m[n - 2] == 0x0D && m[n - 1] == 0x0A,
                "QOP: @@ id data checksum CR LF");
        Require(CheckQopMessage(m.data(), static_cast<int>(n)), "QOP: passes its check");
    }
    if (text.size() < 2) {
        Require(!built, "QOP: a short id builds nothing");
        return;
    }
    const uint8_t id1 = static_cast<uint8_t>(text[0]);
    const uint8_t id2 = static_cast<uint8_t>(text[1]);
    if (id1 <= 0x20 || id2 <= 0x20 || id1 > 0x7E || id2 > 0x7E) return;  // where the id starts is the builder's call
    Frame data;
    if (!ParseTokens(text.substr(2), data)) {
        Require(!built, "QOP: a bad token builds nothing");
        return;
    }
    if (IsLetter(id1) && IsLetter(id2)) Require(built, "QOP: a letter id with good tokens builds");
    if (!built) return;
    Frame expected = {'@', '@', id1, id2};
    expected.insert(expected.end(), data.begin(), data.end());
    expected.push_back(0);
    expected.push_back(0x0D);
    expected.push_back(0x0A);
    expected[expected.size() - 3] = ComputeQopChecksum(expected.data(), static_cast<int>(expected.size()));
    Require(m == expected, "QOP: the typed message");
}

void CheckQbin(const std::string& text)
{
    Frame p;
    const bool built = Build(&BuildQbinFromHexText, text.c_str(), p);
    CByteArray parsed;
    const bool valid = ParseHexBytesText(text.c_str(), parsed);
    Require(built == valid, "QBIN: built exactly when the hex text parses");
    if (!built) return;
    const size_t n = p.size();
    Require(n >= 4 && p[0] == kDle && p[n - 2] == kDle && p[n - 1] == kEtx, "QBIN: DLE id ... DLE ETX");
    Frame unstuffed = {p[1]};
    for (size_t i = 2; i < n - 2; ++i) {
        if (p[i] == kDle) {
            Require(i + 1 < n - 2 && p[i + 1] == kDle, "QBIN: every DLE in the data is doubled");
            ++i;
        }
        unstuffed.push_back(p[i]);
    }
    Require(unstuffed == Bytes(parsed), "QBIN: the packet carries the typed bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096) return 0;
    const std::string raw(reinterpret_cast<const char*>(data), size);
    const std::string text(raw.c_str());
    CheckNmea(text);
    CheckQtxt(text);
    CheckQop(text);
    CheckQbin(text);
    return 0;
}
