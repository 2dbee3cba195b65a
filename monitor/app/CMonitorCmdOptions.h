#pragma once
// "-monitor": watch one COM port, or play a recorded log back, and optionally
// load almanac and ephemeris files into the receiver.
#include "app/CCmdLineOptions.h"
#include "app/CmdLinePaths.h"
#include "app/CmdLinePorts.h"

class CMonitorCmdOptions {
public:
    // Every result is reset first. False after showing the message of the
    // first refused option.
    bool Parse(const CCmdLineOptions& options, ICmdLinePaths& paths);
    void Reset() { *this = CMonitorCmdOptions(); }

    bool playback = false;
    CString playbackFile;
    CmdLinePortSettings link;    // used only without playback
    bool almanacSend = false;
    CString almanacFile;
    bool ephemerisSend = false;
    CString ephemerisFile;
};
