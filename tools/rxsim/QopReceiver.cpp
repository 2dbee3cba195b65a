#include "QopReceiver.h"

#include <cmath>

#include "Settings.h"

namespace rxsim {

namespace {

const double kMilliarcsecondsPerDegree = 3600000.0;
const double kCentimetresPerMetre = 100.0;
const size_t kChannels = 12;
// Data lengths (the message without "@@", the id, checksum and CR LF).
const size_t kHaData = 147, kBbData = 85, kCjData = 287;
// Offsets in Ha's data.
const size_t HA_DATE = 0, HA_TIME = 4, HA_LATITUDE = 11, HA_LONGITUDE = 15, HA_HEIGHT = 19, HA_HEIGHT_MSL = 23,
             HA_DOP = 49, HA_VISIBLE = 51, HA_TRACKED = 52, HA_CHANNELS = 53, HA_CHANNEL_SIZE = 6,
             HA_STATUS = 125, HA_CLOCK = 131;
const size_t BB_RECORDS = 1, BB_RECORD_SIZE = 7;

void PutBe(Bytes& d, size_t at, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i) d[at + i] = static_cast<uint8_t>(v >> (8 * (bytes - 1 - i)));
}

Bytes Frame(const char* id, const Bytes& data) { return QopMessage(id[0], id[1], data); }

}  // namespace

bool QopReceiver::Setting(const std::string& key, Args& a, bool& bad)
{
    if (key == "position") {
        bad = !m_place.Read(a);
    } else if (key == "time") {
        bad = !m_clock.Read(a, 65535, 4);
    } else if (key == "status") {
        m_status = static_cast<uint16_t>(a.U(0, 16, 0xFFFF));
    } else if (key == "dop") {
        m_dop = static_cast<uint16_t>(a.U(0, 10, 0xFFFF));
    } else if (key == "clock") {
        m_clockTerm = static_cast<int32_t>(a.I(0, -2147483647L - 1, 2147483647L));
    } else if (key == "channel") {
        m_channels.push_back(Channel{static_cast<int>(a.U(0, 10, 255)), static_cast<int>(a.U(1, 10, 255)),
                                     static_cast<int>(a.U(2, 10, 255))});
        bad = m_channels.size() > kChannels;
    } else if (key == "visible") {
        m_visible.push_back(Visible{static_cast<int>(a.U(0, 10, 255)), static_cast<int>(a.U(1, 10, 90)),
                                    static_cast<int>(a.U(2, 10, 359))});
        bad = m_visible.size() > kChannels;
    } else if (key == "version") {
        m_major = static_cast<int>(a.U(0, 10, 99));
        m_minor = static_cast<int>(a.U(1, 10, 99));
        m_third = static_cast<int>(a.U(2, 10, 99));
        m_month = static_cast<int>(a.U(3, 10, 12));
        m_day = static_cast<int>(a.U(4, 10, 31));
        m_year = static_cast<int>(a.U(5, 10, 99));
    } else {
        return ScenarioReceiver::Setting(key, a, bad);
    }
    return true;
}

