// rxsim's own encoders against the wire bytes the issue and the receivers'
// documents give, so that a mistake in them cannot pass unseen into the
// end-to-end tests that compare the monitor with them.
#include <gtest/gtest.h>

#include "TestSupport.h"

namespace rxsim {
namespace {

using test::Hex;
using test::Spaced;
using test::Text;

TEST(RxsimFrames, NmeaAndQtxtSentencesCarryTheirChecksums)
{
    struct Case {
        const char* body;
        const char* sentence;
    };
    const Case nmea[] = {
        {"PZULQTF", "$PZULQTF*50\r\n"},         {"GPGPQ,GSA", "$GPGPQ,GSA*28\r\n"},
        {"GPGPQ,GSV", "$GPGPQ,GSV*3F\r\n"},     {"GPGPQ,ZDA", "$GPGPQ,ZDA*22\r\n"},
        {"PZULQVR,S", "$PZULQVR,S*39\r\n"},     {"PZULQVR,N", "$PZULQVR,N*24\r\n"},
        {"PSRF104,0,0,0,000,0,0,12,2", "$PSRF104,0,0,0,000,0,0,12,2*13\r\n"},
        {"GPVTG,90.0,T,,M,10.0,N,18.52,K,A", "$GPVTG,90.0,T,,M,10.0,N,18.52,K,A*0B\r\n"},
    };
    for (const Case& c : nmea) {
        EXPECT_EQ(Text(NmeaSentence(c.body)), c.sentence);
        EXPECT_EQ("$" + std::string(c.body) + "*" + NmeaChecksumText(c.body) + "\r\n", c.sentence);
    }
    EXPECT_EQ(Text(QtxtSentence("QVR")), ">QVR;*7A<");
    EXPECT_EQ(Text(QtxtSentence("QST")), ">QST;*79<");
}

TEST(RxsimFrames, BinaryFramesMatchTheirLayouts)
{
    EXPECT_EQ(Spaced(UbxMessage(0x06, 0x04, Hex("01000000"))), "B5 62 06 04 04 00 01 00 00 00 0F 68");
    EXPECT_EQ(Spaced(UbxMessage(0x06, 0x04, Hex("FFFF0000"))), "B5 62 06 04 04 00 FF FF 00 00 0C 5D");
    EXPECT_EQ(Spaced(UbxMessage(0x06, 0x09, Hex("000000000300000000000000"))),
              "B5 62 06 09 0C 00 00 00 00 00 03 00 00 00 00 00 00 00 1E A7");
    EXPECT_EQ(Spaced(UbxMessage(0x06, 0x09, Hex("030000000000000000000000"))),
              "B5 62 06 09 0C 00 03 00 00 00 00 00 00 00 00 00 00 00 1E B3");
    EXPECT_EQ(Spaced(KestoPacket(0x02, 0x11, {0x01})), "81 02 11 01 E9 82");
    EXPECT_EQ(Spaced(KestoPacket(0x02, 0x16, {0x02})), "81 02 16 02 E3 82");
    EXPECT_EQ(Spaced(MonFrame(0x76, {})), "02 00 76 00 76 03");
    EXPECT_EQ(Spaced(MonFrame(0x80, Hex("0000100002"))), "02 00 80 05 00 00 10 00 02 97 03");
    EXPECT_EQ(Spaced(QopMessage('H', 'a', {0x00})), "40 40 48 61 00 29 0D 0A");
    EXPECT_EQ(Spaced(QopMessage('C', 'j', {})), "40 40 43 6A 29 0D 0A");
}

// Unescapes a KESTO packet as a reader does; false when an escaped value or
// a marker inside it would make a reader drop or cut it.
bool Unescape(const Bytes& wire, Bytes& out)
{
    out.clear();
    if (wire.size() < 2 || wire.front() != 0x81 || wire.back() != 0x82) return false;
    out.push_back(0x81);
    for (size_t i = 1; i + 1 < wire.size(); ++i) {
        uint8_t b = wire[i];
        if (b == 0x81 || b == 0x82) return false;
        if (b == 0x80) {
            if (++i + 1 >= wire.size() || wire[i] >= 0x80) return false;
            b = static_cast<uint8_t>(0x80 + wire[i]);
        }
        out.push_back(b);
    }
    out.push_back(0x82);
    return true;
}

TEST(RxsimFrames, KestoChecksumIsEscapedLikeData)
{
    // 0x70-11 with data FA sums to a checksum of 0x82, the end marker.
    EXPECT_EQ(KestoChecksum(0x70, 0x11, {0xFA}), 0x82);
    EXPECT_EQ(Spaced(KestoPacket(0x70, 0x11, {0xFA})), "81 70 11 FA 80 02 82");
    // Every data byte, every checksum: the unescaped packet sums to zero and
    // nothing between the markers reads as a marker.
    for (int v = 0; v < 256; ++v) {
        SCOPED_TRACE(v);
        Bytes u;
        ASSERT_TRUE(Unescape(KestoPacket(0x70, 0x11, {static_cast<uint8_t>(v)}), u));
        unsigned sum = 0;
        for (uint8_t b : u) sum += b;
        EXPECT_EQ(sum & 0xFF, 0u);
        EXPECT_EQ(u.size(), 6u);
        EXPECT_EQ(u[3], v);
        Bytes bad;
        ASSERT_TRUE(Unescape(KestoPacket(0x70, 0x11, {static_cast<uint8_t>(v)}, true), bad));
        sum = 0;
        for (uint8_t b : bad) sum += b;
        EXPECT_NE(sum & 0xFF, 0u);
    }
}

TEST(RxsimFrames, ClockGivesGpsWeekAndSecond)
{
    SimClock c;  // 9 November 2006, 01:02:03
    int week = 0;
    double tow = 0;
    c.Gps(week, tow);
    EXPECT_EQ(week, 1400);
    EXPECT_EQ(tow, 349323.0);
    // Over the end of a month and a year.
    c.year = 2006;
    c.month = 12;
    c.day = 31;
    c.secondOfDay = 86399;
    c.step = 2;
    c.Advance();
    EXPECT_EQ(c.year, 2007);
    EXPECT_EQ(c.month, 1);
    EXPECT_EQ(c.day, 1);
    EXPECT_EQ(c.secondOfDay, 1.0);
}

}  // namespace
}  // namespace rxsim
