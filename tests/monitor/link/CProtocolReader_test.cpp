// The reader thread's life under the protocol engine: start and stop with the
// reader blocked in a read, pausing, or at the end of a replay; the hand-over
// of the channel and the raw log at Stop; retries of failed reads; and the
// vendor sub-mode a running link learns.
#include <gtest/gtest.h>

#include <future>
#include <string>
#include <thread>
#include <vector>

#include "ProtocolFakes.h"
#include "framework/CFile.h"
#include "framework/MemoryFileBackend.h"
#include "link/CConverterEngine.h"
#include "link/CPlaybackChannel.h"
#include "link/CProtocol.h"
#include "link/CRawLogger.h"
#include "model/CModel.h"
#include "model/ReceiverEvent.h"
#include "monitor/model/RecordingSink.h"

using namespace prototest;

namespace {

Bytes B(const std::string& text) { return Bytes(text.begin(), text.end()); }

const Bytes kGoodNmea = B("$GPGGA*56\r\n");
const Bytes kQbinMarker = {0x10, 0x41, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x10, 0x03};  // full-length 0x41

int CountEvents(const std::vector<RecordedEvent>& events, int32_t code)
{
    int n = 0;
    for (const RecordedEvent& e : events) n += e.event == code;
    return n;
}

class ProtocolReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CFile::SetBackend(&files);
        ASSERT_TRUE(model.Attach(&sink, &protocol));
        protocol.SetClock(&clock);
    }
    void TearDown() override
    {
        protocol.Stop();
        model.Detach();
        CFile::SetBackend(nullptr);
    }

    // A replay of `contents` at `speed`, paced by QBIN packet 0x41.
    bool OpenReplay(CPlaybackChannel& replay, const Bytes& contents, uint32_t speed)
    {
        files.SetFile("replay.qbl", contents.data(), contents.size());
        PlaybackSettings settings;
        settings.fileName = "replay.qbl";
        settings.speed = speed;
        settings.qbinMarker = 0x41;
        return replay.Open(settings);
    }

    // Starts the reader and waits until it has ended by itself and let go of
    // the logger.
    void RunToTheEnd(CChannel& channel, ProtocolKind kind, CConverterEngine* converter = nullptr)
    {
        std::promise<void> ended;
        sink.onEvent = [&](int32_t event, int32_t) {
            if (event == EV_END_OF_DATA) ended.set_value();
        };
        ASSERT_TRUE(protocol.Start(&channel, kind, &model, &logger, converter));
        ended.get_future().wait();
        while (logger.HasServicer()) std::this_thread::yield();
        sink.onEvent = nullptr;
    }

    MemoryFileBackend files;
    RecordingSink sink;
    CModel model;
    CRawLogger logger;
    FakeClock clock;
    CProtocol protocol;
};

TEST_F(ProtocolReaderTest, StopDuringABlockedReadReturnsOnlyAfterTheReaderEnded)
{
    FakeChannel port(CHANNEL_TYPE_SERIAL);
    port.QueueBytes(kGoodNmea);
    ASSERT_TRUE(protocol.Start(&port, PROTO_NMEA, &model, &logger));
    port.WaitUntilBlocked();
    EXPECT_EQ(protocol.GetStatistic(LINK_BYTES), kGoodNmea.size());
    EXPECT_EQ(protocol.GetStatistic(LINK_NMEA_GOOD), 1u);

    EXPECT_TRUE(protocol.Stop());
    // What the owner does next: close and delete the channel. The reader must
    // be gone by now.
    port.Release();
    EXPECT_FALSE(protocol.HasReaderThread());
    EXPECT_FALSE(protocol.IsStarted());
    EXPECT_EQ(port.ReadsEndedByStop(), 1);
    EXPECT_EQ(port.CallsAfterRelease(), 0);
    // Waking the read took the stop event, not a plain read with a time-out.
    EXPECT_EQ(port.PlainReads(), 0);
}

