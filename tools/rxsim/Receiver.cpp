#include "Receiver.h"

#include <cmath>

#include "KestoReceiver.h"
#include "MonReceiver.h"
#include "NmeaReceiver.h"
#include "QbinReceiver.h"
#include "QopReceiver.h"
#include "QtxtReceiver.h"
#include "Settings.h"
#include "StreamCheck.h"

namespace rxsim {

namespace {

template <class R>
std::unique_ptr<Receiver> Make(const std::string& text, std::string& error)
{
    std::unique_ptr<R> r(new R());
    if (!r->Load(text, error)) return nullptr;
    return std::unique_ptr<Receiver>(std::move(r));
}

void Add(std::vector<Segment>& out, const Bytes& bytes, int kind, int outcome)
{
    Segment s;
    s.bytes = bytes;
    s.kind = kind;
    s.outcome = outcome;
    out.push_back(std::move(s));
}

// Start bytes of each framing as they turn up in other data, and what
// follows one of them when the frame after it would otherwise complete the
// candidate it opens (a QTXT sentence after ">", a "DLE ETX" in the frame
// after "10 41"): a DLE NUL, a length 0 frame, a bad escape, an unknown id
// and a control character, each ending its candidate at once.
const Bytes kFalseStarts[] = {{0x10, 0x41}, {0x02, 0x00, 0xFF}, {0x81, 0x05}, {0x40, 0x41}, {0x3E}};
const Bytes kEnders[] = {{0x10, 0x00}, {0x00, 0x55, 0x55}, {0x80, 0x85}, {0x5A, 0x5A}, {0x00}};
const size_t kFalseStartCount = sizeof kFalseStarts / sizeof kFalseStarts[0];
// Longer than any candidate lives: the stream is between frames after it.
const size_t kSettlingGarbage = 600;
const size_t kGarbageBetween = 4;
const size_t kBurstGarbage = 17;
const unsigned long kMaxIntervalMs = 600000;
const int kMinIntervalMs = 10;
const double kMaxLatitude = 90, kMaxLongitude = 180;

void FalseStarts(const FaultKit& kit, Garbage& garbage, std::vector<Segment>& out)
{
    std::vector<Segment> built;
    std::vector<size_t> startSegment(kFalseStartCount);
    for (size_t i = 0; i < kFalseStartCount; ++i) {
        AddNoise(built, garbage.Run(kGarbageBetween));
        startSegment[i] = built.size();
        AddNoise(built, kFalseStarts[i]);
        AddGood(built, kit.good[i % kit.good.size()], kit.kind);
    }
    AddNoise(built, garbage.Run(kSettlingGarbage));
    // A start whose candidate would end as a frame gets its ender; one pass
    // per start at most, as an ender ends its own candidate for good.
    for (size_t pass = 0; pass < kFalseStartCount; ++pass) {
        Bytes all;
        std::vector<size_t> offset;
        for (const Segment& s : built) {
            offset.push_back(all.size());
            all.insert(all.end(), s.bytes.begin(), s.bytes.end());
        }
        bool changed = false;
        for (size_t i = 0; i < kFalseStartCount && !changed; ++i) {
            Segment& s = built[startSegment[i]];
            if (CandidateAt(all, offset[startSegment[i]]) == CANDIDATE_DIES) continue;
            if (s.bytes.size() > kFalseStarts[i].size()) continue;  // has its ender already
            s.bytes.insert(s.bytes.end(), kEnders[i].begin(), kEnders[i].end());
            changed = true;
        }
        if (!changed) break;
    }
    out.insert(out.end(), built.begin(), built.end());
}

}  // namespace

void AddGood(std::vector<Segment>& out, const Bytes& frame, int kind) { Add(out, frame, kind, OUT_GOOD); }
void AddBad(std::vector<Segment>& out, const Bytes& frame, int kind) { Add(out, frame, kind, OUT_BAD); }
void AddNoise(std::vector<Segment>& out, const Bytes& bytes) { Add(out, bytes, KIND_NONE, OUT_NONE); }

std::unique_ptr<Receiver> LoadReceiver(const std::string& text, std::string& error)
{
    const std::string protocol = ScenarioProtocol(text);
    if (protocol == "qbin") return Make<QbinReceiver>(text, error);
    if (protocol == "nmea") return Make<NmeaReceiver>(text, error);
    if (protocol == "qtxt") return Make<QtxtReceiver>(text, error);
    if (protocol == "qop") return Make<QopReceiver>(text, error);
    if (protocol == "kesto") return Make<KestoReceiver>(text, error);
    if (protocol == "mon") return Make<MonReceiver>(text, error);
    error = "unknown protocol " + protocol + " (qbin nmea qtxt qop kesto mon)";
    return nullptr;
}

bool InjectFaults(const FaultKit& kit, const std::string& what, int count, Garbage& garbage,
                  std::vector<Segment>& out)
{
    if (count < 1) count = 1;
    auto bad = [&] {
        for (const Bytes& b : kit.bad) AddBad(out, b, kit.kind);
    };
    auto truncated = [&] {
        for (size_t i = 0; i < kit.truncated.size(); ++i) {
            AddNoise(out, kit.truncated[i]);
            AddGood(out, kit.good[i % kit.good.size()], kit.kind);
        }
    };
    if (kit.good.empty()) return false;
    if (what == "garbage") {
        AddNoise(out, garbage.Run(static_cast<size_t>(count)));
    } else if (what == "falsestart") {
        for (int i = 0; i < count; ++i) FalseStarts(kit, garbage, out);
    } else if (what == "bad") {
        for (int i = 0; i < count; ++i) bad();
    } else if (what == "truncated") {
        for (int i = 0; i < count; ++i) truncated();
    } else if (what == "burst") {
        for (int i = 0; i < count; ++i) {
            bad();
            truncated();
            FalseStarts(kit, garbage, out);
            AddNoise(out, garbage.Run(kBurstGarbage));
        }
    } else {
        return false;
    }
    return true;
}

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date.
long DaysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int DaysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : days[(m - 1) % 12];
}

