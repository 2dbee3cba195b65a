#include "QbinReceiver.h"

#include "Settings.h"

#include <algorithm>
#include <cmath>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace rxsim {

namespace {

void PutU8(Bytes& b, uint8_t v) { b.push_back(v); }

void PutU16(Bytes& b, uint16_t v)
{
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}

void PutU32(Bytes& b, uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<uint8_t>(v >> s));
}

// The wire carries IEEE values most significant byte first, whatever the
// host's own order.
void PutFloat(Bytes& b, float f)
{
    uint32_t v;
    memcpy(&v, &f, sizeof v);
    PutU32(b, v);
}

void PutDouble(Bytes& b, double d)
{
    uint64_t v;
    memcpy(&v, &d, sizeof v);
    for (int s = 56; s >= 0; s -= 8) b.push_back(static_cast<uint8_t>(v >> s));
}

void PutVersion(Bytes& b, const QbinVersion& v)
{
    PutU8(b, v.major);
    PutU8(b, v.minor);
    PutU8(b, v.build);
    PutU8(b, v.month);
    PutU8(b, v.day);
    PutU16(b, v.year);
    // The name's length is one byte: a longer name is cut, not wrapped.
    size_t n = std::min<size_t>(v.name.size(), 255);
    PutU8(b, static_cast<uint8_t>(n));
    b.insert(b.end(), v.name.begin(), v.name.begin() + static_cast<long>(n));
}

bool ReadVersion(Args& a, size_t from, QbinVersion& v, bool withBuild)
{
    size_t i = from;
    v.major = static_cast<uint8_t>(a.U(i++, 10, 255));
    v.minor = static_cast<uint8_t>(a.U(i++, 10, 255));
    if (withBuild) v.build = static_cast<uint8_t>(a.U(i++, 10, 255));
    v.month = static_cast<uint8_t>(a.U(i++, 10, 255));
    v.day = static_cast<uint8_t>(a.U(i++, 10, 255));
    v.year = static_cast<uint16_t>(a.U(i++, 10, 65535));
    if (withBuild) v.name = a.Rest(i);
    return a.Ok();
}

void Good(std::vector<Segment>& out, const Bytes& packet)
{
    Segment s;
    s.bytes = packet;
    s.kind = KIND_QBIN;
    s.outcome = OUT_GOOD;
    out.push_back(std::move(s));
}

void Unframed(std::vector<Segment>& out, const Bytes& bytes)
{
    Segment s;
    s.bytes = bytes;
    out.push_back(std::move(s));
}

// The CRC announcement (0xAA) of the packet `covered`: the length and CRC of
// its unstuffed data; `corrupt` announces another CRC, so the reader drops
// the covered packet.
Bytes Announcement(const Bytes& covered, bool corrupt)
{
    Bytes data;
    for (size_t i = 2; i + 2 < covered.size(); ++i) {
        data.push_back(covered[i]);
        if (covered[i] == 0x10) ++i;
    }
    Bytes a;
    PutU16(a, static_cast<uint16_t>(data.size()));
    uint16_t crc = QbinAnnouncedCrc(data);
    PutU16(a, corrupt ? static_cast<uint16_t>(crc ^ 0x5A5A) : crc);
    return QbinPacket(0xAA, a);
}

// Bounds that keep an endless track on the earth and in the air.
const double kTurnLatitude = 1.4;  // radians, about 80 degrees
const double kPi = 3.14159265358979323846;
const double kLowestHeight = -100, kHighestHeight = 20000;
const double kRadiansPerDegree = kPi / 180;
// The WGS-84 ellipsoid, for metres on the ground as latitude and longitude.
const double kEarthA = 6378137.0, kEarthE2 = 0.00669437999014;
const uint8_t kKeep = 0xFF;  // a navigation configuration byte left as it is

// Baud rates by the codes 0xBC carries them with; other codes read as 9600.
const struct {
    uint8_t code;
    uint32_t baud;
} kBaudCodes[] = {{4, 1200}, {5, 2400}, {6, 4800}, {7, 9600}, {8, 19200}, {9, 38400}, {10, 57600}, {11, 115200}};

uint8_t BaudCode(uint32_t baud)
{
    for (const auto& b : kBaudCodes)
        if (b.baud == baud) return b.code;
    return 7;
}

uint32_t BaudOf(uint8_t code)
{
    for (const auto& b : kBaudCodes)
        if (b.code == code) return b.baud;
    return 9600;
}

bool IsBaud(uint32_t baud)
{
    for (const auto& b : kBaudCodes)
        if (b.baud == baud) return true;
    return false;
}

