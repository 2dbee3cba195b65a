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
    std::set<std::pair<uint8_t, uint8_t>> subs;
    for (const std::string& a : args) {
        uint8_t id, sub;
        const size_t dash = a.find('-');
        const bool ok = dash == std::string::npos ? ParseId(a, id)
                                                  : ParseId(a.substr(0, dash), id) && ParseId(a.substr(dash + 1), sub);
        if (!ok) {
            error = "usage: silent [purge] | silent ID[-SUB]... | silent all | silent off (ID, SUB: QBIN bytes in hex)";
            return false;
        }
        if (dash == std::string::npos) ids.insert(id);
        else subs.insert(std::make_pair(id, sub));
    }
    if (ids.empty() && subs.empty()) {
        error = "silent: no id";
        return false;
    }
    m_ids.insert(ids.begin(), ids.end());
    m_subs.insert(subs.begin(), subs.end());
    reply = "unanswered=" + Describe();
    return true;
}

void Silence::Clear()
{
    m_ids.clear();
    m_subs.clear();
    m_muted = false;
}

bool Silence::Withholds(const Command& c) const
{
    if (m_muted) return true;
    if (c.kind != KIND_QBIN || c.body.empty()) return false;
    return m_ids.count(c.body[0]) > 0 || (c.body.size() > 1 && m_subs.count(std::make_pair(c.body[0], c.body[1])) > 0);
}

std::string Silence::Describe() const
{
    if (m_muted) return "all";
    if (m_ids.empty() && m_subs.empty()) return "-";
    std::string s;
    for (uint8_t id : m_ids) s += (s.empty() ? "" : ",") + ToHex(&id, 1);
    for (const auto& p : m_subs) s += (s.empty() ? "" : ",") + ToHex(&p.first, 1) + "-" + ToHex(&p.second, 1);
    return s;
}

}  // namespace rxsim