Bytes QopReceiver::Message(const std::string& id) const
{
    if (id == "Ha") {
        Bytes d(kHaData, 0x00);
        long s = std::lround(m_clock.secondOfDay);
        d[HA_DATE] = static_cast<uint8_t>(m_clock.month);
        d[HA_DATE + 1] = static_cast<uint8_t>(m_clock.day);
        PutBe(d, HA_DATE + 2, static_cast<uint32_t>(m_clock.year), 2);
        d[HA_TIME] = static_cast<uint8_t>(s / 3600 % 24);
        d[HA_TIME + 1] = static_cast<uint8_t>(s / 60 % 60);
        d[HA_TIME + 2] = static_cast<uint8_t>(s % 60);
        PutBe(d, HA_LATITUDE, static_cast<uint32_t>(std::lround(m_place.lat * kMilliarcsecondsPerDegree)), 4);
        PutBe(d, HA_LONGITUDE, static_cast<uint32_t>(std::lround(m_place.lon * kMilliarcsecondsPerDegree)), 4);
        const uint32_t height = static_cast<uint32_t>(std::lround(m_place.altitude * kCentimetresPerMetre));
        PutBe(d, HA_HEIGHT, height, 4);
        PutBe(d, HA_HEIGHT_MSL, height, 4);
        PutBe(d, HA_DOP, m_dop, 2);
        d[HA_VISIBLE] = static_cast<uint8_t>(m_visible.size());
        d[HA_TRACKED] = static_cast<uint8_t>(m_channels.size());
        for (size_t k = 0; k < m_channels.size(); ++k) {
            size_t at = HA_CHANNELS + k * HA_CHANNEL_SIZE;
            d[at] = static_cast<uint8_t>(m_channels[k].sv);
            d[at + 1] = static_cast<uint8_t>(m_channels[k].mode);
            d[at + 2] = static_cast<uint8_t>(m_channels[k].signal);
        }
        PutBe(d, HA_STATUS, m_status, 2);
        PutBe(d, HA_CLOCK, static_cast<uint32_t>(m_clockTerm), 4);
        return Frame("Ha", d);
    }
    if (id == "Bb") {
        Bytes d(kBbData, 0x00);
        d[0] = static_cast<uint8_t>(m_visible.size());
        for (size_t k = 0; k < m_visible.size(); ++k) {
            size_t at = BB_RECORDS + k * BB_RECORD_SIZE;
            d[at] = static_cast<uint8_t>(m_visible[k].sv);
            d[at + 3] = static_cast<uint8_t>(m_visible[k].elevation);
            PutBe(d, at + 4, static_cast<uint32_t>(m_visible[k].azimuth), 2);
        }
        return Frame("Bb", d);
    }
    if (id == "Cj") {
        // The version text: lines ended by CR LF, blank-padded to its length.
        std::string t = "\r\nCOPYRIGHT 2007 ZENTHOS QOP ENGINE\r\n" +
                        Format("SOFTWARE VER # %02d.%02d.%02d\r\n", m_major, m_minor, m_third) +
                        "SOFTWARE REV # 1\r\n" +
                        Format("SOFTWARE DATE %02d/%02d/%02d\r\n", m_month, m_day, m_year) +
                        "MODEL # QOP-12\r\nHDWR VER # 1.0\r\nSERIAL # 0012345\r\n";
        t.resize(kCjData, ' ');
        return Frame("Cj", Bytes(t.begin(), t.end()));
    }
    return Bytes();
}

void QopReceiver::Tick(std::vector<Segment>& out)
{
    for (const std::string& id : m_periodic) AddGood(out, Message(id), KIND_QOP);
    m_clock.Advance();
}

bool QopReceiver::Answer(const Command& c, std::vector<Segment>& out)
{
    if (c.kind != KIND_QOP || !c.valid || c.body.size() < 2) return false;
    const std::string id(c.body.begin(), c.body.begin() + 2);
    // The position and satellite queries carry one data byte, the version
    // query none.
    if (id == "Cj" || ((id == "Ha" || id == "Bb") && c.body.size() == 3)) {
        AddGood(out, Message(id), KIND_QOP);
        return true;
    }
    return false;
}

bool QopReceiver::Inject(const std::string& what, int count, Garbage& garbage, std::vector<Segment>& out)
{
    QopReceiver other(*this);
    other.m_place = m_place.Elsewhere();
    other.m_status = 0x4000;  // acquiring: another health
    other.m_clock = m_clock.Later();
    FaultKit kit;
    kit.kind = KIND_QOP;
    Bytes good = Message("Ha"), wrong = other.Message("Ha");
    kit.good.push_back(good);
    kit.bad.push_back(QopMessage('H', 'a', Bytes(wrong.begin() + 4, wrong.end() - 3), true));
    // Cut after its header and position; the reader then takes the next
    // bytes for the rest of the message, which is why it is padded to its
    // length with noise that does not end in LF.
    const size_t kKept = 4 + HA_HEIGHT;
    kit.truncated.push_back(CutAndPad(wrong, kKept, garbage));
    return InjectFaults(kit, what, count, garbage, out);
}

}  // namespace rxsim