float FloatAt(const Bytes& b, size_t at)
{
    uint32_t v = static_cast<uint32_t>(b[at]) << 24 | static_cast<uint32_t>(b[at + 1]) << 16 |
                 static_cast<uint32_t>(b[at + 2]) << 8 | b[at + 3];
    float f;
    memcpy(&f, &v, sizeof f);
    return f;
}

bool AllKeep(const Bytes& b, size_t at, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (b[at + i] != kKeep) return false;
    return true;
}

// "A"/"B" or "0"/"1": a port's index.
bool ReadPortName(const std::string& s, int& port)
{
    if (s == "A" || s == "a" || s == "0") port = 0;
    else if (s == "B" || s == "b" || s == "1") port = 1;
    else return false;
    return true;
}

// A channel's words after its five numbers: [STATUS] [deg] [fix] [move DE DA].
bool ReadChannelExtras(Args& a, size_t from, QbinChannel& c)
{
    size_t i = from;
    c.status = 8;
    if (i < a.Size() && a.S(i) != "deg" && a.S(i) != "fix" && a.S(i) != "move") {
        const std::string& t = a.S(i);
        const bool hex = t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X');
        if (hex) {
            std::vector<std::string> digits = {t.substr(2)};
            Args h(digits);
            c.status = static_cast<uint8_t>(h.U(0, 16, 255));
            if (!h.Ok()) return false;
        } else {
            c.status = static_cast<uint8_t>(a.U(i, 10, 255));
        }
        ++i;
    }
    double unit = 1;
    while (i < a.Size()) {
        const std::string word = a.S(i++);
        if (word == "deg") {
            unit = kRadiansPerDegree;
        } else if (word == "fix") {
            c.inFix = true;
        } else if (word == "move") {
            c.dElevation = a.D(i++);
            c.dAzimuth = a.D(i++);
        } else {
            return false;
        }
    }
    c.elevation = static_cast<float>(c.elevation * unit);
    c.azimuth = static_cast<float>(c.azimuth * unit);
    c.dElevation *= unit;
    c.dAzimuth *= unit;
    return a.Ok();
}

}  // namespace

uint16_t QbinAnnouncedCrc(const Bytes& data)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (uint8_t b : data) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return static_cast<uint16_t>((crc ^ 0xFFFFFFFFu) & 0xFFFFu);
}

QbinReceiver::QbinReceiver()
{
    std::string error;
    Load("", error);
}

