// QTXT: the exact sentences the builders write and why typed text is refused,
// and what each report stores and raises in a real model, in order; short,
// garbled and hostile reports leave the model as it was and are never read
// past their end.
#include "protocol/QtxtSentence.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "DecoderTestSupport.h"
#include "QtxtCommandGoldens.h"

using namespace decodertest;

namespace {

const double kPi = 3.14159265358979323846;
const double kDegToRad = kPi / 180.0;
const double kMphToMps = 0.447047252894631;

class QtxtTest : public ModelTest<RecordingSink> {
protected:
    void Dispatch(const std::string& sentence)
    {
        const ExactFrame exact(sentence);
        DispatchQtxtSentence(exact.Data(), exact.Size(), &model);
    }
};

// ---- Builders ------------------------------------------------------------------

TEST(QtxtBuilders, WriteTheirGoldenSentencesOrNothing)
{
    for (const QtxtCommandGolden& g : QtxtCommandGoldens()) {
        SCOPED_TRACE(g.call);
        CByteArray sentence;
        sentence.Add('x');  // a refusal must not leave old bytes behind
        const bool built = g.build(sentence);
        EXPECT_EQ(built, !g.expected.empty());
        EXPECT_EQ(Text(sentence), g.expected);
    }
}

// Each built sentence, fed byte by byte to the recogniser, is one QTXT frame
// that passes the check, with exactly one checksum before its "<".
TEST(QtxtBuilders, EverySentenceIsOneGoodFrameWithOneChecksum)
{
    for (const QtxtCommandGolden& g : QtxtCommandGoldens()) {
        if (g.expected.empty()) continue;
        SCOPED_TRACE(g.call);
        CByteArray sentence;
        ASSERT_TRUE(g.build(sentence));
        const std::string text = Text(sentence);
        EXPECT_EQ(text.find(";*"), text.size() - 5);
        EXPECT_TRUE(CheckQtxtSentence(sentence.GetData(), static_cast<int>(sentence.GetSize())));

        const Bytes bytes = ToBytes(sentence);
        EXPECT_EQ(Recognise(bytes), std::vector<std::string>{"frame 5: " + frametest::ToHex(bytes)});
    }
}

TEST(QtxtBuilders, FinishDropsOneClosingMarkAndChecksumsTheWholeText)
{
    CByteArray s;
    FinishQtxtSentence(">QST", s);
    EXPECT_EQ(Text(s), ">QST;*79<");
    FinishQtxtSentence(">QST<", s);
    EXPECT_EQ(Text(s), ">QST;*79<");
    // XOR of ">QST;*" is 0x79: 3E ^ 51 ^ 53 ^ 54 ^ 3B ^ 2A.
    EXPECT_EQ(ComputeXorChecksum(reinterpret_cast<const BYTE*>(">QST;*"), 6), 0x79);
}

TEST(QtxtBuilders, TypedTextIsRefusedWithAReason)
{
    struct Case {
        const char* name;
        std::string text;
        bool builds;
        const char* reasonHolds;  // a word the reason must hold
    };
    const std::string longest(QTXT_TEXT_LIMIT, 'A');
    const std::vector<Case> cases = {
        {"empty", "", false, "empty"},
        {"blanks", "  \t\r\n", false, "empty"},
        {"194 characters", longest, true, ""},
        {"194 characters between blanks", "  " + longest + " ", true, ""},
        {"195 characters", longest + "A", false, "195"},
        {"control character", "QS\x01T", false, "0x01"},
        {"character above 0x7E", "QS\xB0T", false, "0xB0"},
        {"delete", "QST\x7F", false, "0x7F"},
        {"closing < typed", "QST<", true, ""},
        {"closing < alone", "<", false, "empty"},
        {"< inside", "QS<T", false, "<"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CByteArray s;
        CString error("stale");
        EXPECT_EQ(BuildQtxtFromText(s, c.text.c_str(), &error), c.builds);
        if (c.builds) {
            EXPECT_TRUE(error.IsEmpty());
            EXPECT_LE(s.GetSize(), 200);
            EXPECT_TRUE(CheckQtxtSentence(s.GetData(), static_cast<int>(s.GetSize())));
        } else {
            EXPECT_EQ(s.GetSize(), 0);
            EXPECT_NE(std::string(error.GetString()).find(c.reasonHolds), std::string::npos) << error.GetString();
        }
    }
    CByteArray s;
    EXPECT_FALSE(BuildQtxtFromText(s, nullptr));  // no error holder: still refused
}

// ---- Time, fix and status ------------------------------------------------------------

TEST_F(QtxtTest, TimeReportStoresTimeFixModeAndClearsTheDops)
{
    Dispatch(">RTM1234567890503202418107<");

    const GpsTimeInfo t = Time();
    EXPECT_EQ(t.hour, 12);
    EXPECT_EQ(t.minute, 34);
    EXPECT_EQ(t.second, 57);  // 56.789 s rounds up
    EXPECT_EQ(t.day, 5);
    EXPECT_EQ(t.month, 3);
    EXPECT_EQ(t.year, 2024);
    EXPECT_EQ(t.utcOffset, 18);
    EXPECT_EQ(t.source, TIME_SOURCE_UTC_CALENDAR);
    EXPECT_EQ(t.week, 2304);  // 5 March 2024 is in GPS week 2304 (Tuesday)
    FixModeRecord fix;
    model.GetFixModeAndDops(fix);
    EXPECT_EQ(fix.fixMode, 4);
    EXPECT_EQ(fix.svCount, 7);
    EXPECT_EQ(fix.manualMode, 0);
    DopRecord dops;
    model.GetFixSvList(dops);
    EXPECT_EQ(dops.hdop, -1.0);
    EXPECT_EQ(dops.vdop, -1.0);
    EXPECT_EQ(dops.tdop, -1.0);
    EXPECT_EQ(dops.pdop, -1.0);
    EXPECT_EQ(sink.Events(), (std::vector<RecordedEvent>{Posted(9), Posted(11), Posted(52)}));
    EXPECT_EQ(Label(4), "TM");
    EXPECT_EQ(Label(6), "TM");
    EXPECT_EQ(Label(8), "");
    EXPECT_TRUE(model.GetReportFlag(10));
}

TEST_F(QtxtTest, TimeReportNeverRoundsIntoTheNextMinute)
{
    // 59.600 s would round to 60: the second stays 59 rather than show a time
    // that does not exist; a leap second the receiver sends itself stays 60.
    const struct {
        const char* sentence;
        int second;
    } cases[] = {
        {">RTM1234595990503202418107<", 59},
        {">RTM1234594990503202418107<", 59},
        {">RTM1234600000503202418107<", 60},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sentence);
        Dispatch(c.sentence);
        EXPECT_EQ(Time().second, c.second);
        EXPECT_EQ(Time().minute, 34);
    }
}

TEST_F(QtxtTest, TimeReportFixDigitYearAndManualMode)
{
    model.SetHealthStatus(10);
    Dispatch(">RTM0000000000101199900003<");  // fix digit 0, year 1999
    FixModeRecord fix;
    model.GetFixModeAndDops(fix);
    EXPECT_EQ(fix.fixMode, 3);
    EXPECT_EQ(fix.manualMode, 1);
    EXPECT_EQ(Time().source, 0);

    Dispatch(">RTM0000000000101200100907<");  // any other digit: no fix
    model.GetFixModeAndDops(fix);
    EXPECT_EQ(fix.fixMode, 0);
}

TEST_F(QtxtTest, StatusReportMapsCodesAndRaisesTheAntennaEvent)
{
    Dispatch(">RST0C200000<");
    EXPECT_EQ(model.GetHealthStatus(), 11u);
    EXPECT_EQ(model.GetHealthErrorBits(), 1u);
    EXPECT_EQ(model.GetMachineId(), 1u);
    EXPECT_EQ(model.GetStatusCode(), 1u);
    EXPECT_EQ(sink.Events(), (std::vector<RecordedEvent>{Posted(12), Posted(29, 2), Posted(28, 1), Posted(14, 1),
                                                         Posted(30, 1)}));
    for (int slot : {5, 7, 9, 10, 11}) EXPECT_EQ(Label(slot), "ST") << slot;

    struct Case {
        const char* sentence;
        uint32_t health;
        int32_t antenna;
        uint32_t errors, machineId, statusCode;
    };
    const Case cases[] = {
        {">RST00000000<", 1, 0, 1, 1, 1},  {">RST01000000<", 2, 0, 1, 1, 1},
        {">RST03000000<", 4, 0, 1, 1, 1},  {">RST0b000000<", 8, 0, 1, 1, 1},
        {">RST10000000<", 9, 0, 1, 1, 1},  {">RSTBB000000<", 10, 0, 1, 1, 1},
        {">RST07000000<", 0, 0, 1, 1, 1},  {">RST00600000<", 1, 1, 1, 1, 1},
        {">RST000F0008<", 1, 0, 2, 2, 1},  {">RST0000000A<", 1, 0, 1, 2, 2},
        {">RST00000002<", 1, 0, 1, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sentence);
        sink.Clear();
        Dispatch(c.sentence);
        EXPECT_EQ(model.GetHealthStatus(), c.health);
        EXPECT_EQ(sink.Events().at(1), Posted(29, c.antenna));
        EXPECT_EQ(model.GetHealthErrorBits(), c.errors);
        EXPECT_EQ(model.GetMachineId(), c.machineId);
        EXPECT_EQ(model.GetStatusCode(), c.statusCode);
    }
}

// ---- Time of day -----------------------------------------------------------------------

TEST_F(QtxtTest, TimeOfDayTakesOffTheOffsetAndWrapsIntoThePreviousDay)
{
    GpsTimeInfo t;
    std::memset(&t, 0, sizeof t);
    t.utcOffset = 14;
    model.SetTimeInfo(t, true, 0);
    sink.Clear();

    ASSERT_TRUE(SetQtxtTimeOfDay(10, &model));
    t = Time();
    EXPECT_EQ(t.hour, 23);
    EXPECT_EQ(t.minute, 59);
    EXPECT_EQ(t.second, 56);
    EXPECT_EQ(t.timeOfWeek, static_cast<uint32_t>(-700000));
    EXPECT_EQ(t.week, 30000);
    EXPECT_EQ(t.day, 254);
    EXPECT_EQ(t.month, 254);
    EXPECT_EQ(t.year, 30000);
    EXPECT_EQ(t.source, TIME_SOURCE_UTC_CALENDAR);
    EXPECT_EQ(t.utcOffset, 14);
    EXPECT_EQ(sink.Events(), std::vector<RecordedEvent>{Posted(9)});

    ASSERT_TRUE(SetQtxtTimeOfDay(86399, &model));
    EXPECT_EQ(Time().hour, 23);
    EXPECT_EQ(Time().second, 45);
    ASSERT_TRUE(SetQtxtTimeOfDay(14, &model));
    EXPECT_EQ(Time().hour, 0);
    EXPECT_EQ(Time().second, 0);

    // Not a time of day: nothing is stored.
    sink.Clear();
    const Snapshot before(model);
    EXPECT_FALSE(SetQtxtTimeOfDay(86400, &model));
    EXPECT_FALSE(SetQtxtTimeOfDay(99999, &model));
    EXPECT_FALSE(SetQtxtTimeOfDay(-1, &model));
    EXPECT_TRUE(Snapshot(model) == before);
    EXPECT_TRUE(sink.Events().empty());
}

// ---- Position reports ---------------------------------------------------------------

// LN: time of day, milliseconds, latitude, longitude, altitude (ft x 100),
// speed, vertical speed, heading (tenths), the satellites (number and two
// more characters each), ten reserved characters, source and age.
std::string LongNav(const std::string& count, const std::vector<std::string>& svs, char source, char age)
{
    std::string s = ">RLN45296123+475000000-1222500000+00012345" "0123" "-0015" "0900" + count;
    for (const std::string& sv : svs) s += sv + "00";
    return s + "0000000000" + source + age + "<";
}

TEST_F(QtxtTest, LongNavStoresPositionVelocitySatellitesAndTimeOfDay)
{
    Dispatch(LongNav("03", {"05", "12", "35"}, '1', '2'));

    const NavState nav = Nav();
    EXPECT_EQ(nav.fixValid, 1);
    EXPECT_EQ(nav.timeOfFix, 45296.0);
    EXPECT_NEAR(nav.latitude, 47.5 * kDegToRad, 1e-12);
    EXPECT_NEAR(nav.longitude, -122.25 * kDegToRad, 1e-12);
    EXPECT_NEAR(nav.height, 123.45 * 0.3048, 1e-9);
    EXPECT_EQ(nav.fixFlags & NAV_FIX_2D, 0);
    EXPECT_NEAR(nav.velEast, 12.3 * kMphToMps, 1e-9);
    EXPECT_NEAR(nav.groundSpeedKnots, 12.3 * kMphToMps * 3600.0 / 1852.0, 1e-9);
    EXPECT_NEAR(nav.velNorth, kPi / 2, 1e-12);
    EXPECT_NEAR(nav.heading, kPi / 2, 1e-12);
    EXPECT_NEAR(nav.velUp, -1.5 * kMphToMps, 1e-9);

    SignalLevelTable levels;
    model.GetSignalLevels(levels);
    ASSERT_EQ(levels.count, 3);
    EXPECT_EQ(levels.entries[0].sv, 5);
    EXPECT_EQ(levels.entries[1].sv, 12);
    EXPECT_EQ(levels.entries[2].sv, 122);  // 35 is augmentation satellite 122
    EXPECT_EQ(levels.entries[2].signalLevel, -1.0f);

    const GpsTimeInfo t = Time();
    EXPECT_EQ(t.hour, 12);
    EXPECT_EQ(t.minute, 34);
    EXPECT_EQ(t.second, 56);
    EXPECT_EQ(sink.Events(), (std::vector<RecordedEvent>{Posted(3), Posted(5), Posted(16), Posted(9)}));
    for (int slot : {2, 3, 4, 16}) EXPECT_EQ(Label(slot), "LN") << slot;
    EXPECT_TRUE(model.GetReportFlag(6));
}

TEST_F(QtxtTest, LongNavSourceMarks2dAndStaleDataOnlySetsFlagAndTime)
{
    Dispatch(LongNav("00", {}, '0', '2'));
    EXPECT_NE(Nav().fixFlags & NAV_FIX_2D, 0);

    model.ClearData(1);
    sink.Clear();
    Dispatch(LongNav("01", {"07"}, '1', '1'));
    EXPECT_EQ(sink.Events(), std::vector<RecordedEvent>{Posted(9)});
    EXPECT_TRUE(model.GetReportFlag(6));
    EXPECT_EQ(Nav().fixValid, 0);

    // After a TM report, the time of day is left to TM.
    Dispatch(">RTM1234567890503202418107<");
    sink.Clear();
    Dispatch(LongNav("00", {}, '1', '1'));
    EXPECT_TRUE(sink.Events().empty());
    EXPECT_EQ(Time().year, 2024);
}

TEST_F(QtxtTest, LongNavCountIsClampedAndNeverReadPastTheSentence)
{
    // Count 99 in a 70-character sentence: the source and age the count
    // points at lie far past the end. The time of day is all there is.
    std::string hostile = ">RLN45296123+475000000-1222500000+000123450123-00150900" "99" "05001200";
    hostile += "2222<";
    hostile.resize(70, '2');
    Dispatch(hostile);
    EXPECT_EQ(sink.Events(), std::vector<RecordedEvent>{Posted(9)});
    EXPECT_EQ(Nav().fixValid, 0);

    // 13 satellites, all present: 12 are kept.
    std::vector<std::string> svs;
    for (int k = 1; k <= 13; ++k) svs.push_back(k < 10 ? "0" + std::to_string(k) : std::to_string(k));
    sink.Clear();
    Dispatch(LongNav("13", svs, '1', '2'));
    SignalLevelTable levels;
    model.GetSignalLevels(levels);
    EXPECT_EQ(levels.count, 12);
    EXPECT_EQ(levels.entries[11].sv, 12);
    EXPECT_EQ(sink.Events().size(), 4u);
}

TEST_F(QtxtTest, PositionVelocityReportAndTheAltitudeThatComesFromAl)
{
    const std::string pv = ">RPV45296+4750000-12225000010090" "12<";
    Dispatch(pv);
    NavState nav = Nav();
    EXPECT_NEAR(nav.latitude, 47.5 * kDegToRad, 1e-12);
    EXPECT_NEAR(nav.longitude, -122.25 * kDegToRad, 1e-12);
    EXPECT_EQ(nav.height, -700000.0);
    EXPECT_EQ(nav.velUp, -700000.0);
    EXPECT_NEAR(nav.velEast, 10 * kMphToMps, 1e-12);
    EXPECT_NEAR(nav.groundSpeedKnots, 10 * kMphToMps * 3600.0 / 1852.0, 1e-9);
    EXPECT_NEAR(nav.heading, kPi / 2, 1e-12);
    EXPECT_EQ(nav.timeOfFix, 45296.0);
    EXPECT_EQ(sink.Events(), (std::vector<RecordedEvent>{Posted(3), Posted(5), Posted(9)}));
    for (int slot : {2, 3, 4}) EXPECT_EQ(Label(slot), "PV") << slot;

    // With AL seen, the altitude and vertical speed are AL's: no new value.
    Dispatch(">RAL00000+00100+00512<");
    sink.Clear();
    Dispatch(pv);
    EXPECT_EQ(Nav().height, -800000.0);
    EXPECT_EQ(Nav().velUp, -800000.0);
}

TEST_F(QtxtTest, AltitudeReportMarksThePositionThatComesFromPvOrCp)
{
    Dispatch(">RAL00000+00100-00512<");
    NavState nav = Nav();
    EXPECT_EQ(nav.height, 100.0);
    EXPECT_NEAR(nav.velUp, -5 * kMphToMps, 1e-12);
    EXPECT_EQ(nav.latitude, -700000.0);
    EXPECT_EQ(nav.longitude, -700000.0);
    EXPECT_EQ(nav.groundSpeedKnots, -700000.0);
    EXPECT_EQ(nav.heading, -700000.0);
    EXPECT_EQ(nav.timeOfFix, -1.0);  // time of day 0: no fix time
    EXPECT_EQ(sink.Events(), (std::vector<RecordedEvent>{Posted(3), Posted(5), Posted(9)}));

    Dispatch(">RCP45296+475000-1222500" "12<");
    EXPECT_NEAR(Nav().latitude, 47.5 * kDegToRad, 1e-12);
    EXPECT_EQ(Nav().height, -800000.0);  // AL was seen
    Dispatch(">RAL00000+00100-00512<");
    EXPECT_EQ(Nav().latitude, -800000.0);
    EXPECT_EQ(Nav().velEast, -800000.0);
}

TEST_F(QtxtTest, ALesserReportAfterABetterOneOnlySetsItsFlag)
{
    struct Case {
        const char* name;
        const char* first;
        const char* second;
        int flag;
    };
    const std::string ln = LongNav("00", {}, '1', '2');
    const Case cases[] = {
        {"PV after LN", ln.c_str(), ">RPV45296+4750000-12225000010090" "12<", 9},
        {"CP after LN", ln.c_str(), ">RCP45296+475000-1222500" "12<", 7},
        {"CP after PV", ">RPV45296+4750000-12225000010090" "12<", ">RCP45296+475000-1222500" "12<", 7},
        {"AL after LN", ln.c_str(), ">RAL00000+00100+00512<", 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model.ClearData(1);
        Dispatch(c.first);
        sink.Clear();
        const Snapshot before(model);
        ASSERT_FALSE(model.GetReportFlag(c.flag));
        Dispatch(c.second);
        EXPECT_TRUE(model.GetReportFlag(c.flag));
        model.SetReportFlag(c.flag, false);
        EXPECT_TRUE(Snapshot(model) == before);
        EXPECT_TRUE(sink.Events().empty());
    }
}

// ---- Identification and configuration --------------------------------------------

TEST_F(QtxtTest, VersionReportNamesTheReceiverAndItsProduct)
{
    FirmwareVersionRecord core;
    std::memset(&core, 0, sizeof core);
    CopyRecordText(core.name, "old core");
    core.major = 3;
    model.IdentifyReceiver(core, 1);

    Dispatch(">RVR Velcore T2;VERSION 02.14 (11/30/06);*00<");  // the dispatcher does not check
    FirmwareVersionRecord fw;
    model.GetFirmwareVersion(fw, 0);
    EXPECT_STREQ(fw.name, "Velcore T2");
    EXPECT_EQ(fw.major, 2);
    EXPECT_EQ(fw.minor, 14);
    EXPECT_EQ(fw.build, -1);  // no third number: unknown, not shown as 255
    EXPECT_EQ(fw.month, 11);
    EXPECT_EQ(fw.day, 30);
    EXPECT_EQ(fw.year, 6);
    model.GetFirmwareVersion(fw, 1);
    EXPECT_STREQ(fw.name, "");
    EXPECT_EQ(fw.major, 0);
    ProductRecord product;
    model.GetProductInfo(product);
    EXPECT_STREQ(product.name, "Velcore T2");
    EXPECT_EQ(product.code, 2002);
    EXPECT_EQ(Label(13), "VR");
    EXPECT_EQ(Label(14), "VR");

    Dispatch(">RVR ZENTHOS;VERSION 01.05 (06/21/07)<");
    model.GetProductInfo(product);
    EXPECT_EQ(product.code, 1002);

    // A name without version or date is still a name; an empty one is not.
    Dispatch(">RVR Other<");
    model.GetFirmwareVersion(fw, 0);
    EXPECT_STREQ(fw.name, "Other");
    EXPECT_EQ(fw.major, 0);
    model.GetProductInfo(product);
    EXPECT_EQ(product.code, 1002);  // kept: nothing says otherwise
    sink.Clear();
    Dispatch(">RVR ;VERSION 01.05<");
    EXPECT_TRUE(sink.Events().empty());
}

TEST_F(QtxtTest, PortAndProtocolReplies)
{
    Dispatch(">RPT1920,8,1,N<");
    PortConfigRecord port;
    model.GetPortConfig(port);
    EXPECT_EQ(port.baud, 19200u);
    EXPECT_EQ(port.dataBits, 8);
    EXPECT_EQ(port.stopBits, 0);
    EXPECT_EQ(port.parity, 0);
    EXPECT_EQ(sink.Events(), std::vector<RecordedEvent>{Posted(39)});
    EXPECT_EQ(Label(22), "PT");

    struct Case {
        const char* sentence;
        uint32_t baud;
        uint8_t dataBits, stopBits, parity;
    };
    const Case cases[] = {
        {">RPT1152,7,2,E<", 115200, 7, 2, 2}, {">RPT3840,8,1,O<", 38400, 8, 0, 1},
        {">RPT5760,9,3,X<", 57600, 8, 0, 0},  {">RPT1234,8,1,N<", 9600, 8, 0, 0},
        {">RPT1200,8,1,N<", 1200, 8, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sentence);
        Dispatch(c.sentence);
        model.GetPortConfig(port);
        EXPECT_EQ(port.baud, c.baud);
        EXPECT_EQ(port.dataBits, c.dataBits);
        EXPECT_EQ(port.stopBits, c.stopBits);
        EXPECT_EQ(port.parity, c.parity);
    }

    Dispatch(">RPR;QTXT=Ta;QBIN=Fa;NMEA=Ia<");
    model.GetPortConfig(port);
    EXPECT_EQ(port.inputMask, 0x05);
    EXPECT_EQ(port.outputMask, 0x01);
    EXPECT_EQ(port.baud, 1200u);  // the rest of the record stays
    Dispatch(">RPR;QTXT=Oa;QBIN=Ta;NMEA=Fa<");
    model.GetPortConfig(port);
    EXPECT_EQ(port.inputMask, 0x02);
    EXPECT_EQ(port.outputMask, 0x03);
}

TEST_F(QtxtTest, ConfigurationRepliesFillTheQtxtRecord)
{
    Dispatch(">RIDCAR7<");
    Dispatch(">RRM;ID_FLAG=T;CS_FLAG=F;EC_FLAG=T;FR_FLAG=F;CR_FLAG=T<");
    Dispatch(">DPV0010012005000060<");
    Dispatch(">FLN00300240<");
    QtxtConfigRecord c;
    model.GetQtxtConfig(c);
    EXPECT_STREQ(c.vehicleId, "CAR7");
    EXPECT_EQ(c.flagId, 1u);
    EXPECT_EQ(c.flagCs, 0u);
    EXPECT_EQ(c.flagEc, 1u);
    EXPECT_EQ(c.flagFr, 0u);
    EXPECT_EQ(c.flagCr, 1u);
    EXPECT_EQ(c.interval, 30);     // F replaced D's
    EXPECT_EQ(c.epoch, 240);
    EXPECT_EQ(c.distance, 500);
    EXPECT_EQ(c.maxInterval, 60);
    EXPECT_EQ(sink.Events(), (std::vector<RecordedEvent>{Posted(49), Posted(50), Posted(74), Posted(73)}));
    EXPECT_EQ(Label(27), "ID");
    EXPECT_EQ(Label(28), "RM");
}

// ---- Short, garbled and hostile sentences -------------------------------------------

// Every report cut short anywhere before its last field stores nothing at all
// (the position reports: no position; they keep their flag and time of day).
TEST_F(QtxtTest, ReportsCutShortStoreNothing)
{
    struct Whole {
        std::string sentence;
        size_t needed;  // characters up to and including the last field
    };
    const std::vector<Whole> whole = {
        {">RTM1234567890503202418107<", 26},
        {">RST0C200000<", 12},
        {">RPT1920,8,1,N<", 14},
        {">RPR;QTXT=Ta;QBIN=Fa;NMEA=Ia<", 27},
        {">RIDCAR7<", 8},
        {">RRM;ID_FLAG=T;CS_FLAG=F;EC_FLAG=T;FR_FLAG=F;CR_FLAG=T<", 54},
        {">DPV0010012005000060<", 20},
        {">FLN00300240<", 12},
    };
    for (const Whole& w : whole) {
        for (size_t cut = 1; cut < w.needed; ++cut) {
            const std::string part = w.sentence.substr(0, cut);
            SCOPED_TRACE(part);
            model.ClearData(1);
            sink.Clear();
            const Snapshot before(model);
            Dispatch(part);
            Dispatch(part + "<");
            EXPECT_TRUE(Snapshot(model) == before);
            EXPECT_TRUE(sink.Events().empty());
        }
    }
    const std::vector<std::string> positions = {
        LongNav("02", {"05", "12"}, '1', '2'), ">RPV45296+4750000-12225000010090" "12<",
        ">RCP45296+475000-1222500" "12<", ">RAL00000+00100+00512<",
    };
    for (const std::string& s : positions) {
        for (size_t cut = 1; cut + 1 < s.size(); ++cut) {
            SCOPED_TRACE(s.substr(0, cut));
            model.ClearData(1);
            sink.Clear();
            Dispatch(s.substr(0, cut));
            for (const RecordedEvent& e : sink.Events()) EXPECT_EQ(e.event, 9);
        }
    }
}

TEST_F(QtxtTest, GarbledFieldsAndTheChecksumTailAreNoFields)
{
    const char* garbled[] = {
        ">RTM12345678905032024181X7<",  // a letter among the digits
        ">RTM 234567890503202418107<",
        ">RST0G200000<",
        ">RPT19 0,8,1,N<",
        ">RPT1920,8,1;*00<",  // the parity would be the checksum's "*"
        ">RST0C2000;*00<",
        ">DPV001001200500006<",
        ">RLN45296123 475000000-1222500000+000123450123-00150900000000000000012<",  // no sign
        ">RPV45296+4750000-122250000100901;*00<",  // the age would be the ";"
        ">R", ">", "", ">RVR", ">RVR <", ">Q<", ">RXX12345<", ">DP<",
    };
    for (const char* s : garbled) {
        SCOPED_TRACE(s);
        model.ClearData(1);
        sink.Clear();
        const Snapshot before(model);
        Dispatch(s);
        // A position report with a good time of day keeps its flag and time.
        bool onlyTime = true;
        for (const RecordedEvent& e : sink.Events()) onlyTime = onlyTime && e.event == 9;
        EXPECT_TRUE(onlyTime);
        if (sink.Events().empty()) {
            Snapshot after(model);
            after.flags = before.flags;
            EXPECT_TRUE(after == before);
        }
    }
    DispatchQtxtSentence(nullptr, 10, &model);
    const BYTE lone[] = {'>'};
    DispatchQtxtSentence(lone, 1, nullptr);
    DispatchQtxtSentence(lone, -5, &model);
}

}  // namespace
