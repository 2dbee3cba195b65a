#pragma once
// The ground truth of positions: every fix a correct reader takes from what
// rxsim sent, read back from the frames themselves as they leave whole, so
// the truth holds whatever made them (a scenario's reports, an injected
// fault's good frames, a "frame" command) and nothing a fault destroyed.
#include <cstdint>
#include <string>

#include "Script.h"

namespace rxsim {

// One fix: GPS week and seconds of week, degrees (south, west negative) and
// metres; the angles also in radians as the frame carried them (QBIN) or
// converted (NMEA), and the velocity the program holds with it.
struct FixTruth {
    int week = 0;
    double tow = 0, latitude = 0, longitude = 0, altitude = 0;
    double latitudeRad = 0, longitudeRad = 0;
    bool hasVelocity = false;
    double east = 0, north = 0, up = 0;  // m/s
};

// Follows the good frames that leave, in order, and names the fixes among
// them:
//   QBIN 0x84 (latitude, longitude, height, clock bias, time of fix) with a
//   clock bias other than 0, as the monitor takes it; the week is that of the
//   last 0x41 before it (0 before any), the velocity that of the last 0x56
//   before it (none before any).
//   NMEA GGA with a quality of 1 or more and a position; the week and seconds
//   of week come from its time of day and the date of the last ZDA or RMC
//   before it (week 0 and the time of day before any date).
// Frames of other framings, bad frames and noise carry no fix.
class FixTracker {
public:
    // True when `s` is a good frame that carries a fix, given in `fix`.
    bool Take(const Segment& s, FixTruth& fix);

private:
    bool TakeQbin(const Bytes& frame, FixTruth& fix);
    bool TakeNmea(const Bytes& frame, FixTruth& fix);

    int m_qbinWeek = 0;
    bool m_haveVelocity = false;
    double m_east = 0, m_north = 0, m_up = 0;
    bool m_haveDate = false;
    int m_year = 0, m_month = 0, m_day = 0;
    double m_dateSecondOfDay = 0;  // the time of day the date was given with
};

// The truth as CSV: a header line, then one line per fix, each ended by a
// line feed. `live` adds the columns end (the bytes sent on the line up to
// the end of the fix's frame) and time (seconds since 1970 when it left).
std::string FixCsvHeader(bool live);
std::string FixCsvLine(const FixTruth& fix);
std::string FixCsvLine(const FixTruth& fix, uint64_t end, double time);
// The fix as the control command "fixes" lists it:
// WEEK,TOW,LAT,LON,HEIGHT,EAST,NORTH,UP with the angles in radians, every
// value with the digits that give back the very double (%.17g); the three
// velocities "-" when no velocity came before the fix.
std::string FixListEntry(const FixTruth& fix);

// One channel of a QBIN tracking report (0x5C) as it left.
struct ChannelTruth {
    int channel = 0, sv = 0, status = 0;
    float level = 0, elevation = 0, azimuth = 0;  // radians
};
// True when `s` is a good 0x5C report, given in `c`.
bool TakeChannelReport(const Segment& s, ChannelTruth& c);
// As the control command "channels" lists it: CH,SV,STATUS,LEVEL,ELEV,AZIM
// with the channel 0..11, the status byte in decimal and the floats as
// %.9g gives them (the very float back).
std::string ChannelListEntry(const ChannelTruth& c);

}  // namespace rxsim