bool QbinReceiver::Load(const std::string& text, std::string& error)
{
    // Defaults: a receiver with a 3-D fix, healthy, one satellite tracked.
    QbinReceiver fresh(*this);
    fresh.m_intervalMs = 1000;
    fresh.m_periodic = {0x41, 0x84, 0x46, 0x6D, 0x5C, 0x82};
    fresh.m_dgpsMode = 0;
    fresh.m_lat = 0.8378;
    fresh.m_lon = 0.2010;
    fresh.m_height = 545.4;
    fresh.m_bias = 1.0;
    fresh.m_dLat = fresh.m_dLon = fresh.m_dHeight = 0;
    fresh.m_track = false;
    fresh.m_trackEast = fresh.m_trackNorth = fresh.m_trackUp = 0;
    fresh.m_jitter = 0;
    fresh.m_jitterState = 1;
    fresh.m_jitterLat = fresh.m_jitterLon = 0;
    fresh.m_velEast = fresh.m_velNorth = fresh.m_velUp = fresh.m_biasRate = 0;
    fresh.m_tow = 259200;
    fresh.m_towStep = 1;
    fresh.m_week = 2300;
    fresh.m_utcOffset = 18;
    fresh.m_healthCode = 0;
    fresh.m_healthBits = 0;
    fresh.m_fixMode = 4;
    fresh.m_pdop = 2.5f;
    fresh.m_hdop = 1.3f;
    fresh.m_vdop = 2.1f;
    fresh.m_tdop = 1.0f;
    fresh.m_fixSvs = {4, 5, 9, 12};
    for (auto& h : fresh.m_hasChannel) h = false;
    fresh.m_hasChannel[0] = true;
    fresh.m_channels[0] = QbinChannel{4, 8, 45.0f, 0.5f, 1.0f};
    fresh.m_firmware = QbinVersion{8, 6, 1, 12, 5, 0, "rxsim"};
    fresh.m_components.clear();
    fresh.m_core = QbinVersion{8, 6, 0, 12, 5, 0, ""};
    fresh.m_serial = 12345678;
    fresh.m_productCode = 1;
    fresh.m_buildDay = 5;
    fresh.m_buildMonth = 12;
    fresh.m_buildYear = 2020;
    fresh.m_buildHour = 10;
    fresh.m_productName = "rxsim";
    const uint8_t io[4] = {0x02, 0x02, 0x00, 0x08};
    memcpy(fresh.m_io, io, 4);
    memset(fresh.m_filter, 0, 4);
    fresh.m_nmeaInterval = 1;
    fresh.m_nmeaMask = 0x00000101;
    fresh.m_svMask = 0;
    fresh.m_datumIndex = 0;
    const double wgs84[5] = {0, 0, 0, 6378137.0, 0.00669437999014};
    memcpy(fresh.m_datum, wgs84, sizeof wgs84);
    fresh.m_navMode = 0;
    fresh.m_navDgps = 2;
    fresh.m_navDynamics = 1;
    fresh.m_navElev = 0.0873f;
    fresh.m_navSnr = 2.0f;
    fresh.m_navDopMask = 12.0f;
    fresh.m_navDopSwitch = 5.0f;
    fresh.m_navAge = 30;
    fresh.m_ports[0] = QbinPort{9600, 8, 0, 1, 0x02, 0x02};
    fresh.m_ports[1] = QbinPort{4800, 8, 0, 1, 0x04, 0x04};
    fresh.m_linkPort = 0;

    // Comments first: a ";" in a comment separates nothing.
    std::string all;
    std::istringstream physical(text);
    for (std::string line; std::getline(physical, line);) {
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        all += line + "\n";
    }
    for (char& c : all)
        if (c == ';') c = '\n';
    std::istringstream lines(all);
    std::string line;
    int number = 0;
    bool sawChannel = false;
    while (std::getline(lines, line)) {
        ++number;
        std::istringstream in(line);
        std::string key;
        if (!(in >> key)) continue;
        std::vector<std::string> t;
        for (std::string s; in >> s;) t.push_back(s);
        Args a(t);
        bool ok = true;
        if (key == "protocol") {
            ok = t.size() == 1 && ScenarioProtocol("protocol " + t[0]) == "qbin";
        } else if (key == "interval_ms") {
            fresh.m_intervalMs = static_cast<int>(a.U(0, 10, 600000));
            ok = fresh.m_intervalMs >= 10;
        } else if (key == "periodic") {
            fresh.m_periodic.clear();
            for (size_t i = 0; i < t.size(); ++i)
                fresh.m_periodic.push_back(static_cast<uint8_t>(a.U(i, 16, 255)));
        } else if (key == "position") {
            fresh.m_lat = a.D(0);
            fresh.m_lon = a.D(1);
            fresh.m_height = a.D(2);
            fresh.m_bias = a.D(3);
        } else if (key == "motion") {
            fresh.m_dLat = a.D(0);
            fresh.m_dLon = a.D(1);
            fresh.m_dHeight = a.D(2);
        } else if (key == "track") {
            fresh.m_track = true;
            fresh.m_trackEast = a.D(0);
            fresh.m_trackNorth = a.D(1);
            fresh.m_trackUp = a.D(2);
            fresh.m_velEast = static_cast<float>(fresh.m_trackEast);
            fresh.m_velNorth = static_cast<float>(fresh.m_trackNorth);
            fresh.m_velUp = static_cast<float>(fresh.m_trackUp);
            ok = t.size() == 3 && std::isfinite(fresh.m_trackEast) && std::isfinite(fresh.m_trackNorth) &&
                 std::isfinite(fresh.m_trackUp);
        } else if (key == "jitter") {
            fresh.m_jitter = a.D(0);
            const unsigned long seed = t.size() > 1 ? a.U(1, 10, 0xFFFFFFFFul) : 1;
            fresh.m_jitterState = seed ? static_cast<uint32_t>(seed) : 1;
            ok = t.size() <= 2 && fresh.m_jitter >= 0 && fresh.m_jitter <= 100000;
        } else if (key == "velocity") {
            fresh.m_velEast = a.F(0);
            fresh.m_velNorth = a.F(1);
            fresh.m_velUp = a.F(2);
            fresh.m_biasRate = t.size() > 3 ? a.F(3) : 0.0f;
        } else if (key == "time") {
            fresh.m_tow = a.F(0);
            fresh.m_week = static_cast<uint16_t>(a.U(1, 10, 65535));
            fresh.m_utcOffset = a.F(2);
            fresh.m_towStep = t.size() > 3 ? a.D(3) : 1.0;
            ok = fresh.m_tow >= 0 && fresh.m_tow < 604800 && fresh.m_towStep >= 0 && fresh.m_towStep < 604800;
        } else if (key == "health") {
            fresh.m_healthCode = static_cast<uint8_t>(a.U(0, 16, 255));
            fresh.m_healthBits = static_cast<uint8_t>(a.U(1, 16, 255));
        } else if (key == "dgps") {
            fresh.m_dgpsMode = static_cast<uint8_t>(a.U(0, 10, 255));
        } else if (key == "fix") {
            fresh.m_fixMode = static_cast<uint8_t>(a.U(0, 16, 15));
            fresh.m_pdop = a.F(1);
            fresh.m_hdop = a.F(2);
            fresh.m_vdop = a.F(3);
            fresh.m_tdop = a.F(4);
            fresh.m_fixSvs.clear();
            for (size_t i = 5; i < t.size(); ++i)
                fresh.m_fixSvs.push_back(static_cast<uint8_t>(a.U(i, 10, 255)));
            ok = fresh.m_fixSvs.size() <= 12;  // the count is a nibble and 0x6D holds 12
        } else if (key == "channel") {
            size_t n = a.U(0, 10, 11);
            QbinChannel c;
            c.sv = static_cast<uint8_t>(a.U(1, 10, 255));
            c.level = a.F(2);
            c.elevation = a.F(3);
            c.azimuth = a.F(4);
            ok = ReadChannelExtras(a, 5, c);
            if (ok && a.Ok()) {
                // A scenario that names channels names all it tracks.
                if (!sawChannel)
                    for (auto& h : fresh.m_hasChannel) h = false;
                sawChannel = true;
                fresh.m_channels[n] = c;
                fresh.m_hasChannel[n] = true;
            }
        } else if (key == "nochannels") {
            for (auto& h : fresh.m_hasChannel) h = false;
        } else if (key == "firmware") {
            ok = ReadVersion(a, 0, fresh.m_firmware, true);
        } else if (key == "component") {
            QbinVersion v;
            ok = ReadVersion(a, 0, v, true);
            if (ok) fresh.m_components.push_back(v);
            ok = ok && fresh.m_components.size() < 20;
        } else if (key == "core") {
            ok = ReadVersion(a, 0, fresh.m_core, false);
        } else if (key == "product") {
            fresh.m_serial = static_cast<uint32_t>(a.U(0, 10, 0xFFFFFFFFul));
            fresh.m_productCode = static_cast<uint16_t>(a.U(1, 10, 65535));
            fresh.m_buildDay = static_cast<uint8_t>(a.U(2, 10, 255));
            fresh.m_buildMonth = static_cast<uint8_t>(a.U(3, 10, 255));
            fresh.m_buildYear = static_cast<uint16_t>(a.U(4, 10, 65535));
            fresh.m_buildHour = static_cast<uint8_t>(a.U(5, 10, 255));
            fresh.m_productName = a.Rest(6);
        } else if (key == "io" || key == "filter") {
            uint8_t* dst = key == "io" ? fresh.m_io : fresh.m_filter;
            for (size_t i = 0; i < 4; ++i) dst[i] = static_cast<uint8_t>(a.U(i, 16, 255));
        } else if (key == "nmea") {
            fresh.m_nmeaInterval = static_cast<uint8_t>(a.U(0, 10, 255));
            fresh.m_nmeaMask = static_cast<uint32_t>(a.U(1, 16, 0xFFFFFFFFul));
        } else if (key == "svmask") {
            fresh.m_svMask = static_cast<uint32_t>(a.U(0, 16, 0xFFFFFFFFul));
        } else if (key == "datum") {
            fresh.m_datumIndex = static_cast<int16_t>(a.I(0, -32768, 32767));
            for (size_t i = 0; i < 5; ++i) fresh.m_datum[i] = a.D(i + 1);
        } else if (key == "navconfig") {
            fresh.m_navMode = static_cast<uint8_t>(a.U(0, 10, 255));
            fresh.m_navDgps = static_cast<uint8_t>(a.U(1, 10, 255));
            fresh.m_navDynamics = static_cast<uint8_t>(a.U(2, 10, 255));
            fresh.m_navElev = a.F(3);
            fresh.m_navSnr = a.F(4);
            fresh.m_navDopMask = a.F(5);
            fresh.m_navDopSwitch = a.F(6);
            fresh.m_navAge = static_cast<uint8_t>(a.U(7, 10, 255));
        } else if (key == "port") {
            int port = 0;
            QbinPort p;
            p.baud = static_cast<uint32_t>(a.U(1, 10, 115200));
            p.dataBits = static_cast<uint8_t>(a.U(2, 10, 8));
            const std::string parity = a.S(3);
            p.parity = parity == "O" ? 1 : parity == "E" ? 2 : 0;
            p.stopBits = static_cast<uint8_t>(a.U(4, 10, 2));
            p.inMask = static_cast<uint8_t>(a.U(5, 16, 255));
            p.outMask = static_cast<uint8_t>(a.U(6, 16, 255));
            ok = t.size() == 7 && ReadPortName(a.S(0), port) && IsBaud(p.baud) && p.dataBits >= 7 &&
                 (parity == "N" || parity == "O" || parity == "E") && p.stopBits >= 1;
            if (ok) fresh.m_ports[port] = p;
        } else if (key == "link") {
            ok = t.size() == 1 && ReadPortName(a.S(0), fresh.m_linkPort);
        } else {
            error = "line " + std::to_string(number) + ": unknown setting " + key;
            return false;
        }
        if (!ok || !a.Ok()) {
            error = "line " + std::to_string(number) + ": bad values for " + key;
            return false;
        }
    }
    *this = fresh;
    return true;
}

