#pragma once
// The QBIN side of the simulated receiver: the state a scenario gives it
// (position, time, health, tracking, versions, configuration), the reports
// it sends every period, the replies to the program's queries, and faults a
// test can inject into the stream.
//
// Reports are built here from the wire layouts, byte by byte, with every
// multi-byte field big-endian; nothing is shared with the monitor, so a
// test compares the monitor's decoders with an independent writer.
#include <cstdint>
#include <string>
#include <vector>

#include "Frames.h"
#include "Receiver.h"
#include "Script.h"

namespace rxsim {

struct QbinVersion {
    uint8_t major = 0, minor = 0, build = 0, month = 0, day = 0;
    uint16_t year = 0;
    std::string name;
};

struct QbinChannel {
    uint8_t sv = 0;
    uint8_t status = 0;
    float level = 0, elevation = 0, azimuth = 0;
    // Radians per period; the satellite crosses the sky at this pace.
    double dElevation = 0, dAzimuth = 0;
    bool inFix = false;  // its satellite is one of the fix's (0x6D)
};

// One serial port of the receiver as 0xBC reports it.
struct QbinPort {
    uint32_t baud = 9600;
    uint8_t dataBits = 8;
    uint8_t parity = 0;    // 0 none, 1 odd, 2 even
    uint8_t stopBits = 1;  // 1 or 2
    uint8_t inMask = 0x02, outMask = 0x02;  // QTXT 1, QBIN 2, NMEA 4, AUX 8
};

// A scenario is text, one setting per line ("#" starts a comment); inline
// scenarios on the control socket separate lines with ";". Settings:
//   interval_ms MS                  period of the reports (default 1000)
//   periodic ID...                  hex report ids sent every period, in order
//                                   (41 84 46 6D 5C 82 56 1C 45 55 70 7B BB C2;
//                                   default 41 84 46 6D 5C 82)
//   position LAT LON HEIGHT BIAS    0x84 doubles (radians, metres, metres); a
//                                   bias of 0 is the receiver's "no fix"
//   motion DLAT DLON DHEIGHT        added to the position every period (default
//                                   0); a latitude that would pass +-1.4 rad or
//                                   a height that would leave -100..20000 m
//                                   turns back, the longitude wraps at +-pi,
//                                   so a track of any length stays on earth
//   track EAST NORTH UP             a track at this velocity (m/s): each period
//                                   the position moves by it over the TOW step
//                                   (the interval when the clock stands still) and
//                                   0x56 reports it, so fix and velocity agree;
//                                   the bounds of `motion` turn it back
//   jitter METRES [SEED]            each period's 0x84 lies within METRES of the
//                                   true position (a disc), the offsets drawn
//                                   from SEED (default 1): the same in every run
//   dgps MODE                       0x82 byte (decimal; bit 0 set: differential)
//   velocity EAST NORTH UP [RATE]   0x56 floats (m/s; clock bias rate, default 0)
//   time TOW WEEK UTC_OFFSET [STEP] 0x41; TOW grows by STEP each period (default 1)
//   health CODE BITS                0x46 bytes (hex)
//   fix MODE PDOP HDOP VDOP TDOP SV...   0x6D; MODE is the low nibble (hex)
//   channel N SV LEVEL ELEVATION AZIMUTH [STATUS] [deg] [fix] [move DELEV DAZIM]
//                                   0x5C for channel N (0..11): angles in radians
//                                   (degrees after `deg`), STATUS decimal or 0xHH
//                                   (default 8; bit 0x40: tracking); `fix` adds SV
//                                   to 0x6D's satellites; `move`: elevation and
//                                   azimuth change by so much each period (the
//                                   elevation turns back at +-90 degrees, the
//                                   azimuth wraps at 360)
//   firmware MAJ MIN BUILD MONTH DAY YEAR NAME...   0x1C-82 first component
//   component MAJ MIN BUILD MONTH DAY YEAR NAME...  further 0x1C-82 components
//   core MAJ MIN MONTH DAY YEAR       the core half of 0x45
//   product SERIAL CODE DAY MONTH YEAR HOUR NAME... 0x1C-83
//   io B0 B1 B2 B3 | filter B0 B1 B2 B3   0x55 and 0x70 bytes (hex)
//   nmea INTERVAL MASK | svmask MASK      0x7B and 0xC2 (MASK hex)
//   datum INDEX DX DY DZ A E2            0x8F-15
//   navconfig MODE DGPS DYNAMICS ELEV SNR DOPMASK DOPSWITCH AGE   0xBB
//   port A|B BAUD DATABITS PARITY STOPBITS IN OUT   a serial port as 0xBC gives
//                                   it: PARITY N, O or E; IN and OUT the protocol
//                                   masks in hex (QTXT 1, QBIN 2, NMEA 4, AUX 8);
//                                   defaults A 9600 8 N 1 02 02, B 4800 8 N 1 04 04
//   link A|B                        the port the program talks to (default A):
//                                   0xBC for port FF is about this one
class QbinReceiver : public Receiver {
public:
    QbinReceiver();

    // Replaces the whole state with the scenario's (unset values keep their
    // defaults). False with the offending line in `error`.
    bool Load(const std::string& text, std::string& error);

    int IntervalMs() const override { return m_intervalMs; }

    // The reports of one period; the clock then moves on by one step.
    void Tick(std::vector<Segment>& out) override;

