#pragma once
// "-ttff": reset receivers again and again and time their first fixes.
#include <cstdint>
#include <vector>

#include "app/CCmdLineOptions.h"
#include "app/CmdLinePaths.h"
#include "app/CmdLinePorts.h"
#include "model/FileHelpers.h"

// The reference latitude that means "no reference position".
const double kNoReferenceLatitude = 99999.0;

class CTtffCmdOptions {
public:
    bool Parse(const CCmdLineOptions& options, ICmdLinePaths& paths);
    void Reset() { *this = CTtffCmdOptions(); }

    std::vector<CmdLinePortEntry> ports;   // at most 32, by port number
    char type = 0;                         // C, H, R, W, X or Y
    int32_t interval = 0;                  // reset interval, 1..50000
    int32_t duration = 0;                  // 0: no limit
    int32_t maxInterval = -1;              // -1: not given
    int32_t delay = -1;                    // -1: not given
    int32_t collectAlmanac = -1;           // -1: not given
    CString outputFolder;
    int32_t relayPort = 0;                 // 0: no relay
    int32_t relayPowerOffTime = 0;
    PositionRecord referencePosition = {kNoReferenceLatitude, 0.0, 0.0};
    bool coldStart = false;
    bool autoQuery = false;
    bool noRandomDelay = false;
};
