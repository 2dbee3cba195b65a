// The receivers of the position plot's tests: a still scatter of fixes and
// a track whose fixes move as their velocity says, and the fixes as the
// control command "fixes" lists them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "QbinReceiver.h"
#include "TestSupport.h"
#include "Truth.h"

namespace rxsim {
namespace {

using test::Scenario;

const double kA = 6378137.0, kE2 = 0.00669437999014;

struct Period {
    std::vector<uint8_t> ids;
    std::vector<FixTruth> fixes;
};

// `count` periods of a QBIN scenario, each with its packet ids and the
// fixes a reader takes from it.
std::vector<Period> Play(const std::string& scenario, int count)
{
    QbinReceiver r;
    std::string error;
    EXPECT_TRUE(r.Load(scenario, error)) << error;
    FixTracker tracker;
    std::vector<Period> periods;
    for (int i = 0; i < count; ++i) {
        std::vector<Segment> out;
        r.Tick(out);
        Period p;
        for (const Segment& s : out) {
            p.ids.push_back(s.bytes.size() > 1 ? s.bytes[1] : 0);
            FixTruth fix;
            if (tracker.Take(s, fix)) p.fixes.push_back(fix);
        }
        periods.push_back(p);
    }
    return periods;
}

// Metres north and east from `a` to `b` on the ellipsoid, at a's place.
void Offset(const FixTruth& a, const FixTruth& b, double& north, double& east)
{
    const double s = std::sin(a.latitudeRad), w = std::sqrt(1 - kE2 * s * s);
    north = (b.latitudeRad - a.latitudeRad) * (kA * (1 - kE2) / (w * w * w) + a.altitude);
    east = (b.longitudeRad - a.longitudeRad) * (kA / w + a.altitude) * std::cos(a.latitudeRad);
}

TEST(RxsimPlot, TrackFixesMoveAsTheirVelocitySays)
{
    const std::vector<Period> periods = Play(Scenario("sim1-track.txt"), 50);
    const float component = static_cast<float>(8.48528137423857);
    for (size_t i = 0; i < periods.size(); ++i) {
        SCOPED_TRACE(i);
        // The velocity comes before the fix it belongs to.
        EXPECT_EQ(periods[i].ids, (std::vector<uint8_t>{0x41, 0x56, 0x84, 0x46, 0x6D, 0x5C, 0x82}));
        ASSERT_EQ(periods[i].fixes.size(), 1u);
        const FixTruth& fix = periods[i].fixes[0];
        ASSERT_TRUE(fix.hasVelocity);
        EXPECT_EQ(fix.east, component);
        EXPECT_EQ(fix.north, component);
        EXPECT_EQ(fix.up, 0.0);
        if (i == 0) continue;
        double north, east;
        Offset(periods[i - 1].fixes[0], fix, north, east);
        // A fifth of a second at 12 m/s towards 45 degrees.
        EXPECT_NEAR(north / 0.2, 8.48528137423857, 1e-6);
        EXPECT_NEAR(east / 0.2, 8.48528137423857, 1e-6);
        EXPECT_NEAR(fix.tow - periods[i - 1].fixes[0].tow, 0.2, 0.04);  // a float's steps
    }
}

TEST(RxsimPlot, StillScatterStaysWithinItsJitterAndRepeats)
{
    struct Case {
        const char* jitter;
        double radius;  // metres
    };
    const Case cases[] = {{"jitter 2.5 1", 2.5}, {"jitter 0.5 77", 0.5}, {"jitter 0", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.jitter);
        const std::string scenario = Scenario("sim1-still.txt") + "\n" + c.jitter;
        const std::vector<Period> periods = Play(scenario, 400), again = Play(scenario, 400);
        FixTruth centre;
        centre.latitudeRad = 0.8290313946973066;
        centre.longitudeRad = -2.133665010563068;
        centre.altitude = 100;
        double farthest = 0, sumNorth = 0, sumEast = 0;
        for (size_t i = 0; i < periods.size(); ++i) {
            ASSERT_EQ(periods[i].fixes.size(), 1u);
            const FixTruth& fix = periods[i].fixes[0];
            EXPECT_EQ(FixListEntry(fix), FixListEntry(again[i].fixes[0])) << i;  // the same every run
            double north, east;
            Offset(centre, fix, north, east);
            const double d = std::hypot(north, east);
            EXPECT_LE(d, c.radius + 1e-6) << i;
            farthest = std::max(farthest, d);
            sumNorth += north;
            sumEast += east;
            EXPECT_EQ(fix.east, 0.0);
        }
        // A scatter all round the place, out to its edge.
        EXPECT_GE(farthest, c.radius * 0.9);
        EXPECT_LE(std::fabs(sumNorth / periods.size()), c.radius * 0.2 + 1e-9);
        EXPECT_LE(std::fabs(sumEast / periods.size()), c.radius * 0.2 + 1e-9);
    }
    // Another seed, another scatter.
    const std::vector<Period> one = Play(Scenario("sim1-still.txt"), 3),
                              two = Play(Scenario("sim1-still.txt") + "\njitter 2.5 2", 3);
    EXPECT_NE(FixListEntry(one[0].fixes[0]), FixListEntry(two[0].fixes[0]));

    QbinReceiver r;
    std::string error;
    for (const char* bad : {"jitter -1", "jitter", "jitter 1 2 3", "jitter 1 x", "track 1 2", "track 1 2 nan",
                            "time 604800 1400 18", "time 1 1400 18 -1"})
        EXPECT_FALSE(r.Load(bad, error)) << bad;
}

std::vector<std::string> Fields(const std::string& entry)
{
    std::vector<std::string> f;
    std::istringstream in(entry);
    for (std::string s; std::getline(in, s, ',');) f.push_back(s);
    return f;
}

TEST(RxsimPlot, FixListEntriesGiveBackTheVeryValues)
{
    FixTruth fix;
    fix.week = 1400;
    fix.tow = 349323.1875;
    fix.latitudeRad = 0.8290313946973066;
    fix.longitudeRad = -2.133665010563068;
    fix.altitude = 100.25;
    std::vector<std::string> f = Fields(FixListEntry(fix));
    ASSERT_EQ(f.size(), 8u);
    EXPECT_EQ(f[0], "1400");
    EXPECT_EQ(strtod(f[1].c_str(), nullptr), fix.tow);
    EXPECT_EQ(strtod(f[2].c_str(), nullptr), fix.latitudeRad);
    EXPECT_EQ(strtod(f[3].c_str(), nullptr), fix.longitudeRad);
    EXPECT_EQ(strtod(f[4].c_str(), nullptr), fix.altitude);
    EXPECT_EQ(f[5] + f[6] + f[7], "---");  // no velocity known

    fix.hasVelocity = true;
    fix.east = static_cast<float>(8.48528137423857);
    fix.north = -0.1f;
    fix.up = 0;
    f = Fields(FixListEntry(fix));
    ASSERT_EQ(f.size(), 8u);
    EXPECT_EQ(static_cast<float>(strtod(f[5].c_str(), nullptr)), static_cast<float>(fix.east));
    EXPECT_EQ(strtod(f[6].c_str(), nullptr), fix.north);
    EXPECT_EQ(f[7], "0");
    // No blank inside an entry: "fixes" separates them with one.
    EXPECT_EQ(FixListEntry(fix).find(' '), std::string::npos);
}

TEST(RxsimPlot, NmeaFixesListTheirAnglesInRadians)
{
    FixTracker tracker;
    Segment s;
    s.kind = KIND_NMEA;
    s.outcome = OUT_GOOD;
    s.bytes = NmeaSentence("GPGGA,010203.00,4730.0000,N,12215.0000,W,1,08,1.25,100.0,M,-17.0,M,,");
    FixTruth fix;
    ASSERT_TRUE(tracker.Take(s, fix));
    EXPECT_NEAR(fix.latitudeRad, 0.8290313946973066, 1e-15);
    EXPECT_NEAR(fix.longitudeRad, -2.133665010563068, 1e-15);
    EXPECT_FALSE(fix.hasVelocity);
}

}  // namespace
}  // namespace rxsim
