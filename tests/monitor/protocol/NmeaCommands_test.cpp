#include "protocol/NmeaCommands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "link/FrameRecogniser.h"
#include "monitor/protocol/NmeaCommandGoldens.h"
#include "protocol/NmeaSentence.h"

namespace {

std::string Text(const CByteArray& a)
{
    return NmeaGoldenText(a, false);
}

// An array holding bytes from an earlier command, so that a refusal shows
// that it leaves nothing behind.
CByteArray Stale()
{
    CByteArray a;
    for (BYTE b : {'$', 'X', '\r', '\n'}) a.Add(b);
    return a;
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

class FrameCollector : public IFrameSink {
public:
    void OnFrame(ProtocolKind kind, const BYTE* frame, int length) override
    {
        kinds.push_back(kind);
        frames.emplace_back(frame, frame + length);
    }
    void OnBrokenQbinPacket(BYTE, BYTE, int) override { ++broken; }
    void OnBangDigit(BYTE) override { ++bangs; }

    std::vector<ProtocolKind> kinds;
    std::vector<std::vector<BYTE>> frames;
    int broken = 0;
    int bangs = 0;
};

int CountSentences(const std::string& text)
{
    int n = 0;
    for (char c : text)
        if (c == '$') ++n;
    return n;
}

} // namespace

// ---- Every builder's bytes ---------------------------------------------------------

TEST(NmeaCommandGoldens, EveryBuilderWritesItsExactBytes)
{
    for (const NmeaCommandGolden& g : NmeaCommandGoldens()) {
        CByteArray bytes = Stale();
        const bool built = g.build(bytes);
        EXPECT_EQ(built, !g.expected.empty()) << g.call;
        EXPECT_EQ(NmeaGoldenText(bytes, IsUbxGolden(g)), g.expected) << g.call;
    }
}

TEST(NmeaCommandGoldens, EverySentenceIsOneGoodFrameOfTheRecogniser)
{
    for (const NmeaCommandGolden& g : NmeaCommandGoldens()) {
        if (IsUbxGolden(g) || g.expected.empty()) continue;
        CByteArray bytes;
        ASSERT_TRUE(g.build(bytes)) << g.call;

        FrameCollector sink;
        CFrameRecogniser recogniser(&sink);
        for (INT_PTR i = 0; i < bytes.GetSize(); ++i) recogniser.Feed(bytes[i]);

        // Builders of several sentences write them back to back, one frame each.
        ASSERT_EQ(static_cast<int>(sink.frames.size()), CountSentences(g.expected)) << g.call;
        std::string joined;
        for (size_t i = 0; i < sink.frames.size(); ++i) {
            const std::vector<BYTE>& f = sink.frames[i];
            EXPECT_EQ(sink.kinds[i], PROTO_NMEA) << g.call;
            EXPECT_TRUE(CheckNmeaSentence(f.data(), static_cast<int>(f.size()))) << g.call << " frame " << i;
            joined.append(f.begin(), f.end());
        }
        EXPECT_EQ(joined, g.expected) << g.call;
        EXPECT_EQ(sink.broken + sink.bangs, 0) << g.call;
        EXPECT_EQ(recogniser.GetState(), CFrameRecogniser::ST_IDLE) << g.call;
    }
}

// ---- Finishing a sentence -------------------------------------------------------------

TEST(FinishNmeaSentence, ChecksumAlwaysHasTwoUpperCaseDigits)
{
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"$0:", "$0:*0A\r\n"},          // '0' ^ ':' = 0x0A keeps its leading zero
        {"$00", "$00*00\r\n"},          // a sum of zero
        {"$", "$*00\r\n"},              // nothing between "$" and "*"
        {"$PZULQTF", "$PZULQTF*50\r\n"},
        {"$a", "$a*61\r\n"},
        {"$~", "$~*7E\r\n"},
        {"$GPGPQ,GSA", "$GPGPQ,GSA*28\r\n"},
    };
    for (const Case& c : cases) {
        CByteArray bytes = Stale();
        EXPECT_TRUE(FinishNmeaSentence(c.text, bytes)) << c.text;
        EXPECT_EQ(Text(bytes), c.expected);
    }
}

