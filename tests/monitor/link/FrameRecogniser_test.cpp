// The recogniser alone: bytes in, findings out (frames with their kind, broken
// QBIN packets, "!"-digits), for each framing and for their mixtures.
#include <gtest/gtest.h>

#include "link/FrameRecogniser.h"
#include "protocol/QopProtocol.h"
#include "FrameTestUtil.h"

using namespace frametest;

namespace {

struct RecogniserCase {
    const char* name;
    Bytes input;
    std::vector<std::string> expected;
    bool converting = false;
    ProtocolKind detected = PROTO_NONE;
};

std::vector<std::string> Recognise(const Bytes& input, bool converting = false, ProtocolKind detected = 0)
{
    RecordingFrameSink sink;
    CFrameRecogniser rec(&sink);
    rec.SetConverting(converting);
    rec.SetDetectedKind(detected);
    rec.Feed(input.data(), input.size());
    return sink.found;
}

Bytes Nmea(size_t totalLength)  // "$" + letters + CR LF, totalLength bytes in all
{
    Bytes b = Text("$");
    b.insert(b.end(), totalLength - 3, 'A');
    b.push_back(0x0D);
    b.push_back(0x0A);
    return b;
}

std::string Frame(int kind, const Bytes& b) { return "frame " + std::to_string(kind) + ": " + ToHex(b); }

Bytes Repeat(uint8_t value, size_t n) { return Bytes(n, value); }

// A whole QOP reply of the id's table length, data all `fill`, with its checksum.
Bytes QopReply(const char* id, uint8_t fill)
{
    Bytes m = {'@', '@', static_cast<uint8_t>(id[0]), static_cast<uint8_t>(id[1])};
    uint16_t length = GetQopMessageLength(m.data(), QOP_LENGTH_REPLY);
    m.resize(length - 3, fill);
    m.push_back(ComputeQopChecksum(Cat({m, Hex("00 0D 0A")}).data(), length));
    m.push_back(0x0D);
    m.push_back(0x0A);
    return m;
}

}  // namespace

