#pragma once
// Small helpers of rxsim's own tests.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Commands.h"
#include "Frames.h"
#include "Receiver.h"

namespace rxsim {
namespace test {

inline Bytes Hex(const std::string& text)
{
    Bytes b;
    FromHex(text, b);
    return b;
}

inline std::string Spaced(const Bytes& b) { return ToHex(b.data(), b.size(), true); }

inline std::string Text(const Bytes& b) { return std::string(b.begin(), b.end()); }

inline std::string Scenario(const std::string& name)
{
    std::ifstream f(std::string(RXSIM_SCENARIO_DIR) + "/" + name);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

inline Bytes Join(const std::vector<Segment>& segments)
{
    Bytes all;
    for (const Segment& s : segments) all.insert(all.end(), s.bytes.begin(), s.bytes.end());
    return all;
}

// Every command the collector finds in `bytes`, as logged.
inline std::vector<Command> Collect(const Bytes& bytes)
{
    CommandCollector c;
    std::vector<Command> found;
    for (uint8_t b : bytes) {
        Command command;
        if (c.Feed(b, command)) found.push_back(command);
    }
    return found;
}

// The command as the program would write it: feeds `wire` to a fresh
// receiver-side collector and answers it.
inline std::vector<Segment> Ask(Receiver& r, const Bytes& wire)
{
    std::vector<Segment> out;
    for (const Command& c : Collect(wire)) r.Answer(c, out);
    return out;
}

inline Bytes Sentence(const std::string& body) { return NmeaSentence(body); }

}  // namespace test
}  // namespace rxsim