const long kGpsEpochDays = DaysFromCivil(1980, 1, 6);
const double kSecondsPerDay = 86400.0;

}  // namespace

bool ScenarioReceiver::Setting(const std::string& key, Args& a, bool& bad)
{
    if (key == "protocol") {
        bad = a.S(0) != m_protocol || a.Size() != 1;
    } else if (key == "interval_ms") {
        m_intervalMs = static_cast<int>(a.U(0, 10, kMaxIntervalMs));
        bad = m_intervalMs < kMinIntervalMs;
    } else if (key == "periodic") {
        m_periodic.clear();
        for (size_t i = 0; i < a.Size(); ++i) {
            m_periodic.push_back(a.S(i));
            bad = bad || !IsReport(a.S(i));
        }
    } else {
        return false;
    }
    return true;
}

bool Place::Read(Args& a)
{
    lat = a.D(0);
    lon = a.D(1);
    altitude = a.D(2);
    return !(std::fabs(lat) > kMaxLatitude || std::fabs(lon) > kMaxLongitude);
}

Place Place::Elsewhere() const
{
    Place other(*this);
    other.lat = lat > 0 ? lat - 10.5 : lat + 10.5;
    other.lon = lon > 0 ? lon - 20.25 : lon + 20.25;
    return other;
}

bool RawMessage::Read(Args& a)
{
    cls = static_cast<uint8_t>(a.U(0, 16, 255));
    id = static_cast<uint8_t>(a.U(1, 16, 255));
    std::string hex;
    for (size_t i = 2; i < a.Size(); ++i) hex += a.S(i);
    return FromHex(hex, data);
}

Bytes CutAndPad(const Bytes& frame, size_t kept, Garbage& garbage)
{
    const uint8_t kEndsNothing = 0x55;
    Bytes cut(frame.begin(), frame.begin() + static_cast<long>(kept));
    Bytes pad = garbage.Run(frame.size() - kept);
    pad.back() = kEndsNothing;
    cut.insert(cut.end(), pad.begin(), pad.end());
    return cut;
}

bool SimClock::Read(Args& a, unsigned long maxYear, size_t stepAt)
{
    double hhmmss = a.D(0);
    secondOfDay = std::floor(hhmmss / 10000) * 3600 + std::fmod(std::floor(hhmmss / 100), 100) * 60 +
                  std::fmod(hhmmss, 100);
    day = static_cast<int>(a.U(1, 10, 31));
    month = static_cast<int>(a.U(2, 10, 12));
    year = static_cast<int>(a.U(3, 10, maxYear));
    step = a.Size() > stepAt ? a.D(stepAt) : 1.0;
    return !(secondOfDay >= kSecondsPerDay || day < 1 || month < 1);
}

SimClock SimClock::Later() const
{
    const double kTwoHours = 7200;
    SimClock later(*this);
    later.secondOfDay = std::fmod(secondOfDay + kTwoHours, kSecondsPerDay);
    return later;
}

void SimClock::Advance()
{
    secondOfDay += step;
    while (secondOfDay >= kSecondsPerDay) {
        secondOfDay -= kSecondsPerDay;
        if (++day > DaysInMonth(year, month)) {
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
    }
}

void SimClock::Gps(int& week, double& secondsOfWeek) const
{
    long days = DaysFromCivil(year, month, day) - kGpsEpochDays;
    week = static_cast<int>(days / 7);
    secondsOfWeek = static_cast<double>(days % 7) * kSecondsPerDay + secondOfDay;
}

}  // namespace rxsim
