#include "protocol/VendorNmeaCommands.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "monitor/protocol/NmeaCommandGoldens.h"
#include "protocol/UbxMessage.h"

namespace {

std::string Text(const CByteArray& a)
{
    return NmeaGoldenText(a, false);
}

std::string Hex(const CByteArray& a)
{
    return NmeaGoldenText(a, true);
}

CByteArray Stale()
{
    CByteArray a;
    for (BYTE b : {'$', 'X', '\r', '\n'}) a.Add(b);
    return a;
}

typedef std::function<bool(CByteArray&, BYTE, const PortConfigRecord*)> PortBuilder;
typedef std::function<bool(CByteArray&, BYTE, const NmeaOutputConfig*)> OutputBuilder;
typedef std::function<bool(CByteArray&, int)> ResetBuilder;

struct NamedPortBuilder {
    const char* maker;
    PortBuilder build;
};

std::vector<NamedPortBuilder> PortBuilders()
{
    return {{"SiRF", BuildSirfPortConfig},       {"Nemerix", BuildNemerixPortConfig},
            {"QinetiQ", BuildQinetiqPortConfig}, {"Tyco", BuildTycoPortConfig},
            {"u-blox", BuildUbloxPortConfig},     {"uNav", BuildUnavPortConfig}};
}

struct NamedOutputBuilder {
    const char* maker;
    OutputBuilder build;
};

std::vector<NamedOutputBuilder> OutputBuilders()
{
    return {{"SiRF", BuildSirfOutputConfig},
            {"Nemerix", BuildNemerixOutputConfig},
            {"QinetiQ", BuildQinetiqOutputConfig},
            {"u-blox", BuildUbloxOutputConfig},
            {"Tyco", [](CByteArray& b, BYTE f, const NmeaOutputConfig* c) { return BuildTycoOutputConfig(b, f, c, 9600); }},
            {"uNav", [](CByteArray& b, BYTE f, const NmeaOutputConfig* c) { return BuildUnavOutputConfig(b, f, c, 9600); }}};
}

// The UBX checksum as the receiver's manual states it, written out here so
// the test does not lean on the code under test.
void ExpectValidUbxMessages(const CByteArray& bytes, int expectedCount)
{
    int count = 0;
    INT_PTR i = 0;
    while (i < bytes.GetSize()) {
        ASSERT_GE(bytes.GetSize() - i, 8) << "message " << count;
        EXPECT_EQ(bytes[i], 0xB5);
        EXPECT_EQ(bytes[i + 1], 0x62);
        const int length = bytes[i + 4] | (bytes[i + 5] << 8);
        ASSERT_LE(i + 6 + length + 2, bytes.GetSize());
        unsigned a = 0, b = 0;
        for (INT_PTR k = i + 2; k < i + 6 + length; ++k) {
            a = (a + bytes[k]) & 0xFF;
            b = (b + a) & 0xFF;
        }
        EXPECT_EQ(bytes[i + 6 + length], a);
        EXPECT_EQ(bytes[i + 7 + length], b);
        i += 8 + length;
        ++count;
    }
    EXPECT_EQ(count, expectedCount);
}

} // namespace

// ---- UBX framing ----------------------------------------------------------------------

TEST(UbxMessage, LengthFieldCountsEveryPayloadByteLittleEndian)
{
    CByteArray m = Stale();
    UbxBeginMessage(m, 0x0A, 0x04);
    EXPECT_EQ(Hex(m), "B5 62 0A 04 00 00");  // the stale bytes are gone
    for (int i = 0; i < 300; ++i) UbxAppendByte(m, static_cast<BYTE>(i));
    EXPECT_EQ(m[4], 0x2C);
    EXPECT_EQ(m[5], 0x01);
    UbxEndMessage(m);
    ASSERT_EQ(m.GetSize(), 6 + 300 + 2);
    ExpectValidUbxMessages(m, 1);
}

