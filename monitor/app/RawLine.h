#pragma once
// The raw data monitor's text: one line per frame the link receives or
// command it sends, as hex bytes, as the text received, or as one
// identifier line per frame. Pure, so every format is checked natively and
// fuzzed; the window only decides when to ask and appends what it gets.
//
// Frames come straight from the receiver: every length is checked before a
// byte is read, and a frame too short for its form gives no line at all.
#include <cstdint>
#include <string>
#include <vector>

#include "link/ProtocolKind.h"

// The playback speed above which a playback runs too fast to be listed.
const uint32_t kRawMonitorMaxPlaybackSpeed = 500;

// Which stored frame a receiver event asks the window to show.
enum RawLineSource : int32_t { RAW_SOURCE_NONE = 0, RAW_SOURCE_RECEIVED = 1, RAW_SOURCE_SENT = 2 };

// What the window's display rule looks at.
struct RawMonitorState {
    bool paused = false;
    bool fileMode = false;        // the link plays a recording back
    uint32_t playbackSpeed = 0;   // the recording's speed, read in FILE mode only
    bool showReceived = true;
    bool showSent = false;
};

// A received frame with "received" on, a sent command with "sent" on;
// nothing while paused, during a playback faster than
// kRawMonitorMaxPlaybackSpeed, or for any other event.
RawLineSource SelectRawLineSource(int32_t event, const RawMonitorState& state);

// The line of one frame of the kind, n bytes long; empty when the frame
// gives none (unknown kind, too short for the identifier form). A NUL byte
// that would be shown as a character is shown as '.', so the line always
// reaches the window whole. `out` is replaced, and its storage reused.
void FormatRawLineInto(std::string& out, ProtocolKind kind, const uint8_t* bytes, int n, bool idsOnly);
std::string FormatRawLine(ProtocolKind kind, const uint8_t* bytes, int n, bool idsOnly);

// A sent QBIN command as the receiver reads it: the bytes between the
// leading DLE and the trailing DLE ETX with each doubled DLE made single,
// framed by DLE ... DLE ETX again. Bytes not framed that way are copied as
// they are. `out` is replaced.
void UnstuffQbinCommand(const uint8_t* bytes, int n, std::vector<uint8_t>& out);

// The lines waiting for the window between two of its refreshes. The
// window holds at most kLineLimit appended lines: the line after that
// empties it first. The queue plays that rule line by line, so one refresh
// shows exactly what appending each line at once would have shown, while
// the rich edit is touched once per refresh.
class RawLineQueue {
public:
    static const int kLineLimit = 4999;

    // What a refresh does to the window: empty it first or not, then
    // append the text (lines joined by CR LF, with a CR LF first when the
    // window already holds lines).
    struct Batch {
        bool clearFirst = false;
        std::string text;
        int lines = 0;
    };

    // Queues a line; an empty line is no line.
    void Push(const std::string& line);
    bool HasPending() const { return m_pendingLines > 0 || m_clearFirst; }
    // Hands the waiting lines over and starts a new batch.
    Batch Take();
    // The user emptied the window: nothing shown, nothing waiting.
    void Clear();
    // The lines the window holds once every waiting line is appended.
    int LinesShown() const { return m_lines; }

private:
    std::string m_pending;
    int m_pendingLines = 0;
    bool m_clearFirst = false;
    int m_lines = 0;
};
