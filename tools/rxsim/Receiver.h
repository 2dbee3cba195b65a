#pragma once
// A simulated receiver: what a scenario makes of rxsim. It reports every
// period, answers the commands the program writes, and can put faults into
// its stream; every byte it sends is a segment with the outcome a correct
// reader must reach for it, so the truth stays exact.
#include <memory>
#include <string>
#include <vector>

#include "Commands.h"
#include "Script.h"
#include "Settings.h"

namespace rxsim {

class Receiver {
public:
    virtual ~Receiver() {}

    virtual int IntervalMs() const = 0;
    // What the receiver says once when it starts (the scenario is loaded).
    virtual void Start(std::vector<Segment>& out) { (void)out; }
    // The output of one period; the clock then moves on by one step.
    virtual void Tick(std::vector<Segment>& out) = 0;
    // A reset: the receiver goes quiet for a second, then sends Version.
    virtual bool IsReset(const Command& c) const
    {
        (void)c;
        return false;
    }
    virtual void Version(std::vector<Segment>& out) const { (void)out; }
    // The baud rate of the receiver's port on the line, as it has it now; 0
    // when this receiver does not model its ports.
    virtual uint32_t LinkBaud() const { return 0; }
    // The reply to a command; false when this receiver gives none.
    virtual bool Answer(const Command& c, std::vector<Segment>& out) = 0;
    // Spoils the fix in one period's output (as Tick gave it) so that a
    // correct reader loses it: every frame that carries the position fails
    // its check. False when this receiver cannot (or the period has none).
    virtual bool SpoilFix(std::vector<Segment>& period)
    {
        (void)period;
        return false;
    }
    // Injected faults (see each receiver); false for an unknown name.
    virtual bool Inject(const std::string& what, int count, Garbage& garbage,
                        std::vector<Segment>& out) = 0;
};

// The receivers a scenario spells out (all but the QBIN one) share their
// shape: a period, the reports of a period by name, and settings read into
// a fresh receiver that replaces this one only when every line is good.
class ScenarioReceiver : public Receiver {
public:
    int IntervalMs() const override { return m_intervalMs; }

protected:
    ScenarioReceiver(const char* protocol, std::vector<std::string> periodic)
        : m_periodic(std::move(periodic)), m_protocol(protocol)
    {
    }

    // One setting (see ForEachSetting). The shared ones: protocol (this
    // receiver's), interval_ms MS (default 1000) and periodic NAME...;
    // false for any other key.
    virtual bool Setting(const std::string& key, Args& values, bool& bad);
    // Whether `periodic` may name this report.
    virtual bool IsReport(const std::string& name) const = 0;

    // Loads `self` with the scenario when all of it is good.
    template <class R>
    static bool LoadInto(R& self, const std::string& text, std::string& error)
    {
        R fresh;
        ScenarioReceiver& settings = fresh;
        bool ok = ForEachSetting(
            text, [&](const std::string& key, Args& a, bool& bad) { return settings.Setting(key, a, bad); },
            error);
        if (ok) self = fresh;
        return ok;
    }

    int m_intervalMs = 1000;
    std::vector<std::string> m_periodic;

private:
    const char* m_protocol;
};

// The receiver the scenario's `protocol` setting names (qbin when it has
// none: QbinReceiver.h; nmea, qtxt, qop, kesto, mon: their headers), loaded
// with the scenario. Null with the reason in `error`.
std::unique_ptr<Receiver> LoadReceiver(const std::string& text, std::string& error);

// Segments of one outcome, for the receivers' builders.
void AddGood(std::vector<Segment>& out, const Bytes& frame, int kind);
void AddBad(std::vector<Segment>& out, const Bytes& frame, int kind);
void AddNoise(std::vector<Segment>& out, const Bytes& bytes);

// The faults of every receiver but the QBIN one, built from frames of its
// framing:
//   garbage COUNT   COUNT bytes that start no frame
//   falsestart      start bytes of each framing (10 41, 02 00 FF, 81 05, 40 41,
//                   3E) amid garbage, each right before one of the `good`
//                   frames, then garbage; the start bytes count as nothing
//   bad             the `bad` frames: other values, a wrong checksum
//   truncated       the `truncated` pieces (frames of other values cut short,
//                   with what ends them: padding or a byte no frame takes),
//                   each followed by a good frame, which a cut sentence must
//                   not swallow
//   burst           rounds of bad, truncated, falsestart and garbage
// bad, truncated and falsestart repeat COUNT times, burst has COUNT rounds.
struct FaultKit {
    int kind = KIND_NONE;
    std::vector<Bytes> good;       // frames of the scenario's values
    std::vector<Bytes> bad;
    std::vector<Bytes> truncated;
};
bool InjectFaults(const FaultKit& kit, const std::string& what, int count, Garbage& garbage,
                  std::vector<Segment>& out);

// A place: degrees (south, west negative) and metres.
struct Place {
    double lat = 0, lon = 0, altitude = 0;

    // The values of `position LAT LON ALTITUDE`; false when off the earth.
    bool Read(Args& a);
    // A place far from this one, for the frames a reader must not take for
    // the receiver's own.
    Place Elsewhere() const;
};

// A message given as CLASS ID HEX... (class and id in hex, the data as hex
// words run together).
struct RawMessage {
    uint8_t cls = 0, id = 0;
    Bytes data;

    // False when the data is not hex.
    bool Read(Args& a);
};

// `frame` cut after `kept` bytes, the rest of its length noise that ends in
// a byte no frame ends with: a reader that counts the frame by its length
// takes the noise for the rest of it.
Bytes CutAndPad(const Bytes& frame, size_t kept, Garbage& garbage);

// A UTC calendar clock for the receivers' reports. Leap seconds are not
// kept: GPS time is taken for UTC, as the receivers' offsets are reported
// separately.
struct SimClock {
    int year = 2006, month = 11, day = 9;
    double secondOfDay = 3723.0;
    double step = 1.0;  // seconds per period

    void Advance();
    // The values of `time HHMMSS DAY MONTH YEAR ... [STEP]`; the optional
    // STEP stands at `stepAt`, the values between YEAR and it are the
    // caller's. False when the time or date is out of range.
    bool Read(Args& a, unsigned long maxYear, size_t stepAt);
    // Two hours on, the same date: a time a reader must not take for this one.
    SimClock Later() const;
    // GPS week and seconds of week of this instant.
    void Gps(int& week, double& secondsOfWeek) const;
};

}  // namespace rxsim
