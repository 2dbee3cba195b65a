// The protocol engine's command side: the one write path (WritePacket), the
// auto-query cycle with its gaps and timers, and the timers' expiry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProtocolFakes.h"
#include "framework/CArray.h"
#include "link/CProtocol.h"
#include "link/CRawLogger.h"
#include "model/CModel.h"
#include "model/ReceiverEvent.h"
#include "monitor/model/RecordingSink.h"

using namespace prototest;

namespace {

CByteArray Packet(const Bytes& bytes)
{
    CByteArray out;
    for (uint8_t b : bytes) out.Add(b);
    return out;
}

class ProtocolCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(model.Attach(&sink, &protocol));
        protocol.SetClock(&clock);
        protocol.SetTimerHost(&timers);
    }
    void TearDown() override
    {
        protocol.Stop();
        model.Detach();
    }

    // Starts the engine on a port that never delivers a byte.
    void StartOn(FakeChannel& channel, ProtocolKind kind)
    {
        ASSERT_TRUE(protocol.Start(&channel, kind, &model, &logger));
        log.Clear();
        sink.Clear();
    }

    CallLog log;
    FakeClock clock{&log};
    RecordingTimerHost timers{&log};
    RecordingSink sink;
    CModel model;
    CRawLogger logger;
    CProtocol protocol;
};

TEST_F(ProtocolCommandTest, ACompleteWriteOnASerialLinkIsRecordedAnnouncedAndShownAsActivity)
{
    FakeChannel port(CHANNEL_TYPE_SERIAL, &log);
    StartOn(port, PROTO_QBIN);
    ProtocolKind kindDuringSend = -1;
    Bytes commandDuringSend;
    sink.onEvent = [&](int32_t event, int32_t) {
        if (event != EV_COMMAND_BYTES) return;
        CByteArray sent;
        kindDuringSend = model.GetLastSentCommand(sent);
        commandDuringSend.assign(sent.GetData(), sent.GetData() + sent.GetSize());
    };

    EXPECT_EQ(protocol.WritePacket(Packet({0x10, 0x26, 0x10, 0x03})), 4);

    EXPECT_EQ(log.Entries(), std::vector<std::string>{"write 10 26 10 03"});
    EXPECT_EQ(sink.Events(), (std::vector<RecordedEvent>{{EV_COMMAND_BYTES, 0, true}, {EV_COMMAND_WRITTEN, 0, false}}));
    EXPECT_EQ(kindDuringSend, PROTO_QBIN);
    EXPECT_EQ(commandDuringSend, (Bytes{0x10, 0x26, 0x10, 0x03}));
    EXPECT_EQ(model.GetActivityFlags() & ACTIVITY_BYTE_TRANSMITTED, ACTIVITY_BYTE_TRANSMITTED);
    EXPECT_EQ(protocol.SendPacket(Packet({0x10, 0x24, 0x10, 0x03})), 4);
    EXPECT_EQ(sink.Events().size(), 4u);
    sink.onEvent = nullptr;
    protocol.Stop();  // the channel must outlive the reader
}

