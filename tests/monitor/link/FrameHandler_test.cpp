// The frame handler between the recogniser and the model: what each frame
// counts, which events it raises and in which order, what a replay pauses,
// and what a conversion writes instead.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ConverterTestSupport.h"
#include "FrameTestUtil.h"
#include "link/CConverterEngine.h"
#include "link/FrameHandler.h"
#include "link/LinkStatistics.h"
#include "model/CModel.h"
#include "model/CrcErrorReport.h"

using namespace frametest;

namespace {

const Bytes kGoodNmea = Text("$GPGGA*56\r\n");
const Bytes kBadNmea = Text("$GPGGA*57\r\n");
const Bytes kGoodQtxt = Text(">QST;*79<");
const Bytes kBadQtxt = Text(">QST;*7A<");
const Bytes kGoodQop = Hex("40 40 41 67 00 26 0D 0A");
const Bytes kBadQop = Hex("40 40 41 67 00 27 0D 0A");
const Bytes kGoodKesto = Hex("81 02 11 01 E9 82");
const Bytes kBadKesto = Hex("81 02 11 01 E8 82");
const Bytes kGoodMon = Hex("02 00 76 00 76 03");
const Bytes kBadMon = Hex("02 00 76 00 77 03");
// A 0x41 time report of its full length: a shorter one is dropped by the
// report length check before it counts.
const Bytes kQbin = Hex("10 41 00 00 00 00 00 00 00 00 00 00 10 03");

// A link with its model attached to a recording listener, the link's counters
// and state, and a handler built from them.
class FrameHandlerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        recorder.SetModel(&model);
        ASSERT_TRUE(model.Attach(&recorder, nullptr));
        context.model = &model;
        context.statistics = &stats;
        context.link = &link;
        link.protocol = PROTO_QBIN;
    }

    CFrameHandler& Handler(const FrameDispatchTable& dispatch = GetDefaultFrameDispatch())
    {
        if (!handler) handler.reset(new CFrameHandler(context, dispatch));
        return *handler;
    }

    void StartConversion(ProtocolKind detected = PROTO_NONE)
    {
        ASSERT_EQ(rig.OpenTranslation(&model), 0);
        converter.SetDetectedKind(detected);
        context.converter = &converter;
        context.channelType = LINK_CHANNEL_PLAYBACK;
    }

    // Feeds the bytes as a playback channel delivers them (its read count
    // grows before each byte is handed over); returns the last step that asked
    // for something.
    FrameStep Feed(const Bytes& bytes)
    {
        FrameStep last;
        for (uint8_t b : bytes) {
            link.readCount = link.readCount + 1;
            FrameStep step = Handler().OnByte(b);
            if (step.pauseMs != 0 || step.stopRequested) last = step;
        }
        return last;
    }

    // Feeds the bytes in blocks of `block` as a reader that reads several at a
    // time does: each step's pause or stop is recorded with the bytes it took,
    // and the rest is handed over again.
    std::vector<FrameStep> FeedBlocks(const Bytes& bytes, size_t block)
    {
        std::vector<FrameStep> steps;
        for (size_t at = 0; at < bytes.size();) {
            const size_t n = std::min(block, bytes.size() - at);
            FrameStep step = Handler().OnBytes(bytes.data() + at, n);
            EXPECT_LE(step.taken, n);
            at += step.taken;
            if (step.pauseMs != 0 || step.stopRequested) steps.push_back(step);
            if (step.stopRequested) break;
        }
        return steps;
    }

    std::vector<uint32_t> Counters() const
    {
        std::vector<uint32_t> out;
        for (int i = 0; i < LINK_COUNTER_COUNT; ++i) out.push_back(stats.Get(static_cast<LinkCounter>(i)));
        return out;
    }

    CModel model;
    EventRecorder recorder;
    LinkStatistics stats;
    CFrameLinkState link;
    ConverterTestRig rig;
    CConverterEngine& converter = rig.engine;
    FrameContext context;
    std::unique_ptr<CFrameHandler> handler;
};

Event Raw(int kind, const Bytes& frame) { return Event{34, kind, true, frame}; }
Event Posted(int event, int detail) { return Event{event, detail, false, Bytes()}; }

}  // namespace