Bytes QbinReceiver::Position(double shift) const { return QbinPacket(0x84, PositionData(shift)); }

Bytes QbinReceiver::PositionData(double shift) const
{
    const size_t kPositionReport = 36;
    Bytes d;
    d.reserve(kPositionReport);
    PutDouble(d, m_lat + m_jitterLat + shift);
    PutDouble(d, m_lon + m_jitterLon + shift);
    PutDouble(d, m_height + shift * 1000);
    PutDouble(d, m_bias);
    PutFloat(d, static_cast<float>(m_tow));
    return d;
}

Bytes QbinReceiver::Report(uint8_t id, uint8_t sub) const
{
    const size_t kTypicalReport = 64;
    Bytes d;
    d.reserve(kTypicalReport);
    switch (id) {
    case 0x41:  // GPS time: TOW, week, UTC offset
        PutFloat(d, static_cast<float>(m_tow));
        PutU16(d, m_week);
        PutFloat(d, m_utcOffset);
        break;
    case 0x84:
        return Position(0);
    case 0x56:  // velocity east, north, up, clock bias rate, time of fix
        for (float v : {m_velEast, m_velNorth, m_velUp, m_biasRate, static_cast<float>(m_tow)}) PutFloat(d, v);
        break;
    case 0x82:  // DGPS mode, last of a period: the fix is complete then
        PutU8(d, m_dgpsMode);
        break;
    case 0x46:
        PutU8(d, m_healthCode);
        PutU8(d, m_healthBits);
        break;
    case 0x6D: {
        // Satellite count in the high nibble, fix mode in the low one.
        const std::vector<uint8_t> svs = FixSatellites();
        PutU8(d, static_cast<uint8_t>(svs.size() << 4 | (m_fixMode & 0x0F)));
        for (float v : {m_pdop, m_hdop, m_vdop, m_tdop}) PutFloat(d, v);
        d.insert(d.end(), svs.begin(), svs.end());
        break;
    }
    case 0x1C:
        if (sub == 0x82) {
            PutU8(d, 0x82);
            PutU8(d, static_cast<uint8_t>(1 + m_components.size()));
            PutVersion(d, m_firmware);
            for (auto& c : m_components) PutVersion(d, c);
        } else if (sub == 0x83) {
            PutU8(d, 0x83);
            PutU32(d, m_serial);
            PutU8(d, m_buildDay);
            PutU8(d, m_buildMonth);
            PutU16(d, m_buildYear);
            PutU8(d, m_buildHour);
            PutU16(d, m_productCode);
            size_t n = std::min<size_t>(m_productName.size(), 255);
            PutU8(d, static_cast<uint8_t>(n));
            d.insert(d.end(), m_productName.begin(), m_productName.begin() + static_cast<long>(n));
        } else {
            return Bytes();
        }
        break;
    case 0x45: {
        // Two-digit years, as the short version report has always carried.
        auto put = [&](const QbinVersion& v) {
            PutU8(d, v.major);
            PutU8(d, v.minor);
            PutU8(d, v.month);
            PutU8(d, v.day);
            PutU8(d, static_cast<uint8_t>(v.year % 100));
        };
        put(m_firmware);
        put(m_core);
        break;
    }
    case 0xBB:
        PutU8(d, 0x00);
        PutU8(d, m_navMode);
        PutU8(d, m_navDgps);
        PutU8(d, m_navDynamics);
        PutU8(d, 0x00);
        PutFloat(d, m_navElev);
        PutFloat(d, m_navSnr);
        PutFloat(d, m_navDopMask);
        PutFloat(d, m_navDopSwitch);
        PutU8(d, m_navAge);
        d.resize(40, 0x00);  // reserved tail
        break;
    case 0xBC: {
        // The port FF stands for is the link's; the report names it.
        const int port = sub == 0xFF ? m_linkPort : sub;
        if (port > 1) return Bytes();
        const QbinPort& p = m_ports[port];
        PutU8(d, static_cast<uint8_t>(port));
        PutU8(d, BaudCode(p.baud));
        PutU8(d, BaudCode(p.baud));
        PutU8(d, p.dataBits == 7 ? 2 : 3);
        PutU8(d, p.parity);
        PutU8(d, p.stopBits == 2 ? 1 : 0);
        PutU8(d, 0x00);
        PutU8(d, p.inMask);
        PutU8(d, p.outMask);
        PutU8(d, 0x00);
        break;
    }
    case 0x55:
        d.assign(m_io, m_io + 4);
        break;
    case 0x70:
        d.assign(m_filter, m_filter + 4);
        break;
    case 0x7B:
        PutU8(d, 0x00);
        PutU8(d, m_nmeaInterval);
        PutU32(d, m_nmeaMask);
        break;
    case 0x8F:  // only the datum report
        PutU8(d, 0x15);
        PutU16(d, static_cast<uint16_t>(m_datumIndex));
        for (double v : m_datum) PutDouble(d, v);
        break;
    case 0xC2:
        PutU32(d, m_svMask);
        break;
    default:
        return Bytes();
    }
    return QbinPacket(id, d);
}

