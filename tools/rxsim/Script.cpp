#include "Script.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace rxsim {

void Tally::Apply(const Segment& p)
{
    broken += static_cast<uint64_t>(p.broken);
    if (p.kind == KIND_BANG) {
        ++bang;
        return;
    }
    if (p.kind == KIND_NONE || p.outcome == OUT_NONE) return;
    // Every finished frame is shown to listeners before (or, for QBIN, after)
    // its check; MON frames too.
    ++frames;
    ++framesOfKind[p.kind];
    if (p.kind == KIND_MON) {
        if (p.outcome == OUT_GOOD) ++monGood; else ++monBad;
        return;
    }
    if (p.outcome == OUT_GOOD) {
        ++good;
        ++kindGood[p.kind];
        seenGood = true;
    } else if (seenGood) {
        ++bad;
        ++kindBad[p.kind];
    }
}

std::string Tally::Format() const
{
    char buf[1024];
    snprintf(buf, sizeof buf,
             "bytes=%" PRIu64 " good=%" PRIu64 " bad=%" PRIu64 " qbin_good=%" PRIu64
             " qbin_bad=%" PRIu64 " nmea_good=%" PRIu64 " nmea_bad=%" PRIu64 " qtxt_good=%" PRIu64
             " qtxt_bad=%" PRIu64 " qop_good=%" PRIu64 " qop_bad=%" PRIu64 " kesto_good=%" PRIu64
             " kesto_bad=%" PRIu64 " mon_good=%" PRIu64 " mon_bad=%" PRIu64 " bang=%" PRIu64
             " broken=%" PRIu64 " frames=%" PRIu64 " frames_qbin=%" PRIu64 " frames_nmea=%" PRIu64
             " frames_qtxt=%" PRIu64 " frames_qop=%" PRIu64 " frames_kesto=%" PRIu64
             " frames_mon=%" PRIu64,
             bytes, good, bad, kindGood[KIND_QBIN], kindBad[KIND_QBIN], kindGood[KIND_NMEA],
             kindBad[KIND_NMEA], kindGood[KIND_QTXT], kindBad[KIND_QTXT], kindGood[KIND_QOP],
             kindBad[KIND_QOP], kindGood[KIND_KESTO], kindBad[KIND_KESTO], monGood, monBad, bang,
             broken, frames, framesOfKind[KIND_QBIN], framesOfKind[KIND_NMEA],
             framesOfKind[KIND_QTXT], framesOfKind[KIND_QOP], framesOfKind[KIND_KESTO],
             framesOfKind[KIND_MON]);
    return buf;
}

static bool IsSafeGarbage(uint8_t b)
{
    // Start bytes of the six framings, and "!" which with a digit is an event;
    // and the bytes that end a frame (ETX, CR, LF, "<", the KESTO end), so
    // that garbage after a false start never completes what it opened.
    return b != 0x02 && b != 0x10 && b != '$' && b != '>' && b != '@' && b != 0x81 && b != '!' && b != 0x03 &&
           b != 0x0D && b != 0x0A && b != '<' && b != 0x82;
}

uint8_t Garbage::Next()
{
    for (;;) {
        // xorshift32: deterministic, so a failing run can be replayed exactly.
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        uint8_t b = static_cast<uint8_t>(m_state >> 24);
        if (IsSafeGarbage(b)) return b;
    }
}

Bytes Garbage::Run(size_t n)
{
    Bytes out(n);
    for (auto& b : out) b = Next();
    return out;
}

namespace {

struct Builder {
    std::vector<Segment>& out;
    bool ok = true;

    void Add(const Bytes& bytes, int kind, int outcome, int broken = 0)
    {
        if (bytes.empty()) {
            ok = false;  // a builder refused its input: the script itself is wrong
            return;
        }
        Segment p;
        p.bytes = bytes;
        p.kind = kind;
        p.outcome = outcome;
        p.broken = broken;
        out.push_back(std::move(p));
    }
    void Noise(const Bytes& bytes) { Add(bytes, KIND_NONE, OUT_NONE); }
    void Text(const char* s, int kind, int outcome)
    {
        Add(Bytes(s, s + strlen(s)), kind, outcome);
    }
};

Bytes Concat(const Bytes& a, const Bytes& b)
{
    Bytes r = a;
    r.insert(r.end(), b.begin(), b.end());
    return r;
}

void PutBe32(Bytes& b, uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<uint8_t>(v >> s));
}