TEST_F(ProtocolReaderTest, StopDuringARealTimePacingPauseEndsThroughTheStopEvent)
{
    CPlaybackChannel replay;
    Bytes contents = kQbinMarker;
    contents.insert(contents.end(), kGoodNmea.begin(), kGoodNmea.end());
    ASSERT_TRUE(OpenReplay(replay, contents, 1));
    clock.HoldPausesFrom(1000);

    ASSERT_TRUE(protocol.Start(&replay, PROTO_QBIN, &model, &logger));
    clock.WaitUntilHolding();
    EXPECT_TRUE(protocol.Stop());

    EXPECT_FALSE(protocol.HasReaderThread());
    EXPECT_EQ(clock.StopAwarePauses(), std::vector<uint32_t>{1000});
    EXPECT_EQ(clock.PausesEndedByStop(), 1);
    EXPECT_EQ(clock.PausesRanOut(), 0);
    // The reader left at once: nothing after the marker packet was read, and
    // the replay did not run on to its end.
    EXPECT_EQ(protocol.GetStatistic(LINK_BYTES), kQbinMarker.size());
    EXPECT_EQ(CountEvents(sink.Events(), EV_END_OF_DATA), 0);
}

TEST_F(ProtocolReaderTest, ReplayEndingMidFrameAnnouncesTheEndOnceAndALaterStopClosesTheLog)
{
    struct Case {
        const char* name;
        bool gateOpen;
    };
    for (const Case& c : {Case{"gate open", true}, Case{"gate closed", false}}) {
        SCOPED_TRACE(c.name);
        sink.Clear();
        files.RemoveAllFiles();
        CPlaybackChannel replay;
        // A good marker packet, then a sentence the file cuts short.
        Bytes contents = kQbinMarker;
        Bytes partial = B("$GPGGA,1234");
        contents.insert(contents.end(), partial.begin(), partial.end());
        ASSERT_TRUE(OpenReplay(replay, contents, 1000));

        RawLogSettings log;
        log.fileName = "raw.log";
        logger.SetWriteEnabled(c.gateOpen);
        logger.Configure(RAWLOG_REQUEST_START, &log);

        std::promise<void> ended;
        sink.onEvent = [&](int32_t event, int32_t) {
            if (event == EV_END_OF_DATA) ended.set_value();
        };
        ASSERT_TRUE(protocol.Start(&replay, PROTO_QBIN, &model, &logger));
        // The reader ends by itself, letting go of the logger last; the engine
        // stays started until Stop.
        ended.get_future().wait();
        while (logger.HasServicer()) std::this_thread::yield();
        sink.onEvent = nullptr;

        std::vector<RecordedEvent> events = sink.Events();
        EXPECT_EQ(CountEvents(events, EV_END_OF_DATA), 1);
        EXPECT_EQ(events.back(), (RecordedEvent{EV_END_OF_DATA, 0, false}));
        EXPECT_EQ(protocol.GetStatistic(LINK_BYTES), contents.size());
        EXPECT_EQ(protocol.GetStatistic(LINK_QBIN_GOOD), 1u);
        EXPECT_EQ(protocol.GetStatistic(LINK_NMEA_GOOD) + protocol.GetStatistic(LINK_NMEA_BAD), 0u);
        EXPECT_EQ(CountEvents(events, EV_FRAME_RECEIVED), 1);
        // The end-of-file pause went through the stop-aware clock.
        EXPECT_EQ(clock.StopAwarePauses().back(), 10u);
        EXPECT_TRUE(protocol.IsStarted());

        // No reader serves the logger any more: the stop applies at once.
        EXPECT_TRUE(logger.IsLogging());
        logger.Configure(RAWLOG_REQUEST_STOP_CLOSING, nullptr);
        EXPECT_FALSE(logger.IsLogging());
        EXPECT_FALSE(files.IsOpen("raw.log"));
        std::string logged;
        ASSERT_TRUE(files.GetFile("raw.log", &logged));
        EXPECT_EQ(logged, c.gateOpen ? std::string(contents.begin(), contents.end()) : std::string());
        EXPECT_EQ(logger.GetBytesLogged(), c.gateOpen ? contents.size() : 0u);

        protocol.Stop();
        replay.Close();
    }
    logger.SetWriteEnabled(true);
}