void QbinReceiver::Channels(std::vector<Segment>& out) const
{
    for (int n = 0; n < 12; ++n) {
        if (!m_hasChannel[n]) continue;
        const QbinChannel& c = m_channels[n];
        const size_t kChannelReport = 24;
        Bytes d;
        d.reserve(kChannelReport);
        PutU8(d, c.sv);
        PutU8(d, static_cast<uint8_t>(n << 3));  // channel in bits 3..7, slot 0
        PutU8(d, 1);                             // acquired
        PutU8(d, c.status);
        PutFloat(d, c.level);
        PutFloat(d, static_cast<float>(m_tow));
        PutFloat(d, c.elevation);
        PutFloat(d, c.azimuth);
        for (int k = 0; k < 4; ++k) PutU8(d, 0);
        Good(out, QbinPacket(0x5C, d));
    }
}

std::vector<uint8_t> QbinReceiver::FixSatellites() const
{
    const size_t kMostInFix = 12;  // the count is a nibble and 0x6D holds 12
    std::vector<uint8_t> svs = m_fixSvs;
    for (int n = 0; n < 12; ++n) {
        if (!m_hasChannel[n] || !m_channels[n].inFix || svs.size() >= kMostInFix) continue;
        if (std::find(svs.begin(), svs.end(), m_channels[n].sv) == svs.end()) svs.push_back(m_channels[n].sv);
    }
    return svs;
}

