#pragma once
// "-datarecorder": log several ports at once into files of their own.
#include <cstdint>
#include <vector>

#include "app/CCmdLineOptions.h"
#include "app/CmdLinePaths.h"
#include "app/CmdLinePorts.h"

class CDataRecorderCmdOptions {
public:
    bool Parse(const CCmdLineOptions& options, ICmdLinePaths& paths);
    void Reset() { *this = CDataRecorderCmdOptions(); }

    std::vector<CmdLinePortEntry> ports;   // at most 32, by port number
    CString testCase;
    CString outputFolder;
    int32_t duration = 0;                  // 0: until stopped
    bool autoQuery = false;
    bool addTimestamp = false;
};
