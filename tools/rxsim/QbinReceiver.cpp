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

    std::string all = text;
    for (char& c : all)
        if (c == ';') c = '\n';
    std::istringstream lines(all);
    std::string line;
    int number = 0;
    bool sawChannel = false;
    while (std::getline(lines, line)) {
        ++number;
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
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
        } else if (key == "velocity") {
            fresh.m_velEast = a.F(0);
            fresh.m_velNorth = a.F(1);
            fresh.m_velUp = a.F(2);
            fresh.m_biasRate = t.size() > 3 ? a.F(3) : 0.0f;
        } else if (key == "time") {
            fresh.m_tow = a.F(0);
            fresh.m_week = static_cast<uint16_t>(a.U(1, 10, 65535));
            fresh.m_utcOffset = a.F(2);
            fresh.m_towStep = t.size() > 3 ? a.F(3) : 1.0f;
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
            c.status = t.size() > 5 ? static_cast<uint8_t>(a.U(5, 10, 255)) : 8;
            if (a.Ok()) {
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
    PutDouble(d, m_lat + shift);
    PutDouble(d, m_lon + shift);
    PutDouble(d, m_height + shift * 1000);
    PutDouble(d, m_bias);
    PutFloat(d, m_tow);
    return d;
}

Bytes QbinReceiver::Report(uint8_t id, uint8_t sub) const
{
    const size_t kTypicalReport = 64;
    Bytes d;
    d.reserve(kTypicalReport);
    switch (id) {
    case 0x41:  // GPS time: TOW, week, UTC offset
        PutFloat(d, m_tow);
        PutU16(d, m_week);
        PutFloat(d, m_utcOffset);
        break;
    case 0x84:
        return Position(0);
    case 0x56:  // velocity east, north, up, clock bias rate, time of fix
        for (float v : {m_velEast, m_velNorth, m_velUp, m_biasRate, m_tow}) PutFloat(d, v);
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
        PutU8(d, static_cast<uint8_t>(m_fixSvs.size() << 4 | (m_fixMode & 0x0F)));
        for (float v : {m_pdop, m_hdop, m_vdop, m_tdop}) PutFloat(d, v);
        d.insert(d.end(), m_fixSvs.begin(), m_fixSvs.end());
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
        PutFloat(d, m_tow);
        PutFloat(d, c.elevation);
        PutFloat(d, c.azimuth);
        for (int k = 0; k < 4; ++k) PutU8(d, 0);
        Good(out, QbinPacket(0x5C, d));
    }
}

void QbinReceiver::Tick(std::vector<Segment>& out)
{
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
    if (m_tow >= 604800.0f) {
        m_tow -= 604800.0f;
        ++m_week;
    }
}

void QbinReceiver::Move()
{
    // A bound that would be passed turns the motion back for good, so the
    // track runs to and fro rather than sticking at the bound.
    if (std::fabs(m_lat + m_dLat) > kTurnLatitude) m_dLat = -m_dLat;
    const double height = m_height + m_dHeight;
    if (height < kLowestHeight || height > kHighestHeight) m_dHeight = -m_dHeight;
    m_lat += m_dLat;
    m_lon += m_dLon;
    m_height += m_dHeight;
    if (m_lon >= kPi) m_lon -= 2 * kPi;
    if (m_lon < -kPi) m_lon += 2 * kPi;
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
        Good(out, Report(0xBB));
        return true;
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
