// The raw log of a live link on COM5: while it is still being written, a
// second writer is refused and a replay of it at speed 1000 counts exactly
// what the live link counted.
#include <gtest/gtest.h>

#include "E2eSupport.h"
#include "framework/CFile.h"

using namespace e2e;

namespace {

TEST(RawLogE2e, LogBeingWrittenRefusesASecondWriterAndReplaysToTheLiveCounters)
{
    RxsimClient sim(5);
    E2E_REQUIRE_RXSIM(sim);
    const std::string path = FreshTempFile("e2e_rawlog.qbl");

    CController live;
    // Asked before the link starts, the log begins with the reader's first
    // byte (a start waits for a reader to service it).
    RawLogSettings settings;
    settings.fileName = path.c_str();
    live.GetRawLogger().Configure(RAWLOG_REQUEST_START, &settings);
    int32_t error = -1;
    ASSERT_TRUE(live.OpenSerial(Port(5), PROTO_QBIN, &error)) << error;
    ASSERT_TRUE(sim.Ok("script mixed 2"));
    ASSERT_TRUE(sim.WaitSent());
    RxsimTruth truth;
    ASSERT_TRUE(sim.Truth(truth));
    ASSERT_TRUE(PumpUntil([&] { return live.GetProtocol().GetStatistic(LINK_BYTES) >= truth.Get("bytes"); }));
    const std::vector<uint32_t> liveCounters = Counters(live.GetProtocol());
    EXPECT_EQ(CounterDifferences(liveCounters, truth), "") << truth.text;
    ASSERT_TRUE(live.GetRawLogger().IsLogging());
    EXPECT_EQ(live.GetRawLogger().GetBytesLogged(), truth.Get("bytes"));

    // Still logging: nobody else may write the file...
    CFile second;
    CFileException ex;
    EXPECT_FALSE(second.Open(path.c_str(), CFile::modeWrite | CFile::modeNoTruncate | CFile::shareDenyNone |
                                               CFile::typeBinary, &ex));
    HANDLE raw = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(raw, INVALID_HANDLE_VALUE);
    if (raw != INVALID_HANDLE_VALUE) CloseHandle(raw);

    // ...but a replay reads it, and counts what the live link counted.
    EventListener listener;
    ASSERT_TRUE(listener.Create());
    CController replay;
    replay.AddListener(listener.GetSafeHwnd(), WM_RECEIVER_EVENT);
    PlaybackSettings ps;
    ps.fileName = path.c_str();
    ps.speed = 1000;
    ps.linkId = 99;
    ASSERT_TRUE(replay.OpenPlayback(ps, PROTO_QBIN, &error)) << error;
    ASSERT_TRUE(PumpUntil([&] { return listener.Count(EV_END_OF_DATA) == 1; }));
    EXPECT_EQ(CounterDifferences(Counters(replay.GetProtocol()), liveCounters), "");
    replay.Disconnect();

    live.Disconnect();
    EXPECT_FALSE(live.GetRawLogger().IsLogging());
    PumpPending();
    listener.DestroyWindow();
    DeleteFileA(path.c_str());
}

}  // namespace