    // The reply to a packet the program wrote (id + unstuffed data); false
    // when this receiver does not answer it. Settings that carry values are
    // taken over before the reply, as a receiver confirms what it applied:
    // 0x35 (I/O options), 0x70 (filter), 0xBB 00 + 39 or 42 bytes (navigation
    // configuration; an FF byte or an all-FF float keeps its value), 0xBC
    // with 10 bytes (a port; port FF is the link's), 0x8E-15 with an index
    // (datum), 0xC2 (satellite mask). Queries: 0x1C 02/03, 0x1F, 0x21, 0x24,
    // 0x26, 0x35, 0x3C, 0x70, 0x7A 00, 0x8E-15, 0xBB 00, 0xBC PORT, 0xC2.
    bool AnswerPacket(const Bytes& packet, std::vector<Segment>& out);
    bool Answer(const Command& c, std::vector<Segment>& out) override
    {
        return c.kind == KIND_QBIN && AnswerPacket(c.body, out);
    }

    // Reset commands: the receiver goes quiet and then reports its version.
    static bool IsResetPacket(const Bytes& packet);
    bool IsReset(const Command& c) const override { return c.kind == KIND_QBIN && IsResetPacket(c.body); }
    // The version report a receiver sends when it is back from a reset.
    void Version(std::vector<Segment>& out) const override;

    // The period's 0x84 and 0x56 (both carry the fix's time) each follow an
    // announcement whose CRC does not match them.
    bool SpoilFix(std::vector<Segment>& period) override;

    // Injected faults. "announced": a CRC announcement and the packet it
    // covers (passes). "crc": an announcement whose CRC does not match the
    // position report after it, which differs from the scenario's. "dle": a
    // position report with other values, broken by a DLE pair. "garbage":
    // COUNT bytes that start no frame. "burst": COUNT rounds of crc, dle and
    // garbage. "falsestart": start bytes of every framing amid garbage, each
    // right before a report (see InjectFaults). Faulty parts count as no
    // frame in the truth. False for an unknown name.
    bool Inject(const std::string& what, int count, Garbage& garbage,
                std::vector<Segment>& out) override;

    // One report by id (0x1C: sub-code in `sub`; 0xBC: the port, FF the
    // link's); empty when unknown.
    Bytes Report(uint8_t id, uint8_t sub = 0) const;

    // The baud rate of the port the program talks to, as the receiver has
    // it now (a set on that port changes it after its reply).
    uint32_t LinkBaud() const override { return m_ports[m_linkPort].baud; }

private:
    Bytes Position(double shift) const;
    Bytes PositionData(double shift) const;
    // The 0x5C reports of every tracked channel.
    void Channels(std::vector<Segment>& out) const;
    // The position moves on by one period's motion, within the bounds; the
    // satellites move on too.
    void Move();
    // The next position's offset from the true one (jitter).
    void DrawJitter();
    // The satellites 0x6D lists: the `fix` line's, then the channels' in the fix.
    std::vector<uint8_t> FixSatellites() const;
    void ApplyNavConfig(const Bytes& packet);
    void ApplyPort(const Bytes& packet);

    int m_intervalMs = 1000;
    std::vector<uint8_t> m_periodic;
    double m_lat = 0, m_lon = 0, m_height = 0, m_bias = 0;
    double m_dLat = 0, m_dLon = 0, m_dHeight = 0;
    bool m_track = false;
    double m_trackEast = 0, m_trackNorth = 0, m_trackUp = 0;
    double m_jitter = 0;         // metres; 0: none
    uint32_t m_jitterState = 1;  // xorshift32
    double m_jitterLat = 0, m_jitterLon = 0;  // radians, this period's
    float m_velEast = 0, m_velNorth = 0, m_velUp = 0, m_biasRate = 0;
    // The clock in double: sub-second steps add up without drifting; the
    // reports carry it as a float.
    double m_tow = 0, m_towStep = 1;
    float m_utcOffset = 0;
    uint16_t m_week = 0;
    uint8_t m_healthCode = 0, m_healthBits = 0;
    uint8_t m_fixMode = 0;
    uint8_t m_dgpsMode = 0;
    float m_pdop = 0, m_hdop = 0, m_vdop = 0, m_tdop = 0;
    std::vector<uint8_t> m_fixSvs;
    bool m_hasChannel[12] = {};
    QbinChannel m_channels[12];
    QbinVersion m_firmware;
    std::vector<QbinVersion> m_components;
    QbinVersion m_core;
    uint32_t m_serial = 0;
    uint16_t m_productCode = 0, m_buildYear = 0;
    uint8_t m_buildDay = 0, m_buildMonth = 0, m_buildHour = 0;
    std::string m_productName;
    uint8_t m_io[4] = {};
    uint8_t m_filter[4] = {};
    uint8_t m_nmeaInterval = 0;
    uint32_t m_nmeaMask = 0, m_svMask = 0;
    int16_t m_datumIndex = 0;
    double m_datum[5] = {};
    uint8_t m_navMode = 0, m_navDgps = 0, m_navDynamics = 0, m_navAge = 0;
    float m_navElev = 0, m_navSnr = 0, m_navDopMask = 0, m_navDopSwitch = 0;
    QbinPort m_ports[2];
    int m_linkPort = 0;
};

// CRC-32 (reflected, 0xEDB88320) as the receiver announces it, low 16 bits.
uint16_t QbinAnnouncedCrc(const Bytes& data);

}  // namespace rxsim
