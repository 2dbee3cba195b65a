#include "Truth.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Receiver.h"

namespace rxsim {

namespace {

const uint8_t kDle = 0x10, kEtx = 0x03;
const uint8_t kQbinTime = 0x41, kQbinPositionLla = 0x84, kQbinVelocity = 0x56;
const size_t kQbinTimeLength = 10, kQbinPositionLength = 36, kQbinVelocityLength = 20;
const double kSecondsPerDay = 86400, kSecondsPerWeek = 604800, kHalfDay = 43200;
const int kCenturyPivot = 80;  // two-digit years below it are 20xx
const double kDegreesPerRadian = 57.29577951308232;

uint64_t BigEndian(const Bytes& d, size_t at, size_t n)
{
    uint64_t v = 0;
    for (size_t i = 0; i < n; ++i) v = v << 8 | d[at + i];
    return v;
}

double DoubleAt(const Bytes& d, size_t at)
{
    uint64_t v = BigEndian(d, at, 8);
    double x;
    memcpy(&x, &v, sizeof x);
    return x;
}

float FloatAt(const Bytes& d, size_t at)
{
    uint32_t v = static_cast<uint32_t>(BigEndian(d, at, 4));
    float x;
    memcpy(&x, &v, sizeof x);
    return x;
}

// Id and data of one whole QBIN packet (DLE id data DLE ETX, DLE doubled);
// false when `frame` is not exactly one.
bool Unstuff(const Bytes& frame, Bytes& packet)
{
    const size_t n = frame.size();
    if (n < 4 || frame[0] != kDle || frame[n - 2] != kDle || frame[n - 1] != kEtx) return false;
    packet.clear();
    for (size_t i = 1; i + 2 < n; ++i) {
        if (frame[i] == kDle) {
            if (i + 3 >= n || frame[i + 1] != kDle) return false;
            ++i;
        }
        packet.push_back(frame[i]);
    }
    return !packet.empty();
}

// The comma-separated fields between "$" and "*" of one sentence.
bool NmeaFields(const Bytes& frame, std::vector<std::string>& fields)
{
    if (frame.empty() || frame[0] != '$') return false;
    std::string body;
    for (size_t i = 1; i < frame.size() && frame[i] != '*' && frame[i] != '\r'; ++i)
        body.push_back(static_cast<char>(frame[i]));
    fields.clear();
    size_t start = 0;
    for (;;) {
        size_t comma = body.find(',', start);
        fields.push_back(body.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return fields[0].size() == 5 && fields[0][0] != 'P';
}

bool Number(const std::string& text, double& value)
{
    if (text.empty()) return false;
    char* end = nullptr;
    value = strtod(text.c_str(), &end);
    return end && *end == '\0' && std::isfinite(value);
}

bool Whole(const std::string& text, int& value)
{
    double v;
    if (!Number(text, v) || v != std::floor(v) || std::fabs(v) > 1e6) return false;
    value = static_cast<int>(v);
    return true;
}

// "hhmmss.ss" as seconds of the day.
bool TimeOfDay(const std::string& text, double& seconds)
{
    double v;
    if (text.size() < 6 || !Number(text, v) || v < 0) return false;
    const double hours = std::floor(v / 10000), minutes = std::floor(std::fmod(v, 10000) / 100);
    seconds = hours * 3600 + minutes * 60 + std::fmod(v, 100);
    return hours < 24 && minutes < 60;
}

// "ddmm.mmmm" with its hemisphere letter as signed degrees.
bool Angle(const std::string& text, const std::string& hemisphere, char negative, double& degrees)
{
    double v;
    if (!Number(text, v) || v < 0 || hemisphere.size() != 1) return false;
    const double whole = std::floor(v / 100);
    degrees = whole + (v - whole * 100) / 60;
    if (hemisphere[0] == negative) degrees = -degrees;
    return true;
}

std::string Line(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Line(const char* format, ...)
{
    char buf[256];
    va_list ap;
    va_start(ap, format);
    vsnprintf(buf, sizeof buf, format, ap);
    va_end(ap);
    return buf;
}

}  // namespace

bool FixTracker::Take(const Segment& s, FixTruth& fix)
{
    if (s.outcome != OUT_GOOD) return false;
    if (s.kind == KIND_QBIN) return TakeQbin(s.bytes, fix);
    if (s.kind == KIND_NMEA) return TakeNmea(s.bytes, fix);
    return false;
}

bool FixTracker::TakeQbin(const Bytes& frame, FixTruth& fix)
{
    // Only two reports matter: the others are passed over unread.
    if (frame.size() < 2 || (frame[1] != kQbinTime && frame[1] != kQbinPositionLla && frame[1] != kQbinVelocity))
        return false;
    Bytes p;
    p.reserve(frame.size());
    if (!Unstuff(frame, p)) return false;
    if (p[0] == kQbinTime && p.size() == 1 + kQbinTimeLength) {
        m_qbinWeek = static_cast<int>(BigEndian(p, 5, 2));
        return false;
    }
    if (p[0] == kQbinVelocity && p.size() == 1 + kQbinVelocityLength) {
        m_haveVelocity = true;
        m_east = FloatAt(p, 1);
        m_north = FloatAt(p, 5);
        m_up = FloatAt(p, 9);
        return false;
    }
    if (p[0] != kQbinPositionLla || p.size() != 1 + kQbinPositionLength) return false;
    const double bias = DoubleAt(p, 25);
    if (bias == 0.0) return false;  // the receiver's mark of no fix
    fix.week = m_qbinWeek;
    fix.latitudeRad = DoubleAt(p, 1);
    fix.longitudeRad = DoubleAt(p, 9);
    fix.latitude = fix.latitudeRad * kDegreesPerRadian;
    fix.longitude = fix.longitudeRad * kDegreesPerRadian;
    fix.hasVelocity = m_haveVelocity;
    fix.east = m_east;
    fix.north = m_north;
    fix.up = m_up;
    fix.altitude = DoubleAt(p, 17);
    fix.tow = FloatAt(p, 33);
    return true;
}

bool FixTracker::TakeNmea(const Bytes& frame, FixTruth& fix)
{
    std::vector<std::string> f;
    if (!NmeaFields(frame, f)) return false;
    const std::string type = f[0].substr(2);
    double sod = 0;
    if (type == "ZDA" && f.size() > 4 && TimeOfDay(f[1], sod) && Whole(f[2], m_day) && Whole(f[3], m_month) &&
        Whole(f[4], m_year)) {
        m_haveDate = true;
        m_dateSecondOfDay = sod;
        return false;
    }
    int date = 0;
    if (type == "RMC" && f.size() > 9 && f[9].size() == 6 && TimeOfDay(f[1], sod) && Whole(f[9], date)) {
        m_day = date / 10000;
        m_month = date / 100 % 100;
        m_year = date % 100 + (date % 100 < kCenturyPivot ? 2000 : 1900);
        m_haveDate = true;
        m_dateSecondOfDay = sod;
        return false;
    }
    int quality = 0;
    if (type != "GGA" || f.size() < 10 || !TimeOfDay(f[1], sod) || !Whole(f[6], quality) || quality < 1 ||
        !Angle(f[2], f[3], 'S', fix.latitude) || !Angle(f[4], f[5], 'W', fix.longitude) ||
        !Number(f[9], fix.altitude))
        return false;
    fix.latitudeRad = fix.latitude / kDegreesPerRadian;
    fix.longitudeRad = fix.longitude / kDegreesPerRadian;
    fix.hasVelocity = false;
    if (!m_haveDate) {
        fix.week = 0;
        fix.tow = sod;
        return true;
    }
    SimClock clock;
    clock.year = m_year;
    clock.month = m_month;
    clock.day = m_day;
    clock.secondOfDay = sod;
    clock.Gps(fix.week, fix.tow);
    // Past midnight before the next date came: the fix is of the next day.
    if (sod + kHalfDay < m_dateSecondOfDay) {
        fix.tow += kSecondsPerDay;
        if (fix.tow >= kSecondsPerWeek) {
            fix.tow -= kSecondsPerWeek;
            ++fix.week;
        }
    }
    return true;
}

std::string FixCsvHeader(bool live)
{
    return live ? "week,tow,latitude,longitude,altitude,end,time\n" : "week,tow,latitude,longitude,altitude\n";
}

std::string FixCsvLine(const FixTruth& fix)
{
    return Line("%d,%.6f,%.12f,%.12f,%.4f\n", fix.week, fix.tow, fix.latitude, fix.longitude, fix.altitude);
}

std::string FixListEntry(const FixTruth& fix)
{
    std::string s = Line("%d,%.17g,%.17g,%.17g,%.17g", fix.week, fix.tow, fix.latitudeRad, fix.longitudeRad,
                         fix.altitude);
    if (!fix.hasVelocity) return s + ",-,-,-";
    return s + Line(",%.17g,%.17g,%.17g", fix.east, fix.north, fix.up);
}

bool TakeChannelReport(const Segment& s, ChannelTruth& c)
{
    const size_t kTrackingLength = 24;
    if (s.outcome != OUT_GOOD || s.kind != KIND_QBIN || s.bytes.size() < 2 || s.bytes[1] != 0x5C) return false;
    Bytes p;
    if (!Unstuff(s.bytes, p) || p.size() != 1 + kTrackingLength) return false;
    c.sv = p[1];
    c.channel = p[2] >> 3;
    c.status = p[4];
    c.level = FloatAt(p, 5);
    c.elevation = FloatAt(p, 13);
    c.azimuth = FloatAt(p, 17);
    return true;
}

std::string ChannelListEntry(const ChannelTruth& c)
{
    return Line("%d,%d,%d,%.9g,%.9g,%.9g", c.channel, c.sv, c.status, static_cast<double>(c.level),
                static_cast<double>(c.elevation), static_cast<double>(c.azimuth));
}

std::string FixCsvLine(const FixTruth& fix, uint64_t end, double time)
{
    std::string s = FixCsvLine(fix);
    s.pop_back();
    return s + Line(",%llu,%.3f\n", static_cast<unsigned long long>(end), time);
}

}  // namespace rxsim
