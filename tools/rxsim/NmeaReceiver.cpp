#include "NmeaReceiver.h"

#include <cmath>
#include <cstdio>

#include "Settings.h"

namespace rxsim {

namespace {

const double kMetresPerSecondPerKnot = 1852.0 / 3600.0;
const double kKmhPerKnot = 1.852;
const double kDegreesToRadians = 0.017453292519943295;
const int kSvFieldsOfGsa = 12;
const int kSatellitesPerGsv = 4;
const size_t kMaxInView = 12;

// Degrees as NMEA writes them: whole degrees (`width` digits) and minutes
// with four decimals, then the hemisphere letter.
std::string Angle(double degrees, int width, char positive, char negative)
{
    const long kTenThousandthsPerDegree = 600000;  // 60 minutes x 10000
    long total = std::lround(std::fabs(degrees) * kTenThousandthsPerDegree);
    long whole = total / kTenThousandthsPerDegree, rest = total % kTenThousandthsPerDegree;
    return Format("%0*ld%02ld.%04ld,%c", width, whole, rest / 10000, rest % 10000,
                  degrees < 0 ? negative : positive);
}

}  // namespace

std::string NmeaReceiver::Latitude(double degrees) const { return Angle(degrees, 2, 'N', 'S'); }
std::string NmeaReceiver::Longitude(double degrees) const { return Angle(degrees, 3, 'E', 'W'); }

std::string NmeaReceiver::TimeText() const
{
    long cs = std::lround(m_clock.secondOfDay * 100);
    return Format("%02ld%02ld%02ld.%02ld", cs / 360000 % 24, cs / 6000 % 60, cs / 100 % 60, cs % 100);
}

bool NmeaReceiver::Setting(const std::string& key, Args& a, bool& bad)
{
    if (key == "talker") {
        m_talker = a.S(0);
        bad = m_talker.size() != 2;
    } else if (key == "position") {
        bad = !m_place.Read(a);
        m_geoid = a.D(3);
    } else if (key == "time") {
        bad = !m_clock.Read(a, 9999, 4);
    } else if (key == "fix") {
        m_quality = static_cast<int>(a.U(0, 10, 9));
        m_satellites = static_cast<int>(a.U(1, 10, 99));
        m_ggaHdop = a.D(2);
    } else if (key == "gsa") {
        m_gsaMode = a.S(0).empty() ? 'A' : a.S(0)[0];
        m_gsaType = static_cast<int>(a.U(1, 10, 3));
        m_pdop = a.D(2);
        m_hdop = a.D(3);
        m_vdop = a.D(4);
        m_used.clear();
        for (size_t i = 5; i < a.Size(); ++i) m_used.push_back(static_cast<int>(a.U(i, 10, 99)));
        bad = m_used.size() > static_cast<size_t>(kSvFieldsOfGsa);
    } else if (key == "satellite") {
        Satellite s;
        s.sv = static_cast<int>(a.U(0, 10, 99));
        s.elevation = static_cast<int>(a.U(1, 10, 90));
        s.azimuth = static_cast<int>(a.U(2, 10, 359));
        s.snr = static_cast<int>(a.U(3, 10, 99));
        m_inView.push_back(s);
        bad = m_inView.size() > kMaxInView;
    } else if (key == "velocity") {
        m_knots = a.D(0);
        m_course = a.D(1);
    } else if (key == "health") {
        for (int i = 0; i < 2; ++i) {
            m_health[i] = a.S(i).empty() ? '?' : a.S(i)[0];
            bad = bad || (m_health[i] != 'A' && m_health[i] != 'V');
        }
    } else if (key == "version") {
        Version v{a.S(0), a.S(1), a.S(2), a.S(3), a.S(4), a.S(5)};
        m_versions.push_back(v);
    } else if (key == "maker") {
        m_maker = a.S(0) == "on";
        bad = a.S(0) != "on" && a.S(0) != "off";
    } else if (key == "announce" || key == "extra") {
        (key == "announce" ? m_announce : m_extra).push_back(a.Rest(0));
        bad = a.Size() == 0;
    } else if (key == "answer") {
        m_answers.push_back(Rule{a.S(0), a.Rest(1)});
        bad = a.Size() < 2;
    } else if (key == "ubx") {
        RawMessage u;
        bad = !u.Read(a);
        m_ubx.push_back(u);
    } else {
        return ScenarioReceiver::Setting(key, a, bad);
    }
    return true;
}

std::vector<std::string> NmeaReceiver::Bodies(const std::string& name) const
{
    const std::string& t = m_talker;
    const std::string position = Latitude(m_place.lat) + "," + Longitude(m_place.lon);
    if (name == "ZDA")
        return {t + "ZDA," + TimeText() +
                Format(",%02d,%02d,%04d,00,00", m_clock.day, m_clock.month, m_clock.year)};
    if (name == "GGA")
        return {t + "GGA," + TimeText() + "," + position +
                Format(",%d,%02d,%.2f,%.1f,M,%.1f,M,,", m_quality, m_satellites, m_ggaHdop, m_place.altitude,
                       m_geoid)};
    if (name == "GSA") {
        std::string s = t + "GSA," + m_gsaMode + Format(",%d", m_gsaType);
        for (int i = 0; i < kSvFieldsOfGsa; ++i)
            s += i < static_cast<int>(m_used.size()) ? Format(",%02d", m_used[i]) : std::string(",");
        return {s + Format(",%.2f,%.2f,%.2f", m_pdop, m_hdop, m_vdop)};
    }
    if (name == "GSV") {
        std::vector<std::string> all;
        const int count = static_cast<int>(m_inView.size());
        const int messages = count == 0 ? 1 : (count + kSatellitesPerGsv - 1) / kSatellitesPerGsv;
        for (int m = 0; m < messages; ++m) {
            std::string s = t + Format("GSV,%d,%d,%02d", messages, m + 1, count);
            for (int k = m * kSatellitesPerGsv; k < count && k < (m + 1) * kSatellitesPerGsv; ++k) {
                const Satellite& v = m_inView[k];
                s += Format(",%02d,%02d,%03d,%02d", v.sv, v.elevation, v.azimuth, v.snr);
            }
            all.push_back(s);
        }
        return all;
    }
    if (name == "RMC")
        return {t + "RMC," + TimeText() + ",A," + position +
                Format(",%.1f,%.1f,%02d%02d%02d,,,A", m_knots, m_course, m_clock.day, m_clock.month,
                       m_clock.year % 100)};
    if (name == "VTG")
        return {t + Format("VTG,%.1f,T,,M,%.1f,N,%.2f,K,A", m_course, m_knots, m_knots * kKmhPerKnot)};
    if (name == "GLL") return {t + "GLL," + position + "," + TimeText() + ",A,A"};
    return {};
}

std::string NmeaReceiver::HealthReply() const
{
    int week = 0;
    double tow = 0;
    m_clock.Gps(week, tow);
    const double speed = m_knots * kMetresPerSecondPerKnot;
    const double course = m_course * kDegreesToRadians;
    // The velocity as east, north and up components; a component that
    // rounds to nothing is written "0.000", never "-0.000".
    auto component = [](double v) { return std::fabs(v) < 0.0005 ? 0.0 : v; };
    const double east = component(speed * std::sin(course)), north = component(speed * std::cos(course));
    return Format("PZULRTF,%c,%c,%.0f,%02d,%d,", m_health[0], m_health[1], tow, static_cast<int>(m_used.size()),
                  m_gsaType) +
           Latitude(m_place.lat) + "," + Longitude(m_place.lon) +
           Format(",%.1f,%.6f,%.6f,%.6f", m_place.altitude + m_geoid, east, north, 0.0);
}

void NmeaReceiver::Send(const std::string& body, std::vector<Segment>& out)
{
    AddGood(out, NmeaSentence(body), KIND_NMEA);
    if (m_ubx.empty()) return;
    const RawMessage& u = m_ubx[m_nextUbx++ % m_ubx.size()];
    AddNoise(out, UbxMessage(u.cls, u.id, u.data));
}

void NmeaReceiver::Start(std::vector<Segment>& out)
{
    for (const std::string& body : m_announce) Send(body, out);
}

void NmeaReceiver::Tick(std::vector<Segment>& out)
{
    for (const std::string& name : m_periodic)
        for (const std::string& body : Bodies(name)) Send(body, out);
    for (const std::string& body : m_extra) Send(body, out);
    m_clock.Advance();
}

bool NmeaReceiver::Answer(const Command& c, std::vector<Segment>& out)
{
    if (c.kind != KIND_NMEA || !c.valid) return false;
    const std::string query = c.BodyText();
    bool answered = false;
    for (const Rule& r : m_answers) {
        if (r.query != query) continue;
        Send(r.reply, out);
        answered = true;
    }
    if (answered || !m_maker) return answered;
    const std::string kQueryPrefix = "GPGPQ,", kVersionPrefix = "PZULQVR,";
    if (query == "PZULQTF") {
        Send(HealthReply(), out);
        return true;
    }
    if (query.compare(0, kQueryPrefix.size(), kQueryPrefix) == 0) {
        for (const std::string& body : Bodies(query.substr(kQueryPrefix.size()))) {
            Send(body, out);
            answered = true;
        }
        return answered;
    }
    if (query.compare(0, kVersionPrefix.size(), kVersionPrefix) == 0) {
        const std::string kind = query.substr(kVersionPrefix.size());
        for (const Version& v : m_versions) {
            if (v.kind != kind) continue;
            Send("PZULRVR," + v.kind + "," + v.name + "," + v.version + "," + v.month + "," + v.day + "," + v.year,
                 out);
            return true;
        }
    }
    return false;
}

bool NmeaReceiver::SpoilFix(std::vector<Segment>& period)
{
    const size_t kTypeAt = 3, kTypeLength = 3;  // "$GPGGA": after "$" and the talker
    bool spoiled = false;
    for (Segment& s : period) {
        if (s.kind != KIND_NMEA || s.outcome != OUT_GOOD || s.bytes.size() < kTypeAt + kTypeLength) continue;
        const std::string type(s.bytes.begin() + kTypeAt, s.bytes.begin() + kTypeAt + kTypeLength);
        if (type != "GGA" && type != "RMC" && type != "GLL") continue;
        const std::string text(s.bytes.begin() + 1, s.bytes.end());
        s.bytes = NmeaSentence(text.substr(0, text.find('*')), true, true);
        s.outcome = OUT_BAD;
        spoiled = true;
    }
    return spoiled;
}

bool NmeaReceiver::Inject(const std::string& what, int count, Garbage& garbage, std::vector<Segment>& out)
{
    // Another place and time, so that a fault the reader took for a frame
    // would show in the model.
    NmeaReceiver other(*this);
    other.m_place = m_place.Elsewhere();
    other.m_clock = m_clock.Later();
    other.m_knots = m_knots + 7;
    other.m_pdop = m_pdop + 3;
    other.m_hdop = m_hdop + 2;
    other.m_vdop = m_vdop + 1;
    FaultKit kit;
    kit.kind = KIND_NMEA;
    for (const char* name : {"ZDA", "GGA", "GSA", "RMC", "VTG"}) {
        kit.good.push_back(NmeaSentence(Bodies(name)[0]));
        Bytes wrong = NmeaSentence(other.Bodies(name)[0], true, true);
        kit.bad.push_back(wrong);
        // Cut in the middle: the next sentence's "$" must end it.
        kit.truncated.push_back(Bytes(wrong.begin(), wrong.begin() + static_cast<long>(wrong.size() / 2)));
    }
    return InjectFaults(kit, what, count, garbage, out);
}

}  // namespace rxsim
