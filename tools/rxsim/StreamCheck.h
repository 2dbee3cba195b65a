#pragma once
// What a reader could make of the bytes rxsim sends as no frame at all
// (garbage, false starts, cut frames, UBX messages). Any start byte among
// them opens a candidate of its framing in a reader that rescans what a
// dropped candidate held; for the truth to hold, no such candidate may end as
// a frame, whatever it runs into after the noise. Used when rxsim builds its
// faults and by its tests.
#include <cstddef>
#include <vector>

#include "Script.h"

namespace rxsim {

enum CandidateEnd {
    CANDIDATE_DIES = 0,   // dropped, restarted or broken: no frame
    CANDIDATE_FRAME,      // would be delivered as a frame (good or bad)
    CANDIDATE_OPEN        // still open where the stream ends
};

// The fate of a candidate opened by stream[at] (a start byte of one framing;
// any other byte dies at once). "!" followed by a digit is a frame too.
CandidateEnd CandidateAt(const Bytes& stream, size_t at);

// The offsets (in the concatenated stream) of noise bytes whose candidate
// ends as a frame, or stays open at the end when `endClosesNothing` is false.
// Noise: segments without a frame (KIND_NONE or OUT_NONE).
std::vector<size_t> FalseFrames(const std::vector<Segment>& segments, bool endClosesNothing);

// Appends to `fault` (segments that follow the frames before them and go
// out before any other) noise that ends every candidate its noise leaves
// open, so a frame sent after it is read as it is: an open candidate would
// run on into it and could swallow it. A short ender where the framing has
// one (DLE NUL, a KESTO escape before a reserved byte, a control character
// in a sentence), else garbage longer than any candidate lives. Returns the
// bytes added.
size_t SettleNoise(std::vector<Segment>& fault, Garbage& garbage);

}  // namespace rxsim
