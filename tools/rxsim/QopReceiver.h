#pragma once
// A QOP receiver: the position and status message "Ha" every period, the
// visible satellites "Bb" and the version text "Cj" when asked.
//
// Settings (see scenarios/qop-fix.txt):
//   protocol qop
//   interval_ms MS                    period (default 1000)
//   periodic ID...                    messages of a period (Ha, Bb)
//   position LAT LON HEIGHT           degrees (south, west negative), metres
//   time HHMMSS DAY MONTH YEAR [STEP] UTC; seconds per period (1)
//   status WORD                       the receiver status word (hex)
//   dop TENTHS                        the DOP word of Ha
//   clock VALUE                       Ha's signed 32-bit clock term
//   channel SV MODE SIGNAL            a channel of Ha, in order (at most 12;
//                                     mode 8: used in the fix)
//   visible SV ELEVATION AZIMUTH      a record of Bb (at most 12), degrees
//   version MAJOR MINOR THIRD MONTH DAY YEAR   the software lines of Cj
#include <string>
#include <vector>

#include "Receiver.h"

namespace rxsim {

class QopReceiver : public ScenarioReceiver {
public:
    QopReceiver() : ScenarioReceiver("qop", {"Ha"}) {}
    bool Load(const std::string& text, std::string& error) { return LoadInto(*this, text, error); }

    void Tick(std::vector<Segment>& out) override;
    bool Answer(const Command& c, std::vector<Segment>& out) override;
    // garbage, falsestart, bad, truncated, burst (see InjectFaults); the bad
    // and cut messages carry another position and status.
    bool Inject(const std::string& what, int count, Garbage& garbage,
                std::vector<Segment>& out) override;

    // A whole message of the current state: "Ha", "Bb" or "Cj"; empty for
    // any other id.
    Bytes Message(const std::string& id) const;

private:
    struct Channel {
        int sv, mode, signal;
    };
    struct Visible {
        int sv, elevation, azimuth;
    };

    bool Setting(const std::string& key, Args& a, bool& bad) override;
    bool IsReport(const std::string& name) const override { return !Message(name).empty(); }

    Place m_place;
    SimClock m_clock;
    uint16_t m_status = 0xE000;
    uint16_t m_dop = 25;
    int32_t m_clockTerm = 0;
    std::vector<Channel> m_channels;
    std::vector<Visible> m_visible;
    int m_major = 1, m_minor = 0, m_third = 0, m_month = 1, m_day = 1, m_year = 7;
};

}  // namespace rxsim
