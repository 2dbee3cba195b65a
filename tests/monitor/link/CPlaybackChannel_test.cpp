// The playback channel over an in-memory file system.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/CFile.h"
#include "framework/MemoryFileBackend.h"
#include "link/CPlaybackChannel.h"

namespace {

class PlaybackChannelTest : public testing::Test {
protected:
    void SetUp() override { CFile::SetBackend(&m_files); }
    void TearDown() override { CFile::SetBackend(nullptr); }

    PlaybackSettings Settings(const char* name)
    {
        PlaybackSettings s;
        s.fileName = name;
        return s;
    }

    MemoryFileBackend m_files;
    CStopEvent m_stop;
};

TEST_F(PlaybackChannelTest, ReadsByteByByteThenEnds)
{
    m_files.SetFile("log.qbl", std::string("\x10\x41\x03", 3));
    CPlaybackChannel channel;
    ASSERT_TRUE(channel.Open(Settings("log.qbl")));
    EXPECT_EQ(channel.GetFileLength(), 3u);
    BYTE got[3] = {};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(channel.Read(&got[i], 1, -1), 1);
    EXPECT_EQ(channel.Read(&got[0], 1, -1), -1);
    EXPECT_EQ(channel.Read(&got[0], 1, -1), -1) << "the end stays the end";
    EXPECT_EQ(std::string((char*)got, 3), std::string("\x10\x41\x03", 3));
    EXPECT_EQ(channel.GetReadCount(), 3u);

    const BYTE cmd[] = {0x10, 0x26, 0x10, 0x03};
    EXPECT_EQ(channel.Write(cmd, 4, -1), -1);
    EXPECT_EQ(channel.GetType(), CHANNEL_TYPE_PLAYBACK);
    EXPECT_TRUE(channel.Close());
    EXPECT_FALSE(channel.IsOpen());
    EXPECT_TRUE(channel.Close()) << "closing twice is harmless";
    EXPECT_EQ(channel.Read(got, 1, -1), -1);
    EXPECT_EQ(m_files.GetOpenCount(), 0);
}

TEST_F(PlaybackChannelTest, AReadNeedsAllItsBytes)
{
    m_files.SetFile("five", "abcde");
    CPlaybackChannel channel;
    ASSERT_TRUE(channel.Open(Settings("five")));
    BYTE buf[4];
    EXPECT_EQ(channel.Read(buf, 2, -1), 2);
    EXPECT_EQ(channel.Read(buf, 4, -1), -1) << "only three are left";
    EXPECT_EQ(channel.GetReadCount(), 2u);
    EXPECT_EQ(channel.Read(buf, 3, -1), 3);
    EXPECT_EQ(std::string((char*)buf, 3), "cde");
}

TEST_F(PlaybackChannelTest, BlocksAreShownUntilTakenAndTheShortLastBlockComesToo)
{
    std::string contents;
    for (int i = 0; i < 100000; ++i) contents += static_cast<char>('a' + i % 26);
    m_files.SetFile("long.qbl", contents);
    CPlaybackChannel channel;
    const BYTE* shown = nullptr;
    EXPECT_EQ(channel.Peek(&shown, 1, m_stop), -1) << "no file";
    ASSERT_TRUE(channel.Open(Settings("long.qbl")));

    // A single-byte read first: blocks go on after it.
    std::string got;
    BYTE b = 0;
    ASSERT_EQ(channel.Read(&b, 1, -1), 1);
    got += static_cast<char>(b);
    for (;;) {
        const int n = channel.Peek(&shown, CPlaybackChannel::kReadAheadSize, m_stop);
        ASSERT_GE(n, 0);
        if (n == 0) break;
        // Half a block handled: the read count follows what was taken, and
        // the rest is shown again.
        const uint32_t half = static_cast<uint32_t>(n + 1) / 2;
        got.append(reinterpret_cast<const char*>(shown), half);
        channel.Take(half);
        EXPECT_EQ(channel.GetReadCount(), got.size());
        if (static_cast<uint32_t>(n) > half) {
            const BYTE* again = nullptr;
            ASSERT_EQ(channel.Peek(&again, CPlaybackChannel::kReadAheadSize, m_stop), n - static_cast<int>(half));
            EXPECT_EQ(again, shown + half);
        }
    }
    EXPECT_EQ(got, contents);
    EXPECT_EQ(channel.Peek(&shown, 10, m_stop), 0) << "the end stays the end";
    channel.Take(5);
    EXPECT_EQ(channel.GetReadCount(), contents.size()) << "nothing to take";
    EXPECT_EQ(channel.Read(&b, 1, -1), -1);
}

TEST_F(PlaybackChannelTest, LongFileComesThroughTheReadAheadIntact)
{
    std::string data;
    for (int i = 0; i < 200000; ++i) data += (char)(i * 7 + (i >> 9));
    m_files.SetFile("big.log", data);
    CPlaybackChannel channel;
    ASSERT_TRUE(channel.Open(Settings("big.log")));
    std::string got;
    BYTE b;
    while (channel.Read(&b, 1, -1) == 1) got += (char)b;
    EXPECT_EQ(got, data);
    EXPECT_EQ(channel.GetReadCount(), 200000u);
}

TEST_F(PlaybackChannelTest, FileCutShortWhileReadEndsAtTheCut)
{
    m_files.SetFile("cut.log", std::string(100, 'x'));
    m_files.SetEarlyEnd("cut.log", 40);
    CPlaybackChannel channel;
    ASSERT_TRUE(channel.Open(Settings("cut.log")));
    EXPECT_EQ(channel.GetFileLength(), 100u);
    int bytes = 0;
    BYTE b;
    while (channel.Read(&b, 1, -1) == 1) ++bytes;
    EXPECT_EQ(bytes, 40);
}

TEST_F(PlaybackChannelTest, MissingOrRefusedFileFailsWithoutTakingTheOptions)
{
    m_files.SetFile("locked.log", "abc");
    m_files.FailOpen("locked.log");
    for (const char* name : {"missing.log", "locked.log", ""}) {
        SCOPED_TRACE(name);
        CPlaybackChannel channel;
        PlaybackSettings s = Settings(name);
        s.speed = 5;
        s.nmeaMarker = "GGA";
        EXPECT_FALSE(channel.Open(s));
        EXPECT_FALSE(channel.IsOpen());
        EXPECT_EQ(channel.GetSpeed(), 1000u);
        EXPECT_TRUE(channel.GetNmeaMarker().IsEmpty());
        BYTE b;
        EXPECT_EQ(channel.Read(&b, 1, -1), -1);
        EXPECT_TRUE(channel.Close());
    }
}

TEST_F(PlaybackChannelTest, OpenTakesEveryOption)
{
    m_files.SetFile("run.qbl", "0123456789");
    PlaybackSettings s = Settings("run.qbl");
    s.speed = 3;
    s.linkId = 0x1234;
    s.qbinMarker = 0x41;
    s.kestoClass = 0x02;
    s.kestoId = 0x11;
    s.nmeaMarker = "gga";
    s.qopMarker = "Ha";
    s.qtxtMarker = "ST";
    CPlaybackChannel channel;
    EXPECT_FALSE(channel.IsPassRawData());
    ASSERT_TRUE(channel.Open(s));
    EXPECT_EQ(channel.GetSpeed(), 3u);
    EXPECT_EQ(channel.GetFileName(), "run.qbl");
    EXPECT_EQ(channel.GetFileLength(), 10u);
    EXPECT_EQ(channel.GetReadCount(), 0u);
    EXPECT_EQ(channel.GetLinkId(), 0x1234);
    EXPECT_EQ(channel.GetQbinMarker(), 0x41);
    EXPECT_EQ(channel.GetKestoClass(), 0x02);
    EXPECT_EQ(channel.GetKestoId(), 0x11);
    EXPECT_EQ(channel.GetNmeaMarker(), "gga");
    EXPECT_EQ(channel.GetQopMarker(), "Ha");
    EXPECT_EQ(channel.GetQtxtMarker(), "ST");
    EXPECT_EQ(channel.GetMarkers().nmea, "gga");
    EXPECT_EQ(channel.GetMarkers().qbinId, 0x41);
    channel.SetPassRawData(true);
    EXPECT_TRUE(channel.IsPassRawData());

    // A second open starts over on the new file.
    BYTE b;
    channel.Read(&b, 1, -1);
    m_files.SetFile("other.qbl", "xy");
    ASSERT_TRUE(channel.Open(Settings("other.qbl")));
    EXPECT_EQ(channel.GetReadCount(), 0u);
    EXPECT_EQ(channel.GetFileLength(), 2u);
    EXPECT_EQ(channel.Read(&b, 1, -1), 1);
    EXPECT_EQ(b, 'x');
    EXPECT_EQ(m_files.GetOpenCount(), 1);
}

TEST_F(PlaybackChannelTest, SpeedOutsideOneToThousandBecomesOne)
{
    const std::pair<uint32_t, uint32_t> cases[] = {{0, 1}, {1, 1}, {3, 3}, {999, 999}, {1000, 1000}, {1001, 1},
                                                   {0xFFFFFFFFu, 1}};
    m_files.SetFile("f", "x");
    for (const auto& c : cases) {
        CPlaybackChannel channel;
        channel.SetSpeed(c.first);
        EXPECT_EQ(channel.GetSpeed(), c.second) << c.first;
        PlaybackSettings s = Settings("f");
        s.speed = c.first;
        ASSERT_TRUE(channel.Open(s));
        EXPECT_EQ(channel.GetSpeed(), c.second) << c.first;
    }
}

TEST_F(PlaybackChannelTest, ProgressIsDueAfterMoreThanOneStep)
{
    m_files.SetFile("p", std::string(40000, 'p'));
    CPlaybackChannel channel;
    ASSERT_TRUE(channel.Open(Settings("p")));
    BYTE buf[10241];
    // (bytes read now, due?) in sequence; the count restarts at each true.
    const std::pair<uint16_t, bool> steps[] = {
        {10240, false}, {1, true}, {10240, false}, {0, false}, {1, true}, {5000, false}, {5241, true},
    };
    for (const auto& s : steps) {
        if (s.first) {
            ASSERT_EQ(channel.Read(buf, s.first, -1), s.first);
        }
        EXPECT_EQ(channel.IsProgressDue(10240), s.second) << "at " << channel.GetReadCount();
    }
}

}  // namespace
