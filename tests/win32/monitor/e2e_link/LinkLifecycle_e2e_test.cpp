// Stopping, restarting and reconnecting a live link on COM5, with rxsim silent,
// flooding, or dropping the line: nothing hangs, nothing leaks, and the reader
// neither leaves early nor spins.
#include <gtest/gtest.h>

#include "E2eSupport.h"

using namespace e2e;

namespace {

// Wine's own bookkeeping moves the process's handle count by a few now and
// then; a handle left behind per cycle moves it by the number of cycles.
const long kHandleNoise = 5;

TEST(LinkLifecycleE2e, StopWhileSilentEndsTheReaderAndLeaksNothingOver50Cycles)
{
    RxsimClient sim(5);
    E2E_REQUIRE_RXSIM(sim);
    CountingLinkFactory factory;
    CController link;
    link.SetLinkFactory(&factory);
    int32_t error = -1;
    // Starts the reader and stops it once it really waits in a read that will
    // not end by itself: the line is silent.
    long readsAtStop = -1;
    auto startAndStop = [&](bool open) {
        // The reader that ended at the last Stop has not read since.
        if (readsAtStop >= 0) {
            EXPECT_EQ(factory.api.reads.load(), readsAtStop);
        }
        long waitsBefore = factory.api.waits.load();
        if (open) {
            ASSERT_TRUE(link.OpenSerial(Port(5), PROTO_QBIN, &error)) << error;
        } else {
            ASSERT_TRUE(link.RestartReader(PROTO_QBIN));
        }
        ASSERT_TRUE(PumpUntil([&] { return factory.api.waits.load() > waitsBefore; }));
        {
            Watchdog guard("Stop of a reader blocked in a read", 120000);
            ASSERT_TRUE(link.GetProtocol().Stop());
        }
        EXPECT_FALSE(link.GetProtocol().HasReaderThread());
        EXPECT_FALSE(link.GetProtocol().IsStarted());
        readsAtStop = factory.api.reads.load();
    };
    // Whatever a first link and a first stop make once (window classes,
    // thread pools) is made now, so the counts below see only what each
    // cycle makes.
    startAndStop(true);
    link.Disconnect();
    if (HasFatalFailure()) return;

    startAndStop(true);
    if (HasFatalFailure()) return;
    const long level = ProcessHandleCount();
    ASSERT_GT(level, 0) << "no way to count handles";
    for (int cycle = 1; cycle <= 50; ++cycle) {
        SCOPED_TRACE(cycle);
        startAndStop(false);
        if (HasFatalFailure()) return;
    }
    EXPECT_LE(ProcessHandleCount(), level + kHandleNoise) << "handles after 50 start/stop cycles";

    // Wine lets a COM port be opened twice, so a second open cannot show that
    // the port was closed; its handle can: it is no longer valid.
    CCommPort* port = dynamic_cast<CCommPort*>(link.GetChannel());
    ASSERT_NE(port, nullptr);
    HANDLE portHandle = static_cast<HANDLE>(port->GetHandle());
    DWORD flags = 0;
    ASSERT_TRUE(GetHandleInformation(portHandle, &flags));
    link.Disconnect();
    EXPECT_FALSE(GetHandleInformation(portHandle, &flags)) << "the port is still open";
}

// True once a message sent by another thread waits for this thread, which
// is then not pumping: the reader is blocked in the send.
bool WaitForSentMessage(DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE)) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(1);
    }
    return true;
}

TEST(LinkLifecycleE2e, StopWhileFloodedAndAListenerIsSlowNeverDeadlocks)
{
    RxsimClient sim(5);
    E2E_REQUIRE_RXSIM(sim);
    EventListener slow;
    ASSERT_TRUE(slow.Create());
    slow.slowRawFrameMs = 3;
    bool stopping = false;
    slow.duringFlag = &stopping;
    CController link;
    link.AddListener(slow.GetSafeHwnd(), WM_RECEIVER_EVENT);
    int32_t error = -1;
    ASSERT_TRUE(link.OpenSerial(Port(5), PROTO_QBIN, &error)) << error;
    ASSERT_TRUE(sim.Ok("flood on"));
    long baseline = -1;
    for (int cycle = 0; cycle < 100; ++cycle) {
        SCOPED_TRACE(cycle);
        if (cycle > 0) {
            ASSERT_TRUE(link.RestartReader(PROTO_QBIN));
        }
        size_t before = slow.seen.size();
        ASSERT_TRUE(PumpUntil([&] { return slow.seen.size() > before + 3; }));
        // Stop pumping until the reader is blocked sending the next raw frame
        // to this very thread: Stop has to deliver it while it waits, or
        // neither thread can go on.
        ASSERT_TRUE(WaitForSentMessage(30000)) << "the reader never sent a raw frame";
        int during = slow.rawFramesDuringFlag;
        stopping = true;
        {
            Watchdog guard("Stop with a raw frame waiting on this thread", 120000);
            ASSERT_TRUE(link.GetProtocol().Stop());
        }
        stopping = false;
        EXPECT_GT(slow.rawFramesDuringFlag, during) << "Stop did not deliver the waiting raw frame";
        ASSERT_FALSE(link.GetProtocol().HasReaderThread());
        if (cycle == 0) baseline = ProcessHandleCount();
    }
    long after = ProcessHandleCount();
    ASSERT_TRUE(sim.Ok("flood off"));
    link.Disconnect();
    ASSERT_TRUE(sim.Quiet());
    PumpPending();
    slow.DestroyWindow();
    EXPECT_LE(after, baseline + kHandleNoise) << "handles after 100 flooded start/stop cycles";
}

