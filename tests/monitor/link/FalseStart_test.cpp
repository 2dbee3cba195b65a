// Start bytes inside binary data open candidates that are no frames. Whatever
// gives such a candidate up, the frames among its bytes are still found, in
// order, however the bytes are handed over, and every byte is counted and
// logged once.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "FrameTestUtil.h"
#include "ProtocolFakes.h"
#include "framework/CFile.h"
#include "framework/MemoryFileBackend.h"
#include "link/CProtocol.h"
#include "link/CRawLogger.h"
#include "link/FrameHandler.h"
#include "link/LinkStatistics.h"
#include "monitor/model/RecordingSink.h"

using namespace frametest;

namespace {

// "$" body "*" checksum CR LF.
Bytes Nmea(const std::string& body)
{
    unsigned sum = 0;
    for (char c : body) sum ^= static_cast<uint8_t>(c);
    char tail[8];
    snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return Text("$" + body + tail);
}

// A UBX message: B5 62, class, id, little-endian length, payload, and the
// two-byte Fletcher checksum over class through payload.
Bytes Ubx(uint8_t cls, uint8_t id, const Bytes& payload)
{
    Bytes m = {0xB5, 0x62, cls, id, static_cast<uint8_t>(payload.size() & 0xFF),
               static_cast<uint8_t>(payload.size() >> 8)};
    m.insert(m.end(), payload.begin(), payload.end());
    uint8_t a = 0, b = 0;
    for (size_t i = 2; i < m.size(); ++i) {
        a = static_cast<uint8_t>(a + m[i]);
        b = static_cast<uint8_t>(b + a);
    }
    m.push_back(a);
    m.push_back(b);
    return m;
}

const Bytes kZda = Nmea("GPZDA,010203.00,09,11,2006,00,00");
const Bytes kGsa = Nmea("GPGSA,A,3,05,12,17,24,,,,,,,,,2.50,1.25,2.00");
const Bytes kQbin = Hex("10 42 07 10 10 01 10 03");
const Bytes kKesto = Hex("81 02 11 01 E9 82");

// Sentences enough to outlast the longest false candidate (512 bytes).
std::vector<Bytes> Sentences()
{
    std::vector<Bytes> out;
    for (int second = 0; second < 8; ++second) {
        char time[16];
        snprintf(time, sizeof time, "0102%02d.00", second);
        out.push_back(Nmea(std::string("GPGGA,") + time + ",4730.0000,N,12215.0000,W,2,08,1.25,100.0,M,-17.0,M,,"));
        out.push_back(Nmea(std::string("GPRMC,") + time + ",A,4730.0000,N,12215.0000,W,10.0,90.0,091106,,,A"));
    }
    return out;
}

std::string NmeaFrame(const Bytes& b) { return "frame 4: " + ToHex(b); }
std::string Frame(int kind, const Bytes& b) { return "frame " + std::to_string(kind) + ": " + ToHex(b); }

const size_t kWhole = 0;
const size_t kBlockSizes[] = {1, 2, 3, 7, 64, 509, kWhole};

// The recogniser's findings, the input handed over in blocks of `block` bytes.
std::vector<std::string> Recognise(const Bytes& input, size_t block)
{
    RecordingFrameSink sink;
    CFrameRecogniser rec(&sink);
    const size_t step = block == kWhole ? input.size() : block;
    for (size_t at = 0; at < input.size(); at += step) {
        const size_t n = std::min(step, input.size() - at);
        EXPECT_EQ(rec.Feed(input.data() + at, n), n);
    }
    return sink.found;
}

// The same through a frame handler with its counters, in blocks or byte by byte.
struct Handled {
    std::vector<std::string> found;
    std::vector<uint32_t> counters;
};

Handled Handle(const Bytes& input, size_t block)
{
    LinkStatistics stats;
    FrameContext context;
    context.statistics = &stats;
    CFrameHandler handler(context);
    RecordingFrameSink sink;
    handler.SetFrameObserver(&sink);
    if (block == 1) {
        for (uint8_t b : input) EXPECT_EQ(handler.OnByte(b).taken, 1u);
    } else {
        const size_t step = block == kWhole ? input.size() : block;
        for (size_t at = 0; at < input.size();) {
            at += handler.OnBytes(input.data() + at, std::min(step, input.size() - at)).taken;
        }
    }
    Handled out;
    out.found = sink.found;
    for (int i = 0; i < LINK_COUNTER_COUNT; ++i) out.counters.push_back(stats.Get(static_cast<LinkCounter>(i)));
    return out;
}

}  // namespace

