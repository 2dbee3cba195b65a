// The checks that decide whether a recognised frame is trusted, one table per
// protocol, and the QOP message table the recogniser takes lengths from.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/KestoProtocol.h"
#include "protocol/MonFrame.h"
#include "protocol/NmeaSentence.h"
#include "protocol/QopProtocol.h"
#include "protocol/QtxtSentence.h"

namespace {

typedef std::vector<uint8_t> Bytes;

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

struct CheckCase {
    Bytes frame;
    bool expected;
};

}  // namespace

TEST(NmeaCheck, ChecksumRules)
{
    const std::vector<CheckCase> cases = {
        {Text("$PZULQTF*50\r\n"), true},
        {Text("$PZULSRT,F*2c\r\n"), true},        // lower-case hex digits
        {Text("$PZULSRT,F*2C\r\n"), true},
        {Text("$PZULQTF*51\r\n"), false},
        {Text("$PZULRTF,1*00\r\n"), false},       // our own maker's reply is tested
        {Text("$PSRFTXT,Version*00\r\n"), true},  // another maker's is not
        {Text("$GPGGA,1\r\n"), true},             // no checksum field
        {Text("$GPGGA,1*5\r\n"), true},           // one digit: no "*" five from the end
        {Text("$A*41\r\n"), false},               // a checksum field, but shorter than 8
        {Text("$GPGGA*56\r\n"), true},
        {Text("$GPGGA*57\r\n"), false},
        {Text("$GPGGA*G6\r\n"), false},           // not hex: reads as 0
        {Text("$\r\n"), true},                    // too short to hold a checksum field
        {Bytes(), false},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(std::string(c.frame.begin(), c.frame.end()));
        EXPECT_EQ(CheckNmeaSentence(c.frame.data(), static_cast<int>(c.frame.size())), c.expected);
    }
    EXPECT_FALSE(CheckNmeaSentence(nullptr, 10));
}

TEST(QtxtCheck, ChecksumRules)
{
    const std::vector<CheckCase> cases = {
        {Text(">QST;*79<"), true},
        {Text(">QST;*7A<"), false},
        {Text(">QLN;*7c<"), true},    // lower-case hex digits
        {Text(">QLN;*7D<"), false},
        {Text(">AB<"), false},        // shorter than 5
        {Text(">ABC<"), true},
        {Text(">A;*12<"), true},      // 8 bytes or fewer: not tested
        {Text(">RST00000<"), true},   // no ";*": not tested
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(std::string(c.frame.begin(), c.frame.end()));
        EXPECT_EQ(CheckQtxtSentence(c.frame.data(), static_cast<int>(c.frame.size())), c.expected);
    }
    const Bytes qst = Text(">QST;*");
    EXPECT_EQ(ComputeXorChecksum(qst.data(), static_cast<uint16_t>(qst.size())), 0x79);
    EXPECT_EQ(ComputeXorChecksum(qst.data(), 0), 0);
}

TEST(QopCheck, ChecksumAndTable)
{
    const std::vector<CheckCase> cases = {
        {{0x40, 0x40, 0x41, 0x67, 0x00, 0x26, 0x0D, 0x0A}, true},
        {{0x40, 0x40, 0x43, 0x66, 0x25, 0x0D, 0x0A}, true},
        {{0x40, 0x40, 0x48, 0x61, 0x00, 0x29, 0x0D, 0x0A}, true},
        {{0x40, 0x40, 0x41, 0x67, 0x00, 0x27, 0x0D, 0x0A}, false},
        {{0x40, 0x40, 0x43, 0x66, 0x25, 0x0D}, false},  // 6 bytes, whatever the checksum
    };
    for (const CheckCase& c : cases) {
        EXPECT_EQ(CheckQopMessage(c.frame.data(), static_cast<int>(c.frame.size())), c.expected);
    }

    struct Row {
        const char* id;
        uint16_t index, command, reply;
    };
    const std::vector<Row> rows = {
        {"Ad", 0, 11, 11}, {"Ag", 3, 8, 8}, {"Bb", 8, 8, 92}, {"Cf", 11, 7, 7}, {"Cj", 12, 7, 294},
        {"Ha", 17, 8, 154}, {"Hn", 18, 8, 78}, {"Ia", 19, 7, 10}, {"Wb", 20, 7, 7},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.id);
        const uint8_t m[4] = {'@', '@', static_cast<uint8_t>(r.id[0]), static_cast<uint8_t>(r.id[1])};
        EXPECT_EQ(FindQopMessage(m), r.index);
        EXPECT_EQ(GetQopMessageLength(m, QOP_LENGTH_COMMAND), r.command);
        EXPECT_EQ(GetQopMessageLength(m, QOP_LENGTH_REPLY), r.reply);
        EXPECT_EQ(GetQopMessageLength(m, 1), 0);
    }
    const uint8_t unknown[4] = {'@', '@', 'Z', 'z'};
    const uint8_t zero[4] = {'@', '@', 0, 0};
    EXPECT_EQ(FindQopMessage(unknown), QOP_NOT_FOUND);
    EXPECT_EQ(FindQopMessage(zero), QOP_NOT_FOUND);
    EXPECT_EQ(GetQopMessageLength(unknown, QOP_LENGTH_REPLY), 0);
    EXPECT_EQ(kQopMessageTable[QOP_MESSAGE_COUNT].id, 0);
    // The recogniser skips its QOP-inside-QBIN test for data bytes that are
    // not lower-case letters, so every id must end in one.
    for (int i = 0; i < QOP_MESSAGE_COUNT; ++i) {
        const int second = kQopMessageTable[i].id & 0xFF;
        EXPECT_TRUE(second >= 'a' && second <= 'z') << "row " << i;
    }
}

TEST(KestoCheck, FramingAndSum)
{
    const std::vector<CheckCase> cases = {
        {{0x81, 0x02, 0x11, 0x01, 0xE9, 0x82}, true},
        {{0x81, 0x02, 0x11, 0x82, 0x68, 0x82}, true},
        {{0x81, 0x02, 0x11, 0x01, 0xE8, 0x82}, false},
        {{0x80, 0x02, 0x11, 0x01, 0xEA, 0x82}, false},  // sums to 0 but does not start with 0x81
        {{0x81}, false},
    };
    for (const CheckCase& c : cases) {
        EXPECT_EQ(CheckKestoFrame(c.frame.data(), static_cast<int>(c.frame.size())), c.expected);
    }
}

TEST(MonCheck, FramingAndSum)
{
    const std::vector<CheckCase> cases = {
        {{0x02, 0x00, 0x76, 0x00, 0x76, 0x03}, true},
        {{0x02, 0x00, 0x80, 0x05, 0x00, 0x00, 0x10, 0x00, 0x02, 0x97, 0x03}, true},
        {{0x02, 0x00, 0x80, 0x05, 0x00, 0x00, 0x10, 0x00, 0x02, 0x98, 0x03}, false},
        {{0x02, 0x00, 0x76, 0x00, 0x76, 0x04}, false},
        {{0x02, 0x00, 0x03}, false},
    };
    for (const CheckCase& c : cases) {
        EXPECT_EQ(CheckMonFrame(c.frame.data(), static_cast<int>(c.frame.size())), c.expected);
    }
    const uint8_t bytes[] = {0xFF, 0xFF, 0x02};
    EXPECT_EQ(SumBytes(bytes, 3), 0x200u);
    EXPECT_EQ(SumBytes(bytes, 0), 0u);
}
