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
        NavState nav;
        memset(&nav, 0, sizeof nav);
        m.GetNavState(nav);
        Note(d, std::fabs(nav.latitude - 47.5 * kDegreesToRadians) < 1e-9, "latitude");
        Note(d, std::fabs(nav.longitude + 122.25 * kDegreesToRadians) < 1e-9, "longitude");
        // 328.08 feet
        Note(d, std::fabs(nav.height - 100.0) < 0.01, "height");
        // 11.5 mph due east
        Note(d, std::fabs(nav.groundSpeedKnots - 5.14 * kKnotsPerMetrePerSecond) < 0.1, "speed");
        Note(d, std::fabs(nav.heading - 90.0 * kDegreesToRadians) < 1e-6, "heading");
        GpsTimeInfo t;
        memset(&t, 0, sizeof t);
        m.GetTimeInfo(t);
        Note(d, t.year == 2006 && t.month == 11 && t.day == 9, "date");
        Note(d, t.hour == 1 && t.minute == 2 && t.second == 3, "time of day");
        Note(d, t.utcOffset == 14, "GPS-UTC offset");
        FixModeRecord fix;
        memset(&fix, 0, sizeof fix);
        m.GetFixModeAndDops(fix);
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
    ASSERT_EQ(Hold([&] { return Differences(); }, 10000), "");
    EXPECT_EQ(InjectEveryFault(), "");
    EXPECT_EQ(Differences(), "");
}

}  // namespace
