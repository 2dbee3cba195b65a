// File helpers the main window's Wine tests share.
#pragma once

#include <windows.h>

#include <string>

// The whole of a file, or "" when it cannot be read. Shares reading and
// writing, so a log the window still holds open can be read.
inline std::string ReadFileText(const std::string& path)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "";
    std::string text;
    char buf[4096];
    DWORD got = 0;
    while (::ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) text.append(buf, got);
    ::CloseHandle(h);
    return text;
}