TEST(UbxMessage, PayloadStopsAtTheLargestLengthTheFieldCanState)
{
    CByteArray m;
    UbxBeginMessage(m, 0x01, 0x02);
    for (int i = 0; i < 0x10001; ++i) UbxAppendByte(m, 0xAA);
    EXPECT_EQ(m.GetSize(), 6 + 0xFFFF);
    EXPECT_EQ(m[4], 0xFF);
    EXPECT_EQ(m[5], 0xFF);
}

TEST(UbxMessage, AppendAndEndLeaveAnArrayWithoutABegunMessageAlone)
{
    CByteArray empty;
    UbxAppendByte(empty, 1);
    UbxEndMessage(empty);
    EXPECT_EQ(empty.GetSize(), 0);

    CByteArray sentence = Stale();  // bytes, but no UBX header
    for (int i = 0; i < 4; ++i) sentence.Add('A');
    UbxAppendByte(sentence, 1);
    UbxEndMessage(sentence);
    EXPECT_EQ(sentence.GetSize(), 8);
}

TEST(UbxMessage, ChecksumPutsCkAHighAndCkBLow)
{
    const BYTE cfgRst[] = {0x06, 0x04, 0x04, 0x00, 0x01, 0x00, 0x00, 0x00};
    EXPECT_EQ(UbxChecksum(cfgRst, 8), 0x0F68);
    EXPECT_EQ(UbxChecksum(cfgRst, 0), 0x0000);
    EXPECT_EQ(UbxChecksum(nullptr, 8), 0x0000);
    // Both sums wrap at 256: 255 bytes of 0xFF.
    std::vector<BYTE> ff(255, 0xFF);
    unsigned a = 0, b = 0;
    for (BYTE x : ff) {
        a = (a + x) & 0xFF;
        b = (b + a) & 0xFF;
    }
    EXPECT_EQ(UbxChecksum(ff.data(), 255), (a << 8) | b);
}

TEST(UbxMessage, EveryUbxGoldenIsWellFramed)
{
    for (const NmeaCommandGolden& g : NmeaCommandGoldens()) {
        if (!IsUbxGolden(g)) continue;
        CByteArray bytes;
        ASSERT_TRUE(g.build(bytes)) << g.call;
        // Factory reset: CFG-CFG then CFG-RST in one array.
        ExpectValidUbxMessages(bytes, std::string(g.call) == "BuildUbxReset(4)" ? 2 : 1);
    }
}

// ---- Port and output commands -----------------------------------------------------------