TEST_F(ProtocolReaderTest, ReplayInBlocksHandlesAndLogsEveryByteAndSplitsTheLogExactly)
{
    // Two whole blocks and a short last one; the log's parts end inside blocks.
    Bytes contents;
    size_t sentences = 0;
    while (contents.size() < 2 * CProtocol::kReplayBlockSize + 37) {
        contents.insert(contents.end(), kGoodNmea.begin(), kGoodNmea.end());
        ++sentences;
    }
    CPlaybackChannel replay;
    ASSERT_TRUE(OpenReplay(replay, contents, 1000));
    RawLogSettings log;
    log.fileName = "raw.log";
    log.partLimitMiB = 0.05f;  // 51200 bytes
    logger.Configure(RAWLOG_REQUEST_START, &log);

    RunToTheEnd(replay, PROTO_NMEA);
    EXPECT_EQ(protocol.GetStatistic(LINK_BYTES), contents.size());
    EXPECT_EQ(protocol.GetStatistic(LINK_NMEA_GOOD), sentences);
    EXPECT_EQ(CountEvents(sink.Events(), EV_END_OF_DATA), 1);
    EXPECT_EQ(replay.GetReadCount(), contents.size());

    logger.Configure(RAWLOG_REQUEST_STOP, nullptr);
    std::string joined;
    for (int part = 1; part <= 4; ++part) {
        std::string text;
        const bool exists = files.GetFile(CRawLogger::MakePartName("raw.log", part, true).GetString(), &text);
        ASSERT_EQ(exists, part <= 3) << part;
        if (part < 3) {
            EXPECT_EQ(text.size(), 51200u) << part;
        }
        joined += text;
    }
    EXPECT_EQ(joined, std::string(contents.begin(), contents.end()));
    protocol.Stop();
}

TEST_F(ProtocolReaderTest, AReaderStoppedInsideABlockLeavesTheRestToTheNextOne)
{
    Bytes contents;
    for (int i = 0; i < 5; ++i) contents.insert(contents.end(), kGoodNmea.begin(), kGoodNmea.end());
    CPlaybackChannel replay;
    ASSERT_TRUE(OpenReplay(replay, contents, 1000));
    RawLogSettings log;
    log.fileName = "raw.log";
    logger.Configure(RAWLOG_REQUEST_START, &log);

    // The first sentence's event stops the reader from its own thread.
    std::promise<void> heard;
    bool once = false;
    sink.onEvent = [&](int32_t event, int32_t) {
        if (event != EV_FRAME_RECEIVED || once) return;
        once = true;
        protocol.RequestStop();
        heard.set_value();
    };
    ASSERT_TRUE(protocol.Start(&replay, PROTO_NMEA, &model, &logger));
    heard.get_future().wait();
    protocol.Stop();
    sink.onEvent = nullptr;
    EXPECT_EQ(protocol.GetStatistic(LINK_NMEA_GOOD), 1u);
    EXPECT_EQ(replay.GetReadCount(), kGoodNmea.size()) << "the progress shows what was handled";
    EXPECT_EQ(CountEvents(sink.Events(), EV_END_OF_DATA), 0);

    // A new reader on the same replay goes on where the first one stopped.
    RunToTheEnd(replay, PROTO_NMEA);
    EXPECT_EQ(protocol.GetStatistic(LINK_NMEA_GOOD), 4u);
    EXPECT_EQ(replay.GetReadCount(), contents.size());
    logger.Configure(RAWLOG_REQUEST_STOP, nullptr);
    EXPECT_EQ(files.GetFileText("raw.log"), std::string(contents.begin(), contents.end()));
    protocol.Stop();
}

