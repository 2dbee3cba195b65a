// The raw logger over an in-memory file system that can refuse opens and fail
// writes.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <thread>

#include "framework/CFile.h"
#include "framework/MemoryFileBackend.h"
#include "link/CRawLogger.h"

namespace {

RawLogSettings Settings(const char* name, bool append = false, float limitMiB = 0.0f)
{
    RawLogSettings s;
    s.fileName = name;
    s.append = append ? 1 : 0;
    s.partLimitMiB = limitMiB;
    return s;
}

class RawLoggerTest : public testing::Test {
protected:
    void SetUp() override { CFile::SetBackend(&m_files); }
    void TearDown() override { CFile::SetBackend(nullptr); }

    // What the reader does for each received byte.
    void Feed(CRawLogger& logger, const std::string& bytes)
    {
        for (char c : bytes) {
            logger.Service();
            if (logger.IsLogging()) logger.LogByte((BYTE)c);
        }
    }
    // A started logger with a registered reader.
    void Start(CRawLogger& logger, const RawLogSettings& s)
    {
        logger.RegisterServicer();
        logger.Configure(RAWLOG_REQUEST_START, &s);
        logger.Service();
    }

    MemoryFileBackend m_files;
};

TEST(RawLoggerNames, LimitInBytes)
{
    const std::pair<float, uint32_t> cases[] = {
        {0.1f, 102400},   {0.5f, 512000},   {1.0f, 1048576}, {2.0f, 2097152}, {0.002f, 2048},
        {0.7f, 716800},   {1.5f, 1572864},  {0.0f, 0},       {-1.0f, 0},      {NAN, 0},
        {1e-9f, 1},       {5000.0f, 0xFFFFFFFFu},
    };
    for (const auto& c : cases) EXPECT_EQ(CRawLogger::LimitToBytes(c.first), c.second) << c.first;
}

TEST(RawLoggerNames, PartNameGoesBeforeTheExtension)
{
    struct Case {
        const char* base;
        int part;
        bool split;
        const char* name;
    };
    const Case cases[] = {
        {"log.qbl", 1, true, "log_00001.qbl"},
        {"log.qbl", 2, true, "log_00002.qbl"},
        {"log.qbl", 1, false, "log.qbl"},
        {"ab", 1, true, "ab_00001"},
        {"a.b", 1, true, "a_00001.b"},
        {"raw.d/log", 1, true, "raw.d/log_00001"},
        {"C:\\logs.d\\log", 3, true, "C:\\logs.d\\log_00003"},
        {"C:\\logs\\day.1.raw", 12, true, "C:\\logs\\day.1_00012.raw"},
        {"C:\\logs\\rx.nmea", 1, true, "C:\\logs\\rx_00001.nmea"},
        {"x", 123456, true, "x_123456"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CRawLogger::MakePartName(c.base, c.part, c.split), c.name) << c.base << " " << c.part;
}

TEST_F(RawLoggerTest, StartLogStop)
{
    CRawLogger logger;
    EXPECT_EQ(logger.GetState(), RAWLOG_STATE_IDLE);
    EXPECT_TRUE(logger.IsWriteEnabled());
    RawLogSettings s = Settings("rx.log");
    logger.RegisterServicer();
    logger.Configure(RAWLOG_REQUEST_START, &s);
    EXPECT_FALSE(logger.IsLogging()) << "the reader applies the start";
    Feed(logger, "$GPGGA");
    EXPECT_TRUE(logger.IsLogging());
    EXPECT_EQ(logger.GetBytesLogged(), 6u);
    EXPECT_EQ(logger.GetCurrentFileName(), "rx.log");
    EXPECT_EQ(logger.GetPartLimit(), 0u);

    logger.Configure(RAWLOG_REQUEST_STOP, nullptr);
    EXPECT_TRUE(logger.IsLogging()) << "with a reader, the reader applies the stop";
    Feed(logger, "xyz");
    EXPECT_EQ(logger.GetState(), RAWLOG_STATE_IDLE);
    EXPECT_EQ(m_files.GetFileText("rx.log"), "$GPGGA");
    EXPECT_FALSE(m_files.IsOpen("rx.log"));
    EXPECT_EQ(logger.GetBytesLogged(), 6u) << "still shown after the stop";
}

TEST_F(RawLoggerTest, RestartTruncatesUnlessAppending)
{
    m_files.SetFile("rx.log", "old");
    CRawLogger logger;
    Start(logger, Settings("rx.log"));
    Feed(logger, "new");
    logger.Configure(RAWLOG_REQUEST_STOP, nullptr);
    logger.Service();
    EXPECT_EQ(m_files.GetFileText("rx.log"), "new");

    RawLogSettings append = Settings("rx.log", true);
    logger.Configure(RAWLOG_REQUEST_START, &append);
    Feed(logger, "+1");
    EXPECT_EQ(m_files.GetFileText("rx.log"), "new+1");
    EXPECT_EQ(logger.GetBytesLogged(), 5u) << "appending counts the old size";
}

TEST_F(RawLoggerTest, LimitsSplitAtTheFirstByteAfterThePart)
{
    CRawLogger logger;
    Start(logger, Settings("log.qbl", false, 1.0f));
    EXPECT_EQ(logger.GetPartLimit(), 1048576u);
    EXPECT_EQ(logger.GetCurrentFileName(), "log_00001.qbl");
    std::string data(1048576 + 5, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = (char)(i % 251);
    Feed(logger, data);
    std::string part1, part2;
    ASSERT_TRUE(m_files.GetFile("log_00001.qbl", &part1));
    ASSERT_TRUE(m_files.GetFile("log_00002.qbl", &part2));
    EXPECT_EQ(part1.size(), 1048576u);
    ASSERT_EQ(part2.size(), 5u);
    EXPECT_EQ(part2, data.substr(1048576)) << "part 2 starts with byte 1048577";
    EXPECT_EQ(logger.GetBytesLogged(), 1048581u);
    EXPECT_EQ(logger.GetBytesInPart(), 5u);
    EXPECT_EQ(logger.GetPartNumber(), 2);
    EXPECT_FALSE(m_files.IsOpen("log_00001.qbl"));
    EXPECT_TRUE(m_files.IsOpen("log_00002.qbl"));

    for (float mib : {0.1f, 0.5f}) {
        CRawLogger other;
        Start(other, Settings("l.raw", false, mib));
        EXPECT_EQ(other.GetPartLimit(), mib == 0.1f ? 102400u : 512000u);
    }
}

TEST_F(RawLoggerTest, BlocksSplitIntoPartsAtTheExactSize)
{
    // 0.1 MiB parts: a block may fill a part, cross one, or span several.
    struct Case {
        const char* what;
        std::vector<size_t> blocks;
        std::vector<size_t> parts;
    };
    const Case cases[] = {
        {"one block across a part's end", {150000}, {102400, 47600}},
        {"a block spanning parts", {250000}, {102400, 102400, 45200}},
        {"a block ending at the part's end", {102400}, {102400}},
        {"the part's end between blocks", {102400, 1}, {102400, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_files.RemoveAllFiles();
        CRawLogger logger;
        Start(logger, Settings("b.log", false, 0.1f));
        std::string all;
        for (size_t size : c.blocks) {
            std::string block(size, '\0');
            for (size_t i = 0; i < size; ++i) block[i] = static_cast<char>((all.size() + i) % 253);
            logger.Service();
            EXPECT_TRUE(logger.LogBytes(reinterpret_cast<const BYTE*>(block.data()), block.size()));
            all += block;
        }
        std::string joined;
        for (size_t p = 0; p < c.parts.size(); ++p) {
            std::string part;
            ASSERT_TRUE(m_files.GetFile(CRawLogger::MakePartName("b.log", static_cast<int32_t>(p + 1), true).GetString(), &part));
            EXPECT_EQ(part.size(), c.parts[p]) << p + 1;
            joined += part;
        }
        EXPECT_EQ(joined, all);
        // No empty part waits after a block that ended a part exactly.
        EXPECT_FALSE(m_files.Exists(CRawLogger::MakePartName("b.log", static_cast<int32_t>(c.parts.size() + 1), true).GetString()));
        EXPECT_EQ(logger.GetBytesLogged(), all.size());
    }
}

TEST_F(RawLoggerTest, AppendRollsOverAfterWhatIsLeftOfThePart)
{
    m_files.SetFile("log_00001.qbl", std::string(2000, 'o'));
    CRawLogger logger;
    Start(logger, Settings("log.qbl", true, 0.002f));
    EXPECT_EQ(logger.GetBytesLogged(), 2000u);
    EXPECT_EQ(logger.GetBytesInPart(), 2000u);
    Feed(logger, std::string(48, 'a'));
    EXPECT_FALSE(m_files.Exists("log_00002.qbl"));
    Feed(logger, "b");
    EXPECT_EQ(m_files.GetFileText("log_00001.qbl").size(), 2048u);
    EXPECT_EQ(m_files.GetFileText("log_00002.qbl"), "b");
    EXPECT_EQ(logger.GetBytesLogged(), 2049u);
}

TEST_F(RawLoggerTest, AppendPassesOverPartsThatAreAlreadyFull)
{
    m_files.SetFile("p_00001.log", std::string(2048, '1'));
    m_files.SetFile("p_00002.log", std::string(2048, '2'));
    m_files.SetFile("p_00003.log", std::string(10, '3'));
    CRawLogger logger;
    logger.RegisterServicer();
    RawLogSettings s = Settings("p.log", true, 0.002f);
    logger.Configure(RAWLOG_REQUEST_START, &s);
    Feed(logger, "x");  // the Service that starts the log is the one before this byte
    EXPECT_EQ(logger.GetPartNumber(), 3);
    EXPECT_EQ(m_files.GetFileText("p_00003.log"), std::string(10, '3') + "x");
    EXPECT_EQ(m_files.GetFileText("p_00001.log").size(), 2048u);
    EXPECT_EQ(m_files.GetFileText("p_00002.log").size(), 2048u);
}

TEST_F(RawLoggerTest, StartWithoutANameStaysPending)
{
    CRawLogger logger;
    RawLogSettings unnamed = Settings("");
    Start(logger, unnamed);
    Feed(logger, "abc");
    EXPECT_EQ(logger.GetState(), RAWLOG_STATE_IDLE);
    EXPECT_EQ(logger.GetPendingRequest(), RAWLOG_REQUEST_START);
    EXPECT_TRUE(m_files.ListFiles().empty());
    RawLogSettings named = Settings("late.log");
    logger.Configure(RAWLOG_REQUEST_START, &named);
    Feed(logger, "d");
    EXPECT_EQ(m_files.GetFileText("late.log"), "d");
}

TEST_F(RawLoggerTest, CreateFailureFailsThenALaterStartSucceeds)
{
    m_files.FailOpen("rx.log");
    CRawLogger logger;
    Start(logger, Settings("rx.log"));
    EXPECT_EQ(logger.GetState(), RAWLOG_STATE_FAILED);
    EXPECT_FALSE(logger.IsLogging());
    EXPECT_EQ(logger.GetPendingRequest(), RAWLOG_REQUEST_NONE);
    Feed(logger, "lost");
    EXPECT_EQ(logger.GetState(), RAWLOG_STATE_FAILED) << "nothing retries on its own";

    m_files.ClearFaults();
    RawLogSettings s = Settings("rx.log");
    logger.Configure(RAWLOG_REQUEST_START, &s);
    Feed(logger, "kept");
    EXPECT_TRUE(logger.IsLogging());
    EXPECT_EQ(m_files.GetFileText("rx.log"), "kept");
}

TEST_F(RawLoggerTest, StopClearsAFailure)
{
    for (int32_t stop : {RAWLOG_REQUEST_STOP, RAWLOG_REQUEST_STOP_CLOSING}) {
        m_files.FailOpen("rx.log");
        CRawLogger logger;
        Start(logger, Settings("rx.log"));
        ASSERT_EQ(logger.GetState(), RAWLOG_STATE_FAILED);
        logger.Configure(stop, nullptr);
        logger.Service();
        EXPECT_EQ(logger.GetState(), RAWLOG_STATE_IDLE);
        EXPECT_EQ(logger.GetPendingRequest(), RAWLOG_REQUEST_NONE);
        m_files.ClearFaults();
    }
}

TEST_F(RawLoggerTest, WriteFailureFailsTheLogAndNothingElse)
{
    CRawLogger logger;
    Start(logger, Settings("rx.log"));
    m_files.FailWrite(3);  // the third byte from now meets a full disk
    int written = 0;
    for (char c : std::string("abcdef")) {
        logger.Service();
        if (logger.LogByte((BYTE)c)) ++written;  // the reader goes on either way
    }
    EXPECT_EQ(written, 2);
    EXPECT_EQ(logger.GetState(), RAWLOG_STATE_FAILED);
    EXPECT_EQ(logger.GetBytesLogged(), 2u);
    EXPECT_FALSE(m_files.IsOpen("rx.log")) << "the part is closed";
    EXPECT_EQ(m_files.GetFileText("rx.log"), "ab");

    m_files.ClearFaults();
    RawLogSettings s = Settings("rx2.log");
    logger.Configure(RAWLOG_REQUEST_START, &s);
    Feed(logger, "ok");
    EXPECT_EQ(m_files.GetFileText("rx2.log"), "ok");
}

TEST_F(RawLoggerTest, FailureWhileOpeningTheNextPart)
{
    m_files.FailOpen("s_00002.log");
    CRawLogger logger;
    Start(logger, Settings("s.log", false, 0.002f));
    Feed(logger, std::string(2048, 'a'));
    EXPECT_TRUE(logger.IsLogging());
    Feed(logger, "b");
    EXPECT_EQ(logger.GetState(), RAWLOG_STATE_FAILED);
    EXPECT_FALSE(m_files.IsOpen("s_00001.log"));
    EXPECT_EQ(m_files.GetFileText("s_00001.log").size(), 2048u);
}

TEST_F(RawLoggerTest, ClosedGateWritesAndCountsNothing)
{
    CRawLogger logger;
    Start(logger, Settings("g.log"));
    logger.SetWriteEnabled(false);
    Feed(logger, "hidden");
    EXPECT_TRUE(logger.IsLogging());
    EXPECT_EQ(logger.GetBytesLogged(), 0u);
    EXPECT_EQ(logger.GetBytesInPart(), 0u);
    EXPECT_EQ(m_files.GetWriteCount(), 0);
    logger.SetWriteEnabled(true);
    Feed(logger, "shown");
    EXPECT_EQ(m_files.GetFileText("g.log"), "shown");
    EXPECT_EQ(logger.GetBytesLogged(), 5u);
}

TEST_F(RawLoggerTest, IdleLoggerWritesNothing)
{
    CRawLogger logger;
    EXPECT_FALSE(logger.LogByte('x'));
    EXPECT_EQ(logger.GetBytesLogged(), 0u);
    EXPECT_EQ(m_files.GetWriteCount(), 0);
}

TEST_F(RawLoggerTest, WithoutAReaderStopsApplyAtOnceAndStartsWait)
{
    struct Case {
        bool readerRegistered;
        int32_t request;
        int32_t stateRightAfter;  // starting from logging
    };
    const Case cases[] = {
        {false, RAWLOG_REQUEST_STOP, RAWLOG_STATE_IDLE},
        {false, RAWLOG_REQUEST_STOP_CLOSING, RAWLOG_STATE_IDLE},
        {true, RAWLOG_REQUEST_STOP, RAWLOG_STATE_LOGGING},
        {true, RAWLOG_REQUEST_STOP_CLOSING, RAWLOG_STATE_LOGGING},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.readerRegistered << " " << c.request);
        CRawLogger logger;
        Start(logger, Settings("r.log"));
        Feed(logger, "ab");
        logger.UnregisterServicer();  // e.g. the reader ended at the end of a replay
        if (c.readerRegistered) logger.RegisterServicer();
        ASSERT_TRUE(logger.IsLogging());
        logger.Configure(c.request, nullptr);
        EXPECT_EQ(logger.GetState(), c.stateRightAfter);
        EXPECT_EQ(m_files.IsOpen("r.log"), c.stateRightAfter == RAWLOG_STATE_LOGGING);
        if (c.readerRegistered) logger.UnregisterServicer();
        EXPECT_EQ(logger.GetState(), RAWLOG_STATE_IDLE) << "a stop left behind by a leaving reader is applied";
        EXPECT_FALSE(m_files.IsOpen("r.log"));
        EXPECT_EQ(m_files.GetFileText("r.log"), "ab");
    }

    // A start waits for a reader.
    CRawLogger logger;
    RawLogSettings s = Settings("w.log");
    logger.Configure(RAWLOG_REQUEST_START, &s);
    EXPECT_FALSE(logger.IsLogging());
    EXPECT_FALSE(m_files.Exists("w.log"));
    logger.UnregisterServicer();  // an unbalanced call changes nothing
    EXPECT_FALSE(logger.HasServicer());
    {
        CRawLoggerServicer reader(&logger);
        EXPECT_TRUE(logger.HasServicer());
        Feed(logger, "z");
    }
    EXPECT_FALSE(logger.HasServicer());
    EXPECT_TRUE(logger.IsLogging());
    EXPECT_EQ(m_files.GetFileText("w.log"), "z");
}

TEST_F(RawLoggerTest, OutOfRangeRequestsAreIgnored)
{
    CRawLogger logger;
    Start(logger, Settings("o.log"));
    for (int32_t request : {-1, 4, 100}) {
        logger.Configure(request, nullptr);
        logger.Service();
        EXPECT_TRUE(logger.IsLogging());
        EXPECT_EQ(logger.GetPendingRequest(), RAWLOG_REQUEST_NONE);
    }
}

TEST_F(RawLoggerTest, StartWhileLoggingKeepsTheLog)
{
    CRawLogger logger;
    Start(logger, Settings("k.log"));
    Feed(logger, "12");
    RawLogSettings other = Settings("other.log");
    logger.Configure(RAWLOG_REQUEST_START, &other);
    Feed(logger, "3");
    EXPECT_EQ(logger.GetCurrentFileName(), "k.log");
    EXPECT_EQ(logger.GetPendingRequest(), RAWLOG_REQUEST_NONE);
    // A failure later must not turn that old start into a truncating restart.
    m_files.FailWrite(1);
    Feed(logger, "4");
    Feed(logger, "5");
    EXPECT_EQ(logger.GetState(), RAWLOG_STATE_FAILED);
    EXPECT_EQ(m_files.GetFileText("k.log"), "123");
    EXPECT_FALSE(m_files.Exists("other.log"));
}

TEST_F(RawLoggerTest, RequestsFromAnotherThreadWhileTheReaderLogs)
{
    CRawLogger logger;
    std::atomic<bool> done{false};
    std::atomic<long> fed{0};
    std::thread reader([&] {
        CRawLoggerServicer servicer(&logger);
        while (!done.load()) {
            logger.Service();
            if (logger.IsLogging()) logger.LogByte('r');
            ++fed;
        }
        logger.Service();
    });
    for (int i = 0; i < 50; ++i) {
        RawLogSettings s = Settings(i % 2 ? "odd.log" : "even.log", true, 0.001f);
        logger.Configure(RAWLOG_REQUEST_START, &s);
        while (!logger.IsLogging()) std::this_thread::yield();
        long until = fed.load() + 200;
        while (fed.load() < until) std::this_thread::yield();
        logger.Configure(RAWLOG_REQUEST_STOP, nullptr);
        while (logger.IsLogging()) std::this_thread::yield();
    }
    done.store(true);
    reader.join();
    EXPECT_EQ(logger.GetState(), RAWLOG_STATE_IDLE);
    EXPECT_EQ(m_files.GetOpenCount(), 0);
    for (const std::string& name : m_files.ListFiles())
        EXPECT_LE(m_files.GetFileText(name).size(), 1024u) << name;
}

}  // namespace