TEST(VendorNmeaCommands, PortCommandsTakeOnlyTheUsualBaudsInTheSetForm)
{
    const uint32_t refused[] = {0, 300, 600, 14400, 28800, 56000, 128000, 230400, 4294967295u};
    const uint32_t accepted[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
    for (const NamedPortBuilder& b : PortBuilders()) {
        for (uint32_t baud : refused) {
            const PortConfigRecord p = NmeaGoldenPort(baud, 8, 0, 0, 0, 0);
            CByteArray bytes = Stale();
            EXPECT_FALSE(b.build(bytes, 1, &p)) << b.maker << " " << baud;
            EXPECT_EQ(bytes.GetSize(), 0);
        }
        for (uint32_t baud : accepted) {
            const PortConfigRecord p = NmeaGoldenPort(baud, 8, 0, 0, 0, 0);
            CByteArray bytes;
            EXPECT_TRUE(b.build(bytes, 1, &p)) << b.maker << " " << baud;
            const std::string field = "," + std::to_string(baud);
            const std::string text = Text(bytes);
            EXPECT_TRUE(text.find(field + ",") != std::string::npos || text.find(field + "*") != std::string::npos)
                << text;
        }
        const PortConfigRecord p = NmeaGoldenPort(9600, 8, 0, 0, 0, 0);
        for (BYTE flag : {0, 2, 255}) {
            CByteArray bytes = Stale();
            EXPECT_FALSE(b.build(bytes, flag, &p)) << b.maker << " flag " << int(flag);
            EXPECT_EQ(bytes.GetSize(), 0);
        }
        CByteArray bytes = Stale();
        EXPECT_FALSE(b.build(bytes, 1, nullptr)) << b.maker;
        EXPECT_EQ(bytes.GetSize(), 0);
    }
}

TEST(VendorNmeaCommands, SirfPortFramingAndProtocolField)
{
    struct Case {
        uint8_t dataBits, parity, stopBits, in, out;
        const char* expected;  // "" when refused
    };
    const Case cases[] = {
        {7, 1, 0, 0x04, 0x04, "$PSRF100,1,4800,7,1,1"},
        {8, 0, 0, 0x08, 0x00, "$PSRF100,0,4800,8,1,0"},   // SiRF binary asked for in only
        {8, 0, 0, 0x08, 0x08, "$PSRF100,1,4800,8,1,0"},
        {8, 0, 0, 0x00, 0x08, "$PSRF100,1,4800,8,1,0"},
        {8, 0, 2, 0, 0, ""},   // the sentence can only say one stop bit
        {8, 3, 0, 0, 0, ""},
        {6, 0, 0, 0, 0, ""},
        {9, 0, 0, 0, 0, ""},
    };
    for (const Case& c : cases) {
        const PortConfigRecord p = NmeaGoldenPort(4800, c.dataBits, c.parity, c.stopBits, c.in, c.out);
        CByteArray bytes = Stale();
        const bool built = BuildSirfPortConfig(bytes, 1, &p);
        EXPECT_EQ(built, c.expected[0] != '\0') << c.expected;
        const std::string text = Text(bytes);
        EXPECT_EQ(built ? text.substr(0, text.size() - 5) : text, c.expected);
    }
}

TEST(VendorNmeaCommands, NemerixPortRefusesAParityCodeAboveEven)
{
    const PortConfigRecord odd = NmeaGoldenPort(4800, 8, 1, 0, 0, 0);
    CByteArray bytes;
    ASSERT_TRUE(BuildNemerixPortConfig(bytes, 1, &odd));
    EXPECT_EQ(Text(bytes).substr(0, 18), "$PNMRX100,0,4800,1");
    const PortConfigRecord bad = NmeaGoldenPort(4800, 8, 3, 0, 0, 0);
    EXPECT_FALSE(BuildNemerixPortConfig(bytes, 1, &bad));
    EXPECT_EQ(bytes.GetSize(), 0);
}

TEST(VendorNmeaCommands, OutputCommandsBuildTheSetFormOnly)
{
    const NmeaOutputConfig c = {1, 0x13F};
    for (const NamedOutputBuilder& b : OutputBuilders()) {
        for (BYTE flag : {0, 2}) {
            CByteArray bytes = Stale();
            EXPECT_FALSE(b.build(bytes, flag, &c)) << b.maker;
            EXPECT_EQ(bytes.GetSize(), 0);
        }
        CByteArray bytes = Stale();
        EXPECT_FALSE(b.build(bytes, 1, nullptr)) << b.maker;
        EXPECT_EQ(bytes.GetSize(), 0);
    }
}

TEST(VendorNmeaCommands, RatesTakeTheIntervalsLowByteOrTheMaskBitForUblox)
{
    // Every sentence on, interval 0x10C: the rate fields read 12.
    const NmeaOutputConfig all = {0x10C, 0x13F};
    CByteArray bytes;
    ASSERT_TRUE(BuildNemerixOutputConfig(bytes, 1, &all));
    EXPECT_EQ(Text(bytes).substr(0, 51), "$PNMRX103,GGA,12,GLL,12,GSA,12,GSV,12,RMC,12,VTG,12");
    ASSERT_TRUE(BuildSirfOutputConfig(bytes, 1, &all));
    EXPECT_EQ(Text(bytes).substr(0, 20), "$PSRF103,00,00,12,01");

    // u-blox sends the same block whatever the interval.
    CByteArray first;
    const NmeaOutputConfig slow = {0, 0x121};
    ASSERT_TRUE(BuildUbloxOutputConfig(first, 1, &slow));
    for (uint32_t interval : {1u, 5u, 255u, 0xFFFFFFFFu}) {
        const NmeaOutputConfig c = {interval, 0x121};
        ASSERT_TRUE(BuildUbloxOutputConfig(bytes, 1, &c));
        EXPECT_EQ(Text(bytes), Text(first)) << interval;
    }
}

TEST(VendorNmeaCommands, MessageCodesOfTycoAndUnav)
{
    struct Case {
        uint32_t mask;
        const char* tyco;  // the code field
        const char* unav;
    };
    const Case cases[] = {
        {0x000, "0", "0"},
        {0x13F, "93", "7F"},     // every sentence the mask can name
        {0x022, "0", "42"},      // GLL and ZDA: Tyco has no code for them
        {0x004, "16", "20"},     // VTG
        {0x008, "8", "8"},       // GSV
    };
    for (const Case& c : cases) {
        const NmeaOutputConfig config = {1, c.mask};
        CByteArray bytes;
        ASSERT_TRUE(BuildTycoOutputConfig(bytes, 1, &config, 4800));
        EXPECT_EQ(Text(bytes).substr(0, Text(bytes).size() - 5),
                  std::string("$PSTMNMEACONFIG,0,4800,") + c.tyco + ",1");
        ASSERT_TRUE(BuildUnavOutputConfig(bytes, 1, &config, 0));
        EXPECT_EQ(Text(bytes).substr(0, Text(bytes).size() - 5),
                  std::string("$PUNV,CONFIG,00,0000,0,1000,0,") + c.unav);
    }
}

// ---- Resets ------------------------------------------------------------------------------------

TEST(VendorNmeaCommands, ResetsKnowTypesOneToFourOnly)
{
    struct Maker {
        const char* name;
        ResetBuilder build;
        const char* words[4];  // text of types 1..4 in the sentence
    };
    const Maker makers[] = {
        {"SiRF", BuildSirfReset, {",12,4*", ",12,2*", ",12,1*", ",12,8*"}},
        {"Nemerix", BuildNemerixReset, {"COLD*", "WARM*", "HOT*", "FACTORY*"}},
        {"QinetiQ", BuildQinetiqReset, {"RSET111111,*", "RSET100000,*", "RSET000000,*", "RSET111111,*"}},
        {"Tyco", BuildTycoReset, {"$PSTMCOLD*", "$PSTMWARM*", "$PSTMHOT*", "$PSTMCOLD*"}},
        {"uNav", BuildUnavReset, {"START,COLD*", "START,WARM*", "START,FAST*", "START,COLD*"}},
    };
    for (const Maker& m : makers) {
        for (int type = 1; type <= 4; ++type) {
            CByteArray bytes;
            ASSERT_TRUE(m.build(bytes, type)) << m.name << " " << type;
            EXPECT_NE(Text(bytes).find(m.words[type - 1]), std::string::npos) << Text(bytes);
        }
        for (int type : {-1, 0, 5, 6, 7, 8, 100}) {
            CByteArray bytes = Stale();
            EXPECT_FALSE(m.build(bytes, type)) << m.name << " " << type;
            EXPECT_EQ(bytes.GetSize(), 0);
        }
    }
    for (int type : {-1, 0, 5, 6, 7, 8}) {
        CByteArray bytes = Stale();
        EXPECT_FALSE(BuildUbxReset(bytes, type)) << type;
        EXPECT_EQ(bytes.GetSize(), 0);
    }
}

TEST(VendorNmeaCommands, UbxCommandsReplaceWhatTheArrayHeld)
{
    CByteArray bytes = Stale();
    ASSERT_TRUE(BuildUbxSaveConfig(bytes));
    EXPECT_EQ(bytes[0], UBX_SYNC_1);
    bytes = Stale();
    ASSERT_TRUE(BuildUbxReset(bytes, 4));
    EXPECT_EQ(bytes.GetSize(), 20 + 12);
    EXPECT_EQ(bytes[0], UBX_SYNC_1);
}