TEST_F(FrameHandlerTest, BadFramesCountOnlyAfterTheFirstGoodFrame)
{
    const Bytes bad = Cat({kBadNmea, kBadQtxt, kBadQop, kBadKesto});
    Feed(bad);
    std::vector<uint32_t> expected(LINK_COUNTER_COUNT, 0);
    expected[LINK_BYTES] = static_cast<uint32_t>(bad.size());
    EXPECT_EQ(Counters(), expected);
    EXPECT_TRUE(Handler().IsNoGoodFrameYet());

    Feed(kGoodQtxt);
    Feed(bad);
    expected[LINK_BYTES] = static_cast<uint32_t>(2 * bad.size() + kGoodQtxt.size());
    expected[LINK_GOOD] = 1;
    expected[LINK_QTXT_GOOD] = 1;
    expected[LINK_BAD] = 4;
    expected[LINK_NMEA_BAD] = 1;
    expected[LINK_QTXT_BAD] = 1;
    expected[LINK_QOP_BAD] = 1;
    expected[LINK_KESTO_BAD] = 1;
    EXPECT_EQ(Counters(), expected);
    EXPECT_FALSE(Handler().IsNoGoodFrameYet());
    EXPECT_EQ(link.lastProtocol.load(), PROTO_QTXT);
}

TEST_F(FrameHandlerTest, GoodFramesOfEveryProtocolCountAndReportTheirKind)
{
    Feed(Cat({kQbin, kGoodNmea, kGoodQtxt, kGoodQop, kGoodKesto, Text("!5")}));
    std::vector<uint32_t> expected(LINK_COUNTER_COUNT, 0);
    expected[LINK_BYTES] = static_cast<uint32_t>(kQbin.size() + kGoodNmea.size() + kGoodQtxt.size() +
                                                 kGoodQop.size() + kGoodKesto.size() + 2);
    expected[LINK_GOOD] = 5;
    expected[LINK_QBIN_GOOD] = expected[LINK_NMEA_GOOD] = expected[LINK_QTXT_GOOD] = 1;
    expected[LINK_QOP_GOOD] = expected[LINK_KESTO_GOOD] = 1;
    EXPECT_EQ(Counters(), expected);
    // QBIN reports its kind before its raw frame; every other frame is shown
    // raw before it is checked.
    EXPECT_EQ(recorder.events, (std::vector<Event>{
                                   Posted(13, 3), Raw(3, kQbin), Posted(9, 0),
                                   Raw(4, kGoodNmea), Posted(13, 4),
                                   Raw(5, kGoodQtxt), Posted(13, 5),
                                   Raw(7, kGoodQop), Posted(13, 7),
                                   Raw(6, kGoodKesto), Posted(13, 6),
                                   Posted(13, 17),
                               }));
    EXPECT_EQ(link.lastProtocol.load(), PROTO_KESTO);
}

TEST_F(FrameHandlerTest, FailingNmeaAfterAGoodFrameIsShownRawThenCountedBad)
{
    Feed(kGoodNmea);
    recorder.events.clear();
    Feed(kBadNmea);
    EXPECT_EQ(recorder.events, std::vector<Event>{Raw(4, kBadNmea)});
    EXPECT_EQ(stats.Get(LINK_NMEA_BAD), 1u);
    EXPECT_EQ(stats.Get(LINK_BAD), 1u);
    EXPECT_EQ(stats.Get(LINK_NMEA_GOOD), 1u);
}

TEST_F(FrameHandlerTest, MonFramesCountNothingAndLeaveNoGoodFrameYet)
{
    Feed(Cat({kGoodMon, kBadMon, kBadNmea}));
    std::vector<uint32_t> expected(LINK_COUNTER_COUNT, 0);
    expected[LINK_BYTES] = static_cast<uint32_t>(kGoodMon.size() + kBadMon.size() + kBadNmea.size());
    EXPECT_EQ(Counters(), expected);
    EXPECT_TRUE(Handler().IsNoGoodFrameYet());
    EXPECT_EQ(recorder.events, (std::vector<Event>{Raw(20, kGoodMon), Posted(13, 20), Raw(20, kBadMon),
                                                   Raw(4, kBadNmea)}));
    EXPECT_EQ(link.lastProtocol.load(), PROTO_MON);

    // Once a good frame has been seen, a bad MON frame still counts nothing.
    Feed(kGoodNmea);
    Feed(kBadMon);
    EXPECT_EQ(stats.Get(LINK_BAD), 0u);
}