void PutFloatBe(Bytes& b, float f)
{
    uint32_t v;
    memcpy(&v, &f, sizeof v);
    PutBe32(b, v);
}

// Time report: time of week, week and UTC offset. Chosen so that the data holds
// a 0x10 the sender has to double.
Bytes TimeReportData(float towSeconds, uint16_t week)
{
    Bytes d;
    PutFloatBe(d, towSeconds);
    d.push_back(static_cast<uint8_t>(week >> 8));
    d.push_back(static_cast<uint8_t>(week));
    PutFloatBe(d, 18.0f);  // 41 90 00 00
    return d;
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

std::string NmeaTime(int secondOfDay)
{
    char buf[16];
    snprintf(buf, sizeof buf, "%02d%02d%02d.00", secondOfDay / 3600 % 24, secondOfDay / 60 % 60,
             secondOfDay % 60);
    return buf;
}

void GoodFrames(Builder& b, int it)
{
    b.Add(QbinPacket(0x41, TimeReportData(259200.0f + it, 0x1010)), KIND_QBIN, OUT_GOOD);
    b.Add(NmeaSentence("GPGGA," + NmeaTime(43200 + it) +
                       ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"),
          KIND_NMEA, OUT_GOOD);
    b.Add(QtxtSentence("RPV12345+4807038+01131000"), KIND_QTXT, OUT_GOOD);
    b.Add(QopMessage('A', 'g', {0x00}), KIND_QOP, OUT_GOOD);
    b.Add(KestoPacket(0x02, 0x11, {0x01}), KIND_KESTO, OUT_GOOD);
    b.Add(MonFrame(0x76, {}), KIND_MON, OUT_GOOD);
}

void Mixed(Builder& b, Garbage& g, int it)
{
    // A good frame first, so every bad frame that follows is counted.
    b.Add(QbinPacket(0x41, TimeReportData(259200.0f + it, 0x1010)), KIND_QBIN, OUT_GOOD);
    b.Noise(g.Run(7));
    b.Noise({0x10, 0x03});  // DLE ETX and DLE NUL between frames open nothing
    b.Noise({0x10, 0x00});
    b.Add(NmeaSentence("GPGGA," + NmeaTime(43200 + it) +
                       ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"),
          KIND_NMEA, OUT_GOOD);
    b.Noise(g.Run(13));
    b.Add(QtxtSentence("RPV12345+4807038+01131000"), KIND_QTXT, OUT_GOOD);
    b.Add(QopMessage('A', 'g', {0x00}), KIND_QOP, OUT_GOOD);
    b.Add(QopMessage('C', 'f', {}), KIND_QOP, OUT_GOOD);
    b.Add(QopMessage('I', 'a', {0x01, 0x0D, 0x0A}), KIND_QOP, OUT_GOOD);  // CR LF as data
    b.Add(KestoPacket(0x02, 0x11, {0x01}), KIND_KESTO, OUT_GOOD);
    b.Add({0x81, 0x02, 0x11, 0x80, 0x02, 0x68, 0x82}, KIND_KESTO, OUT_GOOD);  // escaped 0x82
    b.Add(KestoPacket(0x33, 0x01, {0x03, 0x85, 0x00, 0x20, 0x84, 0x40, 0x10, 0x0C}), KIND_KESTO,
          OUT_GOOD);
    b.Add({0x81, 0x02, 0x81, 0x02, 0x11, 0x01, 0xE9, 0x82}, KIND_KESTO, OUT_GOOD);  // restart
    b.Add(MonFrame(0x76, {}), KIND_MON, OUT_GOOD);
    b.Add(MonFrame(0x80, {0x00, 0x00, 0x10, 0x00, 0x02}), KIND_MON, OUT_GOOD);
    b.Noise(g.Run(3));
    b.Add({'!', '5'}, KIND_BANG, OUT_NONE);
    b.Noise({'!', 'x'});
    // DLE 0x01 inside a packet breaks it; the 0x41 after it opens the next one.
    b.Add(Concat({0x10, 0x46, 0x01},
                 QbinPacket(0x41, TimeReportData(259300.0f + it, 0x0900))),
          KIND_QBIN, OUT_GOOD, 1);
    b.Add(Concat({0x10}, QbinPacket(0x46, {0x00, 0x00})), KIND_QBIN, OUT_GOOD);  // DLE DLE id
    // "@@Ha" inside QBIN data is the float 3.0044177, not a QOP message.
    b.Add(QbinPacket(0x55, {0x40, 0x40, 0x48, 0x61}), KIND_QBIN, OUT_GOOD);
    b.Add(QbinPacket(0x4B, {0x5A, 0x10, 0x01}), KIND_QBIN, OUT_GOOD);
    // A QOP message that completes inside a QBIN packet takes it over.
    b.Add(Concat({0x10, 0x8F}, QopMessage('A', 'g', {0x00})), KIND_QOP, OUT_GOOD);
    b.Text("$PZULQTF*50\r\n", KIND_NMEA, OUT_GOOD);
    b.Add(NmeaSentence("PZULSRT,F", true, false, true), KIND_NMEA, OUT_GOOD);  // "*2c"
    b.Text("$PXYZA,1*00\r\n", KIND_NMEA, OUT_GOOD);  // another maker's: not tested
    b.Add(NmeaSentence("GPTXT,01,01,02,rxsim", false), KIND_NMEA, OUT_GOOD);
    b.Text("$ABCDE\r\n", KIND_NMEA, OUT_GOOD);  // 8 bytes: the shortest sentence
    b.Text("$ABCD\r\n", KIND_NONE, OUT_NONE);   // 7 bytes: too short
    {
        std::string body = "GPTXT,";
        body.append(255 - 1 - 5 - body.size(), 'a');  // "$" + body + "*hh\r\n" = 255
        b.Add(NmeaSentence(body), KIND_NMEA, OUT_GOOD);
        b.Add(NmeaSentence(body + "a"), KIND_NONE, OUT_NONE);  // 256 bytes
    }
    b.Add(QtxtSentence("RST0123", false), KIND_QTXT, OUT_GOOD);
    b.Text(">ABC<", KIND_QTXT, OUT_GOOD);
    b.Text(">AB<", KIND_NONE, OUT_NONE);
    b.Add(MonFrame(0x96, {0x01, 0x02, 0x0C, 0x1F, 0x07, 0xE9}), KIND_MON, OUT_GOOD);

    // Bad checksums, now that a good frame has been seen.
    b.Add(NmeaSentence("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1", true, true), KIND_NMEA,
          OUT_BAD);
    b.Text("$PZULQTF*51\r\n", KIND_NMEA, OUT_BAD);
    b.Add(QtxtSentence("RTM123456", true, true), KIND_QTXT, OUT_BAD);
    b.Add(QopMessage('A', 'g', {0x00}, true), KIND_QOP, OUT_BAD);
    b.Add(KestoPacket(0x02, 0x11, {0x01}, true), KIND_KESTO, OUT_BAD);
    b.Add(MonFrame(0x76, {}, true), KIND_MON, OUT_BAD);
    b.Noise(g.Run(5));

    // Broken and oversized frames: dropped, and what follows is still found.
    b.Add(Concat(Text("$GPRMC,12"), {0x01}), KIND_NONE, OUT_NONE);
    b.Add(Concat(Text(">RPV1"), {0x01}), KIND_NONE, OUT_NONE);
    b.Text("@@Zz", KIND_NONE, OUT_NONE);  // no such QOP message
    b.Add({0x40, 0x40, 0x41, 0x67, 0x00, 0x26, 0x0D, 0x0B}, KIND_NONE, OUT_NONE);  // no LF
    b.Add({0x81, 0x02, 0x11, 0x80, 0x83, 0x01, 0x82}, KIND_NONE, OUT_NONE);  // bad escape
    b.Add({0x81, 0x02, 0x82}, KIND_NONE, OUT_NONE);                          // too short
    b.Add(Concat({0x81}, Bytes(300, 0x00)), KIND_NONE, OUT_NONE);            // too long
    b.Add({0x02, 0x01, 0x05, 0x07, 0x03}, KIND_NONE, OUT_NONE);              // STX not 00
    b.Add(Concat(Concat({0x10, 0x47}, g.Run(600)), {0x10, 0x03}), KIND_NONE, OUT_NONE);
    b.Add(QbinPacket(0x46, {0x00, 0x10}), KIND_QBIN, OUT_GOOD);
    b.Add({0x02, 0x00, 0x76, 0x00, 0x76, 0x03}, KIND_MON, OUT_GOOD);
    b.Noise(g.Run(11));
}

void BadFirst(Builder& b)
{
    b.Add(NmeaSentence("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1", true, true), KIND_NMEA,
          OUT_BAD);
    b.Add(QtxtSentence("RTM123456", true, true), KIND_QTXT, OUT_BAD);
    b.Add(QopMessage('A', 'g', {0x00}, true), KIND_QOP, OUT_BAD);
    b.Add(KestoPacket(0x02, 0x11, {0x01}, true), KIND_KESTO, OUT_BAD);
    b.Add(MonFrame(0x76, {}), KIND_MON, OUT_GOOD);  // does not end the no-good-frame time
    b.Add(QbinPacket(0x46, {0x00, 0x00}), KIND_QBIN, OUT_GOOD);
    b.Add(QopMessage('A', 'g', {0x00}, true), KIND_QOP, OUT_BAD);
}

void Sample(Builder& b, int it)
{
    int sod = 43200 + it;
    b.Add(QbinPacket(0x41, TimeReportData(259200.0f + it, 2300)), KIND_QBIN, OUT_GOOD);
    b.Add(QbinPacket(0x46, {0x00, 0x00}), KIND_QBIN, OUT_GOOD);
    char lat[32];
    snprintf(lat, sizeof lat, "4807.%03d,N,01131.%03d,E", 38 + it % 50, it % 1000);
    b.Add(NmeaSentence("GPGGA," + NmeaTime(sod) + "," + lat + ",1,08,0.9,545.4,M,46.9,M,,"),
          KIND_NMEA, OUT_GOOD);
    b.Add(NmeaSentence("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"), KIND_NMEA, OUT_GOOD);
    b.Add(NmeaSentence("GPRMC," + NmeaTime(sod) + ",A," + lat + ",022.4,084.4,230394,003.1,W"),
          KIND_NMEA, OUT_GOOD);
}

}  // namespace

const char* ScriptNames()
{
    return "mixed good badfirst qbin nmea qtxt qop kesto mon sample";
}

bool BuildScript(const std::string& name, int iteration, Garbage& garbage, std::vector<Segment>& out)
{
    std::vector<Segment> segments;
    Builder b{segments};
    if (name == "mixed") {
        Mixed(b, garbage, iteration);
    } else if (name == "good") {
        GoodFrames(b, iteration);
    } else if (name == "badfirst") {
        BadFirst(b);
    } else if (name == "qbin") {
        b.Add(QbinPacket(0x41, TimeReportData(259200.0f + iteration, 0x1010)), KIND_QBIN,
              OUT_GOOD);
        b.Add(QbinPacket(0x46, {0x00, 0x00}), KIND_QBIN, OUT_GOOD);
    } else if (name == "nmea") {
        b.Add(NmeaSentence("GPGGA," + NmeaTime(43200 + iteration) +
                           ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"),
              KIND_NMEA, OUT_GOOD);
    } else if (name == "qtxt") {
        b.Add(QtxtSentence("RPV12345+4807038+01131000"), KIND_QTXT, OUT_GOOD);
    } else if (name == "qop") {
        b.Add(QopMessage('A', 'g', {0x00}), KIND_QOP, OUT_GOOD);
    } else if (name == "kesto") {
        b.Add(KestoPacket(0x02, 0x11, {0x01}), KIND_KESTO, OUT_GOOD);
    } else if (name == "mon") {
        b.Add(MonFrame(0x76, {}), KIND_MON, OUT_GOOD);
    } else if (name == "sample") {
        Sample(b, iteration);
    } else {
        return false;
    }
    if (!b.ok) return false;
    out.insert(out.end(), segments.begin(), segments.end());
    return true;
}

bool BuildAnswer(uint8_t queryId, const Bytes& queryData, std::vector<Segment>& out)
{
    std::vector<Segment> segments;
    Builder b{segments};
    switch (queryId) {
    case 0x26:  // health -> health report
        b.Add(QbinPacket(0x46, {0x00, 0x00}), KIND_QBIN, OUT_GOOD);
        break;
    case 0x21:  // time -> time report
        b.Add(QbinPacket(0x41, TimeReportData(259200.0f, 2300)), KIND_QBIN, OUT_GOOD);
        break;
    case 0x24: {  // satellite selection: 3-D fix, four DOPs, no satellites
        Bytes d = {0x04};
        for (float dop : {2.5f, 1.3f, 2.1f, 1.0f}) PutFloatBe(d, dop);
        b.Add(QbinPacket(0x6D, d), KIND_QBIN, OUT_GOOD);
        break;
    }
    default:
        return false;
    }
    if (!b.ok) return false;
    out.insert(out.end(), segments.begin(), segments.end());
    return true;
}

}  // namespace rxsim