TEST(LinkLifecycleE2e, Reconnect20TimesCountersRestartAtZeroAndFramesAreFound)
{
    RxsimClient sim(5);
    E2E_REQUIRE_RXSIM(sim);
    CController link;
    long closed = -1;
    for (int cycle = 0; cycle < 20; ++cycle) {
        SCOPED_TRACE(cycle);
        ASSERT_TRUE(sim.Quiet());
        int32_t error = -1;
        ASSERT_TRUE(link.OpenSerial(Port(5), PROTO_QBIN, &error)) << error;
        EXPECT_EQ(CounterDifferences(Counters(link.GetProtocol()), std::vector<uint32_t>(13, 0)), "");
        ASSERT_TRUE(sim.Ok("script good 2"));
        ASSERT_TRUE(sim.WaitSent());
        RxsimTruth truth;
        ASSERT_TRUE(sim.Truth(truth));
        ASSERT_TRUE(PumpUntil([&] {
            return link.GetProtocol().GetStatistic(LINK_BYTES) >= truth.Get("bytes") &&
                   link.GetProtocol().GetStatistic(LINK_GOOD) >= truth.Get("good");
        })) << truth.text;
        // Stop, Close (the port), then Open and Start again on the next round.
        link.Disconnect();
        EXPECT_EQ(CounterDifferences(Counters(link.GetProtocol()), truth), "") << truth.text;
        // Each reconnect closes what it opened.
        if (cycle == 0) closed = ProcessHandleCount();
        EXPECT_LE(ProcessHandleCount(), closed + kHandleNoise);
    }
}

// What rxsim reports of its line ("up", "down" or "cut").
std::string LineState(RxsimClient& sim)
{
    std::string status = sim.Command("status");
    size_t at = status.find("line=");
    if (at == std::string::npos) return "";
    size_t end = status.find(' ', at);
    return status.substr(at + 5, end == std::string::npos ? std::string::npos : end - at - 5);
}

// Drops the line for 2 s with the reader running. The reader must keep
// reading (not end) without spinning: a hung-up pty fails every read at once,
// so only the pause after a failed read keeps the count low.
void DropAndWatch(RxsimClient& sim, CountingLinkFactory& factory, CController& link, bool keep,
                  long& readsDuringDrop)
{
    const long before = factory.api.reads.load();
    ASSERT_TRUE(sim.Ok(keep ? "drop 2 keep" : "drop 2"));
    ASSERT_TRUE(PumpUntil([&] { return LineState(sim) == "up"; }, 30000));
    readsDuringDrop = factory.api.reads.load() - before;
    EXPECT_TRUE(link.GetProtocol().IsStarted());
    EXPECT_TRUE(link.GetProtocol().HasReaderThread());
}

TEST(LinkLifecycleE2e, LineDropForTwoSecondsNeitherEndsNorSpinsTheReader)
{
    RxsimClient sim(5);
    E2E_REQUIRE_RXSIM(sim);
    CountingLinkFactory factory;
    CController link;
    link.SetLinkFactory(&factory);
    int32_t error = -1;
    auto framesCome = [&] {
        uint32_t good = link.GetProtocol().GetStatistic(LINK_GOOD);
        return sim.Ok("script good 2") && PumpUntil([&] {
                   return link.GetProtocol().GetStatistic(LINK_GOOD) >= good + 10;
               });
    };

    // A cut line (the pty stays, nothing passes): frames come again on the
    // same open port once it is back.
    ASSERT_TRUE(link.OpenSerial(Port(5), PROTO_QBIN, &error)) << error;
    ASSERT_TRUE(framesCome());
    long reads = 0;
    DropAndWatch(sim, factory, link, true, reads);
    EXPECT_LT(reads, 1000);
    EXPECT_TRUE(framesCome()) << "no frames on the same port after the line came back";

    // A hang-up (the pty goes away, as an unplugged adapter): every read fails
    // at once. The reader must pause between them, keep going, and leave only
    // when stopped. The old pty cannot come back, so frames come again after a
    // reconnect to the new one.
    DropAndWatch(sim, factory, link, false, reads);
    EXPECT_LT(reads, 1000) << "the reader spins on a failing read";
    EXPECT_GT(reads, 0);
    const long afterDrop = factory.api.reads.load();
    ASSERT_TRUE(PumpUntil([&] { return factory.api.reads.load() > afterDrop + 3; }))
        << "the reader stopped reading after the line failed";
    link.Disconnect();
    ASSERT_TRUE(link.OpenSerial(Port(5), PROTO_QBIN, &error)) << error;
    EXPECT_TRUE(framesCome()) << "no frames after reconnecting to the restored line";
    link.Disconnect();
}

}  // namespace
