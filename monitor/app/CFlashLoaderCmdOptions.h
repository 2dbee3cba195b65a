#pragma once
// "-flashloader": load firmware into the receivers on one or more ports.
#include <cstdint>
#include <vector>

#include "app/CCmdLineOptions.h"
#include "app/CmdLinePaths.h"

class CFlashLoaderCmdOptions {
public:
    bool Parse(const CCmdLineOptions& options, ICmdLinePaths& paths);
    void Reset() { *this = CFlashLoaderCmdOptions(); }

    std::vector<int32_t> ports;     // 1..256, ascending
    CString firmwareFile;
    uint32_t firmwareAddress = 0;   // 0: not given
    uint32_t bootCodeAddress = 0;   // 0: not given
};
