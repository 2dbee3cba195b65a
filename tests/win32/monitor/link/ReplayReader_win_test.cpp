// The replay reader under Wine with the real stop event and clock: a replay
// at full speed is read in blocks yet a stop still ends it at once, and the
// marker frames still pace a slower replay, also when the stop comes during
// a pause.
#include <windows.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "link/CController.h"
#include "link/CPlaybackChannel.h"
#include "model/ReceiverEvent.h"

namespace {

// A QBIN health report: the marker frame of these replays.
const char kHealthFrame[] = "\x10\x46\x00\x00\x10\x03";
const BYTE kHealthId = 0x46;
const size_t kHealthLength = sizeof kHealthFrame - 1;

void PumpPending()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
}

class ReplayReaderWin : public ::testing::Test {
protected:
    void TearDown() override
    {
        m_link.Disconnect();
        PumpPending();
        for (const std::string& file : m_files) ::DeleteFileA(file.c_str());
    }

    // A recording of `frames` health reports.
    std::string MakeLog(size_t frames)
    {
        char dir[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, dir);
        char name[MAX_PATH] = {};
        ::GetTempFileNameA(dir, "vrr", 0, name);
        m_files.push_back(name);
        std::string data;
        data.reserve(frames * kHealthLength);
        for (size_t i = 0; i < frames; ++i) data.append(kHealthFrame, kHealthLength);
        FILE* f = std::fopen(name, "wb");
        std::fwrite(data.data(), 1, data.size(), f);
        std::fclose(f);
        return name;
    }

    bool Open(const std::string& file, uint32_t speed)
    {
        PlaybackSettings settings;
        settings.fileName = file.c_str();
        settings.speed = speed;
        settings.qbinMarker = kHealthId;
        int32_t error = 0;
        return m_link.OpenPlayback(settings, PROTO_QBIN, &error);
    }

    CPlaybackChannel* Replay() { return dynamic_cast<CPlaybackChannel*>(m_link.GetChannel()); }

    // Milliseconds until the reader has taken the whole file; bounded.
    DWORD MsUntilRead(uint32_t length, DWORD limitMs)
    {
        const DWORD start = ::GetTickCount();
        while (Replay() != nullptr && Replay()->GetReadCount() < length && ::GetTickCount() - start < limitMs)
            ::Sleep(1);
        return ::GetTickCount() - start;
    }

    CController m_link;
    std::vector<std::string> m_files;
};

}  // namespace

// At full speed nothing paces the replay, yet a stop ends the reader within
// a block: Disconnect returns at once and the replay is left part way.
TEST_F(ReplayReaderWin, AStopEndsAFullSpeedReplayAtOnce)
{
    const size_t frames = 4000000;   // 24 MB: far more than is read before the stop
    const std::string file = MakeLog(frames);
    ASSERT_TRUE(Open(file, 1000));
    CPlaybackChannel* replay = Replay();
    ASSERT_NE(nullptr, replay);
    const uint32_t length = replay->GetFileLength();
    ::Sleep(50);

    const DWORD start = ::GetTickCount();
    EXPECT_TRUE(m_link.Disconnect());
    const DWORD stopMs = ::GetTickCount() - start;
    EXPECT_LT(stopMs, 1000u) << "the reader must see the stop between blocks";
    EXPECT_FALSE(m_link.GetProtocol().HasReaderThread());
    std::printf("[ stop    ] full-speed replay stopped in %lu ms of a %u-byte file\n",
                static_cast<unsigned long>(stopMs), length);
}

// Each marker frame is followed by a pause of 1000 / speed ms: ten markers
// at speed 10 take about a second; at speed 1000 there is no pause at all.
TEST_F(ReplayReaderWin, MarkerFramesPaceTheReplayAndFullSpeedDoesNotPause)
{
    const size_t markers = 10;
    const std::string file = MakeLog(markers);
    const uint32_t length = static_cast<uint32_t>(markers * kHealthLength);

    ASSERT_TRUE(Open(file, 10));
    const DWORD pacedMs = MsUntilRead(length, 10000);
    EXPECT_EQ(length, Replay()->GetReadCount());
    // Nine pauses lie between the ten markers, whatever follows the last.
    EXPECT_GE(pacedMs, 850u);
    m_link.Disconnect();

    ASSERT_TRUE(Open(file, 1000));
    const DWORD fullMs = MsUntilRead(length, 10000);
    EXPECT_EQ(length, Replay()->GetReadCount());
    EXPECT_LT(fullMs * 2, pacedMs);
}

// A stop during a real-time pause (a second per marker) ends the pause, not
// only the reader's next block.
TEST_F(ReplayReaderWin, AStopDuringARealTimePauseEndsIt)
{
    const std::string file = MakeLog(100);
    ASSERT_TRUE(Open(file, 1));
    // The first marker starts a second's pause.
    const DWORD wait = ::GetTickCount();
    while (Replay()->GetReadCount() == 0 && ::GetTickCount() - wait < 2000) ::Sleep(1);
    ::Sleep(50);
    const DWORD start = ::GetTickCount();
    EXPECT_TRUE(m_link.Disconnect());
    EXPECT_LT(::GetTickCount() - start, 500u);
    EXPECT_FALSE(m_link.GetProtocol().HasReaderThread());
}
