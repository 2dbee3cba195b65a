// Recordings made without a line, and the truth of their fixes: the QBIN
// receiver's periods with 0x82 last, recordings of a given size with their
// faults, and the fixes read back from the frames that left whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "Generate.h"
#include "NmeaReceiver.h"
#include "QbinReceiver.h"
#include "TestSupport.h"
#include "Truth.h"

namespace rxsim {
namespace {

using test::Hex;
using test::Scenario;
using test::Spaced;

const double kDegreesPerRadian = 57.29577951308232;

class MemorySink : public RecordingSink {
public:
    bool Write(const uint8_t* data, size_t n) override
    {
        if (bytes.size() + n > failAfter) return false;
        bytes.insert(bytes.end(), data, data + n);
        return true;
    }
    bool Fix(const FixTruth& fix) override
    {
        fixes.push_back(fix);
        return true;
    }
    Bytes bytes;
    std::vector<FixTruth> fixes;
    size_t failAfter = SIZE_MAX;
};

std::unique_ptr<Receiver> Load(const std::string& text)
{
    std::string error;
    std::unique_ptr<Receiver> r = LoadReceiver(text, error);
    EXPECT_TRUE(r != nullptr) << error;
    return r;
}

struct Generated {
    MemorySink sink;
    GenerateResult result;
};

// A scenario's recording; the faults as --faults takes them.
void Generate(const std::string& scenario, uint64_t bytes, uint64_t periods, const std::string& faults,
              Generated& g)
{
    std::unique_ptr<Receiver> r = Load(scenario);
    ASSERT_TRUE(r);
    GenerateRequest request;
    request.minBytes = bytes;
    request.minPeriods = periods;
    std::string error;
    ASSERT_TRUE(ParseFaults(faults, request.faults, error)) << error;
    ASSERT_TRUE(GenerateRecording(*r, request, g.sink, g.result, error)) << error;
}

// Every frame the period of `r` sends, as ids (0x5C once per channel).
std::vector<uint8_t> PeriodIds(QbinReceiver& r)
{
    std::vector<Segment> out;
    r.Tick(out);
    std::vector<uint8_t> ids;
    for (const Segment& s : out) ids.push_back(s.bytes.size() > 1 ? s.bytes[1] : 0);
    return ids;
}

TEST(RxsimQbin, EveryPeriodEndsWithTheDgpsMode)
{
    QbinReceiver defaults;
    EXPECT_EQ(PeriodIds(defaults), (std::vector<uint8_t>{0x41, 0x84, 0x46, 0x6D, 0x5C, 0x82}));
    EXPECT_EQ(Spaced(defaults.Report(0x82)), "10 82 00 10 03");

    QbinReceiver r;
    std::string error;
    ASSERT_TRUE(r.Load(Scenario("qbin-drive-2.txt"), error)) << error;
    EXPECT_EQ(PeriodIds(r), (std::vector<uint8_t>{0x41, 0x84, 0x56, 0x46, 0x6D, 0x5C, 0x5C, 0x5C, 0x5C, 0x82}));
    EXPECT_EQ(Spaced(r.Report(0x82)), "10 82 01 10 03");
    EXPECT_FALSE(r.Load("dgps 256", error));
    EXPECT_FALSE(r.Load("dgps", error));
}

TEST(RxsimQbin, ChannelQueryDoesNotMoveTheReceiver)
{
    QbinReceiver asked, quiet;
    std::string error;
    ASSERT_TRUE(asked.Load(Scenario("qbin-drive-1.txt"), error)) << error;
    ASSERT_TRUE(quiet.Load(Scenario("qbin-drive-1.txt"), error)) << error;
    std::vector<Segment> reply = test::Ask(asked, QbinPacket(0x3C, {0x00}));
    EXPECT_EQ(reply.size(), 6u);
    std::vector<Segment> a, b;
    asked.Tick(a);
    quiet.Tick(b);
    EXPECT_EQ(test::Join(a), test::Join(b));
}

// Positions of the fixes of `periods` periods of a scenario.
std::vector<FixTruth> Track(const std::string& scenario, uint64_t periods)
{
    Generated g;
    Generate(scenario, 0, periods, "", g);
    return g.sink.fixes;
}

TEST(RxsimQbin, LongTracksStayOnEarth)
{
    // Fast enough to reach every bound within a few hundred periods.
    const std::string base = "periodic 41 84; time 0 1000 18 1; position 1.39 3.14 19990 1; ";
    struct Case {
        const char* motion;
        double latitudeLimit;  // degrees
    };
    const Case cases[] = {
        {"motion 0.001 0.001 1", 1.4 * kDegreesPerRadian},
        {"motion -0.002 -0.05 -100", 1.4 * kDegreesPerRadian},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.motion);
        std::vector<FixTruth> fixes = Track(base + c.motion, 3000);
        ASSERT_EQ(fixes.size(), 3000u);
        bool turned = false;
        for (size_t i = 0; i < fixes.size(); ++i) {
            EXPECT_LE(std::fabs(fixes[i].latitude), c.latitudeLimit + 1e-9) << i;
            EXPECT_LT(std::fabs(fixes[i].longitude), 180.0 + 1e-9) << i;
            EXPECT_GE(fixes[i].altitude, -100.0 - 1e-9) << i;
            EXPECT_LE(fixes[i].altitude, 20000.0 + 1e-9) << i;
            if (i > 1)
                turned = turned || (fixes[i].latitude - fixes[i - 1].latitude) *
                                           (fixes[i - 1].latitude - fixes[i - 2].latitude) < 0;
        }
        EXPECT_TRUE(turned);
    }
}

TEST(RxsimGenerate, FaultListsAreReadOrRefused)
{
    struct Case {
        const char* list;
        bool ok;
        FaultPlan plan;
    };
    const Case cases[] = {
        {"", true, {}},
        {"garbage", true, {10, 0, 0, 0, false}},
        {"garbage:3,broken:1,bad:7,crc:1000000,truncate", true, {3, 1, 7, 1000000, true}},
        {"truncate,,crc", true, {0, 0, 0, 10, true}},
        {"noise", false, {}},
        {"crc:0", false, {}},
        {"crc:-1", false, {}},
        {"crc:", false, {}},
        {"crc:2x", false, {}},
        {"crc:1000001", false, {}},
        {"truncate:2", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        FaultPlan plan;
        std::string error;
        EXPECT_EQ(ParseFaults(c.list, plan, error), c.ok) << error;
        if (!c.ok) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        EXPECT_EQ(plan.garbage, c.plan.garbage);
        EXPECT_EQ(plan.broken, c.plan.broken);
        EXPECT_EQ(plan.bad, c.plan.bad);
        EXPECT_EQ(plan.crc, c.plan.crc);
        EXPECT_EQ(plan.truncate, c.plan.truncate);
    }
}

TEST(RxsimGenerate, RecordingOfWholePeriodsHasEveryFixInItsTruth)
{
    const std::string scenario = Scenario("qbin-drive-1.txt");
    Generated g;
    Generate(scenario, 100000, 0, "", g);
    const GenerateResult& r = g.result;
    EXPECT_GE(g.sink.bytes.size(), 100000u);
    EXPECT_EQ(r.tally.bytes, g.sink.bytes.size());
    EXPECT_FALSE(r.cut);
    // Whole periods: one period less would not have reached the size.
    Generated shorter;
    Generate(scenario, 0, r.periods - 1, "", shorter);
    EXPECT_LT(shorter.sink.bytes.size(), 100000u);
    EXPECT_EQ(Bytes(g.sink.bytes.begin(), g.sink.bytes.begin() + static_cast<long>(shorter.sink.bytes.size())),
              shorter.sink.bytes);
    // The recording ends with the last period's DGPS mode report.
    EXPECT_EQ(Spaced(Bytes(g.sink.bytes.end() - 5, g.sink.bytes.end())), "10 82 00 10 03");

    // One fix a period: the scenario's start, then its motion, a second apart.
    ASSERT_EQ(g.sink.fixes.size(), r.periods);
    const FixTruth& first = g.sink.fixes.front();
    EXPECT_EQ(first.week, 1400);
    EXPECT_EQ(first.tow, 349323.0);
    EXPECT_DOUBLE_EQ(first.latitude, 0.8290313946973066 * kDegreesPerRadian);
    EXPECT_DOUBLE_EQ(first.longitude, -2.133665010563068 * kDegreesPerRadian);
    EXPECT_EQ(first.altitude, 100.0);
    const FixTruth& tenth = g.sink.fixes[10];
    EXPECT_EQ(tenth.tow, 349333.0);
    EXPECT_NEAR(tenth.latitude, (0.8290313946973066 + 10 * 0.0000015696) * kDegreesPerRadian, 1e-12);
    EXPECT_NEAR(tenth.altitude, 100.5, 1e-9);
    EXPECT_EQ(r.tally.good, r.tally.kindGood[KIND_QBIN]);
    EXPECT_EQ(r.tally.bad + r.tally.broken, 0u);
}

TEST(RxsimGenerate, FaultsLeaveTheirMarkAndOnlyIntactFixesInTheTruth)
{
    const std::string scenario = Scenario("qbin-drive-3.txt");
    Generated clean, faulty;
    Generate(scenario, 0, 60, "", clean);
    Generate(scenario, 0, 60, "garbage:2,broken:3,bad:5,crc:4", faulty);
    const GenerateResult& r = faulty.result;
    EXPECT_EQ(r.periods, 60u);
    EXPECT_EQ(r.spoiled, 15u);
    EXPECT_EQ(r.tally.broken, 20u);  // one DLE pair every third period
    EXPECT_GT(faulty.sink.bytes.size(), clean.sink.bytes.size() + 30 * 40);
    // Every fourth period's fix is gone; the others are the clean run's.
    ASSERT_EQ(faulty.sink.fixes.size(), 45u);
    size_t next = 0;
    for (size_t period = 1; period <= 60; ++period) {
        if (period % 4 == 0) continue;
        const FixTruth& want = clean.sink.fixes[period - 1];
        const FixTruth& got = faulty.sink.fixes[next++];
        EXPECT_EQ(got.tow, want.tow) << period;
        EXPECT_EQ(got.latitude, want.latitude) << period;
        EXPECT_EQ(got.longitude, want.longitude) << period;
    }
    // The same recording each time: seeds stay seeds.
    Generated again;
    Generate(scenario, 0, 60, "garbage:2,broken:3,bad:5,crc:4", again);
    EXPECT_EQ(again.sink.bytes, faulty.sink.bytes);
}

TEST(RxsimGenerate, TruncatedRecordingEndsInsideItsLastFix)
{
    const std::string scenario = Scenario("qbin-drive-1.txt");
    Generated whole, cut;
    Generate(scenario, 5000, 0, "", whole);
    Generate(scenario, 5000, 0, "truncate", cut);
    EXPECT_TRUE(cut.result.cut);
    EXPECT_EQ(cut.result.periods, whole.result.periods + 1);
    EXPECT_GE(cut.sink.bytes.size(), 5000u);
    // The whole periods, then the last one's time report and half its fix.
    const Bytes& w = whole.sink.bytes;
    ASSERT_GT(cut.sink.bytes.size(), w.size());
    EXPECT_EQ(Bytes(cut.sink.bytes.begin(), cut.sink.bytes.begin() + static_cast<long>(w.size())), w);
    Bytes tail(cut.sink.bytes.begin() + static_cast<long>(w.size()), cut.sink.bytes.end());
    const size_t kTimeReport = 14;  // 10 41, 10 data bytes, 10 03 (nothing to stuff here)
    ASSERT_GT(tail.size(), kTimeReport + 2);
    EXPECT_EQ(Spaced(Bytes(tail.begin() + kTimeReport, tail.begin() + kTimeReport + 2)), "10 84");
    EXPECT_LT(tail.size() - kTimeReport, 40u);
    EXPECT_EQ(cut.sink.fixes.size(), whole.sink.fixes.size());
}

TEST(RxsimGenerate, NmeaFixesComeFromGgaWithTheDateBeforeThem)
{
    // The maker's receiver with a clock that moves a second a period.
    const std::string scenario = Scenario("nmea-maker.txt") + "\ntime 010203 9 11 2006 1";
    Generated clean, spoiled, broken;
    Generate(scenario, 0, 20, "", clean);
    Generate(scenario, 0, 20, "garbage:3,bad:3,crc:5", spoiled);
    Generate(scenario, 0, 20, "broken:2", broken);
    ASSERT_EQ(clean.sink.fixes.size(), 20u);
    // 2006-11-09 01:02:03 is GPS week 1400, Thursday.
    const FixTruth& f = clean.sink.fixes[0];
    EXPECT_EQ(f.week, 1400);
    EXPECT_EQ(f.tow, 4 * 86400 + 3723.0);
    EXPECT_EQ(f.latitude, 47.5);
    EXPECT_EQ(f.longitude, -122.25);
    EXPECT_EQ(f.altitude, 100.0);
    EXPECT_EQ(clean.sink.fixes[19].tow, 4 * 86400 + 3742.0);

    // Spoiled periods lose their fix, bad sentences of other values add none.
    EXPECT_EQ(spoiled.result.spoiled, 4u);
    EXPECT_GT(spoiled.result.tally.bad, 4u);
    ASSERT_EQ(spoiled.sink.fixes.size(), 16u);
    for (const FixTruth& x : spoiled.sink.fixes)
        EXPECT_NE(static_cast<long>(x.tow - f.tow + 1) % 5, 0) << x.tow;

    // Each cut sentence is followed by a good one of the state to come: a
    // GGA a round, the next period's fix ahead of its time.
    ASSERT_EQ(broken.sink.fixes.size(), 30u);
    std::vector<double> tows;
    for (const FixTruth& x : broken.sink.fixes) tows.push_back(x.tow);
    std::sort(tows.begin(), tows.end());
    tows.erase(std::unique(tows.begin(), tows.end()), tows.end());
    EXPECT_EQ(tows.size(), 21u);
    EXPECT_EQ(tows.back(), 4 * 86400 + 3743.0);
}

TEST(RxsimGenerate, SinkThatFailsEndsTheRun)
{
    std::unique_ptr<Receiver> r = Load(Scenario("qbin-drive-1.txt"));
    ASSERT_TRUE(r);
    MemorySink sink;
    sink.failAfter = 1000;
    GenerateRequest request;
    request.minBytes = 5000;
    GenerateResult result;
    std::string error;
    EXPECT_FALSE(GenerateRecording(*r, request, sink, result, error));
    EXPECT_FALSE(error.empty());

    // A receiver without fixes cannot spoil one.
    std::unique_ptr<Receiver> mon = Load(Scenario("mon-boot.txt"));
    ASSERT_TRUE(mon);
    MemorySink other;
    request.minBytes = 0;
    request.minPeriods = 20;
    request.faults.crc = 1;
    EXPECT_FALSE(GenerateRecording(*mon, request, other, result, error));
    EXPECT_NE(error.find("spoil"), std::string::npos) << error;
}

// The fixes FixTracker finds in `frames`, sent as good frames in order.
std::vector<FixTruth> Fixes(const std::vector<Bytes>& frames, int kind)
{
    FixTracker tracker;
    std::vector<FixTruth> found;
    for (const Bytes& b : frames) {
        Segment s;
        s.bytes = b;
        s.kind = kind;
        s.outcome = OUT_GOOD;
        FixTruth fix;
        if (tracker.Take(s, fix)) found.push_back(fix);
    }
    return found;
}

Bytes Position(double lat, double lon, double height, double bias, float tow)
{
    QbinReceiver r;
    std::string error;
    EXPECT_TRUE(r.Load("position " + Format("%.17g %.17g %.17g %.17g", lat, lon, height, bias) +
                           Format("; time %.9g 1000 18", static_cast<double>(tow)),
                       error));
    return r.Report(0x84);
}

TEST(RxsimTruth, QbinFixesNeedAClockBiasAndTakeTheLastWeek)
{
    const Bytes time2000 = QbinPacket(0x41, Hex("47A8C000" "07D0" "41900000"));  // 86400 s, week 2000
    const Bytes time2001 = QbinPacket(0x41, Hex("47A8C000" "07D1" "41900000"));
    // A value whose bytes hold a DLE: stuffed on the wire, read back whole.
    const double stuffed = 0.5 + std::ldexp(16.0, -52);
    std::vector<FixTruth> f = Fixes({Position(0.1, 0.2, 3, 1, 5), time2000, Position(-0.5, stuffed, 7, 0, 6),
                                     Position(-0.5, stuffed, 7, -2, 7), time2001, QbinPacket(0x84, Hex("00")),
                                     Position(0.3, -0.4, -1, 1, 8)},
                                    KIND_QBIN);
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f[0].week, 0);  // no time report yet
    EXPECT_EQ(f[0].tow, 5.0);
    EXPECT_DOUBLE_EQ(f[0].latitude, 0.1 * kDegreesPerRadian);
    EXPECT_EQ(f[1].week, 2000);
    EXPECT_EQ(f[1].tow, 7.0);
    EXPECT_EQ(f[1].longitude, stuffed * kDegreesPerRadian);
    EXPECT_EQ(f[1].altitude, 7.0);
    EXPECT_EQ(f[2].week, 2001);
    // Bad frames and frames of other framings are never fixes.
    Segment bad;
    bad.bytes = Position(0.1, 0.2, 3, 1, 5);
    bad.kind = KIND_QBIN;
    bad.outcome = OUT_BAD;
    FixTracker t;
    FixTruth fix;
    EXPECT_FALSE(t.Take(bad, fix));
    EXPECT_TRUE(Fixes({Position(0.1, 0.2, 3, 1, 5)}, KIND_NMEA).empty());
}

TEST(RxsimTruth, NmeaFixesTakeTheirDateAcrossMidnight)
{
    std::vector<FixTruth> f = Fixes(
        {
            NmeaSentence("GPGGA,235959.50,4730.0000,N,12215.0000,W,1,08,1.0,100.0,M,-17.0,M,,"),
            NmeaSentence("GPRMC,235959.50,A,4730.0000,N,12215.0000,W,0.0,0.0,110106,,,A"),
            NmeaSentence("GPGGA,235959.75,3015.5000,S,00030.0000,E,2,08,1.0,-5.5,M,-17.0,M,,"),
            NmeaSentence("GPGGA,000000.25,3015.5000,S,00030.0000,E,1,08,1.0,-5.5,M,-17.0,M,,"),
            NmeaSentence("GPGGA,000001.00,3015.5000,S,00030.0000,E,0,00,,,M,,M,,"),
            NmeaSentence("GPZDA,000002.00,12,01,2006,00,00"),
            NmeaSentence("GNGGA,000002.00,3015.5000,S,00030.0000,E,1,08,1.0,-5.5,M,-17.0,M,,"),
            NmeaSentence("GPGGA,000003.00,,,,,1,08,1.0,-5.5,M,-17.0,M,,"),
        },
        KIND_NMEA);
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f[0].week, 0);  // before any date: the time of day
    EXPECT_EQ(f[0].tow, 86399.5);
    // 2006-01-11 is a Wednesday of week 1357; the next day is Thursday.
    EXPECT_EQ(f[1].week, 1357);
    EXPECT_EQ(f[1].tow, 3 * 86400 + 86399.75);
    EXPECT_EQ(f[1].latitude, -30.258333333333333);
    EXPECT_EQ(f[1].longitude, 0.5);
    EXPECT_EQ(f[1].altitude, -5.5);
    EXPECT_EQ(f[2].tow, 4 * 86400 + 0.25);
    EXPECT_EQ(f[3].week, 1357);
    EXPECT_EQ(f[3].tow, 4 * 86400 + 2.0);
}

TEST(RxsimTruth, CsvLinesCarryEnoughDigits)
{
    FixTruth f;
    f.week = 1400;
    f.tow = 349323.25;
    f.latitude = 47.500089931456123;
    f.longitude = -122.25;
    f.altitude = 100.05;
    EXPECT_EQ(FixCsvHeader(false), "week,tow,latitude,longitude,altitude\n");
    EXPECT_EQ(FixCsvLine(f), "1400,349323.250000,47.500089931456,-122.250000000000,100.0500\n");
    EXPECT_EQ(FixCsvHeader(true), "week,tow,latitude,longitude,altitude,end,time\n");
    EXPECT_EQ(FixCsvLine(f, 123456, 1700000000.5),
              "1400,349323.250000,47.500089931456,-122.250000000000,100.0500,123456,1700000000.500\n");
}

}  // namespace
}  // namespace rxsim
