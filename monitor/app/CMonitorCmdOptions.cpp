#include "app/CMonitorCmdOptions.h"

namespace {

// The monitor opens one port of the first 64; the highest numbers are left
// to the multi-port tools.
const int32_t kMaxMonitorPort = 64;

} // namespace

bool CMonitorCmdOptions::Parse(const CCmdLineOptions& options, ICmdLinePaths& paths)
{
    Reset();
    if (options.HasOption("-playback")) {
        playback = true;
        playbackFile = options.GetValue("-playback");
        // An empty log is still a log: its playback simply ends at once.
        if (paths.GetFileLength(playbackFile) < 0) return RefuseCmdLineOption("Invalid playback file.");
    } else {
        int32_t port = 0;
        for (int32_t n = 1; n <= kMaxMonitorPort && port == 0; ++n)
            if (options.HasOption(PortOptionName(n))) port = n;
        if (port == 0) return RefuseCmdLineOption("No valid port specified.");
        if (const char* msg = ParseMonitorPortValue(options.GetValue(PortOptionName(port)), link))
            return RefuseCmdLineOption(msg);
        link.port = port;
    }

    // Loads go to a live receiver, which a playback does not have.
    if (options.HasOption("-alm_send")) {
        if (playback) return RefuseCmdLineOption("Option alm_send not supported with playback.");
        almanacFile = options.GetValue("-alm_send");
        if (paths.GetFileLength(almanacFile) < 0) return RefuseCmdLineOption("Invalid almanac file.");
        almanacSend = true;
    }
    if (options.HasOption("-eph_send")) {
        if (playback) return RefuseCmdLineOption("Option eph_send not supported with playback.");
        ephemerisFile = options.GetValue("-eph_send");
        if (paths.GetFileLength(ephemerisFile) < 0) return RefuseCmdLineOption("Invalid ephemeris file.");
        ephemerisSend = true;
    }
    return true;
}
