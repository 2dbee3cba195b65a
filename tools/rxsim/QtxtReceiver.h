#pragma once
// A QTXT tracking receiver: ">R.." reports of fixed column layout every
// period, and the replies to the program's ">Q.." queries.
//
// Settings (see scenarios/qtxt-fix.txt):
//   protocol qtxt
//   interval_ms MS                         period (default 1000)
//   periodic NAME...                       reports of a period: LN TM ST PV
//   position LAT LON ALTITUDE              degrees (south, west negative), metres
//   velocity SPEED HEADING VERTICAL        m/s, degrees, m/s
//   time HHMMSS DAY MONTH YEAR OFFSET [STEP]   UTC (fractions of a second
//                                          become TM's milliseconds), GPS-UTC
//                                          offset, seconds per period (1)
//   fix DIGIT SATELLITES                   TM: 1 a 3-D fix, 0 a 2-D fix
//   source SOURCE AGE                      LN and PV: fix source and data age
//                                          characters ("2" age: current data)
//   status CODE DIGIT6 DIGIT7 DIGIT11      ST: status (hex), three hex digits
//   satellite SV SNR                       a satellite of LN (at most 12)
//   version MAJOR MINOR MONTH DAY YEAR NAME...   VR
//   port BAUD DATABITS STOPBITS PARITY     PT (PARITY N, O or E)
//   protocols QTXT QBIN NMEA               PR letters (T, I, O, F)
#include <string>
#include <vector>

#include "Receiver.h"

namespace rxsim {

class QtxtReceiver : public ScenarioReceiver {
public:
    QtxtReceiver() : ScenarioReceiver("qtxt", {"LN", "TM", "ST"}) {}
    bool Load(const std::string& text, std::string& error) { return LoadInto(*this, text, error); }

    void Tick(std::vector<Segment>& out) override;
    bool Answer(const Command& c, std::vector<Segment>& out) override;
    // garbage, falsestart, bad, truncated, burst (see InjectFaults); the bad
    // and cut reports carry another position and time.
    bool Inject(const std::string& what, int count, Garbage& garbage,
                std::vector<Segment>& out) override;

    // The body (between ">" and ";*") of a report: "RLN", "RTM", "RST",
    // "RPV", "RVR", "RPT", "RPR"; empty for an unknown name.
    std::string Body(const std::string& name) const;

private:
    struct Satellite {
        int sv, snr;
    };

    bool Setting(const std::string& key, Args& a, bool& bad) override;
    bool IsReport(const std::string& name) const override { return !Body(name).empty(); }

    Place m_place;
    double m_speed = 0, m_heading = 0, m_vertical = 0;
    SimClock m_clock;
    int m_offset = 14;
    int m_fixDigit = 1, m_fixSatellites = 4;
    char m_source = '3', m_age = '2';
    int m_status = 0, m_digit6 = 0, m_digit7 = 0, m_digit11 = 0;
    std::vector<Satellite> m_satellites;
    int m_major = 1, m_minor = 0, m_month = 1, m_day = 1, m_year = 7;
    std::string m_name = "rxsim QTXT";
    int m_baud = 9600, m_dataBits = 8, m_stopBits = 1;
    char m_parity = 'N';
    std::string m_protocols = "TFF";
};

}  // namespace rxsim
