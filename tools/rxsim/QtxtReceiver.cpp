#include "QtxtReceiver.h"

#include <cmath>

#include "Settings.h"

namespace rxsim {

namespace {

const double kMetresPerSecondPerMph = 0.44704;
const double kFeetPerMetre = 1.0 / 0.3048;
const size_t kMaxSatellites = 12;

// A signed fixed-point field: the sign, then `digits` digits of
// value x 10^decimals.
std::string Signed(double value, int digits, int decimals)
{
    long scaled = std::lround(std::fabs(value) * std::pow(10.0, decimals));
    return Format("%c%0*ld", value < 0 ? '-' : '+', digits, scaled);
}

std::string Unsigned(double value, int digits, int decimals)
{
    return Format("%0*ld", digits, std::lround(std::fabs(value) * std::pow(10.0, decimals)));
}

// The four-digit baud code of PT.
int BaudCode(int baud) { return baud >= 10000 ? baud / 10 : baud; }

}  // namespace

bool QtxtReceiver::Setting(const std::string& key, Args& a, bool& bad)
{
    if (key == "position") {
        bad = !m_place.Read(a);
    } else if (key == "velocity") {
        m_speed = a.D(0);
        m_heading = a.D(1);
        m_vertical = a.D(2);
    } else if (key == "time") {
        bad = !m_clock.Read(a, 9999, 5);
        m_offset = static_cast<int>(a.U(4, 10, 99));
    } else if (key == "fix") {
        m_fixDigit = static_cast<int>(a.U(0, 10, 9));
        m_fixSatellites = static_cast<int>(a.U(1, 10, 99));
    } else if (key == "source") {
        m_source = a.S(0).size() == 1 ? a.S(0)[0] : '?';
        m_age = a.S(1).size() == 1 ? a.S(1)[0] : '?';
        bad = m_source == '?' || m_age == '?';
    } else if (key == "status") {
        m_status = static_cast<int>(a.U(0, 16, 255));
        m_digit6 = static_cast<int>(a.U(1, 16, 15));
        m_digit7 = static_cast<int>(a.U(2, 16, 15));
        m_digit11 = static_cast<int>(a.U(3, 16, 15));
    } else if (key == "satellite") {
        m_satellites.push_back(Satellite{static_cast<int>(a.U(0, 10, 99)), static_cast<int>(a.U(1, 10, 99))});
        bad = m_satellites.size() > kMaxSatellites;
    } else if (key == "version") {
        m_major = static_cast<int>(a.U(0, 10, 99));
        m_minor = static_cast<int>(a.U(1, 10, 99));
        m_month = static_cast<int>(a.U(2, 10, 12));
        m_day = static_cast<int>(a.U(3, 10, 31));
        m_year = static_cast<int>(a.U(4, 10, 99));
        m_name = a.Rest(5);
        bad = m_name.empty();
    } else if (key == "port") {
        m_baud = static_cast<int>(a.U(0, 10, 115200));
        m_dataBits = static_cast<int>(a.U(1, 10, 8));
        m_stopBits = static_cast<int>(a.U(2, 10, 2));
        m_parity = a.S(3).size() == 1 ? a.S(3)[0] : '?';
        bad = BaudCode(m_baud) > 9999;
    } else if (key == "protocols") {
        m_protocols = a.S(0) + a.S(1) + a.S(2);
        bad = m_protocols.size() != 3;
    } else {
        return ScenarioReceiver::Setting(key, a, bad);
    }
    return true;
}

std::string QtxtReceiver::Body(const std::string& name) const
{
    const long secondOfDay = static_cast<long>(m_clock.secondOfDay);
    if (name == "LN") {
        // Time of day, three unused digits, latitude, longitude, altitude
        // (feet), horizontal and vertical speed (mph), heading, the
        // satellites (number and signal), ten unused digits, source, age.
        std::string s = Format("RLN%05ld000", secondOfDay) + Signed(m_place.lat, 9, 7) + Signed(m_place.lon, 10, 7) +
                        Signed(m_place.altitude * kFeetPerMetre, 8, 2) +
                        Unsigned(m_speed / kMetresPerSecondPerMph, 4, 1) +
                        Signed(m_vertical / kMetresPerSecondPerMph, 4, 1) + Unsigned(m_heading, 4, 1) +
                        Format("%02d", static_cast<int>(m_satellites.size()));
        for (const Satellite& v : m_satellites) s += Format("%02d%02d", v.sv, v.snr);
        return s + "0000000000" + m_source + m_age;
    }
    if (name == "PV")
        return Format("RPV%05ld", secondOfDay) + Signed(m_place.lat, 7, 5) + Signed(m_place.lon, 8, 5) +
               Unsigned(m_speed / kMetresPerSecondPerMph, 3, 0) + Unsigned(m_heading, 3, 0) + m_source + m_age;
    if (name == "TM") {
        long ms = std::lround(m_clock.secondOfDay * 1000);
        return Format("RTM%02ld%02ld%02ld%03ld%02d%02d%04d%02d%d%02d", ms / 3600000 % 24, ms / 60000 % 60,
                      ms / 1000 % 60, ms % 1000, m_clock.day, m_clock.month, m_clock.year, m_offset, m_fixDigit,
                      m_fixSatellites);
    }
    if (name == "ST")
        return Format("RST%02X%X%X000%X", m_status, m_digit6, m_digit7, m_digit11);
    if (name == "VR")
        return Format("RVR %s;VERSION %02d.%02d (%02d/%02d/%02d)", m_name.c_str(), m_major, m_minor, m_month, m_day,
                      m_year);
    if (name == "PT") return Format("RPT%04d,%d,%d,%c", BaudCode(m_baud), m_dataBits, m_stopBits, m_parity);
    if (name == "PR")
        return Format("RPR;QTXT=%ca;QBIN=%ca;NMEA=%ca", m_protocols[0], m_protocols[1], m_protocols[2]);
    return std::string();
}

void QtxtReceiver::Tick(std::vector<Segment>& out)
{
    for (const std::string& name : m_periodic) AddGood(out, QtxtSentence(Body(name)), KIND_QTXT);
    m_clock.Advance();
}

bool QtxtReceiver::Answer(const Command& c, std::vector<Segment>& out)
{
    if (c.kind != KIND_QTXT || !c.valid) return false;
    const std::string query = c.BodyText();
    // ">Q" and a report name asks for that report.
    if (query.size() != 3 || query[0] != 'Q') return false;
    const std::string reply = Body(query.substr(1));
    if (reply.empty()) return false;
    AddGood(out, QtxtSentence(reply), KIND_QTXT);
    return true;
}

bool QtxtReceiver::Inject(const std::string& what, int count, Garbage& garbage, std::vector<Segment>& out)
{
    QtxtReceiver other(*this);
    other.m_place = m_place.Elsewhere();
    other.m_clock = m_clock.Later();
    other.m_status = 0x0B;
    FaultKit kit;
    kit.kind = KIND_QTXT;
    for (const char* name : {"LN", "TM", "ST"}) {
        kit.good.push_back(QtxtSentence(Body(name)));
        Bytes wrong = QtxtSentence(other.Body(name), true, true);
        kit.bad.push_back(wrong);
        // A sentence cut off by line noise: a control character ends it.
        Bytes cut(wrong.begin(), wrong.begin() + static_cast<long>(wrong.size() / 2));
        cut.push_back(0x00);
        kit.truncated.push_back(cut);
    }
    return InjectFaults(kit, what, count, garbage, out);
}

}  // namespace rxsim
