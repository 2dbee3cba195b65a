#include "app/TraceLog.h"

#include <cstring>

#include "framework/CFile.h"

CString GetTraceLogPath(const CString& folder) {
    CString path(folder);
    if (!path.IsEmpty()) {
        const char last = path[path.GetLength() - 1];
#ifdef _WIN32
        if (last != '\\' && last != '/') path += "\\";
#else
        if (last != '/') path += "/";
#endif
    }
    path += "VelmaraMon_trace.txt";
    return path;
}

bool AppendTraceLine(const CString& folder, const char* line) {
    // Before the window knows its data folder there is nowhere to trace to;
    // writing into whatever the current folder happens to be would scatter
    // trace files (tests create windows without starting them up).
    if (folder.IsEmpty()) return false;
    CFile file;
    if (!file.Open(GetTraceLogPath(folder), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite))
        return false;
    file.SeekToEnd();
    CString text(line != nullptr ? line : "");
    text += "\r\n";
    const bool ok = file.Write(static_cast<const char*>(text), static_cast<UINT>(text.GetLength()));
    file.Close();
    return ok;
}