TEST_F(FrameHandlerTest, RawFramesGoToListenersOnSerialOrWithPassRaw)
{
    struct Case {
        const char* name;
        int channelType;
        bool passRaw;
        size_t rawFrames;
    };
    const std::vector<Case> cases = {
        {"serial", LINK_CHANNEL_SERIAL, false, 2},
        {"playback", LINK_CHANNEL_PLAYBACK, false, 0},
        {"playback with pass-raw", LINK_CHANNEL_PLAYBACK, true, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        recorder.events.clear();
        context.channelType = c.channelType;
        link.passRaw = c.passRaw;
        handler.reset();
        Feed(Cat({kQbin, kGoodNmea}));
        size_t raw = 0;
        for (const Event& e : recorder.events) raw += e.event == 34;
        EXPECT_EQ(raw, c.rawFrames);
        EXPECT_EQ(stats.Get(LINK_GOOD), 2u);
        stats.Reset();
    }
}

TEST_F(FrameHandlerTest, ConversionRaisesNothingAndLearnsTheLogsProtocol)
{
    StartConversion();
    Feed(Cat({kGoodMon, kGoodNmea, Text("!5")}));
    EXPECT_TRUE(recorder.events.empty());
    EXPECT_EQ(converter.GetDetectedKind(), PROTO_NMEA);
    EXPECT_EQ(stats.Get(LINK_NMEA_GOOD), 1u);
    // From now on only NMEA frames open.
    Feed(Cat({kQbin, kGoodQtxt, kGoodNmea}));
    EXPECT_EQ(stats.Get(LINK_NMEA_GOOD), 2u);
    EXPECT_EQ(stats.Get(LINK_GOOD), 2u);
    EXPECT_EQ(converter.GetDetectedKind(), PROTO_NMEA);
}

TEST_F(FrameHandlerTest, ConversionCopiesRawBytesOnlyInsideItsWindow)
{
    ConverterOptions options = rig.options;
    options.rangeOn = true;
    options.startWeek = 100;
    options.endWeek = 100;
    options.endTimeOfWeek = 1000;
    ASSERT_EQ(converter.Open(options, &model), 0);
    context.converter = &converter;
    context.channelType = LINK_CHANNEL_PLAYBACK;

    Feed(kGoodNmea);  // no fix yet: outside the window
    EXPECT_EQ(rig.RawCopy(), "");

    NavState fix = NavState();
    fix.week = 100;
    fix.timeOfFix = 500;
    model.UpdateNavState(fix, NAV_KIND_LLA, &converter);
    ASSERT_TRUE(model.IsInWindow());
    Feed(kGoodNmea);
    EXPECT_EQ(rig.RawCopy(), AsString(kGoodNmea));

    fix.timeOfFix = 1001;
    model.UpdateNavState(fix, NAV_KIND_LLA, &converter);
    Feed(kGoodNmea);
    EXPECT_EQ(rig.RawCopy(), AsString(kGoodNmea));
}

TEST_F(FrameHandlerTest, ConversionWritesTheBrokenPacketLine)
{
    StartConversion();
    Feed(Hex("10 46 01 10 41 02 03 10 03"));
    // The two-byte 0x41 that follows is too short for a time report: the
    // translation says so, and it is dropped without a count and detects
    // nothing.
    EXPECT_EQ(rig.Translation(),
              "\r\nBroken packet: ID 0x46-01, length (excluding DLE/ID): 1, File position: 0x00000005"
              "\r\nQBIN report packet ID 41h, data length 2 (excl. DLE, Pkt ID, DLE/ETX): Bad length"
              "\r\nRaw data:\r\n   10 41 02 03 10 03");
    EXPECT_EQ(stats.Get(LINK_BAD), 0u);
    EXPECT_EQ(stats.Get(LINK_QBIN_GOOD), 0u);
    EXPECT_EQ(converter.GetDetectedKind(), PROTO_NONE);
}

TEST_F(FrameHandlerTest, QbinCrcFailureIsShownOrLogged)
{
    // A good frame first, so the failure counts; then an announcement the
    // next packet does not match.
    Feed(kGoodQtxt);
    recorder.events.clear();
    model.SetExpectedCrc(1, 0x1234);
    const Bytes packet = Hex("10 42 07 10 03");
    Feed(packet);
    EXPECT_EQ(recorder.events, (std::vector<Event>{Raw(3, packet), Event{62, 3, true, Bytes()}}));
    EXPECT_EQ(stats.Get(LINK_QBIN_BAD), 1u);
    EXPECT_EQ(stats.Get(LINK_BAD), 1u);
    EXPECT_EQ(stats.Get(LINK_QBIN_GOOD), 0u);

    // In a conversion the failure goes to the CRC log with the file position.
    handler.reset();
    recorder.events.clear();
    link.readCount = 0x1FFF;
    StartConversion(PROTO_QBIN);
    model.SetExpectedCrc(1, 0x1234);
    Feed(packet);
    EXPECT_TRUE(recorder.events.empty());
    CString report;
    FormatCrcErrorReport(report, "", packet.data(), static_cast<int>(packet.size()), &model);
    EXPECT_EQ(rig.CrcLog(),
              std::string("  File position at packet end:   0x2004\r\n") + report.GetString() + "\r\n");
    EXPECT_EQ(rig.Translation(), "");
}

TEST_F(FrameHandlerTest, VendorDialectAppliesOnlyOnNmeaAndAutoLinks)
{
    FrameDispatchTable dispatch = GetDefaultFrameDispatch();
    dispatch.Find(PROTO_NMEA)->decode = [](const BYTE*, int, CModel*, CConverterEngine*, ProtocolKind* dialect) {
        if (dialect != nullptr) *dialect = PROTO_SIRF_NMEA;
    };
    struct Case {
        ProtocolKind protocol;
        ProtocolKind subMode;
    };
    for (const Case& c : std::vector<Case>{{PROTO_QBIN, 0}, {PROTO_NMEA, 10}, {PROTO_AUTO, 10}, {PROTO_QTXT, 0}}) {
        SCOPED_TRACE(c.protocol);
        link.protocol = c.protocol;
        link.vendorSubMode = 0;
        handler.reset();
        Handler(dispatch);
        Feed(Text("$PSRFTXT,Version*00\r\n"));
        EXPECT_EQ(link.vendorSubMode.load(), c.subMode);
    }
}

TEST_F(FrameHandlerTest, StopRequestSeenAfterAFrameSkipsThePause)
{
    context.channelType = LINK_CHANNEL_PLAYBACK;
    context.markers.nmea = "GGA";
    link.speed = 1;
    link.stop = true;
    FrameStep step = Feed(kGoodNmea);
    EXPECT_TRUE(step.stopRequested);
    EXPECT_EQ(step.pauseMs, 0u);
}

TEST_F(FrameHandlerTest, PacingPausesAfterGoodMarkerFramesOfAReplay)
{
    struct Case {
        const char* name;
        int channelType;
        bool converting;
        uint32_t speed;
        Bytes frame;
        uint32_t pause;
    };
    const std::vector<Case> cases = {
        {"speed 1", LINK_CHANNEL_PLAYBACK, false, 1, kGoodNmea, 1000},
        {"speed 3", LINK_CHANNEL_PLAYBACK, false, 3, kGoodNmea, 333},
        {"speed 999", LINK_CHANNEL_PLAYBACK, false, 999, kGoodNmea, 1},
        {"speed 1000", LINK_CHANNEL_PLAYBACK, false, 1000, kGoodNmea, 0},
        {"serial", LINK_CHANNEL_SERIAL, false, 1, kGoodNmea, 0},
        {"conversion", LINK_CHANNEL_PLAYBACK, true, 1, kGoodNmea, 0},
        {"not the marker", LINK_CHANNEL_PLAYBACK, false, 1, Text("$GPGSA*43\r\n"), 0},
        {"marker that fails its check", LINK_CHANNEL_PLAYBACK, false, 1, kBadNmea, 0},
        {"QBIN marker id", LINK_CHANNEL_PLAYBACK, false, 2, Hex("10 8F 01 10 03"), 500},
        {"KESTO marker", LINK_CHANNEL_PLAYBACK, false, 4, kGoodKesto, 250},
        {"QTXT marker", LINK_CHANNEL_PLAYBACK, false, 10, kGoodQtxt, 100},
        {"QOP marker", LINK_CHANNEL_PLAYBACK, false, 1, Hex("40 40 48 61 00 29 0D 0A"), 0},  // reply is 154 bytes
        {"MON never", LINK_CHANNEL_PLAYBACK, false, 1, kGoodMon, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        handler.reset();
        context.converter = nullptr;
        if (c.converting) StartConversion();
        context.channelType = c.channelType;
        context.markers.nmea = "gga";
        context.markers.qbinId = 0x8F;
        context.markers.kestoClass = 0x02;
        context.markers.kestoId = 0x11;
        context.markers.qtxt = "st";
        link.speed = c.speed;
        FrameStep step = Feed(c.frame);
        EXPECT_EQ(step.pauseMs, c.pause);
        EXPECT_FALSE(step.stopRequested);
    }
}

TEST_F(FrameHandlerTest, OnBytesReturnsRightAfterAFrameThatAsksForAPause)
{
    context.channelType = LINK_CHANNEL_PLAYBACK;
    context.markers.nmea = "GGA";
    link.speed = 4;
    const Bytes gsa = Text("$GPGSA*42\r\n");
    const Bytes stream = Cat({kGoodNmea, gsa, kGoodNmea, Text("junk")});
    const std::vector<FrameStep> steps = FeedBlocks(stream, stream.size());
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].pauseMs, 250u);
    EXPECT_EQ(steps[0].taken, kGoodNmea.size());
    EXPECT_EQ(steps[1].taken, gsa.size() + kGoodNmea.size());
    EXPECT_EQ(stats.Get(LINK_BYTES), stream.size());  // each byte counted once
    EXPECT_EQ(stats.Get(LINK_NMEA_GOOD), 3u);

    // A stop seen at a frame ends the block there; nothing after it is taken.
    handler.reset();
    stats.Reset();
    link.stop = true;
    FrameStep step = Handler().OnBytes(stream.data(), stream.size());
    EXPECT_TRUE(step.stopRequested);
    EXPECT_EQ(step.taken, kGoodNmea.size());
    EXPECT_EQ(stats.Get(LINK_BYTES), kGoodNmea.size());
}

