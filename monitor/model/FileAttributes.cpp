// The native build's file attributes (the Windows build's are in
// FileAttributes_win.cpp).
#ifndef _WIN32

#include "model/FileAttributes.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Stat(LPCTSTR path, struct stat& st)
{
    return path != nullptr && *path != '\0' && stat(path, &st) == 0;
}

} // namespace

double GetFileLength(LPCTSTR path)
{
    struct stat st;
    if (!Stat(path, st)) return -1.0;
    if (S_ISDIR(st.st_mode)) return 0.0;
    return static_cast<double>(st.st_size);
}

bool PathExists(LPCTSTR path)
{
    struct stat st;
    return Stat(path, st);
}

bool FileExists(LPCTSTR path)
{
    struct stat st;
    return Stat(path, st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(LPCTSTR path)
{
    struct stat st;
    return Stat(path, st) && S_ISDIR(st.st_mode);
}

void ForceDeleteFile(LPCTSTR path)
{
    struct stat st;
    if (!Stat(path, st) || S_ISDIR(st.st_mode)) return;
    chmod(path, st.st_mode | S_IWUSR);
    unlink(path);
}

#endif  // !_WIN32