TEST(FinishNmeaSentence, RefusesWhatIsNoSentenceOrDoesNotFit)
{
    const std::string longest = "$" + std::string(NMEA_MAX_TYPED_TEXT, 'A');
    CByteArray bytes;
    ASSERT_TRUE(FinishNmeaSentence(longest.c_str(), bytes));
    EXPECT_EQ(bytes.GetSize(), static_cast<INT_PTR>(longest.size() + 5));  // "*hh" CR LF

    const std::string tooLong = longest + "A";
    for (const char* text : {static_cast<const char*>(nullptr), "", "PZULQTF", ">QST;", tooLong.c_str()}) {
        CByteArray b = Stale();
        EXPECT_FALSE(FinishNmeaSentence(text, b)) << (text ? text : "(null)");
        EXPECT_EQ(b.GetSize(), 0);
    }
}

// ---- Typed commands -----------------------------------------------------------------------

TEST(BuildNmeaFromText, RefusesWithAReasonAndSendsNothing)
{
    const std::string tooLong(NMEA_MAX_TYPED_TEXT + 1, 'A');
    const std::string tooLongAfterTrim = "  " + tooLong + "  ";
    const char* texts[] = {
        nullptr, "", "   ", "\t\r\n", " H ",   // "$H*48" would be 7 bytes: no sentence
        "PZULQ\x01TF",          // a control character inside
        "PZUL\x7F",             // DEL
        "GPGPQ,\xC3\xA9",       // a non-ASCII letter
        "PZULQ\r\nTF",          // a line break inside is not trimmed away
        tooLong.c_str(), tooLongAfterTrim.c_str(),
    };
    for (const char* text : texts) {
        CByteArray bytes = Stale();
        CString error("stale");
        EXPECT_FALSE(BuildNmeaFromText(bytes, text, &error)) << (text ? text : "(null)");
        EXPECT_EQ(bytes.GetSize(), 0);
        EXPECT_FALSE(error.IsEmpty());
        EXPECT_NE(error, "stale");
    }
    CByteArray bytes;
    EXPECT_FALSE(BuildNmeaFromText(bytes, "\x02", nullptr));  // no error text asked for
}

TEST(BuildNmeaFromText, BuildsTheTrimmedTextWithItsChecksum)
{
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"PZULQTF", "$PZULQTF*50\r\n"},
        {"\t GPGPQ,GSA \r\n", "$GPGPQ,GSA*28\r\n"},
        {"PZULQVR, S", "$PZULQVR, S*19\r\n"},  // blanks inside stay
        {"0:", "$0:*0A\r\n"},
    };
    for (const Case& c : cases) {
        CByteArray bytes;
        CString error("stale");
        EXPECT_TRUE(BuildNmeaFromText(bytes, c.text, &error)) << c.text;
        EXPECT_EQ(Text(bytes), c.expected);
        EXPECT_TRUE(error.IsEmpty());
    }

    // The longest text fills the sentence: "$", 251 characters, "*hh", CR LF.
    const std::string longest = " " + std::string(NMEA_MAX_TYPED_TEXT, 'Z') + " ";
    CByteArray bytes;
    ASSERT_TRUE(BuildNmeaFromText(bytes, longest.c_str()));
    EXPECT_EQ(bytes.GetSize(), 1 + NMEA_MAX_TYPED_TEXT + 3 + 2);
    EXPECT_TRUE(CheckNmeaSentence(bytes.GetData(), static_cast<int>(bytes.GetSize())));
}

// ---- Set forms -----------------------------------------------------------------------------

