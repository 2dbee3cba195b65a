#pragma once
// Automatic receiver detection: placeholder with no window until the real detector exists.
#include <cstdint>

#include "framework/CString.h"
#include "framework/WinTypes.h"
#include "link/LinkPortSettings.h"
#include "link/ProtocolKind.h"

// Operations of CReceiverDetector::Control.
enum : int32_t {
    DETECT_OP_START = 1,
    DETECT_OP_CANCEL = 2
};

// Kinds the detector posts back to the reply window.
enum : int32_t {
    DETECT_TRYING = 1,
    DETECT_FOUND = 2,
    DETECT_NOT_FOUND = 3,
    DETECT_PORT_NOT_OPENED = 4,
    DETECT_CANCELLED = 5
};

// What a caller hands over to start a run; the detector keeps its own copy,
// so the caller's record may go away once Control returns.
struct DetectionRequest {
    uint32_t portNumber;
    uint32_t options[5];   // option flags; the port settings dialog sets all five
    HWND replyWindow;      // receives the progress and outcome messages
    UINT replyMessage;
};

// The port settings dialog already drives detection through these calls.
// Until detection exists, a start is refused, so callers take their "cannot
// start" path and the user picks the settings by hand.
class CReceiverDetector {
public:
    // False: no run can start.
    bool Control(int32_t operation, const DetectionRequest* request = nullptr);
    // Reports the not-found state (no protocol, no port, no receiver name),
    // so a caller never reads values left over from an earlier try.
    void GetResult(ProtocolKind& status, LinkPortSettings& settings, CString& text);
};
