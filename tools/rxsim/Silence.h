#pragma once
// What rxsim leaves unanswered while its receiver otherwise runs on: the
// queries a test names (the program then waits for a reply that never comes)
// or, muted, everything (the receiver is there but says nothing at all).
//
// The control commands "silent" and "ignore" take, besides silent's own stop:
//   ID...          leave these QBIN packets unanswered: "35" or "0x35" an id
//                  whatever its data, "BB-00" an id with that first data
//                  byte (its sub-code), sets of it included
//   all            mute: no reports, no replies, no reset; the scenario stays
//   off            answer everything again
#include <set>
#include <utility>
#include <string>
#include <vector>

#include "Commands.h"

namespace rxsim {

class Silence {
public:
    // One of the forms above; false with the reason in `error` (nothing
    // changes then). `reply` gets what "ok" is followed by.
    bool Apply(const std::vector<std::string>& args, std::string& reply, std::string& error);
    // Forgets every id and ends a mute ("silent off", or a full stop).
    void Clear();

    bool Muted() const { return m_muted; }
    // Whether the receiver keeps its reply to `c` to itself.
    bool Withholds(const Command& c) const;
    // "-", "all" or the ids in hex ("35,3C"), for "status".
    std::string Describe() const;

private:
    std::set<uint8_t> m_ids;
    std::set<std::pair<uint8_t, uint8_t>> m_subs;  // id, first data byte
    bool m_muted = false;
};

}  // namespace rxsim