TEST(FalseStart, SentencesAfterAFalseStartAreAllFoundInOrder)
{
    const std::vector<Bytes> sentences = Sentences();
    std::vector<std::string> expected;
    Bytes tail;
    for (const Bytes& s : sentences) {
        expected.push_back(NmeaFrame(s));
        tail.insert(tail.end(), s.begin(), s.end());
    }
    ASSERT_GT(tail.size(), 2u * CFrameRecogniser::FRAME_LIMIT);

    const Bytes allStarts = Hex("10 41 02 00 FF 81 05 40 41 3E");
    struct Case {
        const char* name;
        Bytes before;
    };
    const std::vector<Case> cases = {
        {"QBIN start", Hex("10 41")},
        {"MON start with a long length", Hex("02 00 FF")},
        {"KESTO start", Hex("81 05")},
        {"QOP start", Hex("40 41")},
        {"QTXT start", Hex("3E")},
        {"UBX message holding every start", Ubx(0x01, 0x07, Cat({Hex("00 11 22"), allStarts, Hex("33 44")}))},
        {"UBX message, every start at its end", Ubx(0x0A, 0x09, allStarts)},
        {"cut-off sentence", Text("$GPGGA,12")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes input = Cat({c.before, tail});
        const std::vector<std::string> whole = Recognise(input, kWhole);
        std::vector<std::string> nmea;
        for (const std::string& f : whole) {
            if (f.compare(0, 8, "frame 4:") == 0) nmea.push_back(f);
        }
        EXPECT_EQ(nmea, expected);
        for (size_t block : kBlockSizes) {
            SCOPED_TRACE("blocks of " + std::to_string(block));
            EXPECT_EQ(Recognise(input, block), whole);
        }

        const Handled handled = Handle(input, kWhole);
        EXPECT_EQ(handled.found, whole);
        EXPECT_EQ(handled.counters[LINK_BYTES], input.size());
        EXPECT_EQ(handled.counters[LINK_NMEA_GOOD], sentences.size());
        EXPECT_EQ(handled.counters[LINK_NMEA_BAD], 0u);
        for (size_t block : kBlockSizes) {
            SCOPED_TRACE("handler, blocks of " + std::to_string(block));
            const Handled again = Handle(input, block);
            EXPECT_EQ(again.found, handled.found);
            EXPECT_EQ(again.counters, handled.counters);
        }
    }
}

TEST(FalseStart, WhatGivesACandidateUpIsScannedAgain)
{
    const Bytes zda = kZda;
    struct Case {
        const char* name;
        Bytes input;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"sentence cut off by a '$'", Cat({Text("$GPGGA,12"), zda}), {NmeaFrame(zda)}},
        {"sentence cut off by a QBIN packet", Cat({Text("$GPGGA,1"), kQbin}), {Frame(3, Hex("10 42 07 10 01 10 03"))}},
        {"sentence cut off by a control byte", Cat({Text("$GPGGA,1"), Hex("00"), zda}), {NmeaFrame(zda)}},
        {"CR without LF", Cat({Text("$GPGGA,1\r"), zda}), {NmeaFrame(zda)}},
        {"QTXT cut off by CR", Cat({Text(">QS"), zda}), {NmeaFrame(zda)}},
        {"KESTO restarted by 0x81", Cat({Hex("81 05"), zda, kKesto}), {NmeaFrame(zda), Frame(6, kKesto)}},
        {"KESTO escape before a reserved byte", Cat({Hex("81 05 80 83"), zda}), {NmeaFrame(zda)}},
        {"broken QBIN packet", Cat({Hex("10 41"), zda, kQbin}),
         {"broken 41-24 len " + std::to_string(zda.size()), NmeaFrame(zda), Frame(3, Hex("10 42 07 10 01 10 03"))}},
        {"QBIN DLE NUL", Cat({Hex("10 00"), zda}), {NmeaFrame(zda)}},
        {"MON without its ETX", Cat({Hex("02 00 76 05"), zda}), {NmeaFrame(zda)}},
        {"MON second byte not 0 but '$'", Cat({Hex("02 24"), zda}), {NmeaFrame(zda)}},
        {"QOP without its LF", Cat({Hex("40 40 41 67 00 26 0D"), zda}), {NmeaFrame(zda)}},
        {"QOP of an unknown id", Cat({Hex("40 24"), zda}), {NmeaFrame(zda)}},
        {"QTXT shorter than 5", Text(">$<GPZDA*00\r\n"), {NmeaFrame(Text("$<GPZDA*00\r\n"))}},
        {"sentence of 7 bytes, then one", Cat({Text("$ABCD\r\n"), zda}), {NmeaFrame(zda)}},
        {"sentence too long, a QTXT sentence inside", Cat({Text("$AAAA>QST;*79<"), Bytes(300, 'A'), Text("\r\n")}),
         {Frame(5, Text(">QST;*79<"))}},
        {"'!' digit inside a given-up candidate", Cat({Text("$GP!5"), Hex("01")}), {"bang 5"}},
        // A QBIN packet that ends with DLE ETX is kept, whatever it held.
        {"QBIN packet holding a sentence", Cat({Hex("10 41"), zda, Hex("10 03")}),
         {Frame(3, Cat({Hex("10 41"), zda, Hex("10 03")}))}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (size_t block : kBlockSizes) {
            SCOPED_TRACE("blocks of " + std::to_string(block));
            EXPECT_EQ(Recognise(c.input, block), c.expected);
        }
    }
}

TEST(FalseStart, ACutOffSentenceBeforeAGoodOneCountsNothingBad)
{
    // A good sentence first, so a bad frame would be counted.
    const Bytes input = Cat({kGsa, Text("$GPGGA,12"), kZda});
    for (size_t block : kBlockSizes) {
        SCOPED_TRACE("blocks of " + std::to_string(block));
        const Handled h = Handle(input, block);
        EXPECT_EQ(h.found, (std::vector<std::string>{NmeaFrame(kGsa), NmeaFrame(kZda)}));
        EXPECT_EQ(h.counters[LINK_NMEA_GOOD], 2u);
        EXPECT_EQ(h.counters[LINK_BAD], 0u);
        EXPECT_EQ(h.counters[LINK_BYTES], input.size());
    }
}

TEST(FalseStart, ThroughTheReaderEveryByteIsCountedAndLoggedOnce)
{
    MemoryFileBackend files;
    CFile::SetBackend(&files);
    RecordingSink sink;
    CModel model;
    CRawLogger logger;
    CProtocol protocol;
    ASSERT_TRUE(model.Attach(&sink, &protocol));

    Bytes input = Cat({Ubx(0x01, 0x07, Hex("10 41 02 00 FF 81 05 40 41 3E")), Text("$GPGGA,1")});
    for (const Bytes& s : Sentences()) input.insert(input.end(), s.begin(), s.end());
    prototest::FakeChannel port(CHANNEL_TYPE_SERIAL);
    port.QueueBytes(input);

    RawLogSettings log;
    log.fileName = "raw.log";
    logger.Configure(RAWLOG_REQUEST_START, &log);
    ASSERT_TRUE(protocol.Start(&port, PROTO_AUTO, &model, &logger));
    port.WaitUntilBlocked();
    EXPECT_EQ(protocol.GetStatistic(LINK_BYTES), input.size());
    EXPECT_EQ(protocol.GetStatistic(LINK_NMEA_GOOD), Sentences().size());
    EXPECT_EQ(protocol.GetStatistic(LINK_NMEA_BAD), 0u);
    protocol.Stop();

    logger.Configure(RAWLOG_REQUEST_STOP_CLOSING, nullptr);
    std::string logged;
    ASSERT_TRUE(files.GetFile("raw.log", &logged));
    EXPECT_EQ(logged, std::string(input.begin(), input.end()));
    model.Detach();
    CFile::SetBackend(nullptr);
}

namespace {

// Asks the recogniser to return after every frame, as the handler does for a
// pause, and records what each call took.
class ReturningSink : public RecordingFrameSink {
public:
    void OnFrame(ProtocolKind kind, const BYTE* frame, int length) override
    {
        RecordingFrameSink::OnFrame(kind, frame, length);
        if (recogniser != nullptr) recogniser->ReturnAfterFrame();
    }
    CFrameRecogniser* recogniser = nullptr;
};

}  // namespace

TEST(FalseStart, ReturningAfterEachFrameLosesAndRepeatsNothing)
{
    // A broken packet leaves two sentences and a KESTO packet to be scanned
    // again; each of them makes Feed return.
    const Bytes input = Cat({Hex("10 41"), kZda, kGsa, kKesto, kQbin, kZda});
    const std::vector<std::string> expected = Recognise(input, kWhole);
    ASSERT_EQ(expected.size(), 6u);  // the broken packet, five frames

    ReturningSink sink;
    CFrameRecogniser rec(&sink);
    sink.recogniser = &rec;
    size_t at = 0;
    int calls = 0;
    while ((at < input.size() || rec.HasPending()) && calls < 100) {
        at += rec.Feed(input.data() + at, input.size() - at);
        ++calls;
    }
    EXPECT_EQ(at, input.size());
    EXPECT_EQ(sink.found, expected);
    EXPECT_EQ(calls, 5);  // one per frame; the last one ends the input too
}
