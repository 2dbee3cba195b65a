// Commands leaving through a live link on COM5: what rxsim receives is exactly
// what the program wrote, and the auto-query's timer polls in order.
#include <gtest/gtest.h>

#include <algorithm>

#include "E2eSupport.h"
#include "framework/CArray.h"

using namespace e2e;

namespace {

CByteArray Bytes(const std::vector<uint8_t>& v)
{
    CByteArray a;
    for (uint8_t b : v) a.Add(b);
    return a;
}

// Collects what rxsim received until `want` bytes are there (or time is up).
std::vector<uint8_t> Collect(RxsimClient& sim, size_t want)
{
    std::vector<uint8_t> all;
    PumpUntil([&] {
        std::vector<uint8_t> more;
        if (sim.Received(more)) all.insert(all.end(), more.begin(), more.end());
        return all.size() >= want;
    });
    return all;
}

TEST(LinkCommandsE2e, SentPacketsArriveByteForByte)
{
    RxsimClient sim(5);
    E2E_REQUIRE_RXSIM(sim);
    EventListener listener;
    ASSERT_TRUE(listener.Create());
    CController link;
    link.AddListener(listener.GetSafeHwnd(), WM_RECEIVER_EVENT);
    int32_t error = -1;
    ASSERT_TRUE(link.OpenSerial(Port(5), PROTO_QBIN, &error)) << error;
    std::vector<uint8_t> ignored;
    sim.Received(ignored);

    // The health query, then every byte value: no line discipline, flow
    // control or CR/LF translation may change a byte on the way.
    std::vector<uint8_t> every(256);
    for (int i = 0; i < 256; ++i) every[i] = static_cast<uint8_t>(i);
    const std::vector<std::vector<uint8_t>> packets = {{0x10, 0x26, 0x10, 0x03}, every};
    for (const auto& packet : packets) {
        SCOPED_TRACE(packet.size());
        int before38 = listener.Count(EV_COMMAND_BYTES);
        int before47 = listener.Count(EV_COMMAND_WRITTEN);
        ASSERT_EQ(link.GetProtocol().SendPacket(Bytes(packet)), static_cast<int>(packet.size()));
        // 38 is sent: handled before the call returned; 47 is posted: it
        // waits for this thread to pump.
        EXPECT_EQ(listener.Count(EV_COMMAND_BYTES), before38 + 1);
        EXPECT_EQ(listener.Count(EV_COMMAND_WRITTEN), before47);
        EXPECT_EQ(Collect(sim, packet.size()), packet);
        ASSERT_TRUE(PumpUntil([&] { return listener.Count(EV_COMMAND_WRITTEN) == before47 + 1; }));
    }

    // rxsim answering: the health query comes back as a health report, which
    // the reader takes as a good QBIN frame.
    ASSERT_TRUE(sim.Ok("answer on"));
    ASSERT_EQ(link.GetProtocol().SendPacket(Bytes({0x10, 0x26, 0x10, 0x03})), 4);
    EXPECT_TRUE(PumpUntil([&] { return link.GetProtocol().GetStatistic(LINK_QBIN_GOOD) == 1; }));
    ASSERT_TRUE(sim.Ok("answer off"));
    link.Disconnect();
    PumpPending();
    listener.DestroyWindow();
}

// Splits `seq` into whole repetitions of `cycle` from `from`; the index after
// the last whole repetition, and how many there were.
size_t MatchCycles(const std::vector<std::string>& seq, size_t from,
                   const std::vector<std::string>& cycle, int& repetitions)
{
    repetitions = 0;
    size_t at = from;
    while (at + cycle.size() <= seq.size() && std::equal(cycle.begin(), cycle.end(), seq.begin() + at)) {
        at += cycle.size();
        ++repetitions;
    }
    return at;
}

TEST(LinkCommandsE2e, AutoQueryPollsTheEnabledQueriesInOrderEveryPeriod)
{
    RxsimClient sim(5);
    E2E_REQUIRE_RXSIM(sim);
    EventListener listener;  // counts the writes: one posted 47 per packet
    ASSERT_TRUE(listener.Create());
    CController link;
    link.AddListener(listener.GetSafeHwnd(), WM_RECEIVER_EVENT);
    int32_t error = -1;
    ASSERT_TRUE(link.OpenSerial(Port(5), PROTO_QBIN, &error)) << error;
    CProtocol& protocol = link.GetProtocol();
    std::vector<std::string> got;
    auto collect = [&] {
        std::vector<std::string> more;
        if (sim.Queries(more)) got.insert(got.end(), more.begin(), more.end());
    };
    auto collectUntil = [&](size_t n) {
        return PumpUntil([&] {
            collect();
            return got.size() >= n;
        });
    };

    // Everything on: health, selection, tracking, raw measurements, time.
    const std::vector<std::string> all = {"26", "24", "3C00", "3A00", "21"};
    AutoQuerySettings s;
    s.enabled = 1;
    s.queryHealth = s.querySelection = s.queryTracking = s.queryRawMeasurements = s.queryTime = 1;
    s.periodSeconds = 1;
    protocol.SetTimeQueryEnabled(true);
    ASSERT_TRUE(protocol.SetAutoQuery(s));
    ASSERT_TRUE(collectUntil(3 * all.size())) << got.size() << " queries";

    // Health off, and the time display has taken the time: neither is asked.
    // The change lands between two cycles (both run on this thread).
    const std::vector<std::string> fewer = {"24", "3C00", "3A00"};
    s.queryHealth = 0;
    protocol.SetTimeQueryEnabled(false);
    ASSERT_TRUE(protocol.SetAutoQuery(s));
    ASSERT_TRUE(collectUntil(got.size() + 3 * fewer.size()));

    // Disabled: the timer is gone. Every packet written so far has posted its
    // 47 to this thread already; nothing is written after this point.
    s.enabled = 0;
    ASSERT_TRUE(protocol.SetAutoQuery(s));
    PumpPending();
    const size_t written = static_cast<size_t>(listener.Count(EV_COMMAND_WRITTEN));
    ASSERT_TRUE(collectUntil(written));
    PumpFor(2500);  // more than two periods
    collect();
    PumpPending();
    EXPECT_EQ(listener.Count(EV_COMMAND_WRITTEN), static_cast<int>(written));
    link.Disconnect();
    listener.DestroyWindow();

    std::string text;
    for (const auto& q : got) text += q + " ";
    EXPECT_EQ(got.size(), written) << text;
    int fullCycles = 0, fewerCycles = 0;
    size_t at = MatchCycles(got, 0, all, fullCycles);
    at = MatchCycles(got, at, fewer, fewerCycles);
    EXPECT_EQ(at, got.size()) << "not whole cycles in order: " << text;
    EXPECT_GE(fullCycles, 3) << text;
    EXPECT_GE(fewerCycles, 3) << text;
}

}  // namespace
