#pragma once
// rxsim's own frame builders. They are written from the wire formats, not taken
// from the monitor's composers, so a fault shared by a composer and the reader
// cannot hide itself: a test compares the reader with an independent source.
#include <cstdint>
#include <string>
#include <vector>

namespace rxsim {

typedef std::vector<uint8_t> Bytes;

// DLE id data DLE ETX; every 0x10 in id or data is sent twice.
Bytes QbinPacket(uint8_t id, const Bytes& data);

// "$" body "*hh" CR LF. `checksum` false leaves out "*hh"; `corrupt` sends a
// checksum that is off by one; `lowerHex` writes the digits in lower case.
Bytes NmeaSentence(const std::string& body, bool checksum = true, bool corrupt = false,
                   bool lowerHex = false);
uint8_t XorOf(const uint8_t* p, size_t n);

// ">" body ";*hh<" with hh the XOR from ">" through "*"; `checksum` false sends
// ">" body "<".
Bytes QtxtSentence(const std::string& body, bool checksum = true, bool corrupt = false);

// "@@" id1 id2 data xor CR LF, xor over id and data.
Bytes QopMessage(char id1, char id2, const Bytes& data, bool corrupt = false);

// 0x81 class sub-id data checksum 0x82. Bytes 0x80..0x87 of the body go out
// as 0x80, b & 0x0F. The checksum makes the unescaped packet sum to zero, which
// is what a receiver can check. Returns an empty vector when the checksum itself
// would fall on a reserved value, which no receiver could frame.
Bytes KestoPacket(uint8_t cls, uint8_t id, const Bytes& data, bool corrupt = false);

// 0x02 0x00 id length data sum 0x03, sum = low byte of id + length + data.
Bytes MonFrame(uint8_t id, const Bytes& data, bool corrupt = false);

// Hex text <-> bytes for the control protocol ("10 26" or "1026").
std::string ToHex(const uint8_t* p, size_t n, bool spaced = false);
bool FromHex(const std::string& text, Bytes& out);

}  // namespace rxsim
