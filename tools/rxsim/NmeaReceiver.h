#pragma once
// An NMEA receiver: the maker's own (standard sentences every period, the
// "$PZUL" replies and the "$GPGPQ" queries answered) or another maker's,
// whose proprietary sentences and answers the scenario spells out; u-blox
// receivers also send UBX binary messages between their sentences.
//
// Sentences are composed here from the NMEA 0183 layouts; nothing is shared
// with the monitor.
//
// Settings (see the scenarios nmea-*.txt):
//   protocol nmea
//   interval_ms MS                     period (default 1000)
//   periodic NAME...                   sentences of a period, in order:
//                                      ZDA GGA GSA GSV RMC VTG GLL
//   talker XX                          talker of the standard sentences (GP)
//   position LAT LON ALTITUDE GEOID    degrees (south, west negative), metres
//                                      above the geoid, geoid separation
//   time HHMMSS DAY MONTH YEAR [STEP]  UTC; seconds added per period (1)
//   fix QUALITY SATELLITES HDOP        GGA
//   gsa MODE TYPE PDOP HDOP VDOP SV... GSA: A/M, 1..3, DOPs, satellites used
//   satellite SV ELEVATION AZIMUTH SNR a satellite in view (GSV), degrees
//   velocity KNOTS COURSE              RMC and VTG; course in degrees
//   health A|V A|V                     the status letters of the TF reply
//   version KIND NAME VERSION MONTH DAY YEAR   a "$PZULRVR" reply (S, N, H)
//   maker on|off                       answer "$PZUL" and "$GPGPQ" queries
//   announce BODY...                   a sentence sent once, when it starts
//   extra BODY...                      a sentence sent every period, after
//                                      the periodic ones
//   answer QUERY REPLY...              REPLY is sent when QUERY (a body, the
//                                      text between "$" and "*") arrives;
//                                      several lines may answer one query
//   ubx CLASS ID HEX...                a UBX message; the messages are sent in
//                                      turn, one after every sentence
#include <string>
#include <vector>

#include "Receiver.h"

namespace rxsim {

class NmeaReceiver : public ScenarioReceiver {
public:
    NmeaReceiver() : ScenarioReceiver("nmea", {"ZDA", "GGA", "GSA", "GSV", "RMC", "VTG"}) {}
    bool Load(const std::string& text, std::string& error) { return LoadInto(*this, text, error); }

    void Start(std::vector<Segment>& out) override;
    void Tick(std::vector<Segment>& out) override;
    bool Answer(const Command& c, std::vector<Segment>& out) override;
    // The period's GGA, RMC and GLL go out with wrong checksums.
    bool SpoilFix(std::vector<Segment>& period) override;
    // garbage, falsestart, bad, truncated, burst (see InjectFaults); the
    // bad and cut sentences carry another position and time.
    bool Inject(const std::string& what, int count, Garbage& garbage,
                std::vector<Segment>& out) override;

    // The body of one standard sentence ("GGA", ...) of the current state;
    // GSV gives one body per message. Empty for an unknown name.
    std::vector<std::string> Bodies(const std::string& name) const;
    // The TF reply to the health query.
    std::string HealthReply() const;

private:
    struct Satellite {
        int sv, elevation, azimuth, snr;
    };
    struct Version {
        std::string kind, name, version, month, day, year;
    };
    struct Rule {
        std::string query, reply;
    };
    bool Setting(const std::string& key, Args& a, bool& bad) override;
    bool IsReport(const std::string& name) const override { return !Bodies(name).empty(); }
    // Sends one sentence, then the next UBX message when there are any.
    void Send(const std::string& body, std::vector<Segment>& out);
    std::string Latitude(double degrees) const;
    std::string Longitude(double degrees) const;
    std::string TimeText() const;

    std::string m_talker = "GP";
    Place m_place = {47.5, -122.25, 100.0};
    double m_geoid = -17.0;
    SimClock m_clock;
    int m_quality = 1, m_satellites = 8;
    double m_ggaHdop = 1.25;
    char m_gsaMode = 'A';
    int m_gsaType = 3;
    double m_pdop = 2.5, m_hdop = 1.25, m_vdop = 2.0;
    std::vector<int> m_used;
    std::vector<Satellite> m_inView;
    double m_knots = 0.0, m_course = 0.0;
    char m_health[2] = {'A', 'A'};
    std::vector<Version> m_versions;
    bool m_maker = true;
    std::vector<std::string> m_announce, m_extra;
    std::vector<Rule> m_answers;
    std::vector<RawMessage> m_ubx;
    size_t m_nextUbx = 0;
};

}  // namespace rxsim
