#include "KestoReceiver.h"

#include <cmath>

#include "Settings.h"

namespace rxsim {

namespace {

const double kSemicirclesPerDegree = 2147483648.0 / 180.0;
const double kHeadingUnitsPerDegree = 65536.0 / 360.0;
const double kCentimetres = 100.0;
const double kDopUnitsPerDop = 256.0;
const double kSnrUnit = 0.2;
const int kElevationUnitDegrees = 2;
const size_t kChannels = 12;
const double kMaxAltitude = 32767;  // metres: a signed 16-bit field
const size_t kProductNameLength = 16;
const uint8_t NAV_POSITION = 0x01, NAV_HEADING = 0x04, NAV_SPEED = 0x08;
const uint8_t REQUEST_CLASS = 0x02;

void PutLe(Bytes& d, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i) d.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t Round(double v) { return static_cast<uint32_t>(static_cast<int32_t>(std::lround(v))); }

}  // namespace

bool KestoReceiver::Setting(const std::string& key, Args& a, bool& bad)
{
    if (key == "position") {
        bad = !m_place.Read(a) || std::fabs(m_place.altitude) > kMaxAltitude;
    } else if (key == "velocity") {
        m_speed = a.D(0);
        m_heading = a.D(1);
        bad = m_speed < 0 || m_speed > 655 || m_heading < 0 || m_heading >= 360;
    } else if (key == "time") {
        bad = !m_clock.Read(a, 65535, 5);
        m_offset = static_cast<int>(a.U(4, 10, 255));
    } else if (key == "dops") {
        m_pdop = a.D(0);
        m_hdop = a.D(1);
        m_vdop = a.D(2);
    } else if (key == "status") {
        m_state = static_cast<uint8_t>(a.U(0, 16, 255));
        m_flags = static_cast<uint8_t>(a.U(1, 16, 255));
    } else if (key == "channel") {
        Channel c;
        c.n = static_cast<int>(a.U(0, 10, 255));
        c.sv = static_cast<int>(a.U(1, 10, 255));
        c.snr = static_cast<int>(a.U(2, 10, 51));
        c.elevation = static_cast<int>(a.U(3, 10, 90));
        c.azimuth = static_cast<int>(a.I(4, -128, 127));
        c.flags = static_cast<int>(a.U(5, 16, 255));
        m_channels.push_back(c);
        bad = m_channels.size() > kChannels;
    } else if (key == "version") {
        m_major = static_cast<int>(a.U(0, 10, 255));
        m_minor = static_cast<int>(a.U(1, 10, 255));
        m_third = static_cast<int>(a.U(2, 10, 255));
        m_day = static_cast<int>(a.U(3, 10, 31));
        m_month = static_cast<int>(a.U(4, 10, 12));
        m_year = static_cast<int>(a.U(5, 10, 65535));
    } else if (key == "product") {
        m_value = static_cast<uint32_t>(a.U(0, 10, 0xFFFFFFFFul));
        m_productDay = static_cast<int>(a.U(1, 10, 31));
        m_productMonth = static_cast<int>(a.U(2, 10, 12));
        m_productYear = static_cast<int>(a.U(3, 10, 65535));
        m_productName = a.Rest(4);
        bad = m_productName.empty() || m_productName.size() > kProductNameLength;
    } else if (key == "statusbits") {
        m_statusBits = static_cast<uint8_t>(a.U(0, 16, 255));
    } else if (key == "extra") {
        RawMessage e;
        bad = !e.Read(a);
        m_extra.push_back(e);
    } else {
        return ScenarioReceiver::Setting(key, a, bad);
    }
    return true;
}

std::vector<Bytes> KestoReceiver::Packets(const std::string& name, bool corrupt) const
{
    Bytes d;
    if (name == "30-02") {
        int week = 0;
        double tow = 0;
        m_clock.Gps(week, tow);
        d.push_back(NAV_POSITION | NAV_HEADING | NAV_SPEED);
        PutLe(d, 0, 2);
        PutLe(d, Round(tow * 1000), 4);
        PutLe(d, Round(m_place.lat * kSemicirclesPerDegree), 4);
        PutLe(d, Round(m_place.lon * kSemicirclesPerDegree), 4);
        PutLe(d, Round(m_place.altitude), 2);
        PutLe(d, Round(m_heading * kHeadingUnitsPerDegree), 2);
        PutLe(d, Round(m_speed * kCentimetres), 2);
        return {KestoPacket(0x30, 0x02, d, corrupt)};
    }
    if (name == "32-01") {
        long s = std::lround(m_clock.secondOfDay);
        PutLe(d, static_cast<uint32_t>(m_clock.year), 2);
        d.push_back(static_cast<uint8_t>(m_clock.month));
        d.push_back(static_cast<uint8_t>(m_clock.day));
        d.push_back(static_cast<uint8_t>(s / 3600 % 24));
        d.push_back(static_cast<uint8_t>(s / 60 % 60));
        d.push_back(static_cast<uint8_t>(s % 60));
        d.push_back(static_cast<uint8_t>(m_offset));
        for (double dop : {m_pdop, m_hdop, m_vdop}) PutLe(d, Round(dop * kDopUnitsPerDop), 2);
        d.push_back(0x00);
        d.push_back(m_state);
        d.push_back(m_flags);
        return {KestoPacket(0x32, 0x01, d, corrupt)};
    }
    if (name == "33-01") {
        std::vector<Bytes> all;
        for (const Channel& c : m_channels) {
            Bytes e = {static_cast<uint8_t>(c.n), static_cast<uint8_t>(c.sv), 0x00,
                       static_cast<uint8_t>(std::lround(c.snr / kSnrUnit)),
                       static_cast<uint8_t>(c.elevation / kElevationUnitDegrees), static_cast<uint8_t>(c.azimuth),
                       static_cast<uint8_t>(c.flags)};
            all.push_back(KestoPacket(0x33, 0x01, e));
        }
        return all;
    }
    if (name == "11-01") {
        d = {static_cast<uint8_t>(m_major), static_cast<uint8_t>(m_minor), static_cast<uint8_t>(m_third),
             static_cast<uint8_t>(m_day), static_cast<uint8_t>(m_month)};
        PutLe(d, static_cast<uint32_t>(m_year), 2);
        return {KestoPacket(0x11, 0x01, d)};
    }
    if (name == "12-03") {
        PutLe(d, m_value, 4);
        d.push_back(static_cast<uint8_t>(m_productDay));
        d.push_back(static_cast<uint8_t>(m_productMonth));
        PutLe(d, static_cast<uint32_t>(m_productYear), 2);
        std::string padded = m_productName;
        padded.resize(kProductNameLength, ' ');
        d.insert(d.end(), padded.begin(), padded.end());
        return {KestoPacket(0x12, 0x03, d)};
    }
    if (name == "16-02") {
        d = {0x00, 0x00, 0x00, m_statusBits};
        return {KestoPacket(0x16, 0x02, d)};
    }
    return {};
}

void KestoReceiver::Tick(std::vector<Segment>& out)
{
    for (const std::string& name : m_periodic)
        for (const Bytes& p : Packets(name)) AddGood(out, p, KIND_KESTO);
    for (const RawMessage& e : m_extra) AddGood(out, KestoPacket(e.cls, e.id, e.data), KIND_KESTO);
    m_clock.Advance();
}

bool KestoReceiver::Answer(const Command& c, std::vector<Segment>& out)
{
    if (c.kind != KIND_KESTO || !c.valid || c.body.size() < 2 || c.body[0] != REQUEST_CLASS) return false;
    const char* reply = nullptr;
    switch (c.body[1]) {
    case 0x11: reply = "11-01"; break;
    case 0x12: reply = "12-03"; break;
    case 0x16: reply = "16-02"; break;
    default: return false;
    }
    for (const Bytes& p : Packets(reply)) AddGood(out, p, KIND_KESTO);
    return true;
}

bool KestoReceiver::Inject(const std::string& what, int count, Garbage& garbage, std::vector<Segment>& out)
{
    KestoReceiver other(*this);
    other.m_place = m_place.Elsewhere();
    other.m_clock = m_clock.Later();
    other.m_pdop = m_pdop + 3;
    FaultKit kit;
    kit.kind = KIND_KESTO;
    for (const char* name : {"30-02", "32-01"}) {
        kit.good.push_back(Packets(name)[0]);
        const Bytes wrong = other.Packets(name)[0];
        kit.bad.push_back(other.Packets(name, true)[0]);
        // Cut short: the next packet's 0x81 starts over.
        size_t keep = wrong.size() / 2;
        if (wrong[keep - 1] == 0x80) --keep;  // never end on an escape
        kit.truncated.push_back(Bytes(wrong.begin(), wrong.begin() + static_cast<long>(keep)));
    }
    return InjectFaults(kit, what, count, garbage, out);
}

}  // namespace rxsim