TEST(BuildNmeaPortConfig, RefusesSettingsTheSentenceCannotSay)
{
    struct Case {
        uint32_t baud;
        uint8_t dataBits, parity, stopBits;
    };
    const Case refused[] = {
        {300, 8, 0, 0}, {14400, 8, 0, 0}, {0, 8, 0, 0}, {230400, 8, 0, 0}, {4294967295u, 8, 0, 0},
        {9600, 6, 0, 0}, {9600, 9, 0, 0}, {9600, 8, 3, 0}, {9600, 8, 255, 0}, {9600, 8, 0, 1}, {9600, 8, 0, 3},
    };
    for (const Case& c : refused) {
        const PortConfigRecord p = NmeaGoldenPort(c.baud, c.dataBits, c.parity, c.stopBits, 0, 0);
        CByteArray bytes = Stale();
        EXPECT_FALSE(BuildNmeaPortConfig(bytes, 1, &p)) << c.baud << " " << int(c.dataBits) << int(c.parity)
                                                        << int(c.stopBits);
        EXPECT_EQ(bytes.GetSize(), 0);
    }
    for (BYTE flag : {0, 1}) {
        CByteArray bytes = Stale();
        EXPECT_FALSE(BuildNmeaPortConfig(bytes, flag, nullptr));
        EXPECT_EQ(bytes.GetSize(), 0);
    }
}

TEST(BuildNmeaPortConfig, WritesEveryAcceptedCode)
{
    struct Case {
        uint32_t baud;
        uint8_t dataBits, parity, stopBits, in, out;
        const char* expected;
    };
    const Case cases[] = {
        {1200, 7, 1, 2, 0x0F, 0xFF, "$PZULSPT,001200,7,O,2,F,FF"},
        {115200, 8, 2, 0, 0, 0x10, "$PZULSPT,115200,8,E,1,0,10"},
    };
    for (const Case& c : cases) {
        const PortConfigRecord p = NmeaGoldenPort(c.baud, c.dataBits, c.parity, c.stopBits, c.in, c.out);
        CByteArray bytes;
        ASSERT_TRUE(BuildNmeaPortConfig(bytes, 1, &p));
        const std::string text = Text(bytes);
        EXPECT_EQ(text.substr(0, text.size() - 5), c.expected);
    }
}

TEST(BuildNmeaReceiverConfig, FilterCodeNamesTheLastFilterSwitchedOn)
{
    struct Case {
        FilterConfig filter;
        char code;
    };
    const Case cases[] = {
        {{0, 0, 0, 0, 0}, '0'}, {{1, 0, 0, 0, 0}, '2'}, {{0, 1, 1, 0, 0}, '0'}, {{0, 0, 0, 1, 0}, '1'},
        {{1, 0, 0, 1, 0}, '1'}, {{0, 0, 0, 0, 1}, '3'}, {{1, 1, 1, 1, 1}, '3'},
    };
    NavConfig n{};
    for (const Case& c : cases) {
        CByteArray bytes;
        ASSERT_TRUE(BuildNmeaReceiverConfig(bytes, 1, &n, &c.filter));
        // "...,<mode>,<dynamics>,<filter>,<dgps>*hh\r\n"
        const std::string text = Text(bytes);
        EXPECT_EQ(text[text.size() - 8], c.code) << text;
    }
}

TEST(BuildNmeaReceiverConfig, SetFormNeedsBothRecordsWithNumbers)
{
    NavConfig n{};
    FilterConfig f{};
    NavConfig bad = n;
    bad.elevationMask = std::numeric_limits<float>::quiet_NaN();
    NavConfig huge = n;
    huge.dopMask = std::numeric_limits<float>::infinity();
    struct Case {
        const NavConfig* config;
        const FilterConfig* filter;
    };
    for (const Case& c : {Case{nullptr, &f}, Case{&n, nullptr}, Case{&bad, &f}, Case{&huge, &f}}) {
        CByteArray bytes = Stale();
        EXPECT_FALSE(BuildNmeaReceiverConfig(bytes, 1, c.config, c.filter));
        EXPECT_EQ(bytes.GetSize(), 0);
    }
    // The largest floats still fit the sentence.
    NavConfig largest = n;
    largest.snrMask = largest.dopMask = largest.dopSwitch = -std::numeric_limits<float>::max();
    largest.elevationMask = std::numeric_limits<float>::max();
    largest.operatingMode = largest.dynamics = largest.dgpsMode = 255;
    CByteArray bytes;
    ASSERT_TRUE(BuildNmeaReceiverConfig(bytes, 1, &largest, &f));
    EXPECT_TRUE(CheckNmeaSentence(bytes.GetData(), static_cast<int>(bytes.GetSize())));
}

