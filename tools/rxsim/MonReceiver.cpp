#include "MonReceiver.h"

#include "Settings.h"

namespace rxsim {

namespace {

const uint8_t VERSION_QUERY = 0x76, VERSION_REPLY = 0x96, MEMORY_READ = 0x80, MEMORY_REPLY = 0x92;
const size_t kReadData = 5;  // 32-bit address, count
const char* const kVersionReport = "96";

}  // namespace

bool MonReceiver::IsReport(const std::string& name) const { return name == kVersionReport; }

bool MonReceiver::Setting(const std::string& key, Args& a, bool& bad)
{
    if (key == "version") {
        m_major = static_cast<int>(a.U(0, 10, 255));
        m_minor = static_cast<int>(a.U(1, 10, 255));
        m_month = static_cast<int>(a.U(2, 10, 255));
        m_day = static_cast<int>(a.U(3, 10, 255));
        m_year = static_cast<int>(a.U(4, 10, 65535));
    } else if (key == "memory") {
        m_memory[static_cast<uint32_t>(a.U(0, 16, 0xFFFFFFFFul))] = static_cast<uint16_t>(a.U(1, 16, 0xFFFF));
    } else if (key == "fill") {
        m_fill = static_cast<uint16_t>(a.U(0, 16, 0xFFFF));
    } else {
        // The version is the one report, sent once a period at most.
        if (key == "periodic") bad = a.Size() > 1;
        return ScenarioReceiver::Setting(key, a, bad);
    }
    return true;
}

Bytes MonReceiver::VersionFrame(bool corrupt) const
{
    return MonFrame(VERSION_REPLY,
                    {static_cast<uint8_t>(m_major), static_cast<uint8_t>(m_minor), static_cast<uint8_t>(m_month),
                     static_cast<uint8_t>(m_day), static_cast<uint8_t>(m_year >> 8), static_cast<uint8_t>(m_year)},
                    corrupt);
}

uint16_t MonReceiver::Read(uint32_t address) const
{
    auto it = m_memory.find(address);
    return it == m_memory.end() ? m_fill : it->second;
}

void MonReceiver::Tick(std::vector<Segment>& out)
{
    if (!m_periodic.empty()) AddGood(out, VersionFrame(), KIND_MON);
}

bool MonReceiver::Answer(const Command& c, std::vector<Segment>& out)
{
    if (c.kind != KIND_MON || !c.valid || c.body.empty()) return false;
    if (c.body[0] == VERSION_QUERY) {
        AddGood(out, VersionFrame(), KIND_MON);
        return true;
    }
    if (c.body[0] == MEMORY_READ && c.body.size() == 1 + kReadData) {
        uint32_t address = static_cast<uint32_t>(c.body[1]) << 24 | static_cast<uint32_t>(c.body[2]) << 16 |
                           static_cast<uint32_t>(c.body[3]) << 8 | c.body[4];
        uint16_t value = Read(address);
        AddGood(out, MonFrame(MEMORY_REPLY, {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)}),
                KIND_MON);
        return true;
    }
    return false;
}

bool MonReceiver::Inject(const std::string& what, int count, Garbage& garbage, std::vector<Segment>& out)
{
    MonReceiver other(*this);
    other.m_major = m_major + 1;
    other.m_minor = m_minor + 1;
    FaultKit kit;
    kit.kind = KIND_MON;
    kit.good.push_back(VersionFrame());
    kit.bad.push_back(other.VersionFrame(true));
    // Cut after its header: the reader counts the rest by the length byte,
    // so noise stands in for it, not ending in ETX.
    Bytes wrong = other.VersionFrame();
    const size_t kKept = 5;
    kit.truncated.push_back(CutAndPad(wrong, kKept, garbage));
    return InjectFaults(kit, what, count, garbage, out);
}

}  // namespace rxsim