void QbinReceiver::DrawJitter()
{
    if (m_jitter <= 0) return;
    auto next = [this] {
        m_jitterState ^= m_jitterState << 13;
        m_jitterState ^= m_jitterState >> 17;
        m_jitterState ^= m_jitterState << 5;
        return static_cast<double>(m_jitterState) / 4294967296.0;  // [0, 1)
    };
    // Uniform over the disc: the radius goes with the root of its draw.
    const double r = m_jitter * std::sqrt(next()), angle = 2 * kPi * next();
    const double s = std::sin(m_lat), w = std::sqrt(1 - kEarthE2 * s * s);
    const double meridian = kEarthA * (1 - kEarthE2) / (w * w * w) + m_height;
    const double parallel = (kEarthA / w + m_height) * std::cos(m_lat);
    m_jitterLat = r * std::cos(angle) / meridian;
    m_jitterLon = parallel > 1 ? r * std::sin(angle) / parallel : 0;
}

void QbinReceiver::Tick(std::vector<Segment>& out)
{
    DrawJitter();
    for (uint8_t id : m_periodic) {
        if (id == 0x5C) {
            Channels(out);
            continue;
        }
        Bytes r = Report(id, id == 0x1C ? 0x82 : 0);
        if (!r.empty()) Good(out, r);
    }
    Move();
    m_tow += m_towStep;
    if (m_tow >= 604800.0) {
        m_tow -= 604800.0;
        ++m_week;
    }
}

