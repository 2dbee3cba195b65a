// The sky plot's receivers: channels at fixed places with their tracking
// state and place in the fix, satellites that cross the sky, and the
// tracking reports as the control command "channels" lists them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "QbinReceiver.h"
#include "TestSupport.h"
#include "Truth.h"

namespace rxsim {
namespace {

using test::Scenario;
using test::Spaced;

const double kRad = 3.14159265358979323846 / 180;

QbinReceiver Sky(const std::string& text)
{
    QbinReceiver r;
    std::string error;
    EXPECT_TRUE(r.Load(text, error)) << error;
    return r;
}

// The tracking reports of one period.
std::vector<ChannelTruth> Channels(QbinReceiver& r)
{
    std::vector<Segment> out;
    r.Tick(out);
    std::vector<ChannelTruth> channels;
    for (const Segment& s : out) {
        ChannelTruth c;
        if (TakeChannelReport(s, c)) channels.push_back(c);
    }
    return channels;
}

TEST(RxsimSky, FixedChannelsCarryTheirPlacesStatesAndFix)
{
    QbinReceiver r = Sky(Scenario("sim1-sky.txt"));
    struct Row {
        int sv, status;
        double elevation, azimuth;  // degrees
    };
    const Row rows[] = {{5, 0x40, 45, 0}, {12, 0x40, 10, 45}, {17, 0, 20, 200},
                        {135, 0x40, 30, 160}, {20, 0x40, 90, 0}, {25, 0x40, -5, 120}};
    for (int period = 0; period < 3; ++period) {  // the same every period
        const std::vector<ChannelTruth> channels = Channels(r);
        ASSERT_EQ(channels.size(), 6u);
        for (int i = 0; i < 6; ++i) {
            SCOPED_TRACE(rows[i].sv);
            EXPECT_EQ(channels[i].channel, i);
            EXPECT_EQ(channels[i].sv, rows[i].sv);
            EXPECT_EQ(channels[i].status, rows[i].status);
            EXPECT_GT(channels[i].level, 0.0f);
            EXPECT_EQ(channels[i].elevation, static_cast<float>(rows[i].elevation * kRad));
            EXPECT_EQ(channels[i].azimuth, static_cast<float>(rows[i].azimuth * kRad));
        }
    }
    // The zenith as a float lies above the plot's last elevation.
    EXPECT_GT(static_cast<double>(static_cast<float>(90 * kRad)), 1.5707963267949);
    // Two satellites in the fix: the channels marked so.
    const std::string fix = Spaced(r.Report(0x6D));
    EXPECT_EQ(fix.substr(0, 8), "10 6D 24");
    EXPECT_EQ(fix.substr(fix.size() - 11), "05 87 10 03");

    // A fix line and a marked channel name one satellite once.
    QbinReceiver both = Sky("fix 4 1 1 1 1 5 9; channel 0 9 40 0.5 1 fix; channel 1 7 40 0.5 1 fix");
    EXPECT_EQ(Spaced(both.Report(0x6D)).substr(0, 8), "10 6D 34");
}

TEST(RxsimSky, MovingSatellitesTurnAtTheZenithAndWrapInAzimuth)
{
    QbinReceiver r = Sky(Scenario("sim1-sky-moving.txt"));
    std::vector<ChannelTruth> last;
    for (int i = 0; i < 200; ++i) last = Channels(r);
    // 199 steps after the first report.
    EXPECT_NEAR(last[0].elevation, (45 + 0.05 * 199) * kRad, 1e-5);
    EXPECT_NEAR(last[0].azimuth, std::fmod(0.5 * 199, 360) * kRad, 1e-5);
    EXPECT_NEAR(last[1].azimuth, (45 - 0.4 * 199 + 360) * kRad, 1e-5);
    EXPECT_NEAR(last[3].elevation, 30 * kRad, 1e-7);
    EXPECT_EQ(last[4].elevation, static_cast<float>(90 * kRad));  // fixed ones stay exact
    EXPECT_EQ(last[5].elevation, static_cast<float>(-5 * kRad));

    QbinReceiver up = Sky("channel 0 5 40 88.5 10 0x40 deg move 0.5 -20");
    std::vector<double> elevations;
    for (int i = 0; i < 8; ++i) {
        const ChannelTruth c = Channels(up).at(0);
        elevations.push_back(c.elevation / kRad);
        EXPECT_GE(c.azimuth, 0.0f);
        EXPECT_LT(c.azimuth, static_cast<float>(2 * 3.14159265358979323846));
    }
    EXPECT_LE(*std::max_element(elevations.begin(), elevations.end()), 90.0 + 1e-4);
    EXPECT_NEAR(elevations[3], 90.0, 1e-4);
    EXPECT_NEAR(elevations[7], 88.0, 1e-4);  // on its way down again
}

TEST(RxsimSky, ChannelLinesAreReadOrRefused)
{
    struct Case {
        const char* line;
        bool ok;
        int status;
    };
    const Case cases[] = {
        {"channel 0 4 45 0.5 1.0", true, 8},
        {"channel 0 4 45 0.5 1.0 12", true, 12},
        {"channel 0 4 45 0.5 1.0 0x4C", true, 0x4C},
        {"channel 0 4 45 30 90 deg fix", true, 8},
        {"channel 0 4 45 30 90 0x40 move 0.1 0.1", true, 0x40},
        {"channel 0 4 45 0.5 1.0 0x4G", false, 0},
        {"channel 0 4 45 0.5 1.0 0x", false, 0},
        {"channel 0 4 45 0.5 1.0 256", false, 0},
        {"channel 0 4 45 0.5 1.0 0x40 move 0.1", false, 0},
        {"channel 0 4 45 0.5 1.0 0x40 bogus", false, 0},
        {"channel 0 4 45 0.5 1.0 0x40 0x40", false, 0},
        {"channel 12 4 45 0.5 1.0", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        QbinReceiver r;
        std::string error;
        EXPECT_EQ(r.Load(c.line, error), c.ok) << error;
        if (!c.ok) continue;
        const std::vector<ChannelTruth> channels = Channels(r);
        ASSERT_EQ(channels.size(), 1u);
        EXPECT_EQ(channels[0].status, c.status);
    }
}

TEST(RxsimSky, ChannelListEntriesGiveBackTheVeryFloats)
{
    ChannelTruth c;
    c.channel = 11;
    c.sv = 135;
    c.status = 0x40;
    c.level = 35.5f;
    c.elevation = static_cast<float>(30 * kRad);
    c.azimuth = static_cast<float>(160 * kRad);
    const std::string entry = ChannelListEntry(c);
    EXPECT_EQ(entry.substr(0, 14), "11,135,64,35.5");
    const size_t azimuthAt = entry.rfind(','), elevationAt = entry.rfind(',', azimuthAt - 1);
    EXPECT_EQ(strtof(entry.c_str() + elevationAt + 1, nullptr), c.elevation);
    EXPECT_EQ(strtof(entry.c_str() + azimuthAt + 1, nullptr), c.azimuth);
}

}  // namespace
}  // namespace rxsim
