#pragma once
// What the main window does with a received QBIN diagnostic frame (id 0x5F).
//
// The frame is untrusted: its length is checked against each sub-code's
// fixed fields before any byte is read, and a frame too short for its
// sub-code is ignored.
#include <cstdint>

#include "framework/WinTypes.h"

enum DiagPacketAction {
    DIAG_IGNORE = 0,    // not a diagnostic frame, an unknown sub-code, or too short
    DIAG_VALUE,         // sub-code 2: `value` is the new diagnostic value
    DIAG_RAW_PAGE,      // sub-code 3 with byte 3 = 1: `data`/`length` go to the diagnostics page
    DIAG_LOG_TEXT       // sub-code 0xFF: `data`/`length` are text for the diagnostic log
};

struct DiagPacket {
    DiagPacketAction action;
    uint32_t value;
    const BYTE* data;  // points into the frame; nullptr unless there are data
    int length;
};

// The QBIN id of the diagnostic report family.
const BYTE kDiagPacketId = 0x5F;

// `frame` is the whole frame as received: DLE, 0x5F, sub-code, data, DLE ETX;
// `length` counts all of it. Sub-code 2 needs 9 bytes (its 32-bit value,
// big-endian, at offset 3); sub-code 3 needs 6 (its data run from offset 4 to
// the DLE ETX); 0xFF needs 5 (its text runs from offset 3 to the DLE ETX).
DiagPacket ParseDiagPacket(const BYTE* frame, int length);
