#pragma once
// The batch command runner: a text file of raw commands that the main window
// sends to the receiver one by one.
//
// A batch file looks like
//     !qzwprotcmd            (marks the file as a batch; any case)
//     ; comments and blank lines anywhere
//     QBIN 200               (protocol of the commands, pause after each line in ms)
//     8E 26
//     wait 500               (an extra pause of 500 ms)
//     1C 03
//
// Commands go out through the same protocol engine the GUI thread uses, so
// the runner lives on the GUI thread too: the main window's timer drives it,
// one handled line per tick, with the pause as the timer's period. Nothing
// here sleeps or starts a thread, and it never touches a window: the timer
// host and the sender are seams the main window binds (to its own SetTimer
// and to CProtocol::SendRawCommand).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "framework/CFile.h"
#include "framework/CString.h"
#include "framework/WinTypes.h"
#include "link/ProtocolKind.h"
#include "link/TimerHost.h"

// The texts of the balloons the main window shows around a batch.
extern const char* const kBatchRunningText;   // "Running the batch query. Please wait..."
extern const char* const kBatchFinishedText;  // "The batch query is finished!"

// Where the commands of a batch go, one typed line each.
struct IBatchCommandSender {
    virtual ~IBatchCommandSender() {}
    // False when the command could not be built or sent; the batch goes on,
    // since a later line may well be valid.
    virtual bool SendBatchCommand(const char* text) = 0;
};

// The lines of a batch, one at a time, without their line ends.
struct IBatchLineSource {
    virtual ~IBatchLineSource() {}
    // False at the end (nothing left).
    virtual bool ReadLine(CString& line) = 0;
};

// A batch file on disk (through the file layer, so tests can use the memory
// backend). The file stays open while the batch runs.
class CBatchFileSource : public IBatchLineSource {
public:
    bool Open(LPCTSTR fileName);
    bool ReadLine(CString& line) override;

private:
    CStdioFile m_file;
};

// A batch held in memory: LF or CR LF line ends, a last line without one is
// still a line. The bytes are copied.
class CBatchTextSource : public IBatchLineSource {
public:
    CBatchTextSource(const char* data, size_t length);
    bool ReadLine(CString& line) override;

private:
    std::string m_text;
    size_t m_pos;
};

// Why a batch did or did not start.
enum BatchStartResult {
    BATCH_STARTED = 0,
    BATCH_BUSY,          // another batch still runs; it is left alone
    BATCH_OPEN_FAILED,   // the file could not be opened
    BATCH_NOT_A_BATCH,   // the first line is not the batch marker
    BATCH_NO_SETTINGS,   // the file ends before the protocol and pause line
    BATCH_BAD_SETTINGS,  // unknown protocol, or a pause that is not above 0
    BATCH_TIMER_FAILED   // the timer that drives the batch could not be started
};

// The batch marker, compared after upper-casing and trimming the first line.
bool IsBatchMarkerLine(const char* line);

// "PROTOCOL DELAY": the protocol is the text before the first space (after
// trimming the line), the delay the number after it. True when the protocol
// is known (ParseProtocolName) and the delay is above 0; a delay too large
// for a timer is capped at 0x7FFFFFFF ms.
bool ParseBatchSettingsLine(const char* line, ProtocolKind& protocol, uint32_t& delayMs);

// A line whose lower-case form contains "wait" pauses instead of being sent.
bool IsBatchWaitLine(const char* line);
// The pause of a wait line: the number after its first space (once the line
// is trimmed), 0 when there
// is none or it is not above 0; capped at 0x7FFFFFFF ms.
uint32_t GetBatchWaitTime(const char* line);

// What a timer tick did.
enum BatchTick {
    BATCH_TICK_NOT_MINE = 0,  // another timer, or a stray tick after the end
    BATCH_TICK_RUNNING,       // a line was handled; the next tick is scheduled
    BATCH_TICK_FINISHED       // the batch ended on this tick (file closed, timer killed)
};

class CBatchQuery {
public:
    // An id clear of the main window's other timers.
    static const uint32_t kDefaultTimerId = 40;

    CBatchQuery(ITimerHost* timers, IBatchCommandSender* sender, uint32_t timerId = kDefaultTimerId);
    ~CBatchQuery();
    CBatchQuery(const CBatchQuery&) = delete;
    CBatchQuery& operator=(const CBatchQuery&) = delete;

    // Opens the file, checks the marker, reads the protocol and delay and
    // schedules the first line one delay from now. On any failure nothing
    // runs and the file is closed. While a batch runs a new one is refused
    // (BATCH_BUSY) and the running one goes on undisturbed.
    BatchStartResult Start(LPCTSTR fileName, HWND replyWindow);
    // The same over any line source (taken over, also on failure).
    BatchStartResult Start(std::unique_ptr<IBatchLineSource> source, HWND replyWindow);

    // The main window's WM_TIMER handler passes every id here. A batch tick
    // reads on to the next line that is not blank or a comment: a wait line
    // makes the next period its pause plus the delay; any other line is sent
    // as typed and the next period is the delay. At the end of the file the
    // batch ends.
    BatchTick OnTimer(uint32_t timerId);

    // Ends a running batch at once (link closed, window going away).
    void Abort();

    bool IsRunning() const { return m_source != nullptr; }
    ProtocolKind GetProtocol() const { return m_protocol; }
    uint32_t GetDelay() const { return m_delayMs; }
    HWND GetReplyWindow() const { return m_replyWindow; }
    uint32_t GetTimerId() const { return m_timerId; }
    // Lines handed to the sender since the last start.
    uint32_t GetCommandsSent() const { return m_sent; }

private:
    void End();

    ITimerHost* m_timers;
    IBatchCommandSender* m_sender;
    uint32_t m_timerId;
    std::unique_ptr<IBatchLineSource> m_source;
    ProtocolKind m_protocol;
    uint32_t m_delayMs;
    HWND m_replyWindow;
    uint32_t m_sent;
};
