// A QTXT tracking receiver on COM5: rxsim plays qtxt-fix.txt (long
// navigation, time and status reports every second; its version when asked)
// and the model must hold what the reports say.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ReceiverLink.h"

using namespace e2e;

namespace {

const double kKnotsPerMetrePerSecond = 3600.0 / 1852.0;

class QtxtReceiverE2e : public ReceiverLinkE2e {
protected:
    std::string Differences()
    {
        CModel& m = Model();
        std::string d;
        const NavState nav = Read(m, &CModel::GetNavState);
        NoteScenarioPlace(d, nav, 1e-9);
        // 328.08 feet
        Note(d, std::fabs(nav.height - 100.0) < 0.01, "height");
        // 11.5 mph due east
        Note(d, std::fabs(nav.groundSpeedKnots - 5.14 * kKnotsPerMetrePerSecond) < 0.1, "speed");
        Note(d, std::fabs(nav.heading - 90.0 * kDegreesToRadians) < 1e-6, "heading");
        const GpsTimeInfo t = Read(m, &CModel::GetTimeInfo);
        NoteScenarioTime(d, t);
        Note(d, t.utcOffset == 14, "GPS-UTC offset");
        const FixModeRecord fix = Read(m, &CModel::GetFixModeAndDops);
        Note(d, fix.fixMode == 4 && fix.svCount == 4, "fix mode");
        // Status 0C: "chosen satellite unusable".
        Note(d, m.GetHealthStatus() == 11, "health");
        FirmwareVersionRecord fw = Firmware(m, 0);
        Note(d,
             strcmp(fw.name, "Zenthos Tracker") == 0 && fw.major == 2 && fw.minor == 15 && fw.month == 3 &&
                 fw.day == 15 && fw.year == 7,
             "firmware record 0 " + Describe(fw));
        ProductRecord p = Product(m);
        Note(d, p.code == 1002 && strcmp(p.name, "Zenthos Tracker") == 0, "product");
        return d;
    }
};

TEST_F(QtxtReceiverE2e, ModelHoldsTheReportsAndTheVersion)
{
    E2E_REQUIRE_RXSIM(sim);
    ASSERT_NO_FATAL_FAILURE(Open(PROTO_QTXT, "qtxt-fix.txt"));
    ASSERT_TRUE(link.GetProtocol().QueryVersion());
    EXPECT_EQ(Hold([&] { return Differences(); }, 5000), "");
    EXPECT_TRUE(seen.WaitFor(">QVR;*7A<")) << seen.List();
    EXPECT_TRUE(seen.WaitFor(">QST;*79<")) << seen.List();
    // The status report's digit 2 raises the antenna event with detail 2.
    EXPECT_GE(listener.CountDetail(EV_ANTENNA_STATUS, 2, false) + listener.CountDetail(EV_ANTENNA_STATUS, 2, true),
              1);
    EXPECT_EQ(CountersAgainstTruth(), "");
}

TEST_F(QtxtReceiverE2e, FaultsChangeNothingAndAreCountedAsTheTruthSays)
{
    E2E_REQUIRE_RXSIM(sim);
    ASSERT_NO_FATAL_FAILURE(Open(PROTO_QTXT, "qtxt-fix.txt"));
    ASSERT_TRUE(link.GetProtocol().QueryVersion());
    CheckFaultsChangeNothing([&] { return Differences(); });
}

}  // namespace