TEST(BuildNmeaGpsTime, SendsTheWeekModulo1024AndMilliseconds)
{
    struct Case {
        uint32_t tow;
        uint16_t week;
        const char* fields;  // week and milliseconds
    };
    const Case cases[] = {
        {0, 1024, "0000,0"}, {604799, 2047, "1023,604799000"}, {1, 0xFFFF, "1023,1000"},
    };
    for (const Case& c : cases) {
        CByteArray bytes;
        ASSERT_TRUE(BuildNmeaGpsTime(bytes, 1, c.tow, c.week));
        EXPECT_EQ(Text(bytes).substr(0, 9 + strlen(c.fields)), std::string("$PZULSKG,") + c.fields);
    }
    for (uint32_t tow : {604800u, 2147484u, 4294967295u}) {
        CByteArray bytes = Stale();
        EXPECT_FALSE(BuildNmeaGpsTime(bytes, 1, tow, 1100)) << tow;
        EXPECT_EQ(bytes.GetSize(), 0);
    }
}

TEST(BuildNmeaInitialPosition, HemispheresDegreesMinutesAndAltitude)
{
    struct Case {
        double lat, lon, alt;
        const char* expected;
    };
    const double deg = 0.017453292519943295;
    const Case cases[] = {
        {-(47.0 + 30.0 / 60.0) * deg, (122.0 + 15.0 / 60.0) * deg, -17.5, "$PZULSKG,,,4730.00000,S,12215.00000,E,-0017"},
        {0.0, 0.0, 0.0, "$PZULSKG,,,0.00000,N,0.00000,E,00000"},
        {1e-9, -1e-9, 99999.9, "$PZULSKG,,,0.00000,N,0.00000,W,99999"},
        {0.5, -1.0, 1234567.0, "$PZULSKG,,,2838.87339,N,5717.74677,W,1234567"},
    };
    for (const Case& c : cases) {
        const double coordinates[3] = {c.lat, c.lon, c.alt};
        CByteArray bytes;
        ASSERT_TRUE(BuildNmeaInitialPosition(bytes, 0, coordinates));
        const std::string text = Text(bytes);
        EXPECT_EQ(text.substr(0, text.size() - 5), c.expected);
    }
}

TEST(BuildNmeaInitialPosition, RefusesOtherCoordinatesAndValuesItCannotWrite)
{
    const double refused[][3] = {
        {kNaN, 0, 0}, {0, kInf, 0}, {0, 0, kNaN}, {0, 0, 3e9}, {0, 0, -3e9}, {1e300, 0, 0},
    };
    for (const auto& c : refused) {
        CByteArray bytes = Stale();
        EXPECT_FALSE(BuildNmeaInitialPosition(bytes, 0, c)) << c[0] << " " << c[1] << " " << c[2];
        EXPECT_EQ(bytes.GetSize(), 0);
    }
    const double fine[3] = {0.1, 0.1, 0};
    for (int kind : {-1, 1, 2}) {
        CByteArray bytes = Stale();
        EXPECT_FALSE(BuildNmeaInitialPosition(bytes, kind, fine));
        EXPECT_EQ(bytes.GetSize(), 0);
    }
    CByteArray bytes = Stale();
    EXPECT_FALSE(BuildNmeaInitialPosition(bytes, 0, nullptr));
}

