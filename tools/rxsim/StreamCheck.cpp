#include "StreamCheck.h"

#include "Commands.h"

#include <cstdint>

namespace rxsim {

namespace {

const uint8_t DLE = 0x10, ETX = 0x03, STX = 0x02, CR = 0x0D, LF = 0x0A;
const uint8_t KESTO_ESCAPE = 0x80, KESTO_START = 0x81, KESTO_END = 0x82, KESTO_LAST_RESERVED = 0x87;
const uint8_t KESTO_RESERVED = 0x85;  // no escape may precede it
// The reader's limits: a frame reaching FRAME_LIMIT bytes is dropped, a
// KESTO packet reaching KESTO_LIMIT too; sentences are 8..255 bytes, QTXT at
// least 5, QOP at least 7 and KESTO at least 5.
const size_t FRAME_LIMIT = 512, KESTO_LIMIT = 240;
const size_t NMEA_MIN = 8, NMEA_MAX = 255, QTXT_MIN = 5, QOP_MIN = 7, KESTO_MIN = 5;

bool IsPrintable(uint8_t b) { return b >= 0x20 && b <= 0x7E; }

CandidateEnd Qbin(const Bytes& s, size_t at)
{
    size_t i = at + 1;
    // After the DLE: DLE NUL and DLE ETX open nothing; a second DLE waits on.
    for (; i < s.size() && s[i] == DLE; ++i) {}
    if (i >= s.size()) return CANDIDATE_OPEN;
    if (s[i] == 0x00 || s[i] == ETX) return CANDIDATE_DIES;
    size_t stored = 2;  // DLE and id
    for (++i; i < s.size(); ++i) {
        if (stored >= FRAME_LIMIT) return CANDIDATE_DIES;
        if (s[i] != DLE) {
            ++stored;
            continue;
        }
        if (++i >= s.size()) return CANDIDATE_OPEN;
        if (s[i] == ETX) return CANDIDATE_FRAME;
        if (s[i] != DLE) return CANDIDATE_DIES;  // a broken packet: rescanned
        ++stored;
    }
    return CANDIDATE_OPEN;
}

CandidateEnd Nmea(const Bytes& s, size_t at)
{
    for (size_t i = at + 1; i < s.size(); ++i) {
        size_t length = i - at + 1;  // with this byte
        if (length >= FRAME_LIMIT) return CANDIDATE_DIES;
        uint8_t b = s[i];
        if (b == '$') return CANDIDATE_DIES;  // a new sentence starts there
        if (IsPrintable(b)) continue;
        if (b == LF) return length + 1 >= NMEA_MIN && length + 1 <= NMEA_MAX ? CANDIDATE_FRAME : CANDIDATE_DIES;
        if (b != CR) return CANDIDATE_DIES;
        if (i + 1 >= s.size()) return CANDIDATE_OPEN;
        if (s[i + 1] != LF) return CANDIDATE_DIES;
        return length + 1 >= NMEA_MIN && length + 1 <= NMEA_MAX ? CANDIDATE_FRAME : CANDIDATE_DIES;
    }
    return CANDIDATE_OPEN;
}

CandidateEnd Qtxt(const Bytes& s, size_t at)
{
    for (size_t i = at + 1; i < s.size(); ++i) {
        size_t length = i - at + 1;
        if (length >= FRAME_LIMIT || !IsPrintable(s[i])) return CANDIDATE_DIES;
        if (s[i] == '<') return length >= QTXT_MIN ? CANDIDATE_FRAME : CANDIDATE_DIES;
    }
    return CANDIDATE_OPEN;
}

CandidateEnd Qop(const Bytes& s, size_t at)
{
    // The id is the third and fourth byte; its reply length ends the message.
    if (at + 3 >= s.size()) return CANDIDATE_OPEN;
    size_t length = QopReplyLength(s[at + 2], s[at + 3]);
    if (length < QOP_MIN) return CANDIDATE_DIES;
    if (at + length > s.size()) return CANDIDATE_OPEN;
    return s[at + length - 1] == LF ? CANDIDATE_FRAME : CANDIDATE_DIES;
}

CandidateEnd Kesto(const Bytes& s, size_t at)
{
    size_t stored = 1;
    bool escape = false;
    for (size_t i = at + 1; i < s.size(); ++i) {
        uint8_t b = s[i];
        if (escape && b >= KESTO_ESCAPE && b <= KESTO_LAST_RESERVED) return CANDIDATE_DIES;
        if (b == KESTO_START) return CANDIDATE_DIES;  // a new packet starts there
        if (b == KESTO_END) return stored + 1 >= KESTO_MIN ? CANDIDATE_FRAME : CANDIDATE_DIES;
        if (escape) {
            escape = false;  // the escape gives way to the value
        } else {
            escape = b == KESTO_ESCAPE;
            ++stored;
        }
        if (stored >= KESTO_LIMIT) return CANDIDATE_DIES;
    }
    return CANDIDATE_OPEN;
}

CandidateEnd Mon(const Bytes& s, size_t at)
{
    if (at + 1 >= s.size()) return CANDIDATE_OPEN;
    if (s[at + 1] != 0x00) return CANDIDATE_DIES;
    if (at + 3 >= s.size()) return CANDIDATE_OPEN;
    size_t length = s[at + 3] + 6u;
    if (at + length > s.size()) return CANDIDATE_OPEN;
    return s[at + length - 1] == ETX ? CANDIDATE_FRAME : CANDIDATE_DIES;
}

// What ends an open candidate of the framing `start` opens; empty when the
// framing has no short ender.
Bytes EnderOf(uint8_t start)
{
    switch (start) {
    case DLE: return {DLE, 0x00};
    case KESTO_START: return {KESTO_ESCAPE, KESTO_RESERVED};
    case '$':
    case '>': return {0x00};
    default: return {};
    }
}

const size_t kSettlingGarbage = 600;  // longer than any candidate lives
const int kSettlingPasses = 8;

}  // namespace

CandidateEnd CandidateAt(const Bytes& s, size_t at)
{
    if (at >= s.size()) return CANDIDATE_DIES;
    switch (s[at]) {
    case DLE: return Qbin(s, at);
    case '$': return Nmea(s, at);
    case '>': return Qtxt(s, at);
    case '@': return Qop(s, at);
    case KESTO_START: return Kesto(s, at);
    case STX: return Mon(s, at);
    case '!':
        if (at + 1 >= s.size()) return CANDIDATE_OPEN;
        return s[at + 1] >= '0' && s[at + 1] <= '9' ? CANDIDATE_FRAME : CANDIDATE_DIES;
    default: return CANDIDATE_DIES;
    }
}

std::vector<size_t> FalseFrames(const std::vector<Segment>& segments, bool endClosesNothing)
{
    Bytes all;
    std::vector<bool> noise;
    for (const Segment& p : segments) {
        all.insert(all.end(), p.bytes.begin(), p.bytes.end());
        bool isNoise = p.kind == KIND_NONE || p.outcome == OUT_NONE;
        noise.insert(noise.end(), p.bytes.size(), isNoise);
    }
    std::vector<size_t> found;
    for (size_t i = 0; i < all.size(); ++i) {
        if (!noise[i]) continue;
        CandidateEnd end = CandidateAt(all, i);
        if (end == CANDIDATE_FRAME || (end == CANDIDATE_OPEN && !endClosesNothing)) found.push_back(i);
    }
    return found;
}

size_t SettleNoise(std::vector<Segment>& fault, Garbage& garbage)
{
    size_t added = 0, lastOpen = SIZE_MAX;
    for (int pass = 0; pass < kSettlingPasses; ++pass) {
        Bytes all;
        std::vector<bool> noise;
        for (const Segment& p : fault) {
            all.insert(all.end(), p.bytes.begin(), p.bytes.end());
            noise.insert(noise.end(), p.bytes.size(), p.kind == KIND_NONE || p.outcome == OUT_NONE);
        }
        size_t open = all.size();
        for (size_t i = 0; i < all.size() && open == all.size(); ++i)
            if (noise[i] && CandidateAt(all, i) == CANDIDATE_OPEN) open = i;
        if (open == all.size()) return added;
        Segment ender;
        ender.bytes = EnderOf(all[open]);
        // A candidate its ender did not end is left to garbage.
        if (ender.bytes.empty() || open == lastOpen) ender.bytes = garbage.Run(kSettlingGarbage);
        lastOpen = open;
        added += ender.bytes.size();
        fault.push_back(std::move(ender));
    }
    return added;
}

}  // namespace rxsim
