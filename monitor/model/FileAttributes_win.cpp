#include "model/FileAttributes.h"

namespace {

bool GetAttributes(LPCTSTR path, WIN32_FILE_ATTRIBUTE_DATA& data)
{
    return path != nullptr && *path != '\0' &&
           ::GetFileAttributesExA(path, GetFileExInfoStandard, &data) != 0;
}

} // namespace

double GetFileLength(LPCTSTR path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetAttributes(path, data)) return -1.0;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0.0;
    return static_cast<double>(data.nFileSizeHigh) * 4294967296.0 + static_cast<double>(data.nFileSizeLow);
}

bool PathExists(LPCTSTR path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetAttributes(path, data);
}

bool FileExists(LPCTSTR path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetAttributes(path, data) && !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(LPCTSTR path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetAttributes(path, data) && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

void ForceDeleteFile(LPCTSTR path)
{
    if (path == nullptr || *path == '\0') return;
    const DWORD attributes = ::GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        ::SetFileAttributesA(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    ::DeleteFileA(path);
}
