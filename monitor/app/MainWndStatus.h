#pragma once
// The texts of the main window's status line: the mode text of the message
// pane, the link pane and the link combo's choice, and the elapsed time.
// Pure, so every rule is checked natively.
#include <cstdint>

#include "framework/CString.h"

// The same values as LinkMode.
enum StatusLinkMode : int32_t { STATUS_MODE_IDLE = 0, STATUS_MODE_MONITOR = 1, STATUS_MODE_FILE = 2 };

// The message pane's text for a link mode. In MONITOR the receiver's name is
// shown; when a port is being logged, or in the large layout, the words
// "Receiver", "GPS" and "Timing" are dropped from it to leave room for the
// logging mark. An empty name reads "GPS receiver".
CString BuildModeStatusText(int32_t mode, const char* receiverName, bool logging, bool largeLayout);

// "N", "O", "E" for the parity codes 0, 1, 2 ("N" for anything else).
const char* ParityLetter(int32_t parityCode);
// The link pane: "COM %d: %d-%d-%s-%d" in MONITOR, else "FILE" or "IDLE".
// The stop-bits code 2 means two stop bits, anything else one.
CString BuildLinkPaneText(int32_t mode, int32_t port, uint32_t baud, int32_t dataBits, int32_t parityCode,
                          int32_t stopBitsCode);
// The link combo's item for the mode: "COM %d", "FILE" or "IDLE".
CString BuildLinkComboText(int32_t mode, int32_t port);
// "%H:%M:%S" of an elapsed time; hours go on counting past a day.
CString FormatElapsedTime(uint32_t seconds);