void QbinReceiver::Move()
{
    if (m_track) {
        // Metres over the period's time as angles where the receiver is now.
        const double dt = m_towStep > 0 ? m_towStep : m_intervalMs / 1000.0;
        const double s = std::sin(m_lat), w = std::sqrt(1 - kEarthE2 * s * s);
        const double meridian = kEarthA * (1 - kEarthE2) / (w * w * w) + m_height;
        const double parallel = (kEarthA / w + m_height) * std::cos(m_lat);
        m_dLat = m_trackNorth * dt / meridian;
        m_dLon = parallel > 1 ? m_trackEast * dt / parallel : 0;
        m_dHeight = m_trackUp * dt;
    }
    // A bound that would be passed turns the motion back for good, so the
    // track runs to and fro rather than sticking at the bound.
    if (std::fabs(m_lat + m_dLat) > kTurnLatitude) {
        m_dLat = -m_dLat;
        m_trackNorth = -m_trackNorth;
    }
    const double height = m_height + m_dHeight;
    if (height < kLowestHeight || height > kHighestHeight) {
        m_dHeight = -m_dHeight;
        m_trackUp = -m_trackUp;
    }
    if (m_track) {  // the velocity stays the track's
        m_velNorth = static_cast<float>(m_trackNorth);
        m_velUp = static_cast<float>(m_trackUp);
    }
    m_lat += m_dLat;
    m_lon += m_dLon;
    m_height += m_dHeight;
    if (m_lon >= kPi) m_lon -= 2 * kPi;
    if (m_lon < -kPi) m_lon += 2 * kPi;

    const double kHalfPi = kPi / 2;
    for (QbinChannel& c : m_channels) {
        if (c.dElevation == 0 && c.dAzimuth == 0) continue;  // fixed values stay exact
        double elevation = c.elevation + c.dElevation;
        if (std::fabs(elevation) > kHalfPi) {
            c.dElevation = -c.dElevation;
            elevation = c.elevation + c.dElevation;
        }
        double azimuth = std::fmod(c.azimuth + c.dAzimuth, 2 * kPi);
        if (azimuth < 0) azimuth += 2 * kPi;
        c.elevation = static_cast<float>(elevation);
        c.azimuth = static_cast<float>(azimuth);
    }
}

bool QbinReceiver::SpoilFix(std::vector<Segment>& period)
{
    bool spoiled = false;
    std::vector<Segment> out;
    for (Segment& s : period) {
        // The position and the velocity: both carry the time of the fix.
        const bool fix = s.kind == KIND_QBIN && s.outcome == OUT_GOOD && s.bytes.size() > 1 &&
                         (s.bytes[1] == 0x84 || s.bytes[1] == 0x56);
        if (!fix) {
            out.push_back(std::move(s));
            continue;
        }
        Good(out, Announcement(s.bytes, true));
        Unframed(out, s.bytes);  // fails its check: no frame for the truth
        spoiled = spoiled || s.bytes[1] == 0x84;
    }
    period.swap(out);
    return spoiled;
}

bool QbinReceiver::IsResetPacket(const Bytes& packet)
{
    // 0x1E: cold or factory reset (with its key byte); 0x25: soft reset.
    return !packet.empty() && (packet[0] == 0x1E || packet[0] == 0x25);
}

void QbinReceiver::Version(std::vector<Segment>& out) const { Good(out, Report(0x1C, 0x82)); }

bool QbinReceiver::AnswerPacket(const Bytes& packet, std::vector<Segment>& out)
{
    if (packet.empty()) return false;
    const uint8_t id = packet[0];
    const size_t n = packet.size() - 1;  // data bytes
    const uint8_t d0 = n >= 1 ? packet[1] : 0xFF;
    switch (id) {
    case 0x26:
        Good(out, Report(0x46));
        return true;
    case 0x21:
        Good(out, Report(0x41));
        return true;
    case 0x24:
        Good(out, Report(0x6D));
        return true;
    case 0x1F:
        Good(out, Report(0x45));
        return true;
    case 0x1C:
        if (d0 == 0x02) Good(out, Report(0x1C, 0x82));
        else if (d0 == 0x03) Good(out, Report(0x1C, 0x83));
        else return false;
        return true;
    case 0x3C: {
        // 0 asks for every channel; a satellite number for its channel only.
        if (n < 1) return false;
        std::vector<Segment> all;
        Channels(all);
        for (auto& s : all)
            if (d0 == 0 || (s.bytes.size() > 2 && s.bytes[2] == d0)) out.push_back(s);
        return true;
    }
    case 0xBB:
        if (d0 != 0x00) return false;
        ApplyNavConfig(packet);
        Good(out, Report(0xBB));
        return true;
    case 0xBC: {
        // A query names the port; a set carries its settings after it.
        if (n != 1 && n != 10) return false;
        Bytes reply = Report(0xBC, d0);
        if (reply.empty()) return false;
        if (n == 10) {
            ApplyPort(packet);
            reply = Report(0xBC, d0);
        }
        Good(out, reply);
        return true;
    }
    case 0x35:
        if (n == 4) memcpy(m_io, &packet[1], 4);
        Good(out, Report(0x55));
        return true;
    case 0x70:
        if (n == 4) memcpy(m_filter, &packet[1], 4);
        Good(out, Report(0x70));
        return true;
    case 0x7A:
        if (d0 != 0x00) return false;
        Good(out, Report(0x7B));
        return true;
    case 0x8E:
        if (d0 != 0x15) return false;
        if (n == 3) m_datumIndex = static_cast<int16_t>(packet[2] << 8 | packet[3]);
        Good(out, Report(0x8F));
        return true;
    case 0xC2:
        if (n == 4)
            m_svMask = static_cast<uint32_t>(packet[1]) << 24 | static_cast<uint32_t>(packet[2]) << 16 |
                       static_cast<uint32_t>(packet[3]) << 8 | packet[4];
        Good(out, Report(0xC2));
        return true;
    default:
        return false;
    }
}

