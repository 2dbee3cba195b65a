#pragma once
// A KSX module speaking KESTO: navigation, time and tracking packets every
// period, the version, product and status packets when asked.
//
// Settings (see scenarios/kesto-fix.txt):
//   protocol kesto
//   interval_ms MS                     period (default 1000)
//   periodic ID...                     packets of a period, class-sub-id:
//                                      30-02 32-01 33-01 (every channel) 16-02
//   position LAT LON ALTITUDE          degrees (south, west negative), metres
//   velocity SPEED HEADING             m/s, degrees
//   time HHMMSS DAY MONTH YEAR OFFSET [STEP]   UTC, GPS-UTC offset, seconds
//                                      per period (1)
//   dops PDOP HDOP VDOP
//   status STATE FLAGS                 0x32-01 bytes 18 and 19 (hex)
//   channel N SV SNR ELEVATION AZIMUTH FLAGS   0x33-01 (azimuth -128..127
//                                      degrees, flags hex)
//   version MAJOR MINOR THIRD DAY MONTH YEAR   0x11-01
//   product VALUE DAY MONTH YEAR NAME...       0x12-03 (name: 16 characters)
//   statusbits HEX                     0x16-02
//   extra CLASS ID HEX...              a packet sent as given every period,
//                                      after the periodic ones
#include <string>
#include <vector>

#include "Receiver.h"

namespace rxsim {

class KestoReceiver : public ScenarioReceiver {
public:
    KestoReceiver() : ScenarioReceiver("kesto", {"30-02", "32-01", "33-01"}) {}
    bool Load(const std::string& text, std::string& error) { return LoadInto(*this, text, error); }

    void Tick(std::vector<Segment>& out) override;
    // Requests of class 0x02: 0x11 gives 0x11-01, 0x12 gives 0x12-03 and
    // 0x16 gives 0x16-02.
    bool Answer(const Command& c, std::vector<Segment>& out) override;
    // garbage, falsestart, bad, truncated, burst (see InjectFaults); the bad
    // and cut packets carry another position and time.
    bool Inject(const std::string& what, int count, Garbage& garbage,
                std::vector<Segment>& out) override;

    // The packets of one class-sub-id ("30-02", ...) of the current state;
    // 33-01 gives one per channel. Empty for an unknown one. `corrupt`
    // spoils the checksums of 30-02 and 32-01.
    std::vector<Bytes> Packets(const std::string& name, bool corrupt = false) const;

private:
    struct Channel {
        int n, sv, snr, elevation, azimuth, flags;
    };

    bool Setting(const std::string& key, Args& a, bool& bad) override;
    // 33-01 may stand when there are no channels yet.
    bool IsReport(const std::string& name) const override { return name == "33-01" || !Packets(name).empty(); }

    Place m_place;
    double m_speed = 0, m_heading = 0;
    SimClock m_clock;
    int m_offset = 14;
    double m_pdop = 2.5, m_hdop = 1.25, m_vdop = 2.0;
    uint8_t m_state = 0x30, m_flags = 0x80;
    std::vector<Channel> m_channels;
    int m_major = 1, m_minor = 0, m_third = 0, m_day = 1, m_month = 1, m_year = 2007;
    uint32_t m_value = 0;
    int m_productDay = 1, m_productMonth = 1, m_productYear = 2007;
    std::string m_productName = "KSX Module";
    uint8_t m_statusBits = 0x05;
    std::vector<RawMessage> m_extra;
};

}  // namespace rxsim
