// A KSX module on COM5: rxsim plays kesto-fix.txt (navigation, time and
// tracking packets every second, and one whose checksum goes out escaped;
// version, product and status when asked).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ReceiverLink.h"

using namespace e2e;

namespace {

// Semicircles of the packets (2^31 to 180 degrees) carry about 8e-8 degrees.
const double kPositionTolerance = 1e-8;

struct Channel {
    int n;
    uint8_t sv;
    float snr;
    double elevation, azimuth;
};
const Channel kChannels[] = {{0, 5, 38, 44, 90}, {1, 12, 40, 30, 45}, {2, 17, 42, 60, -90}, {3, 24, 35, 14, -30}};

class KestoReceiverE2e : public ReceiverLinkE2e {
protected:
    std::string Differences()
    {
        CModel& m = Model();
        std::string d;
        const NavState nav = Read(m, &CModel::GetNavState);
        NoteScenarioPlace(d, nav, kPositionTolerance);
        Note(d, nav.height == 83.0, "height");
        Note(d, std::fabs(nav.heading - 90.0 * kDegreesToRadians) < 1e-9, "heading");
        NoteScenarioTime(d, Read(m, &CModel::GetTimeInfo));
        const DopRecord dops = Read(m, &CModel::GetFixSvList);
        Note(d, dops.pdop == 2.5 && dops.hdop == 1.25 && dops.vdop == 2.0, "DOPs");
        Note(d, m.GetHealthStatus() == 1, "health");
        const TrackingTable table = Read(m, &CModel::GetTrackingTable);
        for (const Channel& c : kChannels) {
            const TrackingEntry& e = table.entries[c.n];
            Note(d,
                 e.sv == c.sv && std::fabs(e.signalLevel - c.snr) < 1e-4 &&
                     std::fabs(e.elevation - c.elevation * kDegreesToRadians) < 1e-6 &&
                     std::fabs(e.azimuth - c.azimuth * kDegreesToRadians) < 1e-6,
                 "tracking entry");
        }
        FirmwareVersionRecord fw = Firmware(m, 0);
        Note(d,
             strcmp(fw.name, "KSX Module") == 0 && fw.major == 1 && fw.minor == 2 && fw.build == 3 && fw.day == 15 &&
                 fw.month == 3 && fw.year == 2007,
             "firmware record 0 " + Describe(fw));
        ProductRecord p = Product(m);
        Note(d, p.code == 9999 && strcmp(p.name, "KSX Module") == 0, "product");
        return d;
    }
};

TEST_F(KestoReceiverE2e, ModelHoldsVersionProductPositionTimeDopsAndTracking)
{
    E2E_REQUIRE_RXSIM(sim);
    ASSERT_NO_FATAL_FAILURE(Open(PROTO_KESTO, "kesto-fix.txt"));
    ASSERT_TRUE(link.GetProtocol().QueryVersion());
    ASSERT_TRUE(link.GetProtocol().QueryHardwareVersion());
    EXPECT_EQ(Hold([&] { return Differences(); }, 5000), "");
    for (const char* hex : {"81 02 11 01 E9 82", "81 02 16 02 E3 82", "81 02 12 03 E6 82"})
        EXPECT_TRUE(seen.WaitFor(hex)) << hex << seen.List();
    // Every packet counted good, the one with the escaped checksum too.
    EXPECT_EQ(CountersAgainstTruth(), "");
    EXPECT_EQ(link.GetProtocol().GetStatistic(LINK_KESTO_BAD), 0u);
}

TEST_F(KestoReceiverE2e, FaultsChangeNothingAndAreCountedAsTheTruthSays)
{
    E2E_REQUIRE_RXSIM(sim);
    ASSERT_NO_FATAL_FAILURE(Open(PROTO_KESTO, "kesto-fix.txt"));
    ASSERT_TRUE(link.GetProtocol().QueryVersion());
    ASSERT_TRUE(link.GetProtocol().QueryHardwareVersion());
    CheckFaultsChangeNothing([&] { return Differences(); });
}

}  // namespace