void QbinReceiver::ApplyNavConfig(const Bytes& packet)
{
    // BB 00, mode, DGPS, dynamics, a reserved byte, four floats, the age
    // limit and reserved bytes: 40 or 43 data bytes in all.
    const size_t kShort = 41, kLong = 44;
    if (packet.size() != kShort && packet.size() != kLong) return;
    auto byte = [&](size_t at, uint8_t& field) {
        if (packet[at] != kKeep) field = packet[at];
    };
    auto real = [&](size_t at, float& field) {
        const float v = FloatAt(packet, at);
        if (!AllKeep(packet, at, 4) && std::isfinite(v)) field = v;
    };
    byte(2, m_navMode);
    byte(3, m_navDgps);
    byte(4, m_navDynamics);
    real(6, m_navElev);
    real(10, m_navSnr);
    real(14, m_navDopMask);
    real(18, m_navDopSwitch);
    byte(22, m_navAge);
}

void QbinReceiver::ApplyPort(const Bytes& packet)
{
    // BC port, input baud, output baud, data bits, parity, stop bits, 00,
    // input mask, output mask, 00. The receiver keeps one rate per port:
    // the output rate's.
    const int port = packet[1] == 0xFF ? m_linkPort : packet[1];
    if (port > 1) return;
    QbinPort& p = m_ports[port];
    p.baud = BaudOf(packet[3]);
    p.dataBits = packet[4] == 2 ? 7 : 8;
    p.parity = packet[5] <= 2 ? packet[5] : 0;
    p.stopBits = packet[6] == 1 ? 2 : 1;
    p.inMask = packet[8];
    p.outMask = packet[9];
}

bool QbinReceiver::Inject(const std::string& what, int count, Garbage& garbage,
                          std::vector<Segment>& out)
{
    auto crcError = [&] {
        Bytes other = Position(0.01);
        Good(out, Announcement(other, true));
        Unframed(out, other);  // fails its check: no frame for the truth
    };
    auto brokenDle = [&] {
        // DLE and a byte that is neither DLE nor ETX, halfway through a
        // position report with other values; both halves correctly stuffed,
        // so only the pair breaks the packet.
        Bytes head = PositionData(0.02), tail(head.begin() + 10, head.end());
        head.resize(10);
        Bytes b = QbinPacket(0x84, head);
        b.resize(b.size() - 2);  // no DLE ETX
        Bytes rest = QbinPacket(0x01, tail);
        b.insert(b.end(), rest.begin(), rest.end());
        Segment s;
        s.bytes = b;
        s.broken = 1;
        out.push_back(std::move(s));
    };
    if (count < 1) count = 1;
    if (what == "announced") {
        for (int i = 0; i < count; ++i) {
            Bytes covered = Position(0);
            Good(out, Announcement(covered, false));
            Good(out, covered);
        }
    } else if (what == "crc") {
        for (int i = 0; i < count; ++i) crcError();
    } else if (what == "dle") {
        for (int i = 0; i < count; ++i) brokenDle();
    } else if (what == "garbage") {
        Unframed(out, garbage.Run(static_cast<size_t>(count)));
    } else if (what == "falsestart") {
        FaultKit kit;
        kit.kind = KIND_QBIN;
        kit.good = {Report(0x41), Report(0x46), Report(0x6D), Report(0x84)};
        return InjectFaults(kit, what, count, garbage, out);
    } else if (what == "burst") {
        for (int i = 0; i < count; ++i) {
            crcError();
            brokenDle();
            Unframed(out, garbage.Run(17));
        }
    } else {
        return false;
    }
    return true;
}

}  // namespace rxsim
