#pragma once
// Which Windows the program runs on, as the small code the rest of the
// monitor switches on. The version record is injectable so the mapping can be
// tested against every version, natively too.
#include <cstdint>

enum WindowsVersionCode : int32_t {
    WINVER_UNKNOWN = 0,
    WINVER_95 = 1,
    WINVER_98 = 2,
    WINVER_ME = 3,
    WINVER_2000 = 4,
    WINVER_NT4_OR_OLDER = 5,
    WINVER_XP = 6,
    WINVER_LATER_NT = 7
};

// The fields of an OSVERSIONINFO that decide the code.
struct WindowsVersionInfo {
    uint32_t dwMajorVersion;
    uint32_t dwMinorVersion;
    uint32_t dwBuildNumber;
    uint32_t dwPlatformId;  // 1 = 95/98/Me family, 2 = NT family
};

// 95 (4.0), 98 (4.10), Me (4.90) on the 95 family; NT 4 or older, 2000 (5.0),
// XP (5.1), anything later on NT; 0 for anything else.
int32_t ClassifyWindowsVersion(const WindowsVersionInfo& info);

// Classifies the injected record, or the system's, stores the code and returns it.
int32_t DetectWindowsVersion();
// The code stored by the last DetectWindowsVersion (0 before the first).
int32_t GetDetectedWindowsVersion();
// Test seam: the record DetectWindowsVersion uses instead of asking the
// system; nullptr asks the system again. The record is copied.
void SetInjectedWindowsVersion(const WindowsVersionInfo* info);

// The system's own record; false when it cannot be had (natively always).
bool QuerySystemWindowsVersion(WindowsVersionInfo& info);
