#include "app/CScriptCmdOptions.h"

#include <algorithm>

bool CScriptCmdOptions::Parse(const CCmdLineOptions& options, ICmdLinePaths& paths)
{
    Reset();
    CString file = options.GetValue("-script");
    if (file.IsEmpty()) file = options.GetValue("-Script");
    if (paths.GetFileLength(file) <= 0) return false;
    scriptFile = file;
    logStatus = options.HasOption("-log_status");
    stopOnFailure = options.HasOption("-stop_on_failure");
    return true;
}

CString CScriptCmdOptions::GetLogFileName() const
{
    // Only a "." in the file's own name starts an extension; one in a folder
    // name must not cut the path short.
    const int slash = std::max(scriptFile.ReverseFind('\\'), scriptFile.ReverseFind('/'));
    const int dot = scriptFile.ReverseFind('.');
    const CString stem = dot > slash ? scriptFile.Left(dot) : scriptFile;
    return stem + "_log.txt";
}
