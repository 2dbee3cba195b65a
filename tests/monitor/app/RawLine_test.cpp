#include "app/RawLine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "model/ReceiverEvent.h"

namespace {

typedef std::vector<uint8_t> Bytes;

Bytes Text(const char* text) { return Bytes(text, text + std::strlen(text)); }

std::string Line(ProtocolKind kind, const Bytes& frame, bool idsOnly)
{
    return FormatRawLine(kind, frame.data(), static_cast<int>(frame.size()), idsOnly);
}

const Bytes kQbinPositionQuery = {0x10, 0x41, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05,
                                  0x06, 0x07, 0x08, 0x09, 0x10, 0x03};

struct LineCase {
    ProtocolKind kind;
    Bytes frame;
    const char* ids;   // identifiers only
    const char* full;  // the whole frame
};

// Every frame both ways: the identifier line and the full line.
TEST(RawLine, FramesOfEveryKind)
{
    const LineCase cases[] = {
        {PROTO_QBIN, kQbinPositionQuery, "Packet ID: 0x41     Data Length: 10",
         "10 41 00 01 02 03 04 05 06 07 08 09 10 03 "},
        {PROTO_QBIN, {0x10, 0x8F, 0x20, 0x01, 0x10, 0x03}, "Packet ID: 0x8F-20  Data Length: 2",
         "10 8F 20 01 10 03 "},
        // Every id with a sub-code, and one beside them without.
        {PROTO_QBIN, {0x10, 0x3F, 0x11, 0x10, 0x03}, "Packet ID: 0x3F-11  Data Length: 1", "10 3F 11 10 03 "},
        {PROTO_QBIN, {0x10, 0x5F, 0x01, 0x10, 0x03}, "Packet ID: 0x5F-01  Data Length: 1", "10 5F 01 10 03 "},
        {PROTO_QBIN, {0x10, 0x6F, 0x02, 0x10, 0x03}, "Packet ID: 0x6F-02  Data Length: 1", "10 6F 02 10 03 "},
        {PROTO_QBIN, {0x10, 0x8E, 0x15, 0x10, 0x03}, "Packet ID: 0x8E-15  Data Length: 1", "10 8E 15 10 03 "},
        {PROTO_QBIN, {0x10, 0x90, 0x15, 0x10, 0x03}, "Packet ID: 0x90     Data Length: 1", "10 90 15 10 03 "},
        {PROTO_QBIN, {0x10, 0x1E, 0x10, 0x03}, "Packet ID: 0x1E     Data Length: 0", "10 1E 10 03 "},
        // Too short for the identifier form, still shown in full.
        {PROTO_QBIN, {0x10, 0x41, 0x10}, "", "10 41 10 "},

        {PROTO_NMEA, Text("$GPGPQ,GGA*3C\r\n"), "Message ID: Query GGA   Message Length: 15", "$GPGPQ,GGA*3C"},
        {PROTO_NMEA, Text("$GPGGA,*7A\r\n"), "Message ID: GGA   Message Length: 12", "$GPGGA,*7A"},
        {PROTO_NMEA, Text("$GNGGA,*64\r\n"), "Message ID: GNGGA    Message Length: 12", "$GNGGA,*64"},
        {PROTO_NMEA, Text("$PZULQTF*50\r\n"), "Message ID: Query TF    Message Length: 13", "$PZULQTF*50"},
        {PROTO_NMEA, Text("$PZULSRT,F*2C\r\n"), "Message ID: RT    Message Length: 15", "$PZULSRT,F*2C"},
        // Queries and proprietary sentences too short for their letters take
        // the five-letter form, which reads only b[1..5].
        {PROTO_NMEA, Text("$GPGPQ\r\n"), "Message ID: GPGPQ    Message Length: 8", "$GPGPQ"},
        {PROTO_NMEA, Text("$GPGPQ,G\r"), "Message ID: GPGPQ    Message Length: 9", "$GPGPQ,"},
        {PROTO_NMEA, Text("$GPGPQ,GG\r"), "Message ID: Query GG\r   Message Length: 10", "$GPGPQ,G"},
        {PROTO_NMEA, Text("$PZULQT"), "Message ID: PZULQ    Message Length: 7", "$PZUL"},
        {PROTO_NMEA, Text("$PZULQTF"), "Message ID: Query TF    Message Length: 8", "$PZULQ"},
        {PROTO_NMEA, Text("$GPGGA"), "Message ID: GGA   Message Length: 6", "$GPG"},
        {PROTO_NMEA, Text("$GPGG"), "", "$GP"},
        {PROTO_NMEA, Text("\r\n"), "", ""},

        {PROTO_QTXT, Text(">QST;*79<"), "Message ID: ST    Message Length: 9", ">QST;*79<"},
        {PROTO_QTXT, Text(">QS<"), "Message ID: S<    Message Length: 4", ">QS<"},
        {PROTO_QTXT, Text(">Q<"), "", ">Q<"},

        {PROTO_KESTO, {0x81, 0x02, 0x11, 0x01, 0xE9, 0x82}, "Packet Code: 0x02  Sub-Code: 0x11   Data Length: 1",
         "81 02 11 01 E9 82 "},

        {PROTO_QOP, {0x40, 0x40, 0x41, 0x67, 0x00, 0x26, 0x0D, 0x0A}, "Message ID: Ag    Message Length: 8",
         "@@Ag 00 26 0D 0A "},
        {PROTO_QOP, {0x40, 0x40, 0x41, 0x67}, "Message ID: Ag    Message Length: 4", "@@Ag "},
        {PROTO_QOP, {0x40, 0x40}, "", "@@ "},

        {PROTO_MON, {0x02, 0x00, 0x80, 0x05, 0x00, 0x00, 0x10, 0x00, 0x02, 0x97, 0x03},
         "Packet Code: 0x80  Data Length: 5", "02 00 80 05 00 00 10 00 02 97 03 "},
        {PROTO_MON, {0x02, 0x00, 0x80}, "", "02 00 80 "},

        // Kinds the monitor does not list.
        {PROTO_CUSTOM_ASCII, Text("$GPGGA,*7A\r\n"), "", ""},
        {PROTO_NONE, kQbinPositionQuery, "", ""},
        {PROTO_SIRF_NMEA, Text("$GPGGA,*7A\r\n"), "", ""},
    };
    for (const LineCase& c : cases) {
        EXPECT_EQ(c.ids, Line(c.kind, c.frame, true)) << "kind " << c.kind << ", " << c.frame.size() << " bytes";
        EXPECT_EQ(c.full, Line(c.kind, c.frame, false)) << "kind " << c.kind << ", " << c.frame.size() << " bytes";
    }
}

TEST(RawLine, NoBytesNoLine)
{
    for (ProtocolKind kind : {PROTO_QBIN, PROTO_NMEA, PROTO_QTXT, PROTO_KESTO, PROTO_QOP, PROTO_MON}) {
        for (bool idsOnly : {false, true}) {
            EXPECT_EQ("", FormatRawLine(kind, nullptr, 5, idsOnly));
            const uint8_t byte = 0x10;
            EXPECT_EQ("", FormatRawLine(kind, &byte, 0, idsOnly));
            EXPECT_EQ("", FormatRawLine(kind, &byte, -1, idsOnly));
        }
    }
}

// A KESTO frame of four bytes is as short as the identifier form reads; its
// data length counts the five bytes around the data, so it shows -1.
TEST(RawLine, KestoLengthCountsItsFrame)
{
    EXPECT_EQ("Packet Code: 0x02  Sub-Code: 0x11   Data Length: -1",
              Line(PROTO_KESTO, {0x81, 0x02, 0x11, 0x82}, true));
    EXPECT_EQ("", Line(PROTO_KESTO, {0x81, 0x02, 0x82}, true));
}

// NUL bytes would cut the line in the window: they show as '.'.
TEST(RawLine, NulShownAsDot)
{
    EXPECT_EQ("Message ID: .S    Message Length: 4", Line(PROTO_QTXT, {'>', 'Q', 0, 'S'}, true));
    EXPECT_EQ(">Q.S", Line(PROTO_QTXT, {'>', 'Q', 0, 'S'}, false));
    EXPECT_EQ("$GP.GA", Line(PROTO_NMEA, {'$', 'G', 'P', 0, 'G', 'A', '\r', '\n'}, false));
    EXPECT_EQ("@@.g 00 ", Line(PROTO_QOP, {'@', '@', 0, 'g', 0}, false));
}

TEST(RawLine, IntoReplacesAndReusesTheString)
{
    std::string out = "left over";
    FormatRawLineInto(out, PROTO_QBIN, kQbinPositionQuery.data(), 3, true);
    EXPECT_EQ("", out);
    FormatRawLineInto(out, PROTO_QBIN, kQbinPositionQuery.data(), 4, false);
    EXPECT_EQ("10 41 00 01 ", out);
}

// ---- Sent QBIN commands ---------------------------------------------------------------------

struct UnstuffCase {
    Bytes sent;
    Bytes shown;
};

TEST(RawLine, UnstuffQbinCommand)
{
    const UnstuffCase cases[] = {
        // The data 8E 15 00 10: its DLE went out doubled.
        {{0x10, 0x8E, 0x15, 0x00, 0x10, 0x10, 0x10, 0x03}, {0x10, 0x8E, 0x15, 0x00, 0x10, 0x10, 0x03}},
        {{0x10, 0x1E, 0x4B, 0x10, 0x03}, {0x10, 0x1E, 0x4B, 0x10, 0x03}},
        // Doubled DLEs in the middle, and an odd run keeping its last one.
        {{0x10, 0x10, 0x10, 0x10, 0x10, 0x01, 0x10, 0x03}, {0x10, 0x10, 0x10, 0x01, 0x10, 0x03}},
        {{0x10, 0x10, 0x10, 0x10, 0x10, 0x03}, {0x10, 0x10, 0x10, 0x10, 0x03}},
        {{0x10, 0x10, 0x03}, {0x10, 0x10, 0x03}},
        // Not framed: as sent.
        {{0x10, 0x1E, 0x10, 0x10}, {0x10, 0x1E, 0x10, 0x10}},
        {{0x8E, 0x10, 0x10, 0x10, 0x03}, {0x8E, 0x10, 0x10, 0x10, 0x03}},
        {{0x10, 0x03}, {0x10, 0x03}},
        {{0x10}, {0x10}},
    };
    std::vector<uint8_t> out;
    for (const UnstuffCase& c : cases) {
        UnstuffQbinCommand(c.sent.data(), static_cast<int>(c.sent.size()), out);
        EXPECT_EQ(c.shown, out) << c.sent.size() << " bytes";
    }
    UnstuffQbinCommand(nullptr, 4, out);
    EXPECT_TRUE(out.empty());
}

TEST(RawLine, SentCommandShownUnstuffed)
{
    const Bytes sent = {0x10, 0x8E, 0x15, 0x00, 0x10, 0x10, 0x10, 0x03};
    std::vector<uint8_t> shown;
    UnstuffQbinCommand(sent.data(), static_cast<int>(sent.size()), shown);
    EXPECT_EQ("10 8E 15 00 10 10 03 ", Line(PROTO_QBIN, shown, false));
    EXPECT_EQ("Packet ID: 0x8E-15  Data Length: 3", Line(PROTO_QBIN, shown, true));
}

// ---- The display rule ---------------------------------------------------------------------------

TEST(RawLine, DisplayRule)
{
    struct Case {
        int32_t event;
        bool paused, fileMode;
        uint32_t speed;
        bool received, sent;
        RawLineSource expected;
    } cases[] = {
        {EV_RAW_FRAME, false, false, 0, true, false, RAW_SOURCE_RECEIVED},
        {EV_COMMAND_BYTES, false, false, 0, true, false, RAW_SOURCE_NONE},
        {EV_COMMAND_BYTES, false, false, 0, false, true, RAW_SOURCE_SENT},
        {EV_RAW_FRAME, false, false, 0, false, true, RAW_SOURCE_NONE},
        {EV_RAW_FRAME, false, false, 0, false, false, RAW_SOURCE_NONE},
        {EV_COMMAND_BYTES, false, false, 0, false, false, RAW_SOURCE_NONE},
        {EV_RAW_FRAME, true, false, 0, true, true, RAW_SOURCE_NONE},
        {EV_COMMAND_BYTES, true, false, 0, true, true, RAW_SOURCE_NONE},
        {EV_RAW_FRAME, false, true, 501, true, true, RAW_SOURCE_NONE},
        {EV_RAW_FRAME, false, true, 1000, true, true, RAW_SOURCE_NONE},
        {EV_RAW_FRAME, false, true, 500, true, true, RAW_SOURCE_RECEIVED},
        {EV_RAW_FRAME, false, true, 1, true, true, RAW_SOURCE_RECEIVED},
        // The speed counts only while a recording plays.
        {EV_RAW_FRAME, false, false, 1000, true, true, RAW_SOURCE_RECEIVED},
        {EV_FRAME_RECEIVED, false, false, 0, true, true, RAW_SOURCE_NONE},
        {EV_RAW_MEASUREMENT, false, false, 0, true, true, RAW_SOURCE_NONE},
    };
    for (const Case& c : cases) {
        RawMonitorState state;
        state.paused = c.paused;
        state.fileMode = c.fileMode;
        state.playbackSpeed = c.speed;
        state.showReceived = c.received;
        state.showSent = c.sent;
        EXPECT_EQ(c.expected, SelectRawLineSource(c.event, state))
            << c.event << " paused " << c.paused << " file " << c.fileMode << " speed " << c.speed << " rx "
            << c.received << " tx " << c.sent;
    }
}

// ---- The queue ------------------------------------------------------------------------------------

std::string Numbered(int i) { return "line " + std::to_string(i); }

// The window after a batch: emptied first or not, then the text appended.
void Apply(std::string& window, const RawLineQueue::Batch& batch)
{
    if (batch.clearFirst) window.clear();
    window += batch.text;
}

TEST(RawLineQueue, LinesJoinedAcrossBatches)
{
    RawLineQueue queue;
    EXPECT_FALSE(queue.HasPending());
    queue.Push("a");
    queue.Push("");
    queue.Push("b");
    RawLineQueue::Batch first = queue.Take();
    EXPECT_FALSE(first.clearFirst);
    EXPECT_EQ("a\r\nb", first.text);
    EXPECT_EQ(2, first.lines);
    EXPECT_FALSE(queue.HasPending());
    queue.Push("c");
    RawLineQueue::Batch second = queue.Take();
    EXPECT_EQ("\r\nc", second.text);
    std::string window;
    Apply(window, first);
    Apply(window, second);
    EXPECT_EQ("a\r\nb\r\nc", window);
    EXPECT_EQ(3, queue.LinesShown());
}

TEST(RawLineQueue, UserClearDropsWaitingLines)
{
    RawLineQueue queue;
    queue.Push("a");
    queue.Take();
    queue.Push("b");
    queue.Clear();
    EXPECT_FALSE(queue.HasPending());
    EXPECT_EQ(0, queue.LinesShown());
    queue.Push("c");
    RawLineQueue::Batch batch = queue.Take();
    EXPECT_FALSE(batch.clearFirst);
    EXPECT_EQ("c", batch.text);
}

// At most 4999 appended lines: the 5000th empties the window first, however
// the lines are split into batches.
TEST(RawLineQueue, FiveThousandthLineClearsFirst)
{
    for (int batchSize : {1, 7, 4999, 5000, 12000}) {
        RawLineQueue queue;
        std::string window;
        int clears = 0;
        for (int i = 1; i <= 12000; ++i) {
            queue.Push(Numbered(i));
            if (i % batchSize == 0 || i == 4999 || i == 12000) {
                RawLineQueue::Batch batch = queue.Take();
                clears += batch.clearFirst ? 1 : 0;
                Apply(window, batch);
            }
            if (i == 4999) {
                EXPECT_EQ(4999, queue.LinesShown());
                EXPECT_EQ(0u, window.find("line 1\r\n"));
            }
        }
        // 12000 = 2 x 4999 + 2002: the window was emptied before lines 5000 and 9999.
        EXPECT_EQ(2002, queue.LinesShown()) << batchSize;
        EXPECT_EQ(0u, window.find("line 9999\r\nline 10000\r\n")) << batchSize;
        EXPECT_EQ(window.size() - std::string("line 12000").size(), window.rfind("line 12000")) << batchSize;
        EXPECT_EQ(batchSize >= 12000 ? 1 : 2, clears) << batchSize;
    }
}

}  // namespace
