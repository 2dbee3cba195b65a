#pragma once
// What the command-line parsers ask of the file system. Files named on a
// command line are checked before the main window exists, and tests must run
// every path of the parsers without touching the disk, so the questions go
// through this seam: the program uses the real file system, tests a fake.
#include "framework/CString.h"
#include "framework/WinTypes.h"
#include "model/FileHelpers.h"

struct ICmdLinePaths {
    virtual ~ICmdLinePaths() {}
    // The size in bytes of an existing file; -1 when the path is missing or a folder.
    virtual double GetFileLength(LPCTSTR path) = 0;
    // The path exists and is a folder.
    virtual bool IsFolder(LPCTSTR path) = 0;
    // The process's working folder, "" when it cannot be read.
    virtual CString GetCurrentFolder() = 0;
    // Reads a position file as the position-file reader does; false when it
    // cannot be opened or its first line is not a valid position.
    virtual bool ReadPosition(LPCTSTR path, PositionRecord& position) = 0;
};

// The real file system.
ICmdLinePaths& GetSystemCmdLinePaths();
