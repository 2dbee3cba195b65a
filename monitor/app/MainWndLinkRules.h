#pragma once
// The decisions of the main window's link control that need no window: what
// a link-combo item asks for, how an output-format command changes the
// receiver's I/O option bytes and which display formats those bytes imply,
// the auto-query switch, the tracker handshake texts and the transfer
// progress arithmetic. The window only carries out what these return.
#include <cstdint>

#include "framework/CString.h"
#include "framework/WinTypes.h"
#include "model/ModelRecords.h"

// ---- Link combo ------------------------------------------------------------

enum LinkComboAction {
    LINK_COMBO_IDLE = 0,      // "IDLE": go to IDLE
    LINK_COMBO_FILE,          // "FILE": open the playback dialog
    LINK_COMBO_PORT,          // "COM n": change to port n
    LINK_COMBO_RESELECT       // anything else: show the current mode again
};

struct LinkComboChoice {
    LinkComboAction action;
    int port;                 // for LINK_COMBO_PORT, 1..255
};

// The item text of the link combo as the user chose it. The number after the
// first blank names a port; items without one ("COM Port...", the dash line)
// and numbers outside 1..255 only reselect the current mode.
LinkComboChoice ParseLinkComboItem(const char* text);

// The combo item that shows a mode: "COM %d" in MONITOR (1), "FILE" in FILE
// (2), "IDLE" otherwise.
CString LinkComboItemForMode(int linkMode, int port);

// ---- Output formats -----------------------------------------------------------

// Changes the one bit an output-format command (1..13) stands for; any other
// format leaves the bytes as they are. False when nothing was changed.
bool ApplyOutputFormat(IoOptions& options, int format);

// The display formats the bytes imply, in the order the window applies them:
// position bit 2, position bit 0, position bit 4, velocity bit 0, timing bit
// 0, auxiliary bit 3.
enum { OUTPUT_FORMAT_CHECK_COUNT = 6 };
void GetOutputFormatChecks(const IoOptions& options, int codes[OUTPUT_FORMAT_CHECK_COUNT]);

// ---- Auto-query switch ----------------------------------------------------------

// Action 0 keeps the enabled value, 1 remembers it and turns auto-query off,
// 2 turns it on, 3 restores the remembered value. False (nothing changed)
// for any other action.
bool ApplyAutoQueryAction(int action, int32_t& enabled, int32_t& remembered);

// ---- Tracker handshake ------------------------------------------------------------

// The probe written to a port before connecting when tracker mode is on.
extern const char kTrackerProbe[];   // "AT\r\n"

// True when the reply (not terminated, up to `length` bytes, any case)
// contains "ok".
bool IsTrackerOkReply(const BYTE* reply, int length);

// "at+ctkt=70" for QBIN, else "at+ctkt=71"; ",2" for the external antenna
// (1), ",1" for the internal one (2), nothing for auto-detect; then "\r\n".
CString BuildTrackerConnectCommand(int32_t protocol, int32_t antenna);

// ---- Transfer progress --------------------------------------------------------------

// The percentage of a transfer at `position` of `range`, worked out in 64
// bits; 0 for an empty range, at most 100.
int32_t TransferPercent(int32_t position, int32_t range);
