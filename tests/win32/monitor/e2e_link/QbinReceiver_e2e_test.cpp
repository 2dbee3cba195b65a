// A QBIN receiver on COM5: rxsim plays it from a scenario (periodic reports,
// answers to the queries, a reset, injected faults) and the link's model
// must end up holding exactly what the receiver said, no more and no less.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "E2eSupport.h"
#include "model/CModel.h"

using namespace e2e;

namespace {

// What the scenario's receiver reports. The doubles use every bit of their
// mantissa, so a decoder that went through a float or a text on the way
// would not give them back.
const double kLatitude = 0.83775804095727813;
const double kLongitude = 0.19780398591670227;
const double kHeight = 545.43219999999997;
const double kBias = 12.5;
const uint32_t kTow = 345600;
const uint16_t kWeek = 2300;

struct Channel {
    int index;
    uint8_t sv;
    float level, elevation, azimuth;
    uint8_t status;
};
const Channel kChannels[] = {
    {0, 4, 45.5f, 0.5f, 1.25f, 8},
    {1, 9, 38.25f, 0.75f, 2.5f, 8},
    {5, 17, 30.125f, 0.25f, -1.5f, 12},
    {11, 31, 22.0f, 1.125f, 3.0f, 8},
};

// A navigation version no identification rule knows: the name and numbers
// must come through as sent, and the model must learn the receiver from the
// hardware report instead.
const char kFirmwareName[] = "Navigation FW";
const uint8_t kMajor = 5, kMinor = 10;
const uint16_t kFirmwareYear = 2024;
// After the reset the receiver comes back with other firmware.
const uint8_t kMinorAfterReset = 11;
// Hardware code 3001; the model's capability table gives it 0x1044.
const uint16_t kProductCode = 3001;
const uint32_t kProductBits = 0x1044;

std::string Scenario(const char* periodic, uint8_t minor, const char* health = "00 00")
{
    char buf[2048];
    snprintf(buf, sizeof buf,
             "interval_ms 1000; periodic %s; position %.17g %.17g %.17g %.17g;"
             "time %u %u 18 0; health %s; fix 4 2.5 1.3 2.1 1.0 4 9 17 31;"
             "firmware %u %u 3 7 14 %u %s; core %u %u 7 14 24;"
             "product 20261210 %u 10 12 2025 9 rxsim QBIN board",
             periodic, kLatitude, kLongitude, kHeight, kBias, kTow, kWeek, health, kMajor, minor,
             kFirmwareYear, kFirmwareName, kMajor, minor, kProductCode);
    std::string s = buf;
    for (const Channel& c : kChannels) {
        snprintf(buf, sizeof buf, "; channel %d %u %.9g %.9g %.9g %u", c.index, c.sv,
                 static_cast<double>(c.level), static_cast<double>(c.elevation),
                 static_cast<double>(c.azimuth), c.status);
        s += buf;
    }
    return s;
}

class QbinReceiverE2e : public ::testing::Test {
protected:
    RxsimClient sim{5};
    EventListener listener;
    CController link;

    void TearDown() override
    {
        if (link.GetProtocol().IsStarted()) link.Disconnect();
        PumpPending();
        if (listener.GetSafeHwnd()) listener.DestroyWindow();
        sim.Quiet();
    }

    // The link on COM5 with the auto-query on, and the receiver asked for
    // its firmware and hardware as the monitor does on connecting.
    void Connect(const std::string& scenario)
    {
        ASSERT_TRUE(listener.Create());
        link.AddListener(listener.GetSafeHwnd(), WM_RECEIVER_EVENT);
        ASSERT_TRUE(sim.Ok("scenario inline " + scenario)) << sim.LastError();
        int32_t error = -1;
        ASSERT_TRUE(link.OpenSerial(Port(5), PROTO_QBIN, &error)) << error;
        CProtocol& protocol = link.GetProtocol();
        AutoQuerySettings s;
        s.enabled = 1;
        s.queryHealth = s.querySelection = s.queryTracking = s.queryTime = 1;
        s.queryRawMeasurements = 0;
        s.periodSeconds = 1;
        ASSERT_TRUE(protocol.SetAutoQuery(s));
        ASSERT_TRUE(protocol.QueryVersion());
        // The version first: the hardware report then names the model.
        ASSERT_TRUE(PumpUntil([&] { return FirmwareMinor() == kMinor; }, 10000))
            << "no version report";
        ASSERT_TRUE(protocol.QueryHardwareVersion());
    }

    int FirmwareMinor()
    {
        FirmwareVersionRecord fw;
        memset(&fw, 0, sizeof fw);
        link.GetModel().GetFirmwareVersion(fw, 0);
        return fw.name[0] ? fw.minor : -1;
    }

    // Every value of the scenario, as the model holds it; "" when all agree.
    std::string Differences(uint8_t minor)
    {
        CModel& m = link.GetModel();
        std::string d;
        auto note = [&](bool same, const char* what) {
            if (!same) d += std::string(d.empty() ? "" : ", ") + what;
        };
        NavState nav;
        memset(&nav, 0, sizeof nav);
        m.GetNavState(nav);
        note(nav.latitude == kLatitude, "latitude");
        note(nav.longitude == kLongitude, "longitude");
        note(nav.height == kHeight, "height");
        GpsTimeInfo t;
        memset(&t, 0, sizeof t);
        m.GetTimeInfo(t);
        note(t.timeOfWeek == kTow, "time of week");
        note(t.week == kWeek, "week");
        TrackingTable table;
        memset(&table, 0, sizeof table);
        m.GetTrackingTable(table);
        for (const Channel& c : kChannels) {
            const TrackingEntry& e = table.entries[c.index];
            note(e.sv == c.sv && e.signalLevel == c.level && e.elevation == c.elevation &&
                     e.azimuth == c.azimuth && e.status == c.status,
                 "tracking entry");
        }
        note(m.GetHealthStatus() == 1, "health");
        FirmwareVersionRecord fw;
        memset(&fw, 0, sizeof fw);
        m.GetFirmwareVersion(fw, 0);
        note(strcmp(fw.name, kFirmwareName) == 0 && fw.major == kMajor && fw.minor == minor &&
                 fw.build == 3 && fw.month == 7 && fw.day == 14 && fw.year == kFirmwareYear,
             "firmware record 0");
        ProductRecord p;
        memset(&p, 0, sizeof p);
        m.GetProductInfo(p);
        note(p.code == kProductCode && strcmp(p.name, "rxsim QBIN board") == 0, "product");
        note(m.GetReceiverModel() == kProductCode, "receiver model");
        note(m.GetCapabilityBits() == kProductBits, "capability bits");
        return d;
    }

