#pragma once
// Scripted byte streams and the ground truth of what they contain.
//
// A stream is a list of segments; each segment is a run of bytes with the outcome
// a correct reader must reach for it (a good or bad frame of one framing, a
// "!"-digit, or nothing at all). The truth is accumulated as segments leave, so
// a test can compare the reader's counters with it once the line is quiet.
#include <cstdint>
#include <string>
#include <vector>

#include "Frames.h"

namespace rxsim {

// The reader's numbering of framings (its ProtocolKind values).
enum FrameKind : int {
    KIND_NONE = 0,
    KIND_QBIN = 3,
    KIND_NMEA = 4,
    KIND_QTXT = 5,
    KIND_KESTO = 6,
    KIND_QOP = 7,
    KIND_BANG = 17,  // "!" followed by a digit between frames
    KIND_MON = 20,
    // Not a framing of the reader: u-blox binary messages, which rxsim sends
    // amid NMEA and receives as commands.
    KIND_UBX = 30,
};

enum Outcome : int { OUT_NONE = 0, OUT_GOOD = 1, OUT_BAD = 2 };

struct Segment {
    Bytes bytes;
    int kind = KIND_NONE;
    int outcome = OUT_NONE;
    int broken = 0;  // broken QBIN packets (DLE + other byte) inside the segment
};

// What the reader should have counted and raised for the bytes sent so far.
struct Tally {
    uint64_t bytes = 0;
    // The reader's 13 counters in its order: bytes, good, bad, then good/bad
    // for QBIN, NMEA, QTXT, QOP and KESTO. Bad frames before the first good one
    // are not counted, as the reader does not count them either.
    uint64_t good = 0, bad = 0;
    uint64_t kindGood[32] = {}, kindBad[32] = {};
    uint64_t monGood = 0, monBad = 0;  // MON frames touch no counter
    uint64_t bang = 0;
    uint64_t broken = 0;
    uint64_t frames = 0;            // frames handed to listeners as raw frames
    uint64_t framesOfKind[32] = {};
    bool seenGood = false;

    // Counts the segment's frames once its last byte has left; bytes are counted
    // as they leave, so a segment cut short by "silent" adds only its bytes.
    void Apply(const Segment& p);
    void Reset() { *this = Tally(); }
    // One line of key=value pairs; see the control protocol's "truth".
    std::string Format() const;
};

// Bytes that never start a frame, never end one and never form "!"-digit:
// safe between frames, as filler inside oversized frames, and after a false
// start, whose candidate they never complete.
class Garbage {
public:
    explicit Garbage(uint32_t seed = 0x2545F491u) : m_state(seed ? seed : 1) {}
    uint8_t Next();
    Bytes Run(size_t n);

private:
    uint32_t m_state;
};

// Script names: "mixed" (all six framings with garbage, broken DLE sequences,
// bad checksums after a first good frame, oversized frames and "!5"), "good"
// (one good frame of every framing), "badfirst" (bad frames, then a good one,
// then a bad one), "qbin", "nmea", "qtxt", "qop", "kesto", "mon" (good frames of
// one framing), "sample" (a second of QBIN time and health reports with NMEA
// fixes; `iteration` advances its clock). False for an unknown name.
bool BuildScript(const std::string& name, int iteration, Garbage& garbage,
                 std::vector<Segment>& out);
// The names above, for help texts.
const char* ScriptNames();

// A reply rxsim gives when it answers queries: empty when it has none.
bool BuildAnswer(uint8_t queryId, const Bytes& queryData, std::vector<Segment>& out);

}  // namespace rxsim
