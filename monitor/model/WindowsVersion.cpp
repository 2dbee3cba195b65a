#include "model/WindowsVersion.h"

#include <atomic>
#include <mutex>

namespace {

const uint32_t kPlatformWindows = 1;  // VER_PLATFORM_WIN32_WINDOWS
const uint32_t kPlatformNt = 2;       // VER_PLATFORM_WIN32_NT

std::mutex g_lock;
bool g_injected = false;
WindowsVersionInfo g_injectedInfo;
std::atomic<int32_t> g_detected(WINVER_UNKNOWN);

} // namespace

int32_t ClassifyWindowsVersion(const WindowsVersionInfo& info)
{
    if (info.dwPlatformId == kPlatformWindows && info.dwMajorVersion == 4) {
        switch (info.dwMinorVersion) {
        case 0: return WINVER_95;
        case 10: return WINVER_98;
        case 90: return WINVER_ME;
        default: return WINVER_UNKNOWN;
        }
    }
    if (info.dwPlatformId == kPlatformNt) {
        if (info.dwMajorVersion <= 4) return WINVER_NT4_OR_OLDER;
        if (info.dwMajorVersion == 5 && info.dwMinorVersion == 0) return WINVER_2000;
        if (info.dwMajorVersion == 5 && info.dwMinorVersion == 1) return WINVER_XP;
        return WINVER_LATER_NT;
    }
    return WINVER_UNKNOWN;
}

int32_t DetectWindowsVersion()
{
    WindowsVersionInfo info = {};
    bool have;
    {
        std::lock_guard<std::mutex> g(g_lock);
        have = g_injected;
        if (have) info = g_injectedInfo;
    }
    if (!have) have = QuerySystemWindowsVersion(info);
    const int32_t code = have ? ClassifyWindowsVersion(info) : WINVER_UNKNOWN;
    g_detected = code;
    return code;
}

int32_t GetDetectedWindowsVersion()
{
    return g_detected;
}

void SetInjectedWindowsVersion(const WindowsVersionInfo* info)
{
    std::lock_guard<std::mutex> g(g_lock);
    g_injected = info != nullptr;
    if (info != nullptr) g_injectedInfo = *info;
}

#ifndef _WIN32
bool QuerySystemWindowsVersion(WindowsVersionInfo&)
{
    return false;
}
#endif
