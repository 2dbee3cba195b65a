// The NMEA decoders behind the dispatcher, into a real model: what each
// sentence stores and which events it raises in which order, the precedence
// between overlapping sentences, the maker's replies, and sentences that are
// short, garbled or cut, which store nothing and are never read past.
#include "protocol/NmeaDispatcher.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "DecoderTestSupport.h"

using namespace decodertest;

namespace {

const double kDeg = 0.017453292519943295;
const double kNotAvailable = -700000.0;
const double kPi = 3.14159265358979323846;

// "$" + body + "*hh" + CR LF, with the body's checksum.
std::string Nmea(const std::string& body)
{
    unsigned sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + body + tail;
}

class NmeaDecodersTest : public ModelTest<RecordingSink> {
protected:
    // Dispatches the sentence from a block of exactly its length; returns
    // the dialect it reported (-1: none).
    ProtocolKind Feed(const std::string& sentence)
    {
        const ExactFrame exact(sentence);
        ProtocolKind dialect = -1;
        DispatchNmeaSentence(exact.Data(), exact.Size(), &model, dialect);
        return dialect;
    }
    // Feeds, then forgets the events it raised.
    void Given(const std::string& sentence)
    {
        Feed(sentence);
        sink.Clear();
    }
    std::vector<RecordedEvent> Events() const { return sink.Events(); }
};

const char kZda[] = "$GPZDA,010203.00,09,11,2006,00,00*6B\r\n";
const char kGga[] = "$GPGGA,010203.00,4730.0000,N,12215.0000,W,2,08,1.25,100.0,M,-17.0,M,,*6C\r\n";
const char kGsa[] = "$GPGSA,A,3,05,12,17,24,,,,,,,,,2.50,1.25,2.00*07\r\n";
const char kGsv[] = "$GPGSV,3,3,09,40,45,090,38*47\r\n";
const char kVtg[] = "$GPVTG,90.0,T,,M,10.0,N,18.52,K,A*0B\r\n";
const char kRmcWarning[] = "$GPRMC,010203.00,V,,,,,,,091106,,,N*72\r\n";
const char kGll[] = "$GPGLL,4730.0000,N,12215.0000,W,010203.00,A,A*7E\r\n";
// A TF reply with a 3-D fix: status letters, seconds of week, 5 satellites.
const std::string kTf = Nmea("PZULRTF,A,A,349323.0,5,3,4730.0000,N,12215.0000,W,83.0,3.0,4.0,0.5");

// ---- Time --------------------------------------------------------------------------

TEST_F(NmeaDecodersTest, ZdaStoresUtcAndItsGpsTime)
{
    Feed(kZda);
    const GpsTimeInfo t = Time();
    EXPECT_EQ(t.year, 2006);
    EXPECT_EQ(t.month, 11);
    EXPECT_EQ(t.day, 9);
    EXPECT_EQ(t.hour, 1);
    EXPECT_EQ(t.minute, 2);
    EXPECT_EQ(t.second, 3);
    EXPECT_EQ(t.source, TIME_SOURCE_UTC_CALENDAR);
    EXPECT_EQ(t.week, 1400);
    EXPECT_EQ(t.timeOfWeek, 349323u);
    EXPECT_EQ(Label(4), "ZDA");
    EXPECT_TRUE(model.GetReportFlag(2));
    EXPECT_EQ(Events(), std::vector<RecordedEvent>{Posted(9, 0)});

    // The event's detail says whether the receiver was set to send ZDA.
    model.SetNmeaOutputConfig(NmeaOutputConfig{1, 0x20});
    sink.Clear();
    Feed(kZda);
    EXPECT_EQ(Events(), std::vector<RecordedEvent>{Posted(9, 1)});
    EXPECT_EQ(Time().timeOfWeek, 349323u);
}

TEST_F(NmeaDecodersTest, ZdaWithoutAYearIsNoUtcDate)
{
    Given(kZda);
    Feed(Nmea("GPZDA,235959.00,00,00,0000,,"));
    const GpsTimeInfo t = Time();
    EXPECT_EQ(t.source, 0);
    EXPECT_EQ(t.hour, 23);
    EXPECT_EQ(t.year, 0);
    EXPECT_EQ(t.timeOfWeek, 349323u);  // the last known week time stays
}

// ---- Position ------------------------------------------------------------------------

TEST_F(NmeaDecodersTest, GgaStoresTheFixWithTheDayOfTheKnownTime)
{
    Given(kZda);
    Feed(kGga);
    const NavState nav = Nav();
    EXPECT_EQ(nav.latitude, (47 + 30 / 60.0) * kDeg);
    EXPECT_EQ(nav.longitude, -(122 + 15 / 60.0) * kDeg);
    EXPECT_EQ(nav.height, 83.0);
    EXPECT_EQ(nav.svCount, 8);
    EXPECT_EQ(nav.timeOfFix, 349323.0);
    EXPECT_EQ(nav.week, 1400);
    EXPECT_EQ(nav.fixValid, 1);
    EXPECT_EQ(nav.geoidSeparation, -17.0);
    EXPECT_EQ(nav.ggaHdop, 1.25);
    EXPECT_NE(nav.fixFlags & NAV_FIX_DIFFERENTIAL, 0);
    EXPECT_EQ(model.GetDgpsMode(), 5);
    EXPECT_EQ(model.GetHealthStatus(), 1u);
    DopRecord dops;
    model.GetFixSvList(dops);
    EXPECT_EQ(dops.hdop, 1.25);
    EXPECT_EQ(Label(2), "GGA");
    EXPECT_EQ(Label(5), "GGA");
    EXPECT_EQ(Label(4), "ZDA");  // ZDA's time is not overwritten
    EXPECT_TRUE(model.GetReportFlag(4));
    EXPECT_EQ(Events(), (std::vector<RecordedEvent>{Posted(12), Posted(27, 5), Posted(3), Posted(52)}));
}

TEST_F(NmeaDecodersTest, GgaAloneGivesATimeOfDayWithoutDate)
{
    Feed(kGga);
    const GpsTimeInfo t = Time();
    EXPECT_EQ(t.hour, 1);
    EXPECT_EQ(t.second, 3);
    EXPECT_EQ(t.week, 30000);
    EXPECT_EQ(t.year, 30000);
    EXPECT_EQ(t.day, 254);
    EXPECT_EQ(t.month, 254);
    EXPECT_EQ(static_cast<int32_t>(t.timeOfWeek), -700000);
    EXPECT_EQ(Label(4), "GGA");
    EXPECT_EQ(Nav().timeOfFix, 3723.0);
    EXPECT_EQ(Events(), (std::vector<RecordedEvent>{Posted(9), Posted(12), Posted(27, 5), Posted(3), Posted(52)}));

    // No fix (quality 0): only the flag.
    const Snapshot before(model);
    sink.Clear();
    Feed(Nmea("GPGGA,010204.00,,,,,0,00,,,M,,M,,"));
    EXPECT_TRUE(Snapshot(model).SameRecords(before));
    EXPECT_TRUE(Events().empty());
}

TEST_F(NmeaDecodersTest, TalkerGnDecodesAsGpOthersNotAtAll)
{
    Given(kZda);
    std::string gn = kGga;
    gn[2] = 'N';  // the checksum only guards the reader, not the dispatcher
    Feed(gn);
    EXPECT_EQ(Nav().latitude, (47 + 30 / 60.0) * kDeg);
    EXPECT_EQ(Events().size(), 4u);

    model.ClearData(1);
    sink.Clear();
    std::string gl = kGga;
    gl[2] = 'L';
    const Snapshot before(model);
    Feed(gl);
    EXPECT_EQ(Snapshot(model), before);
    EXPECT_TRUE(Events().empty());
}

TEST_F(NmeaDecodersTest, RmcWarningSetsItsFlagOnlyAndSilencesGll)
{
    const Snapshot before(model);
    Feed(kRmcWarning);
    const Snapshot after(model);
    EXPECT_TRUE(after.SameRecords(before));
    EXPECT_TRUE(model.GetReportFlag(3));
    EXPECT_TRUE(Events().empty());

    // RMC has been seen: GLL sets neither time nor position.
    Feed(kGll);
    EXPECT_EQ(Snapshot(model), after);
    EXPECT_TRUE(Events().empty());
}

TEST_F(NmeaDecodersTest, GllAloneCountsItsFixTimeFromTheWeekLikeGga)
{
    Given(kZda);
    Feed(kGll);
    const NavState nav = Nav();
    EXPECT_EQ(nav.timeOfFix, 349323.0);
    EXPECT_EQ(nav.latitude, (47 + 30 / 60.0) * kDeg);
    EXPECT_EQ(nav.height, kNotAvailable);
    EXPECT_EQ(Label(2), "GLL");
    EXPECT_EQ(Label(4), "ZDA");
    EXPECT_EQ(Events(), (std::vector<RecordedEvent>{Posted(12), Posted(3)}));
}

TEST_F(NmeaDecodersTest, RmcStoresTimePositionAndVelocity)
{
    Feed(Nmea("GPRMC,010203.00,A,4730.0000,N,12215.0000,W,10.0,90.0,091106,,,A"));
    const GpsTimeInfo t = Time();
    EXPECT_EQ(t.year, 2006);
    EXPECT_EQ(t.week, 1400);
    EXPECT_EQ(t.timeOfWeek, 349323u);
    const NavState nav = Nav();
    EXPECT_EQ(nav.timeOfFix, 349323.0);
    EXPECT_EQ(nav.longitude, -(122 + 15 / 60.0) * kDeg);
    EXPECT_EQ(nav.height, kNotAvailable);
    EXPECT_DOUBLE_EQ(nav.velEast, 10.0 * 0.5144444444444445);
    EXPECT_DOUBLE_EQ(nav.velNorth, 90.0 * kDeg);
    EXPECT_EQ(nav.velUp, kNotAvailable);
    EXPECT_EQ(nav.groundSpeedKnots, 10.0);
    EXPECT_DOUBLE_EQ(nav.heading, 90.0 * kDeg);
    EXPECT_EQ(Label(2), "RMC");
    EXPECT_EQ(Label(3), "RMC");
    EXPECT_EQ(Events(), (std::vector<RecordedEvent>{Posted(9), Posted(12), Posted(3), Posted(5)}));
}

TEST_F(NmeaDecodersTest, RmcTwoDigitYearsPivotAt80)
{
    const struct {
        const char* date;
        int day;
        int year;
    } cases[] = {{"010179", 1, 2079}, {"010180", 1, 1980}, {"311299", 31, 1999}, {"010100", 1, 2000}};
    for (const auto& c : cases) {
        Feed(Nmea(std::string("GPRMC,120000.00,A,4730.0000,N,12215.0000,W,,,") + c.date + ",,,A"));
        EXPECT_EQ(Time().year, c.year) << c.date;
        EXPECT_EQ(Time().day, c.day) << c.date;
    }
}

// ---- Fix mode, satellites, velocity ---------------------------------------------------

TEST_F(NmeaDecodersTest, GsaStoresFixModeSatellitesDopsAndHealth)
{
    Feed(kGsa);
    FixModeRecord fix;
    model.GetFixModeAndDops(fix);
    EXPECT_EQ(fix.fixMode, 4);
    EXPECT_EQ(fix.manualMode, 0);
    ASSERT_EQ(fix.svCount, 4);
    EXPECT_EQ(std::vector<int>(fix.svs, fix.svs + 4), (std::vector<int>{5, 12, 17, 24}));
    DopRecord dops;
    model.GetFixSvList(dops);
    EXPECT_EQ(dops.hdop, 1.25);
    EXPECT_EQ(dops.vdop, 2.00);
    EXPECT_EQ(dops.tdop, -1.0);
    EXPECT_EQ(dops.pdop, 2.50);
    EXPECT_EQ(model.GetHealthStatus(), 1u);
    const NavState nav = Nav();
    EXPECT_EQ(nav.svCount, 4);
    EXPECT_EQ(nav.fixFlags & NAV_FIX_2D, 0);
    EXPECT_EQ(Label(6), "GSA");
    EXPECT_EQ(Label(8), "GSA");
    EXPECT_EQ(Label(5), "GSA");
    EXPECT_EQ(Events(), (std::vector<RecordedEvent>{Posted(11), Posted(52), Posted(12)}));
}

TEST_F(NmeaDecodersTest, GsaHealthWithoutAFix)
{
    const struct {
        const char* body;
        bool timeKnown;
        uint32_t health;
        uint8_t fixMode;
    } cases[] = {
        {"GPGSA,A,2,05,12,17,,,,,,,,,,3.0,2.0,", false, 1, 3},
        {"GPGSA,M,1,05,,,,,,,,,,,,,,", false, 10, 0},
        {"GPGSA,A,1,05,,,,,,,,,,,,,,", false, 6, 0},
        {"GPGSA,A,1,05,12,,,,,,,,,,,,,", false, 7, 0},
        {"GPGSA,A,1,05,12,17,,,,,,,,,,,,", false, 8, 0},
        {"GPGSA,A,1,,,,,,,,,,,,,,,", false, 2, 0},
        {"GPGSA,A,1,,,,,,,,,,,,,,,", true, 3, 0},
    };
    for (const auto& c : cases) {
        model.ClearData(1);
        if (c.timeKnown) Feed(kZda);
        Feed(Nmea(c.body));
        EXPECT_EQ(model.GetHealthStatus(), c.health) << c.body;
        FixModeRecord fix;
        model.GetFixModeAndDops(fix);
        EXPECT_EQ(fix.fixMode, c.fixMode) << c.body;
    }
}

TEST_F(NmeaDecodersTest, GsvFillsItsMessagesEntriesAndIgnoresAFourthMessage)
{
    Feed(kGsv);
    TrackingTable table;
    model.GetTrackingTable(table);
    EXPECT_EQ(table.head, 9u);
    const TrackingEntry& e = table.entries[8];
    EXPECT_EQ(e.sv, 127);  // 40 + 87
    EXPECT_EQ(e.elevation, static_cast<float>(45 * kDeg));
    EXPECT_EQ(e.azimuth, static_cast<float>(90 * kDeg));
    EXPECT_EQ(e.signalLevel, 38.0f);
    EXPECT_EQ(e.status2, 0xFE);
    EXPECT_EQ(table.entries[9].sv, 0);
    EXPECT_EQ(Label(16), "GSV");
    // No GSA yet: the fix's satellite list is cleared and announced.
    EXPECT_EQ(Events(), (std::vector<RecordedEvent>{Posted(15, 8), Posted(11)}));

    const Snapshot before(model);
    sink.Clear();
    Feed("$GPGSV,4,4,13,05,10,020,30*4E\r\n");
    EXPECT_EQ(Snapshot(model), before);
    EXPECT_TRUE(Events().empty());

    // After a GSA the satellite list is GSA's.
    Given(kGsa);
    Feed(Nmea("GPGSV,3,1,09,05,10,020,30,12,,,,33,80,300,45"));
    EXPECT_EQ(Events(), (std::vector<RecordedEvent>{Posted(15, 0), Posted(15, 1), Posted(15, 2)}));
    model.GetTrackingTable(table);
    EXPECT_EQ(table.entries[1].sv, 12);
    EXPECT_EQ(table.entries[1].elevation, -1.0f);  // shown as "not known"
    EXPECT_EQ(table.entries[1].signalLevel, 0.0f);
    EXPECT_EQ(table.entries[2].sv, 120);
    FixModeRecord fix;
    model.GetFixModeAndDops(fix);
    EXPECT_EQ(fix.svCount, 4);
}

TEST_F(NmeaDecodersTest, VtgGivesSpeedAndHeadingOfAValidFix)
{
    // Without a fix the course belongs to nothing.
    Feed(kVtg);
    EXPECT_TRUE(Events().empty());
    EXPECT_TRUE(model.GetReportFlag(5));

    Given(kGga);
    Feed(kVtg);
    const NavState nav = Nav();
    EXPECT_NEAR(nav.velEast, 5.1444, 1e-4);
    EXPECT_DOUBLE_EQ(nav.velEast, 18.52 * 0.2777777777777778);
    EXPECT_DOUBLE_EQ(nav.velNorth, kPi / 2);
    EXPECT_EQ(nav.velUp, kNotAvailable);
    EXPECT_EQ(nav.groundSpeedKnots, 10.0);
    EXPECT_DOUBLE_EQ(nav.heading, kPi / 2);
    EXPECT_EQ(Label(3), "VTG");
    EXPECT_EQ(Events(), std::vector<RecordedEvent>{Posted(5)});

    // Mode "N": not valid.
    sink.Clear();
    Feed(Nmea("GPVTG,180.0,T,,M,5.0,N,9.26,K,N"));
    EXPECT_TRUE(Events().empty());
}

// ---- The maker's replies ---------------------------------------------------------------

TEST_F(NmeaDecodersTest, TfReplyTakesPrecedenceAndItsEchoIsNotDecoded)
{
    const Snapshot empty(model);
    Feed("$PZULQTF*50\r\n");
    EXPECT_EQ(Snapshot(model), empty);
    EXPECT_TRUE(Events().empty());

    Feed(kTf);
    EXPECT_EQ(Events(), (std::vector<RecordedEvent>{Posted(14, 1), Posted(28, 1), Posted(12), Posted(11),
                                                    Posted(3), Posted(5), Posted(9)}));
    NavState nav = Nav();
    EXPECT_EQ(nav.timeOfFix, 349323.0);
    EXPECT_EQ(nav.height, 83.0);
    EXPECT_DOUBLE_EQ(nav.velEast, 5.0);  // speed of (3, 4)
    EXPECT_DOUBLE_EQ(nav.velNorth, std::atan2(3.0, 4.0));
    EXPECT_EQ(nav.velUp, 0.5);
    EXPECT_EQ(Label(2), "TF");
    FixModeRecord fix;
    model.GetFixModeAndDops(fix);
    EXPECT_EQ(fix.svCount, 5);
    EXPECT_EQ(Time().hour, 1);

    // A GGA now only says whether the fix is differential.
    const Snapshot before(model);
    sink.Clear();
    Feed(kGga);
    EXPECT_EQ(Events(), std::vector<RecordedEvent>{Posted(27, 5)});
    Snapshot after(model);
    after.r.dgps = before.r.dgps;
    EXPECT_EQ(after, before);
}

TEST_F(NmeaDecodersTest, VersionRepliesFillTheirFirmwareRecords)
{
    Feed("$PZULRVR,S,NAVFW,07.74.03,03,15,07*59\r\n");
    FirmwareVersionRecord fw;
    model.GetFirmwareVersion(fw, 0);
    EXPECT_EQ(fw.major, 7);
    EXPECT_EQ(fw.minor, 74);
    EXPECT_EQ(fw.build, 3);
    EXPECT_EQ(fw.month, 3);
    EXPECT_EQ(fw.day, 15);
    EXPECT_EQ(fw.year, 7);
    ProductRecord product;
    model.GetProductInfo(product);
    EXPECT_STRNE(product.name, "");
    EXPECT_EQ(Label(13), "VR");

    Feed("$PZULRVR,N,CORE,01.02.03,01,02,03*10\r\n");
    model.GetFirmwareVersion(fw, 1);
    EXPECT_STREQ(fw.name, "CORE");
    EXPECT_EQ(fw.major, 1);
    EXPECT_EQ(fw.build, 3);
    EXPECT_EQ(fw.year, 3);
}

// A known product code keeps the firmware's own name; the empty product name
// is filled from it.
TEST_F(NmeaDecodersTest, SignalProcessorVersionFillsAnEmptyProductName)
{
    Feed(Nmea("PZULRVR,H,1234,,5678,03,15,10,2007"));
    ProductRecord product;
    model.GetProductInfo(product);
    EXPECT_EQ(product.code, 1234);
    EXPECT_EQ(product.serialNumber, 5678u);
    EXPECT_EQ(product.buildYear, 2007);
    sink.Clear();
    Feed("$PZULRVR,S,NAVFW,07.74.03,03,15,07*59\r\n");
    FirmwareVersionRecord fw;
    model.GetFirmwareVersion(fw, 0);
    EXPECT_STREQ(fw.name, "NAVFW");
    model.GetProductInfo(product);
    EXPECT_STREQ(product.name, "NAVFW");
    EXPECT_EQ(product.code, 1234);
    EXPECT_EQ(Label(14), "VR");
    EXPECT_EQ(Events(), (std::vector<RecordedEvent>{Posted(2), Posted(20), Posted(54)}));
}

TEST_F(NmeaDecodersTest, ConfigurationReplies)
{
    Feed("$PZULRPT,300,8,N,1,2,4*37\r\n");
    PortConfigRecord port;
    model.GetPortConfig(port);
    EXPECT_EQ(port.baud, 9600u);
    EXPECT_EQ(port.dataBits, 8);
    EXPECT_EQ(port.parity, 0);
    EXPECT_EQ(port.stopBits, 0);
    EXPECT_EQ(port.inputMask, 2);
    EXPECT_EQ(port.outputMask, 4);
    EXPECT_EQ(Label(22), "PT");
    Feed(Nmea("PZULRPT,19200,7,E,2,1,1F"));
    model.GetPortConfig(port);
    EXPECT_EQ(port.baud, 19200u);
    EXPECT_EQ(port.dataBits, 7);
    EXPECT_EQ(port.parity, 2);
    EXPECT_EQ(port.stopBits, 2);
    EXPECT_EQ(port.outputMask, 0x1F);

    sink.Clear();
    Feed("$PZULRPS,2,1,0,1000*70\r\n");
    EXPECT_EQ(Events(), (std::vector<RecordedEvent>{Posted(41), Posted(18)}));
    TimingConfig timing;
    model.GetTimingConfig(timing);
    EXPECT_EQ(timing.ppsEnabled, 2);
    EXPECT_EQ(timing.ppsOffset, 100.0);
    EXPECT_EQ(timing.ppsPolarity, 1);
    EXPECT_DOUBLE_EQ(timing.ppsWidth, 1000.0);  // 1e-6 s, kept in nanoseconds
    IoOptions io;
    model.GetIoOptions(io);
    EXPECT_EQ((io.timing >> 5) & 3, 1);
    EXPECT_EQ(Label(18), "PS");

    Feed("$PZULRSV,7FFFFFFE,00000010*37\r\n");
    SvFlags flags;
    model.GetSvFlags(flags);
    for (int i = 0; i < MODEL_SV_COUNT; ++i) EXPECT_EQ(flags.flags[i], i == 0 || i == 31 ? 1 : 0) << i;
    uint32_t mask = 0;
    model.GetSvMaskWord(mask);
    EXPECT_EQ(mask, 0x10u);

    Feed(Nmea("PZULRNM,0121,01"));
    NmeaOutputConfig output;
    model.GetNmeaOutputConfig(output);
    EXPECT_EQ(output.mask, 0x121u);
    EXPECT_EQ(output.interval, 1u);

    Feed(Nmea("PZULRCR,1.50,10.00,12.00,6.00,0.0000000,0,4,2,1"));
    NavConfig nav;
    model.GetNavConfig(nav);
    EXPECT_EQ(nav.snrMask, 1.5f);
    EXPECT_EQ(nav.elevationMask, static_cast<float>(10 * kDeg));
    EXPECT_EQ(nav.dynamics, 4);
    EXPECT_EQ(nav.dgpsMode, 1);
    FilterConfig filter;
    model.GetFilterConfig(filter);
    EXPECT_EQ(filter.pv, 1);
    EXPECT_EQ(filter.staticFilter, 1);
    EXPECT_EQ(filter.kalman, 0);

    Feed(Nmea("PZULRDM,-5,1.0,2.0,3.0,6378137.0,0.00669438"));
    DatumRecord datum;
    model.GetDatum(datum);
    EXPECT_EQ(datum.index, 0);
    EXPECT_EQ(datum.aAxis, 6378137.0);
}

TEST_F(NmeaDecodersTest, TimeSetAnswerRaisesItsEvents)
{
    Feed(Nmea("PZULRKG,A"));
    EXPECT_EQ(Events(), (std::vector<RecordedEvent>{Posted(55, 1), Posted(64, 'Y')}));
    sink.Clear();
    Feed(Nmea("PZULRKG,V"));
    EXPECT_EQ(Events(), (std::vector<RecordedEvent>{Posted(55, 0), Posted(64, 'N')}));
    // The time-set command itself, echoed back, answers nothing.
    sink.Clear();
    Feed("$PZULSKG,0076,345600000,0000.00000,N,00000.00000,E,00000*5E\r\n");
    EXPECT_TRUE(Events().empty());
}

TEST_F(NmeaDecodersTest, SystemDataReplies)
{
    Feed(Nmea("PZULRIO,FF,01,00,00,80,00,00,7F"));
    IonoParams iono;
    model.GetIonoParams(iono);
    EXPECT_EQ(iono.alpha[0], static_cast<float>(-std::ldexp(1.0, -30)));
    EXPECT_EQ(iono.alpha[1], static_cast<float>(std::ldexp(1.0, -27)));
    EXPECT_EQ(iono.beta[0], static_cast<float>(-128.0 * 2048.0));
    EXPECT_EQ(iono.beta[3], static_cast<float>(127.0 * 65536.0));
    EXPECT_EQ(Label(32), "IO");

    sink.Clear();
    Feed(Nmea("PZULREP,1,17,345600.0,1100,1,0,F,0,4D,FF,90,0,FFFF,FFFFFF"));
    EphemerisRecord eph;
    model.GetEphemeris(eph);
    EXPECT_EQ(eph.sv, 17);
    EXPECT_EQ(eph.accuracyIndex, 15);
    EXPECT_EQ(eph.accuracy, 10000.0f);
    EXPECT_EQ(eph.iodc, 0x4D);
    EXPECT_EQ(eph.tGd, static_cast<float>(-std::ldexp(1.0, -31)));
    EXPECT_EQ(eph.tOc, 0x90 * 16.0f);
    EXPECT_EQ(eph.af0, static_cast<float>(-std::ldexp(1.0, -31)));
    // The first two replies store silently; the third announces the whole.
    Feed(Nmea("PZULREP,2,17,4D,0,0,0,0,0,0,0,A10D2B00,0"));
    Feed(Nmea("PZULREP,3,17,0,0,0,0,0,0,0,0"));
    EXPECT_EQ(Events(), std::vector<RecordedEvent>{Posted(26)});
    model.GetEphemeris(eph);
    EXPECT_EQ(eph.sqrtA, 0xA10D2B00 * std::ldexp(1.0, -19));
    EXPECT_EQ(eph.accuracy, 10000.0f);
    // Index 2 is 4 m.
    Feed(Nmea("PZULREP,1,17,345600.0,1100,1,0,2,0,4D,FF,90,0,FFFF,FFFFFF"));
    model.GetEphemeris(eph);
    EXPECT_EQ(eph.accuracy, 4.0f);

    Feed(Nmea("PZULRUT,FFFFFFFF,00000001,12,90,C5,C6,07,12"));
    UtcParams utc;
    model.GetUtcParams(utc);
    EXPECT_EQ(utc.a0, -std::ldexp(1.0, -30));
    EXPECT_EQ(utc.deltaTLs, 18);
    EXPECT_EQ(utc.tOt, 0x90 * 4096.0f);
    EXPECT_EQ(utc.wnLsf, 0xC6);
    EXPECT_EQ(utc.valid, 1);

    sink.Clear();
    Feed(Nmea("PZULRAH,1,44,3F000000,00000000,00000000,0000003F,90"));
    EXPECT_TRUE(Events().empty());  // half a page
    Feed(Nmea("PZULRAH,2,44,00000000,00000000,00000000,3F000000,90"));
    EXPECT_EQ(Events(), std::vector<RecordedEvent>{Posted(22)});
    AlmanacHealthPage page;
    model.GetAlmanacHealthPage(page);
    EXPECT_EQ(page.health[0], 0x3F);
    EXPECT_EQ(page.health[15], 0x3F);
    EXPECT_EQ(page.health[28], 0x3F);
    EXPECT_EQ(page.health[1], 0);
    EXPECT_EQ(page.wnOa, 0x44);
    EXPECT_EQ(page.tOa, 0x90);

    Feed(Nmea("PZULRAL,05,1100,00,1000,90,0000,FD00,A10D2B,800000,000000,000000,7FF,001"));
    AlmanacRecord almanac;
    model.GetAlmanac(almanac);
    EXPECT_EQ(almanac.sv, 5);
    EXPECT_EQ(almanac.wnOa, 1100);
    EXPECT_EQ(almanac.e, static_cast<float>(0x1000 * std::ldexp(1.0, -21)));
    EXPECT_EQ(almanac.tOa, 0x90 * 4096.0f);
    EXPECT_EQ(almanac.i0, static_cast<float>(0.3 * kPi));
    EXPECT_EQ(almanac.omega, static_cast<float>(-kPi));
    EXPECT_EQ(almanac.af0, static_cast<float>(2047 * std::ldexp(1.0, -20)));
    Feed(Nmea("PZULRAL,V"));
    model.GetAlmanac(almanac);
    EXPECT_EQ(almanac.sv, 0);
    EXPECT_EQ(Label(29), "AL");
}

// ---- Short, garbled and cut sentences ----------------------------------------------------

// A reply missing a field, or with a field that is no number, stores nothing
// and raises nothing.
TEST_F(NmeaDecodersTest, ShortOrGarbledSentencesLeaveTheModelAsItWas)
{
    const char* const bodies[] = {
        "GPZDA,010203.00,09,11,,00,00", "GPZDA,0102,09,11,2006,00,00", "GPZDA,250203.00,09,11,2006",
        "GPGGA,010203.00,47x0.0000,N,12215.0000,W,2,08,,,M,,M,,",
        "GPGGA,010203.00,4730.0000,Q,12215.0000,W,2,08,,,M,,M,,",
        "GPGGA,010203.00,9130.0000,N,12215.0000,W,2,08,,,M,,M,,",
        "GPGSV,0,1,09,05,10,020,30", "GPGSV,3,x,09,05,10,020,30", "GPGSV,3,1",
        "GPVTG,,T,,M,10.0,N,18.52,K,A",
        "PZULRVR,S,NAVFW,7.74.3,03,15,07", "PZULRVR,S,,07.74.03", "PZULRVR,A", "PZULRVR",
        "PZULRPT,9600,8,N", "PZULRPT,A,8,N,1,2,4", "PZULRPS,2,1,0", "PZULRNM,0121",
        "PZULRCR,1.5,10,12,6,0,0,4", "PZULRDM,0,1,2,3,4", "PZULRSV,7FFFFFFE", "PZULRSV,V,00000010",
        "PZULRKG", "PZULRKG,AB", "PZULRIO,FF,01,00", "PZULRUT,1,2,3", "PZULREP,4,17", "PZULREP,2,17,4D",
        "PZULRAH,1,44,3F00000,00000000,00000000,0000003F,90", "PZULRAL,05,1100,00,1000",
        "PZULRTF,A,", "PZULRTF,X,A,1,5,3,4730.0000,N,12215.0000,W",
    };
    Given(kZda);
    Given(kGsa);
    for (const char* body : bodies) {
        const Snapshot before(model);
        sink.Clear();
        Feed(Nmea(body));
        const Snapshot after(model);
        EXPECT_TRUE(after.SameRecords(before)) << body;
        EXPECT_TRUE(Events().empty()) << body;
    }
}

// Every prefix of every sentence above, and of each with its checksum and
// line end cut, in a buffer of exactly its length: no read past the end
// (the address sanitizer watches) and nothing is stored from a cut field
// beyond what the field held.
TEST_F(NmeaDecodersTest, CutSentencesAreNeverReadPast)
{
    const std::vector<std::string> sentences = {
        kZda, kGga, kGsa, kGsv, kVtg, kRmcWarning, kGll, kTf,
        Nmea("GPRMC,010203.00,A,4730.0000,N,12215.0000,W,10.0,90.0,091106,,,A"),
        "$PZULRVR,S,NAVFW,07.74.03,03,15,07*59\r\n", "$PZULRPT,300,8,N,1,2,4*37\r\n",
        "$PZULRPS,2,1,0,1000*70\r\n", "$PZULRSV,7FFFFFFE,00000010*37\r\n",
        Nmea("PZULRCR,1.50,10.00,12.00,6.00,0.0000000,0,4,2,1"), Nmea("PZULRKG,A"),
        Nmea("PZULREP,1,17,345600.0,1100,1,0,F,0,4D,FF,90,0,FFFF,FFFFFF"),
        Nmea("PZULRAL,05,1100,00,1000,90,0000,FD00,A10D2B,800000,000000,000000,7FF,001"),
        Nmea("PZULRAH,2,44,00000000,00000000,00000000,3F000000,90"),
        Nmea("PZULRUT,FFFFFFFF,00000001,12,90,C5,C6,07,12"), Nmea("PZULRIO,FF,01,00,00,80,00,00,7F"),
        "$PSRFTXT,Version: 4.0.4-P1*5F\r\n", "$PNMRX600,NMRX,1.05,ROM*00\r\n",
        "$PTTK,NAVMAN SW VERSION 2.10.1*50\r\n", "$PQNQQ,VERS,GPS,2.10,X,Jun 07 2005,x,y,12345*3D\r\n",
        "$PSTMVER,GPSLIB_07.01.15*29\r\n", "$GPTXT,01,01,02,ANTARIS HW 00040001*05\r\n",
        "$PUNV,CFG_R,9,1*76\r\n",
    };
    for (const std::string& s : sentences) {
        for (size_t n = 0; n <= s.size(); ++n) {
            Feed(s.substr(0, n));
            model.ClearData(1);
        }
    }
    // A cut position keeps what it had: the last digit of "12215.0000" is not
    // read from beyond the cut.
    Given(kZda);
    Feed("$GPGGA,010203.00,4730.0000,N,12215.0000,W,1");
    EXPECT_EQ(Nav().longitude, -(122 + 15 / 60.0) * kDeg);
}

}  // namespace
