// A QOP receiver on COM5: rxsim plays qop-fix.txt (the position and status
// message "Ha" every second; "Bb" and "Cj" when asked) and the model must hold
// the position, health, tracked satellites with their elevations and the
// version.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ReceiverLink.h"

using namespace e2e;

namespace {

struct Channel {
    uint8_t sv;
    float signal;
    double elevation, azimuth;
};
const Channel kChannels[] = {{5, 38, 45, 90}, {12, 40, 30, 45}, {17, 42, 60, 180}, {24, 35, 15, 270}};

class QopReceiverE2e : public ReceiverLinkE2e {
protected:
    std::string Differences()
    {
        CModel& m = Model();
        std::string d;
        NavState nav;
        memset(&nav, 0, sizeof nav);
        m.GetNavState(nav);
        Note(d, std::fabs(nav.latitude - 47.5 * kDegreesToRadians) < 1e-9, "latitude");
        Note(d, std::fabs(nav.longitude + 122.25 * kDegreesToRadians) < 1e-9, "longitude");
        Note(d, std::fabs(nav.height - 83.0) < 1e-6, "height");
        GpsTimeInfo t;
        memset(&t, 0, sizeof t);
        m.GetTimeInfo(t);
        Note(d, t.year == 2006 && t.month == 11 && t.day == 9, "date");
        Note(d, t.hour == 1 && t.minute == 2 && t.second == 3, "time of day");
        FixModeRecord fix;
        memset(&fix, 0, sizeof fix);
        m.GetFixModeAndDops(fix);
        Note(d, fix.fixMode == 4, "fix mode");
        DopRecord dops;
        memset(&dops, 0, sizeof dops);
        m.GetFixSvList(dops);
        Note(d, std::fabs(dops.pdop - 2.5) < 1e-9, "PDOP");
        Note(d, m.GetHealthStatus() == 1, "health");
        TrackingTable table;
        memset(&table, 0, sizeof table);
        m.GetTrackingTable(table);
        for (size_t k = 0; k < sizeof kChannels / sizeof kChannels[0]; ++k) {
            const TrackingEntry& e = table.entries[k];
            const Channel& c = kChannels[k];
            Note(d,
                 e.sv == c.sv && e.signalLevel == c.signal &&
                     std::fabs(e.elevation - c.elevation * kDegreesToRadians) < 1e-6 &&
                     std::fabs(e.azimuth - c.azimuth * kDegreesToRadians) < 1e-6,
                 "tracking entry");
        }
        FirmwareVersionRecord fw = Firmware(m, 0);
        Note(d, fw.major == 2 && fw.minor == 15 && fw.build == 1 && fw.month == 3 && fw.day == 15 && fw.year == 7,
             "firmware record 0 " + Describe(fw));
        return d;
    }
};

TEST_F(QopReceiverE2e, ModelHoldsPositionStatusSatellitesAndVersion)
{
    E2E_REQUIRE_RXSIM(sim);
    ASSERT_NO_FATAL_FAILURE(Open(PROTO_QOP, "qop-fix.txt"));
    ASSERT_TRUE(link.GetProtocol().QueryVersion());
    EXPECT_EQ(Hold([&] { return Differences(); }, 5000), "");
    // The position query (selection), the satellite query (tracking) and the
    // version query, as rxsim saw them.
    for (const char* hex : {"40 40 48 61 00 29 0D 0A", "40 40 42 62 00 20 0D 0A", "40 40 43 6A 29 0D 0A"})
        EXPECT_TRUE(seen.WaitFor(hex)) << hex << seen.List();
    EXPECT_EQ(CountersAgainstTruth(), "");
}

TEST_F(QopReceiverE2e, FaultsChangeNothingAndAreCountedAsTheTruthSays)
{
    E2E_REQUIRE_RXSIM(sim);
    ASSERT_NO_FATAL_FAILURE(Open(PROTO_QOP, "qop-fix.txt"));
    ASSERT_TRUE(link.GetProtocol().QueryVersion());
    ASSERT_EQ(Hold([&] { return Differences(); }, 10000), "");
    EXPECT_EQ(InjectEveryFault(), "");
    EXPECT_EQ(Differences(), "");
}

}  // namespace