    bool HoldsScenario(uint8_t minor, DWORD timeoutMs)
    {
        return PumpUntil([&] { return Differences(minor).empty(); }, timeoutMs);
    }

    // Commands rxsim received so far (across calls).
    std::vector<std::string> received;
    bool Received(const std::string& hex)
    {
        std::vector<std::string> more;
        if (sim.Commands(more)) received.insert(received.end(), more.begin(), more.end());
        return std::find(received.begin(), received.end(), hex) != received.end();
    }
};

TEST_F(QbinReceiverE2e, ModelHoldsWhatTheReceiverReportsAndAnswers)
{
    E2E_REQUIRE_RXSIM(sim);
    ASSERT_NO_FATAL_FAILURE(Connect(Scenario("41 84 46 6D 5C", kMinor)));
    // Reports come every second: five periods are plenty.
    EXPECT_TRUE(HoldsScenario(kMinor, 5000)) << Differences(kMinor);

    // The queries the auto-query and the version requests wrote, as rxsim
    // saw them on the wire.
    for (const char* hex : {"10 26 10 03", "10 3C 00 10 03", "10 24 10 03", "10 1C 02 10 03",
                            "10 1F 10 03", "10 1C 03 10 03"}) {
        EXPECT_TRUE(PumpUntil([&] { return Received(hex); }, 10000)) << hex;
    }
    EXPECT_EQ(link.GetProtocol().GetStatistic(LINK_QBIN_BAD), 0u);
}

TEST_F(QbinReceiverE2e, VersionAfterResetOutlivesTheResetTimer)
{
    E2E_REQUIRE_RXSIM(sim);
    ASSERT_NO_FATAL_FAILURE(Connect(Scenario("41 84 46 6D 5C", kMinor)));
    ASSERT_TRUE(HoldsScenario(kMinor, 10000)) << Differences(kMinor);

    // The receiver comes back from the reset with other firmware, so the
    // version the model holds afterwards can only be the one sent after it.
    ASSERT_TRUE(sim.Ok("scenario inline " + Scenario("41 84 46 6D 5C", kMinorAfterReset)));
    ASSERT_TRUE(link.GetProtocol().ResetReceiver(1));
    EXPECT_TRUE(PumpUntil([&] { return Received("10 1E 4B 10 03"); }, 10000));
    ASSERT_TRUE(PumpUntil([&] { return FirmwareMinor() == kMinorAfterReset; }, 10000))
        << "no version after the reset";
    // Past the reset timer (3 s after the reset): the version just
    // identified must not have been wiped by it.
    PumpFor(4000);
    EXPECT_EQ(FirmwareMinor(), kMinorAfterReset);
    FirmwareVersionRecord fw;
    memset(&fw, 0, sizeof fw);
    link.GetModel().GetFirmwareVersion(fw, 0);
    EXPECT_STREQ(fw.name, kFirmwareName);
}

TEST_F(QbinReceiverE2e, FaultBurstLeavesTheModelUnchangedAndTheLinkRunning)
{
    E2E_REQUIRE_RXSIM(sim);
    ASSERT_NO_FATAL_FAILURE(Connect(Scenario("41 84 46 6D 5C", kMinor)));
    ASSERT_TRUE(HoldsScenario(kMinor, 10000)) << Differences(kMinor);

    // No more position reports: only a faulty packet could change the
    // position now. The queries are still answered.
    ASSERT_TRUE(sim.Ok("scenario inline " + Scenario("", kMinor)));
    ASSERT_TRUE(sim.WaitSent());
    int crcErrorsBefore = listener.Count(EV_CRC_ERROR);
    const int kRounds = 20;
    // A good announced report passes (it carries the scenario's position).
    // Then each round: an announcement whose CRC the position report after
    // it fails, a position report broken by a DLE pair, and garbage; both
    // reports carry positions other than the scenario's, and nothing after
    // them carries a position again.
    ASSERT_TRUE(sim.Ok("inject announced"));
    ASSERT_TRUE(sim.Ok("inject burst " + std::to_string(kRounds)));
    ASSERT_TRUE(sim.WaitSent());
    // A health change sent after the burst: once the model has it, the
    // reader has been through every byte of the burst.
    ASSERT_TRUE(sim.Ok("scenario inline " + Scenario("46", kMinor, "01 00")));
    ASSERT_TRUE(PumpUntil([&] { return link.GetModel().GetHealthStatus() == 2; }, 10000))
        << "the link stopped after the burst";
    EXPECT_GE(listener.Count(EV_CRC_ERROR) - crcErrorsBefore, kRounds);
    std::string d = Differences(kMinor);
    EXPECT_EQ(d, "health") << "changed by the faults: " << d;
    EXPECT_TRUE(link.GetProtocol().IsStarted());
}

}  // namespace