TEST(FrameRecogniser, FindsEachFramingAndDropsWhatBreaksIt)
{
    const Bytes goodQbin = Hex("10 42 07 10 03");
    const std::vector<RecogniserCase> cases = {
        // QBIN
        {"leading DLE DLE", Hex("10 10 41 00 10 03"), {Frame(3, Hex("10 41 00 10 03"))}},
        {"DLE ETX and DLE NUL between frames", Cat({Hex("10 03 10 00"), goodQbin, Hex("10 03 10 00"), goodQbin}),
         {Frame(3, goodQbin), Frame(3, goodQbin)}},
        {"doubled DLE in data", Hex("10 41 10 10 05 10 03"), {Frame(3, Hex("10 41 10 05 10 03"))}},
        {"broken packet restarts at the byte after DLE", Hex("10 46 01 10 41 02 03 10 03"),
         {"broken 46-01 len 1", Frame(3, Hex("10 41 02 03 10 03"))}},
        {"broken packet without data", Hex("10 46 10 41 10 03"), {"broken 46-00 len 0", Frame(3, Hex("10 41 10 03"))}},
        {"600 data bytes are dropped, the next packet found", Cat({Hex("10 41"), Repeat(0x55, 600), goodQbin}),
         {Frame(3, goodQbin)}},
        // NMEA
        {"control byte in a sentence", Cat({Text("$GPGGA"), Hex("01"), Text("$GPGLL*00\r\n")}),
         {Frame(4, Text("$GPGLL*00\r\n"))}},
        {"7 bytes", Text("$ABCD\r\n"), {}},
        {"8 bytes", Text("$ABCDE\r\n"), {Frame(4, Text("$ABCDE\r\n"))}},
        {"255 bytes", Nmea(255), {Frame(4, Nmea(255))}},
        {"256 bytes", Nmea(256), {}},
        {"CR followed by another byte", Cat({Text("$GPGGA,1\rX"), Text("$ABCDE\r\n")}), {Frame(4, Text("$ABCDE\r\n"))}},
        {"bare LF line end is taken as CR LF", Text("$GPHDT,,T*1B\n$GPGGA*56\n"),
         {Frame(4, Text("$GPHDT,,T*1B\r\n")), Frame(4, Text("$GPGGA*56\r\n"))}},
        // QTXT
        {"4 bytes", Text(">AB<"), {}},
        {"5 bytes", Text(">ABC<"), {Frame(5, Text(">ABC<"))}},
        {"control byte in a QTXT sentence", Cat({Text(">QS"), Hex("0D"), Text(">QST<")}), {Frame(5, Text(">QST<"))}},
        // KESTO
        {"plain packet", Hex("81 02 11 01 E9 82"), {Frame(6, Hex("81 02 11 01 E9 82"))}},
        {"escaped 0x82", Hex("81 02 11 80 02 68 82"), {Frame(6, Hex("81 02 11 82 68 82"))}},
        {"escaped reserved byte drops", Hex("81 02 11 80 83 01 82"), {}},
        {"0x81 restarts", Hex("81 02 81 02 11 01 E9 82"), {Frame(6, Hex("81 02 11 01 E9 82"))}},
        {"240 bytes drop, next found", Cat({Hex("81"), Repeat(0x00, 300), Hex("81 02 11 01 E9 82")}),
         {Frame(6, Hex("81 02 11 01 E9 82"))}},
        {"shorter than 5", Hex("81 02 11 82"), {}},
        // MON
        {"version query", Hex("02 00 76 00 76 03"), {Frame(20, Hex("02 00 76 00 76 03"))}},
        {"memory read", Hex("02 00 80 05 00 00 10 00 02 97 03"), {Frame(20, Hex("02 00 80 05 00 00 10 00 02 97 03"))}},
        {"second byte not 0", Hex("02 01 76 00 76 03"), {}},
        {"no ETX at its length", Hex("02 00 76 00 76 04"), {}},
        // QOP
        {"Ag", Hex("40 40 41 67 00 26 0D 0A"), {Frame(7, Hex("40 40 41 67 00 26 0D 0A"))}},
        {"Cf", Hex("40 40 43 66 25 0D 0A"), {Frame(7, Hex("40 40 43 66 25 0D 0A"))}},
        {"unknown id", Hex("40 40 5A 7A 00 00 0D 0A"), {}},
        {"no LF at its length", Hex("40 40 41 67 00 26 0D 0D"), {}},
        // QOP inside QBIN
        {"QOP message completes inside QBIN data", Hex("10 8F 40 40 41 67 00 26 0D 0A"),
         {Frame(7, Hex("40 40 41 67 00 26 0D 0A"))}},
        {"QBIN packet holding @@Ha is kept", Cat({Hex("10 55 40 40 48 61 10 03"), goodQbin}),
         {Frame(3, Hex("10 55 40 40 48 61 10 03")), Frame(3, goodQbin)}},
        {"float 3.0044177 inside a long packet", Cat({Hex("10 4A 00 40 40 48 61"), Repeat(0x11, 30), Hex("10 03"), goodQbin}),
         {Frame(3, Cat({Hex("10 4A 00 40 40 48 61"), Repeat(0x11, 30), Hex("10 03")})), Frame(3, goodQbin)}},
        {"QOP candidate with a wrong checksum leaves the packet", Cat({Hex("10 8F 40 40 41 67 00 27 0D 0A 10 03")}),
         {Frame(3, Hex("10 8F 40 40 41 67 00 27 0D 0A 10 03"))}},
        {"QOP data holding DLE survives the broken QBIN packet", Hex("10 8F 40 40 41 67 10 36 0D 0A"),
         {"broken 8F-40 len 4", Frame(7, Hex("40 40 41 67 10 36 0D 0A"))}},
        {"QOP candidate outlives a QBIN packet that grew too long",
         Cat({Hex("10 41"), Repeat(0x00, 450), QopReply("Ha", 0x00)}), {Frame(7, QopReply("Ha", 0x00))}},
        // "!" digits
        {"!5 between frames", Text("!5"), {"bang 5"}},
        {"!x is nothing", Text("!x"), {}},
        {"!5 after a frame", Cat({goodQbin, Text("!5")}), {Frame(3, goodQbin), "bang 5"}},
        // Conversions
        {"!5 during a conversion", Text("!5"), {}, true},
        {"conversion of an NMEA log ignores QBIN", Cat({goodQbin, Text("$ABCDE\r\n")}), {Frame(4, Text("$ABCDE\r\n"))}, true,
         PROTO_NMEA},
        {"conversion before detection opens every framing", Cat({goodQbin, Text("$ABCDE\r\n")}),
         {Frame(3, goodQbin), Frame(4, Text("$ABCDE\r\n"))}, true},
        {"no QOP inside QBIN during a conversion", Hex("10 8F 40 40 41 67 00 26 0D 0A 10 03"),
         {Frame(3, Hex("10 8F 40 40 41 67 00 26 0D 0A 10 03"))}, true},
    };
    for (const RecogniserCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Recognise(c.input, c.converting, c.detected), c.expected);
    }
}

TEST(FrameRecogniser, MixedStreamFindsEveryFrameInOrder)
{
    const Bytes stream = Cat({Hex("FF 00 10 41 00 10 03"), Text("junk$GPGGA,1*00\r\n"), Hex("81 02 11 01 E9 82"),
                              Text(">QST;*79<"), Hex("40 40 43 66 25 0D 0A 02 00 76 00 76 03"), Text("!7")});
    EXPECT_EQ(Recognise(stream), (std::vector<std::string>{
                               Frame(3, Hex("10 41 00 10 03")),
                               Frame(4, Text("$GPGGA,1*00\r\n")),
                               Frame(6, Hex("81 02 11 01 E9 82")),
                               Frame(5, Text(">QST;*79<")),
                               Frame(7, Hex("40 40 43 66 25 0D 0A")),
                               Frame(20, Hex("02 00 76 00 76 03")),
                               "bang 7",
                           }));
}

TEST(FrameRecogniser, ByteAtATimeEqualsBlockFeedAndResetForgetsAPartialFrame)
{
    const Bytes stream = Cat({Hex("10 41 01 10 10 02 10 03"), Text("$ABCDE\r\n")});
    RecordingFrameSink one;
    CFrameRecogniser rec(&one);
    for (uint8_t b : stream) rec.Feed(b);
    EXPECT_EQ(one.found, Recognise(stream));

    RecordingFrameSink sink;
    CFrameRecogniser partial(&sink);
    partial.Feed(Text("$GPGGA,12").data(), 9);
    EXPECT_EQ(partial.GetState(), CFrameRecogniser::ST_NMEA_BODY);
    partial.Reset();
    EXPECT_EQ(partial.GetState(), CFrameRecogniser::ST_IDLE);
    EXPECT_EQ(partial.GetCount(), 0);
    Bytes tail = Text("34\r\n");
    partial.Feed(tail.data(), tail.size());
    EXPECT_TRUE(sink.found.empty());
}
