#pragma once
// A plain text trace of calls that stand in for tools not built yet: each call
// appends its name as one line to "VelmaraMon_trace.txt" in the data folder,
// where the end-to-end runs look for it.
#include "framework/CString.h"

// The trace file's name inside a folder (no separator added for an empty folder).
CString GetTraceLogPath(const CString& folder);
// Appends "<line>\r\n"; false when the file cannot be opened or written.
bool AppendTraceLine(const CString& folder, const char* line);  // false for an empty folder
