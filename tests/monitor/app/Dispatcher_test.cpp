// The pure parts of the main window's event handling: comment lines, the
// batch command runner, stale fields, the serial statistics and replay
// progress texts, the diagnostic and CRC logs, and diagnostic frames.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/BatchQuery.h"
#include "app/DiagLogLine.h"
#include "app/DiagPacket.h"
#include "app/InputValidation.h"
#include "app/LinkStatisticsText.h"
#include "app/StaleFields.h"
#include "framework/CFile.h"
#include "framework/MemoryFileBackend.h"
#include "model/Clock.h"

namespace {

std::string S(const CString& s) { return std::string(static_cast<LPCTSTR>(s), s.GetLength()); }

// Installs a memory file system for one test and puts the previous one back.
class ScopedMemoryFiles {
public:
    ScopedMemoryFiles() : m_previous(&CFile::GetBackend()) { CFile::SetBackend(&files); }
    ~ScopedMemoryFiles() { CFile::SetBackend(m_previous); }
    MemoryFileBackend files;

private:
    IFileBackend* m_previous;
};

// ---- Comment lines ----------------------------------------------------------

TEST(IsCommentLine, BlankSlashAndSemicolonLinesOnly)
{
    const struct {
        const char* text;
        bool comment;
    } cases[] = {
        {"", true},
        {"   \t ", true},
        {"\r", true},
        {"/ a comment", true},
        {"   // indented", true},
        {"\t; semicolon", true},
        {";", true},
        {"8E 26 / not at the start", false},
        {"QBIN 100", false},
        {" x", false},
        {nullptr, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.comment, IsCommentLine(c.text)) << (c.text ? c.text : "(null)");
}

// ---- Batch runner -------------------------------------------------------------

// Records timer calls and sent commands in one log, in the order they happen.
class Recorder : public ITimerHost, public IBatchCommandSender {
public:
    bool SetTimer(uint32_t id, uint32_t ms) override
    {
        Log("set " + std::to_string(id) + " " + std::to_string(ms));
        return ++setTimerCalls != failSetTimer;
    }
    void KillTimer(uint32_t id) override { Log("kill " + std::to_string(id)); }
    bool SendBatchCommand(const char* text) override
    {
        Log(std::string("send ") + text);
        return true;
    }
    void Log(const std::string& entry) { log += (log.empty() ? "" : "|") + entry; }

    std::string log;
    int failSetTimer = 0;  // the n-th SetTimer call fails (0: none)
    int setTimerCalls = 0;
};

const uint32_t kId = CBatchQuery::kDefaultTimerId;

// Runs the batch to its end, ticking at most `maxTicks` times.
BatchTick RunToEnd(CBatchQuery& batch, int maxTicks = 100)
{
    BatchTick tick = BATCH_TICK_RUNNING;
    for (int i = 0; i < maxTicks && tick == BATCH_TICK_RUNNING; ++i) tick = batch.OnTimer(kId);
    return tick;
}

TEST(BatchQuery, StartChecksMarkerAndSettings)
{
    const struct {
        const char* text;
        BatchStartResult result;
        ProtocolKind protocol;
        uint32_t delay;
    } cases[] = {
        {"!qzwprotcmd\nQBIN 100\n8E 26\n", BATCH_STARTED, PROTO_QBIN, 100},
        {"!QZWPROTCMD\r\n\r\n; settings next\r\n  / more\r\nnmea 250\r\n", BATCH_STARTED, PROTO_NMEA, 250},
        {"  !QzwProtCmd  \nQOP 1\n", BATCH_STARTED, PROTO_QOP, 1},
        {"!qzwprotcmd\nQBIN 0\n8E 26\n", BATCH_BAD_SETTINGS, PROTO_NONE, 0},
        {"!qzwprotcmd\nQBIN -100\n", BATCH_BAD_SETTINGS, PROTO_NONE, 0},
        {"!qzwprotcmd\nQBIN\n", BATCH_BAD_SETTINGS, PROTO_NONE, 0},
        {"!qzwprotcmd\nBOGUS 100\n", BATCH_BAD_SETTINGS, PROTO_NONE, 0},
        // The name ends at the first space, so two-word names need their
        // one-word spelling.
        {"!qzwprotcmd\nSIRF NMEA 100\n", BATCH_BAD_SETTINGS, PROTO_NONE, 0},
        {"!qzwprotcmd\nsirf_nmea 100\n", BATCH_STARTED, PROTO_SIRF_NMEA, 100},
        {"!qzwprotcmd\nQBIN 99999999999999999999\n", BATCH_STARTED, PROTO_QBIN, 0x7FFFFFFFu},
        {"!qzwprotcmd\n; only comments\n\n", BATCH_NO_SETTINGS, PROTO_NONE, 0},
        {"!qzwprotcmd", BATCH_NO_SETTINGS, PROTO_NONE, 0},
        {"QBIN 100\n8E 26\n", BATCH_NOT_A_BATCH, PROTO_NONE, 0},
        {"; !qzwprotcmd\nQBIN 100\n", BATCH_NOT_A_BATCH, PROTO_NONE, 0},
        {"", BATCH_NOT_A_BATCH, PROTO_NONE, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ScopedMemoryFiles fs;
        fs.files.SetFile("batch.txt", c.text);
        Recorder rec;
        CBatchQuery batch(&rec, &rec);
        HWND reply = reinterpret_cast<HWND>(&rec);
        EXPECT_EQ(c.result, batch.Start("batch.txt", reply));
        EXPECT_EQ(c.result == BATCH_STARTED, batch.IsRunning());
        if (c.result == BATCH_STARTED) {
            EXPECT_EQ(c.protocol, batch.GetProtocol());
            EXPECT_EQ(c.delay, batch.GetDelay());
            EXPECT_EQ(reply, batch.GetReplyWindow());
            EXPECT_EQ("set " + std::to_string(kId) + " " + std::to_string(c.delay), rec.log);
            EXPECT_TRUE(fs.files.IsOpen("batch.txt"));
        } else {
            // A refused batch leaves nothing open and nothing scheduled.
            EXPECT_EQ("", rec.log);
            EXPECT_FALSE(fs.files.IsOpen("batch.txt"));
        }
    }
}

TEST(BatchQuery, MissingFileIsRefused)
{
    ScopedMemoryFiles fs;
    Recorder rec;
    CBatchQuery batch(&rec, &rec);
    EXPECT_EQ(BATCH_OPEN_FAILED, batch.Start("absent.txt", nullptr));
    EXPECT_EQ(BATCH_OPEN_FAILED, batch.Start("", nullptr));
    EXPECT_EQ(BATCH_OPEN_FAILED, batch.Start(static_cast<LPCTSTR>(nullptr), nullptr));
    EXPECT_FALSE(batch.IsRunning());
}

TEST(BatchQuery, OneHandledLinePerTick)
{
    // Log of the whole run: the start's timer, then each tick's work.
    const std::string set100 = "set 40 100";
    const struct {
        const char* body;  // lines after "!qzwprotcmd\nQBIN 100\n"
        const char* log;
    } cases[] = {
        // Comments and blanks cost no tick; each command is one tick.
        {"8E 26\n\n; note\n  / note\n1C 03\n",
         "set 40 100|send 8E 26|set 40 100|send 1C 03|set 40 100|kill 40"},
        // A wait adds its pause to the delay, then the next line follows.
        {"wait 500\n8E 26\n", "set 40 100|set 40 600|send 8E 26|set 40 100|kill 40"},
        // Any case, anywhere in the line; the number after the first space
        // of the trimmed line.
        {"  WAIT 50\nPlease Wait\nx wait 7\n",
         "set 40 100|set 40 150|set 40 100|set 40 100|kill 40"},
        // A wait that is not above 0 is a plain pause of one delay.
        {"wait -5\nwait abc\n", "set 40 100|set 40 100|set 40 100|kill 40"},
        // A huge wait is capped at the largest timer period.
        {"wait 99999999999\n", "set 40 100|set 40 2147483647|kill 40"},
        // Commands go out as typed, blanks and all; CR LF is removed.
        {"  8e 26 \r\n", "set 40 100|send   8e 26 |set 40 100|kill 40"},
        // A last line without its line end is still sent.
        {"8E 26", "set 40 100|send 8E 26|set 40 100|kill 40"},
        // Nothing after the settings: the first tick ends the batch.
        {"", "set 40 100|kill 40"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        ScopedMemoryFiles fs;
        fs.files.SetFile("b.txt", std::string("!qzwprotcmd\nQBIN 100\n") + c.body);
        Recorder rec;
        CBatchQuery batch(&rec, &rec);
        ASSERT_EQ(BATCH_STARTED, batch.Start("b.txt", nullptr));
        EXPECT_EQ(BATCH_TICK_FINISHED, RunToEnd(batch));
        EXPECT_EQ(c.log, rec.log);
        EXPECT_FALSE(batch.IsRunning());
        EXPECT_FALSE(fs.files.IsOpen("b.txt"));
    }
}

TEST(BatchQuery, SecondBatchWaitsForTheFirst)
{
    ScopedMemoryFiles fs;
    fs.files.SetFile("a.txt", "!qzwprotcmd\nQBIN 100\nA1\nA2\n");
    fs.files.SetFile("b.txt", "!qzwprotcmd\nNMEA 300\nB1\n");
    Recorder rec;
    CBatchQuery batch(&rec, &rec);
    ASSERT_EQ(BATCH_STARTED, batch.Start("a.txt", nullptr));
    EXPECT_EQ(BATCH_TICK_RUNNING, batch.OnTimer(kId));

    // Refused, and the running batch keeps its file, protocol and timer.
    rec.log.clear();
    EXPECT_EQ(BATCH_BUSY, batch.Start("b.txt", nullptr));
    EXPECT_EQ(BATCH_BUSY, batch.Start(std::unique_ptr<IBatchLineSource>(new CBatchTextSource("x", 1)), nullptr));
    EXPECT_EQ("", rec.log);
    EXPECT_FALSE(fs.files.IsOpen("b.txt"));
    EXPECT_EQ(PROTO_QBIN, batch.GetProtocol());
    EXPECT_EQ(BATCH_TICK_FINISHED, RunToEnd(batch));
    EXPECT_EQ("send A2|set 40 100|kill 40", rec.log);
    EXPECT_EQ(2u, batch.GetCommandsSent());

    // Once it ended a new batch starts.
    rec.log.clear();
    EXPECT_EQ(BATCH_STARTED, batch.Start("b.txt", nullptr));
    EXPECT_EQ(PROTO_NMEA, batch.GetProtocol());
    EXPECT_EQ(BATCH_TICK_FINISHED, RunToEnd(batch));
    EXPECT_EQ("set 40 300|send B1|set 40 300|kill 40", rec.log);
}

TEST(BatchQuery, ForeignAndStrayTicks)
{
    Recorder rec;
    CBatchQuery batch(&rec, &rec);
    // No batch: a foreign id is not touched, a stray batch tick kills its timer.
    EXPECT_EQ(BATCH_TICK_NOT_MINE, batch.OnTimer(kId + 1));
    EXPECT_EQ("", rec.log);
    EXPECT_EQ(BATCH_TICK_NOT_MINE, batch.OnTimer(kId));
    EXPECT_EQ("kill 40", rec.log);

    const char text[] = "!qzwprotcmd\nQBIN 100\nA1\n";
    rec.log.clear();
    ASSERT_EQ(BATCH_STARTED,
              batch.Start(std::unique_ptr<IBatchLineSource>(new CBatchTextSource(text, sizeof text - 1)), nullptr));
    EXPECT_EQ(BATCH_TICK_NOT_MINE, batch.OnTimer(kId + 1));
    EXPECT_EQ(0u, batch.GetCommandsSent());
    batch.Abort();
    EXPECT_FALSE(batch.IsRunning());
    EXPECT_EQ("set 40 100|kill 40", rec.log);
}

TEST(BatchQuery, TimerFailureEndsTheBatch)
{
    const char text[] = "!qzwprotcmd\nQBIN 100\nA1\nA2\n";
    const struct {
        int failSetTimer;
        BatchStartResult start;
        const char* log;
    } cases[] = {
        {1, BATCH_TIMER_FAILED, "set 40 100"},
        {2, BATCH_STARTED, "set 40 100|send A1|set 40 100|kill 40"},
    };
    for (const auto& c : cases) {
        Recorder rec;
        rec.failSetTimer = c.failSetTimer;
        CBatchQuery batch(&rec, &rec);
        EXPECT_EQ(c.start, batch.Start(std::unique_ptr<IBatchLineSource>(new CBatchTextSource(text, sizeof text - 1)),
                                       nullptr));
        if (c.start == BATCH_STARTED) {
            EXPECT_EQ(BATCH_TICK_FINISHED, batch.OnTimer(kId));
        }
        EXPECT_FALSE(batch.IsRunning());
        EXPECT_EQ(c.log, rec.log);
    }
}

// ---- Stale fields -------------------------------------------------------------

TEST(StaleFields, FieldClearsWhenItsCountReachesTheLimit)
{
    CStaleFields stale;
    stale.SetLimit(STALE_POSITION, 3);
    const bool expected[] = {false, false, true, true};
    for (bool clear : expected) EXPECT_EQ(clear, stale.Check(STALE_POSITION, false, false).clearField);

    // A report starts the count again; a transfer stops the counting.
    stale.Reset(STALE_POSITION);
    EXPECT_FALSE(stale.Check(STALE_POSITION, false, false).clearField);
    for (int i = 0; i < 10; ++i) EXPECT_FALSE(stale.Check(STALE_POSITION, true, false).clearField);
    EXPECT_EQ(1u, stale.GetCount(STALE_POSITION));

    // Indexes outside the table do nothing.
    for (int field : {-1, static_cast<int>(STALE_FIELD_COUNT), 1000}) {
        StaleCheck check = stale.Check(field, false, false);
        EXPECT_FALSE(check.clearField || check.receiverSilent || check.loseContact);
        EXPECT_EQ(0u, stale.GetCount(field));
    }
}

TEST(StaleFields, ReceiverSilentOnlyWhenStatusAndModeAreStale)
{
    const struct {
        std::vector<int> before;  // fields checked first
        int field;
        bool vendor;
        bool clear, silent, lose;
    } cases[] = {
        {{STALE_RECEIVER_STATUS}, STALE_RECEIVER_STATUS, false, true, false, false},  // mode still fresh
        {{3, 3, 4}, STALE_RECEIVER_MODE, false, true, true, true},
        {{3, 3, 4, 4}, STALE_TIME, false, true, true, true},  // any stale field reports it
        {{3, 3, 4, 4}, STALE_TIME, true, true, true, false},  // vendor NMEA keeps the contact
        {{3, 3, 4, 4}, STALE_ALMANAC, false, false, false, false},  // not stale itself
        {{3, 3, 4, 4}, 122, false, false, false, false},
    };
    for (const auto& c : cases) {
        CStaleFields stale;
        stale.SetLimit(STALE_RECEIVER_STATUS, 2);
        stale.SetLimit(STALE_RECEIVER_MODE, 2);
        stale.SetLimit(STALE_TIME, 1);
        stale.SetLimit(STALE_ALMANAC, 5);
        for (int field : c.before) stale.Check(field, false, c.vendor);
        const StaleCheck check = stale.Check(c.field, false, c.vendor);
        SCOPED_TRACE(c.field);
        EXPECT_EQ(c.clear, check.clearField);
        EXPECT_EQ(c.silent, check.receiverSilent);
        EXPECT_EQ(c.lose, check.loseContact);
    }
}

TEST(StaleFields, ClearPlanPerField)
{
    const struct {
        int field;
        int text0, text1;
        StaleMark mark;
    } cases[] = {
        {STALE_POSITION, 2, -1, STALE_MARK_POSITION},
        {STALE_VELOCITY, 3, -1, STALE_MARK_VELOCITY},
        {STALE_TIME, 4, -1, STALE_MARK_NONE},
        {STALE_RECEIVER_STATUS, 5, -1, STALE_MARK_NONE},
        {STALE_RECEIVER_MODE, 8, 6, STALE_MARK_NONE},
        {STALE_CHANNEL_FIRST, 16, -1, STALE_MARK_NONE},
        {STALE_CHANNEL_LAST, 16, -1, STALE_MARK_NONE},
        {STALE_OSCILLATOR, 12, -1, STALE_MARK_OSCILLATOR},
        {STALE_BATTERY_RAM, 9, -1, STALE_MARK_NONE},
        {STALE_ANTENNA, 11, -1, STALE_MARK_NONE},
        {STALE_CLOCK, 10, -1, STALE_MARK_NONE},
        {STALE_ALMANAC, 7, -1, STALE_MARK_NONE},
        {STALE_FIELD_COUNT, -1, -1, STALE_MARK_NONE},
        {-1, -1, -1, STALE_MARK_NONE},
    };
    for (const auto& c : cases) {
        const StaleFieldPlan plan = GetStaleFieldPlan(c.field);
        SCOPED_TRACE(c.field);
        EXPECT_EQ(c.text0, plan.reportTexts[0]);
        EXPECT_EQ(c.text1, plan.reportTexts[1]);
        EXPECT_EQ(c.mark, plan.mark);
    }
}

// ---- Statistics and progress texts ------------------------------------------

TEST(SerialStatistics, Text)
{
    const struct {
        uint32_t bytes, packets, seconds;
        uint16_t crc;
        const char* tail;  // the text after the header lines
    } cases[] = {
        {1000, 10, 2, 0,
         "Total bytes received:   1000\nTotal packets received: 10\n"
         "Average packet size:    100 bytes\nAverage traffic:        500 bytes/sec"},
        {1000, 0, 0, 0,
         "Total bytes received:   1000\nTotal packets received: 0\n"
         "Average packet size:    0 bytes\nAverage traffic:        0 bytes/sec"},
        {4000000000u, 3, 1, 7,
         "Total bytes received:   4000000000\nTotal packets received: 3\n"
         "Average packet size:    1333333333 bytes\nAverage traffic:        4000000000 bytes/sec\n"
         "Checksum/CRC errors:    7"},
    };
    const std::string head = "Incoming Serial Data Statistics\n--------------------------------------\n";
    for (const auto& c : cases)
        EXPECT_EQ(head + c.tail, S(FormatSerialStatistics(c.bytes, c.packets, c.seconds, c.crc)));

    CSerialStatistics stats;
    stats.Tick(500, 5);
    stats.CountCrcError();
    const std::string text = S(stats.Tick(1000, 10));
    EXPECT_NE(std::string::npos,
              text.find("Average packet size:    100 bytes\nAverage traffic:        500 bytes/sec"));
    EXPECT_NE(std::string::npos, text.find("\nChecksum/CRC errors:    1"));
    EXPECT_EQ(1000u, stats.GetLastBytes());
    stats.Reset();
    EXPECT_EQ(0u, stats.GetSeconds());
    EXPECT_EQ(0, stats.GetCrcErrors());
}

TEST(PlaybackProgress, SixtyFourBitPercentAndKilobyteRange)
{
    const struct {
        uint32_t read, size;
        int32_t range, position;
        const char* text;
    } cases[] = {
        {30000000u, 40000000u, 39062, 29296, "75%"},
        {4000000000u, 4294967295u, 4194303, 3906250, "93%"},  // far above 21 MB
        {0, 1000, 0, 0, "0%"},
        {1000, 1000, 0, 0, "100%"},
        {5000, 0, 0, 0, "0%"},         // empty file: no division by 0
        {3000, 2048, 2, 2, "100%"},    // read past the size never shows more
    };
    for (const auto& c : cases) {
        const PlaybackProgress p = ComputePlaybackProgress(c.read, c.size);
        SCOPED_TRACE(c.read);
        EXPECT_EQ(c.range, p.rangeUpper);
        EXPECT_EQ(c.position, p.position);
        EXPECT_EQ(c.text, S(p.text));
    }
}

// ---- Diagnostic and CRC logs --------------------------------------------------

TEST(DiagLog, LineTexts)
{
    const struct {
        int hour, minute, second;
        const char* text;
        const char* line;
    } cases[] = {
        {13, 2, 3, "Err: 0x0001 text", "03/15/07 01:02:03PM: Err: 0x0001 text\r\n"},
        {0, 5, 9, "a\r\nb\rc\n", "03/15/07 12:05:09AM: abc\r\n"},
        {12, 0, 0, "", "03/15/07 12:00:00PM: \r\n"},
        {23, 59, 59, "x", "03/15/07 11:59:59PM: x\r\n"},
    };
    for (const auto& c : cases) {
        const CalendarTime t = MakeCalendarTime(2007, 3, 15, c.hour, c.minute, c.second);
        EXPECT_EQ(c.line, S(FormatDiagLogLine(t, c.text)));
    }
    EXPECT_EQ("Err: 0x0001 text", S(FormatDiagMessageText(1, "text")));
    EXPECT_EQ("Err: 0x2345 x", S(FormatDiagMessageText(0x12345, "x")));
    EXPECT_EQ("diag_com5.txt", S(MakeDiagLogName(5)));
    EXPECT_EQ("crcLog_com5.txt", S(MakeCrcLogName(MakeDiagLogName(5))));
    EXPECT_EQ("crcLog_com12.txt", S(MakeCrcLogName(MakeDiagLogName(12))));
    EXPECT_EQ("diag_com5.txt", S(JoinLogPath("", "diag_com5.txt")));
    EXPECT_EQ("d/diag_com5.txt", S(JoinLogPath("d/", "diag_com5.txt")));
}

TEST(DiagLog, WritesIntoTheDataFolderWithTheClock)
{
    ScopedMemoryFiles fs;
    FixedClock clock;
    const CalendarTime t = MakeCalendarTime(2007, 3, 15, 13, 2, 3);
    clock.Set(t, t, 0);
    ScopedClock useClock(&clock);

    const std::string diag = S(JoinLogPath("data", "diag_com5.txt"));
    const std::string crc = S(JoinLogPath("data", "crcLog_com5.txt"));
    fs.files.SetFile(diag, "earlier\r\n");  // an existing log is appended to

    CDiagLogs logs;
    logs.SetFolder("data");
    logs.SetPort(5);
    EXPECT_EQ(crc, S(logs.GetCrcLogPath()));
    EXPECT_TRUE(logs.AppendDiagLog(FormatDiagMessageText(1, "text")));
    EXPECT_TRUE(logs.AppendDiagLog("second"));
    EXPECT_EQ("earlier\r\n03/15/07 01:02:03PM: Err: 0x0001 text\r\n03/15/07 01:02:03PM: second\r\n",
              fs.files.GetFileText(diag));

    const BYTE frame[] = {0x10, 0x5F, 0x02, 0x10, 0x03};
    EXPECT_TRUE(logs.LogCrcError(frame, sizeof frame, nullptr));
    const std::string crcText = fs.files.GetFileText(crc);
    EXPECT_EQ(0u, crcText.find("03/15/07 01:02:03PM: QBIN CRC error for Packet 0x5F-02"));
    EXPECT_EQ("\r\n\r\n", crcText.substr(crcText.size() - 4));
    EXPECT_TRUE(logs.IsDiagLogOpen() && logs.IsCrcLogOpen());

    // Back to IDLE closes both.
    logs.Close();
    EXPECT_FALSE(fs.files.IsOpen(diag) || fs.files.IsOpen(crc));
}

TEST(DiagLog, OpenFailureIsSilentAndRetried)
{
    ScopedMemoryFiles fs;
    fs.files.FailOpen("diag_com3.txt");
    CDiagLogs logs;
    logs.SetPort(3);
    EXPECT_FALSE(logs.AppendDiagLog("lost"));
    EXPECT_FALSE(fs.files.Exists("diag_com3.txt"));
    fs.files.ClearFaults();
    EXPECT_TRUE(logs.AppendDiagLog("kept"));
    EXPECT_NE(std::string::npos, fs.files.GetFileText("diag_com3.txt").find(": kept\r\n"));
    EXPECT_EQ(std::string::npos, fs.files.GetFileText("diag_com3.txt").find("lost"));

    // Another port's link writes its own log.
    logs.SetPort(4);
    EXPECT_FALSE(fs.files.IsOpen("diag_com3.txt"));
    EXPECT_TRUE(logs.AppendDiagLog("four"));
    EXPECT_TRUE(fs.files.Exists("diag_com4.txt"));
}

// ---- Diagnostic frames ------------------------------------------------------

TEST(DiagPacket, LengthChecksPerSubCode)
{
    const struct {
        std::vector<BYTE> frame;
        DiagPacketAction action;
        uint32_t value;
        int dataOffset, length;  // data offset in the frame; -1 when none
    } cases[] = {
        {{0x10, 0x5F, 0x02, 0x12, 0x34, 0x56, 0x78, 0x10, 0x03}, DIAG_VALUE, 0x12345678u, -1, 0},
        {{0x10, 0x5F, 0x02, 0x12, 0x34, 0x56, 0x78, 0x10}, DIAG_IGNORE, 0, -1, 0},
        {{0x10, 0x5F, 0x02, 0x10, 0x03}, DIAG_IGNORE, 0, -1, 0},
        {{0x10, 0x5F, 0x03, 0x01, 0xAA, 0xBB, 0x10, 0x03}, DIAG_RAW_PAGE, 0, 4, 2},
        {{0x10, 0x5F, 0x03, 0x01, 0x10, 0x03}, DIAG_RAW_PAGE, 0, -1, 0},
        {{0x10, 0x5F, 0x03, 0x01, 0x10}, DIAG_IGNORE, 0, -1, 0},
        {{0x10, 0x5F, 0x03, 0x02, 0xAA, 0x10, 0x03}, DIAG_IGNORE, 0, -1, 0},
        {{0x10, 0x5F, 0xFF, 'h', 'i', 0x10, 0x03}, DIAG_LOG_TEXT, 0, 3, 2},
        {{0x10, 0x5F, 0xFF, 0x10, 0x03}, DIAG_LOG_TEXT, 0, -1, 0},
        {{0x10, 0x5F, 0xFF, 0x10}, DIAG_IGNORE, 0, -1, 0},
        {{0x10, 0x5F}, DIAG_IGNORE, 0, -1, 0},
        {{0x10, 0x5E, 0x02, 0, 0, 0, 1, 0x10, 0x03}, DIAG_IGNORE, 0, -1, 0},
        {{0x10, 0x5F, 0x04, 0, 0, 0, 1, 0x10, 0x03}, DIAG_IGNORE, 0, -1, 0},
        {{}, DIAG_IGNORE, 0, -1, 0},
    };
    for (const auto& c : cases) {
        // Each frame sits alone in its own allocation, so ASan catches a read
        // past its end.
        std::unique_ptr<BYTE[]> copy(new BYTE[c.frame.size()]);
        if (!c.frame.empty()) std::memcpy(copy.get(), c.frame.data(), c.frame.size());
        const int n = static_cast<int>(c.frame.size());
        const DiagPacket p = ParseDiagPacket(n > 0 ? copy.get() : nullptr, n);
        SCOPED_TRACE(n);
        EXPECT_EQ(c.action, p.action);
        EXPECT_EQ(c.value, p.value);
        EXPECT_EQ(c.length, p.length);
        EXPECT_EQ(c.dataOffset < 0 ? nullptr : copy.get() + c.dataOffset, p.data);
    }
}

} // namespace
