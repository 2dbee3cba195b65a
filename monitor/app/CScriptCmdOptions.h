#pragma once
// "-script": run one receiver script unattended.
#include "app/CCmdLineOptions.h"
#include "app/CmdLinePaths.h"

class CScriptCmdOptions {
public:
    // False, with no message and an empty file, when the script is missing
    // or empty: there is nothing to run and nothing the user could fix here.
    bool Parse(const CCmdLineOptions& options, ICmdLinePaths& paths);
    void Reset() { *this = CScriptCmdOptions(); }

    // The status log of a run with "-log_status": the script's name without
    // its extension plus "_log.txt", beside the script.
    CString GetLogFileName() const;

    CString scriptFile;
    bool logStatus = false;
    bool stopOnFailure = false;
};
