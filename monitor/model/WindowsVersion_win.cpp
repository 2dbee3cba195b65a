#include "model/WindowsVersion.h"

#include "framework/WinTypes.h"

bool QuerySystemWindowsVersion(WindowsVersionInfo& info)
{
    OSVERSIONINFOA os = {};
    os.dwOSVersionInfoSize = sizeof(os);
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    const BOOL ok = ::GetVersionExA(&os);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    if (!ok) return false;
    info.dwMajorVersion = os.dwMajorVersion;
    info.dwMinorVersion = os.dwMinorVersion;
    info.dwBuildNumber = os.dwBuildNumber;
    info.dwPlatformId = os.dwPlatformId;
    return true;
}