TEST(BuildNmeaPpsConfig, PolarityOffsetAndWidth)
{
    struct Case {
        uint8_t mode, polarity;
        double offset, width;
        const char* expected;
    };
    const Case cases[] = {
        {2, 1, -299.0, 2e6, "$PZULSPS,2,-2,0,2000000"},   // truncated toward zero
        {0, 0, 99.0, 0.0, "$PZULSPS,0,0,1,0"},
        {1, 7, 0.0, -1.0, "$PZULSPS,1,0,0,-1"},   // the record's "unknown" width
    };
    for (const Case& c : cases) {
        TimingConfig t{};
        t.ppsEnabled = c.mode;
        t.ppsPolarity = c.polarity;
        t.ppsOffset = c.offset;
        t.ppsWidth = c.width;
        CByteArray bytes;
        ASSERT_TRUE(BuildNmeaPpsConfig(bytes, 1, &t));
        const std::string text = Text(bytes);
        EXPECT_EQ(text.substr(0, text.size() - 5), c.expected);
    }
    for (double width : {kNaN, kInf, 3e9}) {
        TimingConfig t{};
        t.ppsWidth = width;
        CByteArray bytes = Stale();
        EXPECT_FALSE(BuildNmeaPpsConfig(bytes, 1, &t)) << width;
        EXPECT_EQ(bytes.GetSize(), 0);
    }
    TimingConfig far{};
    far.ppsOffset = 1e12;
    CByteArray bytes = Stale();
    EXPECT_FALSE(BuildNmeaPpsConfig(bytes, 1, &far));
    EXPECT_FALSE(BuildNmeaPpsConfig(bytes, 1, nullptr));
}

TEST(BuildNmeaShutdown, DurationIsA32BitSignedNumberAndTheModeALetter)
{
    ShutdownStandbyRecord r = {'W', 255, 0, 0xFFFFFFFFu};
    CByteArray bytes;
    ASSERT_TRUE(BuildNmeaShutdown(bytes, 1, &r));
    EXPECT_EQ(Text(bytes), "$PZULSRT,W,255,0,-1*0F\r\n");

    for (char mode : {'\0', ',', '*', '$', '\r', '1'}) {
        r.mode = mode;
        CByteArray b = Stale();
        EXPECT_FALSE(BuildNmeaShutdown(b, 1, &r)) << int(mode);
        EXPECT_EQ(b.GetSize(), 0);
    }
    CByteArray b = Stale();
    EXPECT_FALSE(BuildNmeaShutdown(b, 1, nullptr));
}

TEST(BuildNmeaSatelliteMasks, BitIMarksSatelliteIPlusOneExcluded)
{
    BYTE states[32];
    for (int i = 0; i < 32; ++i) states[i] = static_cast<BYTE>(i % 2 == 0 ? 0 : 1 + i);  // odd SVs excluded
    CByteArray bytes;
    ASSERT_TRUE(BuildNmeaSatelliteMasks(bytes, 1, states, 0xDEADBEEF));
    EXPECT_EQ(Text(bytes).substr(0, 26), "$PZULSSV,55555555,DEADBEEF");

    for (BYTE& s : states) s = 0;
    ASSERT_TRUE(BuildNmeaSatelliteMasks(bytes, 1, states, 1));
    EXPECT_EQ(Text(bytes).substr(0, 26), "$PZULSSV,FFFFFFFF,00000001");

    CByteArray b = Stale();
    EXPECT_FALSE(BuildNmeaSatelliteMasks(b, 1, nullptr, 0));
    EXPECT_EQ(b.GetSize(), 0);
}

TEST(BuildNmeaOutputConfig, SendsTheIntervalsLowByte)
{
    const NmeaOutputConfig c = {0x1305, 0x3F};
    CByteArray bytes;
    ASSERT_TRUE(BuildNmeaOutputConfig(bytes, 1, &c));
    EXPECT_EQ(Text(bytes).substr(0, 16), "$PZULSNM,003F,05");
    CByteArray b = Stale();
    EXPECT_FALSE(BuildNmeaOutputConfig(b, 1, nullptr));
    EXPECT_EQ(b.GetSize(), 0);
}

TEST(BuildNmeaReset, EveryTypeHasItsLetterAndOthersNone)
{
    const char letters[] = "CWHFYZM";
    for (int type = -1; type <= 9; ++type) {
        CByteArray bytes = Stale();
        const bool known = type >= 1 && type <= 7;
        EXPECT_EQ(BuildNmeaReset(bytes, type), known) << type;
        if (known) EXPECT_EQ(Text(bytes).substr(0, 10), std::string("$PZULSRT,") + letters[type - 1]);
        else EXPECT_EQ(bytes.GetSize(), 0);
    }
}
