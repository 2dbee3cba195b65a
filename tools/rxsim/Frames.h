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

// 0x81 class sub-id data checksum 0x82. The checksum makes the unescaped
// packet (0x81 through 0x82) sum to zero, which is what a receiver can check.
// Every byte between the two markers that falls on 0x80..0x87, the checksum
// included, goes out as 0x80, b & 0x0F, so no value can be read as an escape,
// a new packet or the end.
Bytes KestoPacket(uint8_t cls, uint8_t id, const Bytes& data, bool corrupt = false);
// The checksum byte of the unescaped packet 0x81 class id data ... 0x82.
uint8_t KestoChecksum(uint8_t cls, uint8_t id, const Bytes& data);

// 0x02 0x00 id length data sum 0x03, sum = low byte of id + length + data.
Bytes MonFrame(uint8_t id, const Bytes& data, bool corrupt = false);

// 0xB5 0x62 class id length (16-bit, low byte first) payload CK_A CK_B, the
// checksum the 8-bit Fletcher sum over class through payload. `corrupt`
// sends CK_B off by one.
Bytes UbxMessage(uint8_t cls, uint8_t id, const Bytes& payload, bool corrupt = false);

// The two upper-case hex digits of an NMEA sentence's checksum: the XOR of
// every character of `body` (the text between "$" and "*").
std::string NmeaChecksumText(const std::string& body);

// printf into a string (at most 1023 characters), for the text framings.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Hex text <-> bytes for the control protocol ("10 26" or "1026").
std::string ToHex(const uint8_t* p, size_t n, bool spaced = false);
bool FromHex(const std::string& text, Bytes& out);

}  // namespace rxsim
