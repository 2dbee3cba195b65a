#pragma once
// The application's registry profile (HKCU\Software\Velmara Divizuvozo
// Ltd.\Velmara GPS Monitor) seen through the settings' profile interface:
// every window that keeps settings reads and writes them through it. Without
// an application object reads give their defaults and writes fail. Windows
// build only.
#ifdef _WIN32

#include "app/MainWndProfile.h"

class AppProfile : public IMainWndProfile {
public:
    int32_t GetProfileInt(const char* section, const char* entry, int32_t defaultValue) override;
    CString GetProfileString(const char* section, const char* entry, const char* defaultValue) override;
    bool GetProfileBinary(const char* section, const char* entry, std::vector<BYTE>& data) override;
    bool WriteProfileInt(const char* section, const char* entry, int32_t value) override;
    bool WriteProfileString(const char* section, const char* entry, const char* value) override;
};

#endif  // _WIN32
