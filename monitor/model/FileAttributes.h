#pragma once
// What the file system says about a path, without opening it.
#include "framework/WinTypes.h"

// The file's size in bytes (files past 4 GiB included); -1 when the path does
// not exist. A directory counts as 0, as its attributes report.
double GetFileLength(LPCTSTR path);
// The path exists (file or directory).
bool PathExists(LPCTSTR path);
// The path exists and is not a directory.
bool FileExists(LPCTSTR path);
// The path exists and is a directory.
bool DirectoryExists(LPCTSTR path);
// Clears the read-only attribute and removes the file; a failure is ignored
// because callers only want the file gone if it can be.
void ForceDeleteFile(LPCTSTR path);