TEST_F(FrameHandlerTest, BlocksAndSingleBytesGiveTheSameFramesCountsAndEvents)
{
    const Bytes stream = Cat({Text("$GPGGA,1"), kQbin, kGoodNmea, Hex("10 41 02"), kBadNmea, kGoodQtxt, kGoodQop,
                              Hex("81 05"), kGoodKesto, kGoodMon, Text("!5"), Hex("10 46 01 10 41 02 03 10 03")});
    std::vector<Event> events;
    std::vector<uint32_t> counters;
    for (size_t block : {size_t(1), size_t(2), size_t(5), size_t(64), stream.size()}) {
        SCOPED_TRACE(block);
        handler.reset();
        stats.Reset();
        recorder.events.clear();
        if (block == 1) {
            Feed(stream);
        } else {
            FeedBlocks(stream, block);
        }
        if (counters.empty()) {
            events = recorder.events;
            counters = Counters();
            EXPECT_EQ(counters[LINK_BYTES], stream.size());
            EXPECT_EQ(counters[LINK_GOOD], 5u);
        }
        EXPECT_EQ(recorder.events, events);
        EXPECT_EQ(Counters(), counters);
    }
}

TEST_F(FrameHandlerTest, ConversionReportsWhereAFrameEndedHoweverTheBytesCome)
{
    // A KESTO candidate swallows a QBIN packet whose CRC fails and a broken
    // one; its restart byte gives them up, and both are found among the bytes
    // scanned again: they ended at that byte. Later a broken packet among the
    // bytes as received ends at the byte after its stray DLE. (The restart
    // byte opens a KESTO packet that a bad escape ends; a good QBIN packet
    // then makes QBIN the log's protocol.)
    const Bytes kesto = Cat({Hex("81 02"), kQbin, Hex("10 46 01 10 41 02 03 10 03")});
    const Bytes restart = Hex("81");
    const Bytes broken = Hex("10 47 01 10 42 03");
    const size_t afterStray = 5;   // the byte after the stray DLE, included
    const Bytes stream = Cat({kesto, restart, Hex("80 80"), kQbin, Text("12345"), broken, kQbin});
    const uint32_t base = 0x100;   // the file position before the stream
    char crcAt[64];
    char firstBroken[64];
    char secondBroken[64];
    snprintf(crcAt, sizeof crcAt, "File position at packet end:   0x%X\r\n",
             static_cast<unsigned>(base + kesto.size() + 1));
    snprintf(firstBroken, sizeof firstBroken, "File position: 0x%08X\r\n",
             static_cast<unsigned>(base + kesto.size() + 1));
    snprintf(secondBroken, sizeof secondBroken, "File position: 0x%08X\r\n",
             static_cast<unsigned>(base + stream.size() - kQbin.size() - broken.size() + afterStray));
    std::string translation;
    std::string crcLog;
    for (size_t block : {size_t(1), size_t(3), size_t(8), stream.size()}) {
        SCOPED_TRACE(block);
        handler.reset();
        StartConversion();
        model.SetExpectedCrc(1, 0x1234);
        if (block == 1) {
            link.readCount = base;
            Feed(stream);
        } else {
            // As the reader hands a block over: the read count is its end.
            for (size_t at = 0; at < stream.size();) {
                const size_t n = std::min(block, stream.size() - at);
                link.readCount = static_cast<uint32_t>(base + at + n);
                for (size_t done = 0; done < n;) done += Handler().OnBytes(stream.data() + at + done, n - done).taken;
                at += n;
            }
        }
        if (block == 1) {
            translation = rig.Translation();
            crcLog = rig.CrcLog();
            EXPECT_NE(crcLog.find(crcAt), std::string::npos) << crcLog;
            EXPECT_NE((translation + "\r\n").find(firstBroken), std::string::npos) << translation;
            EXPECT_NE((translation + "\r\n").find(secondBroken), std::string::npos) << translation;
        }
        EXPECT_EQ(rig.Translation(), translation);
        EXPECT_EQ(rig.CrcLog(), crcLog);
    }
}