TEST_F(ProtocolCommandTest, NothingIsRecordedUnlessANonEmptyArrayWasWrittenWhole)
{
    struct Case {
        const char* name;
        int channelType;
        Bytes packet;
        int writeResult;  // what the channel's Write returns
        int expected;
        int writes;       // calls that reached the channel
    };
    const Case cases[] = {
        {"empty array", CHANNEL_TYPE_SERIAL, {}, 0, -1, 0},
        {"failing write", CHANNEL_TYPE_SERIAL, {0x10, 0x26, 0x10, 0x03}, -1, -1, 1},
        {"short write", CHANNEL_TYPE_SERIAL, {0x10, 0x26, 0x10, 0x03}, 2, 2, 1},
        {"replay link", CHANNEL_TYPE_PLAYBACK, {0x10, 0x26, 0x10, 0x03}, 4, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeChannel channel(c.channelType, &log);
        channel.SetEndWhenEmpty(false);  // a replay that never ends raises no event of its own
        channel.SetWriteResult(c.writeResult);
        StartOn(channel, PROTO_QBIN);
        model.SetActivityFlag(0, true);

        EXPECT_EQ(protocol.WritePacket(Packet(c.packet)), c.expected);
        EXPECT_EQ(channel.Writes(), c.writes);
        EXPECT_TRUE(sink.Events().empty());
        EXPECT_EQ(model.GetActivityFlags() & ACTIVITY_BYTE_TRANSMITTED, 0u);
        protocol.Stop();
    }
    // A stopped engine has no link to write to.
    EXPECT_EQ(protocol.WritePacket(Packet({0x10, 0x26, 0x10, 0x03})), -1);
    EXPECT_TRUE(sink.Events().empty());
}

TEST_F(ProtocolCommandTest, AutoQueryPollsAtOnceWithItsGapsThenSetsItsTimers)
{
    const std::string health = "write 10 26 10 03", selection = "write 10 24 10 03",
                      tracking = "write 10 3C 00 10 03", raw = "write 10 3A 00 10 03", time = "write 10 21 10 03";
    const std::string gap = "sleep 10";
    struct Case {
        const char* name;
        AutoQuerySettings settings;
        bool timeQueryEnabled;
        ProtocolKind kind;
        std::vector<std::string> expected;
    };
    AutoQuerySettings allOn;
    allOn.queryRawMeasurements = 1;
    allOn.periodSeconds = 5;
    AutoQuerySettings healthOff = allOn;
    healthOff.queryHealth = 0;
    AutoQuerySettings disabled = allOn;
    disabled.enabled = 0;
    AutoQuerySettings zeroPeriod;
    zeroPeriod.periodSeconds = 0;

    const std::vector<Case> cases = {
        {"all five", allOn, true, PROTO_QBIN,
         {health, gap, selection, gap, tracking, gap, raw, gap, time, "set timer 100 5000", "set timer 15 1000"}},
        {"health off", healthOff, true, PROTO_QBIN,
         {gap, selection, gap, tracking, gap, raw, gap, time, "set timer 100 5000", "set timer 15 1000"}},
        {"time query disabled", allOn, false, PROTO_QBIN,
         {health, gap, selection, gap, tracking, gap, raw, "set timer 100 5000", "set timer 15 1000"}},
        {"disabled", disabled, true, PROTO_QBIN, {"kill timer 100", "set timer 15 1000"}},
        // The defaults leave raw measurements out; a period of 0 is taken as 1 s.
        {"defaults, period 0", zeroPeriod, true, PROTO_QBIN,
         {health, gap, selection, gap, tracking, gap, time, "set timer 100 1000", "set timer 15 1000"}},
        // NMEA has no raw-measurement query: its slot keeps only the gap.
        {"NMEA link", allOn, true, PROTO_NMEA,
         {"write 24 50 5A 55 4C 51 54 46 2A 35 30 0D 0A", gap, "write 24 47 50 47 50 51 2C 47 53 41 2A 32 38 0D 0A",
          gap, "write 24 47 50 47 50 51 2C 47 53 56 2A 33 46 0D 0A", gap, gap,
          "write 24 47 50 47 50 51 2C 5A 44 41 2A 32 32 0D 0A", "set timer 100 5000", "set timer 15 1000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeChannel port(CHANNEL_TYPE_SERIAL, &log);
        StartOn(port, c.kind);
        protocol.SetTimeQueryEnabled(c.timeQueryEnabled);
        EXPECT_TRUE(protocol.SetAutoQuery(c.settings));
        EXPECT_EQ(log.Entries(), c.expected);
        protocol.Stop();
    }
    protocol.SetTimeQueryEnabled(true);
}

TEST_F(ProtocolCommandTest, AutoQueryIsRefusedUntilStarted)
{
    EXPECT_FALSE(protocol.SetAutoQuery(AutoQuerySettings()));
    FakeChannel port(CHANNEL_TYPE_SERIAL, &log);
    StartOn(port, PROTO_QBIN);
    protocol.Stop();
    log.Clear();
    EXPECT_FALSE(protocol.SetAutoQuery(AutoQuerySettings()));
    EXPECT_TRUE(log.Entries().empty());
    EXPECT_EQ(port.Writes(), 0);
}

TEST_F(ProtocolCommandTest, TimersPollClearFlagsAndEndTheReset)
{
    FakeChannel port(CHANNEL_TYPE_SERIAL, &log);
    StartOn(port, PROTO_QBIN);
    AutoQuerySettings healthOnly;
    healthOnly.querySelection = healthOnly.queryTime = healthOnly.queryTracking = 0;
    ASSERT_TRUE(protocol.SetAutoQuery(healthOnly));
    protocol.EnterResetInProgress();
    EXPECT_TRUE(protocol.IsResetInProgress());

    struct Case {
        UINT_PTR timer;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {TIMER_AUTO_QUERY, {"write 10 26 10 03"}},
        {TIMER_CLEAR_REPORT_FLAGS, {"kill timer 15"}},
        {TIMER_RESET_DONE, {"kill timer 29"}},
        {7, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.timer);
        log.Clear();
        protocol.OnTimer(c.timer);
        EXPECT_EQ(log.Entries(), c.expected);
    }
    EXPECT_FALSE(protocol.IsResetInProgress());

    // Stop drops every timer with the link.
    log.Clear();
    protocol.Stop();
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{"kill timer 100", "kill timer 15", "kill timer 29"}));
}

} // namespace
