#pragma once
// A receiver in its monitor mode: it answers the version query (0x76) with
// its version (0x96) and a memory read (0x80) with the value (0x92).
//
// Settings (see scenarios/mon-boot.txt):
//   protocol mon
//   interval_ms MS                     period (default 1000)
//   periodic 96                        the version every period (default none)
//   version MAJOR MINOR MONTH DAY YEAR
//   memory ADDRESS VALUE               a 16-bit value (hex) at an address (hex)
//   fill VALUE                         what every other address holds (hex)
#include <map>
#include <string>
#include <vector>

#include "Receiver.h"

namespace rxsim {

class MonReceiver : public ScenarioReceiver {
public:
    MonReceiver() : ScenarioReceiver("mon", {}) {}
    bool Load(const std::string& text, std::string& error) { return LoadInto(*this, text, error); }

    void Tick(std::vector<Segment>& out) override;
    bool Answer(const Command& c, std::vector<Segment>& out) override;
    // garbage, falsestart, bad, truncated, burst (see InjectFaults), around
    // version frames; the bad and cut ones carry another version.
    bool Inject(const std::string& what, int count, Garbage& garbage,
                std::vector<Segment>& out) override;

    Bytes VersionFrame(bool corrupt = false) const;
    uint16_t Read(uint32_t address) const;

private:
    bool Setting(const std::string& key, Args& a, bool& bad) override;
    bool IsReport(const std::string& name) const override;

    int m_major = 1, m_minor = 0, m_month = 1, m_day = 1, m_year = 7;
    std::map<uint32_t, uint16_t> m_memory;
    uint16_t m_fill = 0;
};

}  // namespace rxsim