TEST_F(FrameHandlerTest, ConversionCopiesABlockByteForByteAsTheWindowChangesAtItsFrames)
{
    ConverterOptions options = rig.options;
    options.rangeOn = true;
    options.startWeek = 100;
    options.endWeek = 100;
    options.endTimeOfWeek = 1000;
    ASSERT_EQ(converter.Open(options, &model), 0);
    context.converter = &converter;
    context.channelType = LINK_CHANNEL_PLAYBACK;
    // A GGA opens the window, an RMC closes it.
    FrameDispatchTable dispatch = GetDefaultFrameDispatch();
    dispatch.Find(PROTO_NMEA)->decode = [](const BYTE* f, int n, CModel* m, CConverterEngine* conv, ProtocolKind*) {
        NavState fix = NavState();
        fix.week = 100;
        fix.timeOfFix = n > 5 && f[3] == 'G' ? 500 : 1001;
        m->UpdateNavState(fix, NAV_KIND_LLA, conv);
    };
    const Bytes between = Text("1234567");
    const Bytes rmc = Text("$GPRMC*4B\r\n");
    const Bytes stream = Cat({kGoodNmea, between, rmc, between});
    for (size_t block : {size_t(1), stream.size()}) {
        SCOPED_TRACE(block);
        handler.reset();
        ASSERT_EQ(converter.Open(options, &model), 0);
        Handler(dispatch);
        FeedBlocks(stream, block);
        // Each byte is copied when the window was open before it arrived.
        EXPECT_EQ(rig.RawCopy(), AsString(Cat({between, rmc})));
    }
}