TEST_F(ProtocolReaderTest, ConversionThatStopsWritingEndsTheReplay)
{
    // The decoder's translation goes to the CRC log, which cannot be made:
    // the engine fails at the first sentence.
    FrameDispatchTable dispatch = GetDefaultFrameDispatch();
    dispatch.Find(PROTO_NMEA)->decode = [](const BYTE*, int, CModel*, CConverterEngine* conv, ProtocolKind*) {
        if (conv != nullptr) conv->WriteTranslationText("x", false, true);
    };
    protocol.SetFrameDispatch(&dispatch);
    struct Case {
        const char* what;
        bool abort;
        int ends;               // end-of-data announcements
        uint32_t sentences;     // handled before the reader left
    };
    const Case cases[] = {
        {"failed: the end is still announced", false, 1, 1},
        {"aborted: the reader leaves quietly", true, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sink.Clear();
        files.RemoveAllFiles();
        files.FailOpen("replay_crcLog.txt.part");
        CPlaybackChannel replay;
        Bytes contents;
        for (int i = 0; i < 3; ++i) contents.insert(contents.end(), kGoodNmea.begin(), kGoodNmea.end());
        ASSERT_TRUE(OpenReplay(replay, contents, 1000));
        CConverterEngine engine;
        ConverterOptions options;
        options.inputPath = "replay.qbl";
        options.textTranslation = true;
        options.overwrite = true;
        ASSERT_EQ(engine.Open(options, &model), CONVERTER_OPEN_OK);
        if (c.abort) engine.Abort();

        if (c.ends != 0) {
            RunToTheEnd(replay, PROTO_QBIN, &engine);
        } else {
            // The reader's last act is to service the logger: a pending start
            // opens the log then, so an open log without a servicer means the
            // reader has ended by itself.
            RawLogSettings log;
            log.fileName = "raw.log";
            logger.Configure(RAWLOG_REQUEST_START, &log);
            ASSERT_TRUE(protocol.Start(&replay, PROTO_QBIN, &model, &logger, &engine));
            while (!logger.IsLogging() || logger.HasServicer()) std::this_thread::yield();
            EXPECT_EQ(replay.GetReadCount(), 0u);
            logger.Configure(RAWLOG_REQUEST_STOP, nullptr);
        }
        protocol.Stop();
        EXPECT_EQ(CountEvents(sink.Events(), EV_END_OF_DATA), c.ends);
        EXPECT_EQ(protocol.GetStatistic(LINK_NMEA_GOOD), c.sentences);
        EXPECT_EQ(engine.HasFailed(), !c.abort);
        engine.Finish();
        EXPECT_FALSE(files.Exists("replay.txt.part"));
        files.ClearFaults();
    }
    protocol.SetFrameDispatch(nullptr);
}

TEST_F(ProtocolReaderTest, ConversionReportsTheFilePositionOfTheByteBeingHandled)
{
    // A broken packet well inside the second block of a QBIN log: its line
    // names the position after the byte that broke it, not the end of the
    // block read.
    Bytes contents;
    while (contents.size() < CProtocol::kReplayBlockSize + 1000)
        contents.insert(contents.end(), kQbinMarker.begin(), kQbinMarker.end());
    const size_t at = contents.size();
    const Bytes broken = {0x10, 0x46, 0x01, 0x10, 0x41, 0x02, 0x03, 0x10, 0x03};
    contents.insert(contents.end(), broken.begin(), broken.end());
    contents.insert(contents.end(), kQbinMarker.begin(), kQbinMarker.end());
    CPlaybackChannel replay;
    ASSERT_TRUE(OpenReplay(replay, contents, 1000));
    CConverterEngine engine;
    ConverterOptions options;
    options.inputPath = "replay.qbl";
    options.textTranslation = true;
    options.translationHeader = false;
    options.overwrite = true;
    ASSERT_EQ(engine.Open(options, &model), CONVERTER_OPEN_OK);
    RunToTheEnd(replay, PROTO_QBIN, &engine);
    protocol.Stop();
    engine.Finish();
    char expected[32];
    snprintf(expected, sizeof expected, "File position: 0x%08X", static_cast<unsigned>(at + 5));
    EXPECT_NE(files.GetFileText("replay.txt").find(expected), std::string::npos) << expected;
}

TEST_F(ProtocolReaderTest, StartOnAStartedEngineStopsItFirstAndRestartsTheCounters)
{
    FakeChannel first(CHANNEL_TYPE_SERIAL);
    first.QueueBytes(kGoodNmea);
    ASSERT_TRUE(protocol.Start(&first, PROTO_SIRF_NMEA, &model, &logger));
    first.WaitUntilBlocked();
    ASSERT_EQ(protocol.GetStatistic(LINK_GOOD), 1u);
    ASSERT_EQ(protocol.GetLastProtocol(), PROTO_NMEA);
    ASSERT_EQ(protocol.GetVendorSubMode(), PROTO_SIRF_NMEA);

    FakeChannel second(CHANNEL_TYPE_SERIAL);
    ASSERT_TRUE(protocol.Start(&second, PROTO_QBIN, &model, &logger));
    first.Release();
    EXPECT_EQ(first.ReadsEndedByStop(), 1);
    for (int i = 0; i < LINK_COUNTER_COUNT; ++i) EXPECT_EQ(protocol.GetStatistic(LinkCounter(i)), 0u) << i;
    EXPECT_EQ(protocol.GetLastProtocol(), PROTO_NONE);
    EXPECT_EQ(protocol.GetVendorSubMode(), PROTO_NONE);
    EXPECT_EQ(protocol.GetProtocol(), PROTO_QBIN);
    EXPECT_TRUE(protocol.IsStarted());

    second.WaitUntilBlocked();
    protocol.Stop();
    EXPECT_EQ(first.CallsAfterRelease(), 0);
}

TEST_F(ProtocolReaderTest, StartIsRefusedWithoutItsPartsOrForAnUnknownKind)
{
    FakeChannel port(CHANNEL_TYPE_SERIAL);
    struct Case {
        const char* name;
        CChannel* channel;
        ProtocolKind kind;
        CModel* model;
        CRawLogger* logger;
    };
    const Case cases[] = {
        {"no channel", nullptr, PROTO_QBIN, &model, &logger},
        {"no model", &port, PROTO_QBIN, nullptr, &logger},
        {"no raw logger", &port, PROTO_QBIN, &model, nullptr},
        {"kind 22", &port, 22, &model, &logger},
        {"kind -1", &port, -1, &model, &logger},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(protocol.Start(c.channel, c.kind, c.model, c.logger));
        EXPECT_FALSE(protocol.IsStarted());
        EXPECT_FALSE(protocol.HasReaderThread());
    }
}

TEST_F(ProtocolReaderTest, ALiveReaderRunsAboveNormalAndAReplayBelow)
{
    struct Case {
        int type;
        int32_t priority;
    };
    for (const Case& c : {Case{CHANNEL_TYPE_SERIAL, READER_PRIORITY_ABOVE_NORMAL},
                          Case{CHANNEL_TYPE_PLAYBACK, READER_PRIORITY_BELOW_NORMAL}}) {
        SCOPED_TRACE(c.type);
        FakeChannel channel(c.type);
        ASSERT_TRUE(protocol.Start(&channel, PROTO_QBIN, &model, &logger));
        EXPECT_EQ(protocol.GetReaderPriority(), c.priority);
        protocol.Stop();
    }
}

TEST_F(ProtocolReaderTest, FailedOrEmptySerialReadsAreNoBytesAndArePausedBeforeTheRetry)
{
    FakeChannel port(CHANNEL_TYPE_SERIAL);
    port.QueueResult(READ_FAILS);
    port.QueueResult(READ_EMPTY);
    port.QueueBytes(B("$GPGGA*56"));
    port.QueueResult(READ_FAILS);
    port.QueueBytes(B("\r\n"));
    ASSERT_TRUE(protocol.Start(&port, PROTO_NMEA, &model, &logger));
    port.WaitUntilBlocked();

    // Three reads gave nothing, each followed by a pause the stop can cut;
    // the sentence split by a failure still arrives whole.
    EXPECT_EQ(clock.StopAwarePauses(), (std::vector<uint32_t>{10, 10, 10}));
    EXPECT_EQ(protocol.GetStatistic(LINK_BYTES), kGoodNmea.size());
    EXPECT_EQ(protocol.GetStatistic(LINK_NMEA_GOOD), 1u);
    EXPECT_EQ(CountEvents(sink.Events(), EV_END_OF_DATA), 0);
    EXPECT_TRUE(protocol.HasReaderThread());
    protocol.Stop();  // the channel must outlive the reader
}

TEST_F(ProtocolReaderTest, AListenerThatStopsTheEngineFromASentEventEndsTheReaderAfterThatFrame)
{
    FakeChannel port(CHANNEL_TYPE_SERIAL);
    port.QueueBytes(kGoodNmea);
    port.QueueBytes(kGoodNmea);
    // Natively the listener runs on the reader thread: its Stop can only ask.
    std::promise<bool> listenerStopped;
    sink.onEvent = [&](int32_t event, int32_t) {
        if (event == EV_RAW_FRAME) listenerStopped.set_value(protocol.Stop());
    };
    ASSERT_TRUE(protocol.Start(&port, PROTO_NMEA, &model, &logger));
    EXPECT_TRUE(listenerStopped.get_future().get());
    protocol.Stop();
    sink.onEvent = nullptr;

    EXPECT_FALSE(protocol.HasReaderThread());
    // The first sentence was finished; the reader then left without reading
    // the second one or waiting in a read.
    EXPECT_EQ(protocol.GetStatistic(LINK_BYTES), kGoodNmea.size());
    EXPECT_EQ(protocol.GetStatistic(LINK_NMEA_GOOD), 1u);
    EXPECT_EQ(CountEvents(sink.Events(), EV_RAW_FRAME), 1);
    EXPECT_EQ(port.ReadsEndedByStop(), 0);
}

TEST_F(ProtocolReaderTest, ADialectHeardOnTheLinkSwitchesTheSubModeOnlyOnNmeaAndAutoLinks)
{
    FrameDispatchTable dispatch = GetDefaultFrameDispatch();
    dispatch.Find(PROTO_NMEA)->decode = [](const BYTE*, int, CModel*, CConverterEngine*, ProtocolKind* dialect) {
        if (dialect != nullptr) *dialect = PROTO_SIRF_NMEA;
    };
    protocol.SetFrameDispatch(&dispatch);
    struct Case {
        ProtocolKind protocol;
        ProtocolKind subMode;
    };
    for (const Case& c : {Case{PROTO_QBIN, 0}, Case{PROTO_NMEA, 10}, Case{PROTO_AUTO, 10}}) {
        SCOPED_TRACE(c.protocol);
        FakeChannel port(CHANNEL_TYPE_SERIAL);
        port.QueueBytes(kGoodNmea);
        ASSERT_TRUE(protocol.Start(&port, c.protocol, &model, &logger));
        port.WaitUntilBlocked();
        EXPECT_EQ(protocol.GetStatistic(LINK_NMEA_GOOD), 1u);
        EXPECT_EQ(protocol.GetVendorSubMode(), c.subMode);
        EXPECT_EQ(protocol.GetProtocol(), c.protocol);
        protocol.Stop();
    }
    protocol.SetFrameDispatch(nullptr);
}

TEST(ProtocolSetProtocol, VendorDialectsRunAsNmeaWithTheirSubMode)
{
    struct Case {
        ProtocolKind kind;
        bool ok;
        ProtocolKind protocol;
        ProtocolKind subMode;
    };
    const Case cases[] = {
        {13, true, 4, 13}, {10, true, 4, 10}, {16, true, 4, 16}, {17, true, 17, 0},
        {21, true, 21, 0}, {3, true, 3, 0},   {0, true, 0, 0},
    };
    CProtocol protocol;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        ASSERT_TRUE(protocol.SetProtocol(PROTO_TYCO_NMEA));
        EXPECT_EQ(protocol.SetProtocol(c.kind), c.ok);
        EXPECT_EQ(protocol.GetProtocol(), c.protocol);
        EXPECT_EQ(protocol.GetVendorSubMode(), c.subMode);
    }
    // Outside 0..21 nothing changes.
    for (ProtocolKind kind : {22, -1}) {
        ASSERT_TRUE(protocol.SetProtocol(PROTO_UNAV_NMEA));
        EXPECT_FALSE(protocol.SetProtocol(kind));
        EXPECT_EQ(protocol.GetProtocol(), PROTO_NMEA);
        EXPECT_EQ(protocol.GetVendorSubMode(), PROTO_UNAV_NMEA);
    }
}

} // namespace
