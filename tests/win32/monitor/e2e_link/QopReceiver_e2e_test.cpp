// A QOP receiver on COM5: rxsim plays qop-fix.txt (the position and status
// message "Ha" every second; "Bb" and "Cj" when asked) and the model must hold
// the position, health, tracked satellites with their elevations and the
// version.
#include <gtest/gtest.h>

#include <cmath>

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
        const NavState nav = Read(m, &CModel::GetNavState);
        NoteScenarioPlace(d, nav, 1e-9);
        Note(d, std::fabs(nav.height - 83.0) < 1e-6, "height");
        NoteScenarioTime(d, Read(m, &CModel::GetTimeInfo));
        Note(d, Read(m, &CModel::GetFixModeAndDops).fixMode == 4, "fix mode");
        Note(d, std::fabs(Read(m, &CModel::GetFixSvList).pdop - 2.5) < 1e-9, "PDOP");
        Note(d, m.GetHealthStatus() == 1, "health");
        const TrackingTable table = Read(m, &CModel::GetTrackingTable);
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
    CheckFaultsChangeNothing([&] { return Differences(); });
}

}  // namespace
