#include "Silence.h"

#include <cstdlib>

#include "Frames.h"
#include "Script.h"

namespace rxsim {

namespace {

// "35" or "0x35": one byte in hex.
bool ParseId(std::string text, uint8_t& id)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text = text.substr(2);
    Bytes b;
    if (text.size() != 2 || !FromHex(text, b) || b.size() != 1) return false;
    id = b[0];
    return true;
}

}  // namespace

bool Silence::Apply(const std::vector<std::string>& args, std::string& reply, std::string& error)
{
    if (args.size() == 1 && (args[0] == "off" || args[0] == "all")) {
        if (args[0] == "off") Clear();
        else m_muted = true;
        reply = "unanswered=" + Describe();
        return true;
    }
    std::set<uint8_t> ids;
    for (const std::string& a : args) {
        uint8_t id;
        if (!ParseId(a, id)) {
            error = "usage: silent [purge] | silent ID... | silent all | silent off (ID: a QBIN id in hex)";
            return false;
        }
        ids.insert(id);
    }
    if (ids.empty()) {
        error = "silent: no id";
        return false;
    }
    m_ids.insert(ids.begin(), ids.end());
    reply = "unanswered=" + Describe();
    return true;
}

void Silence::Clear()
{
    m_ids.clear();
    m_muted = false;
}

bool Silence::Withholds(const Command& c) const
{
    if (m_muted) return true;
    return c.kind == KIND_QBIN && !c.body.empty() && m_ids.count(c.body[0]) > 0;
}

std::string Silence::Describe() const
{
    if (m_muted) return "all";
    if (m_ids.empty()) return "-";
    std::string s;
    for (uint8_t id : m_ids) s += (s.empty() ? "" : ",") + ToHex(&id, 1);
    return s;
}

}  // namespace rxsim
