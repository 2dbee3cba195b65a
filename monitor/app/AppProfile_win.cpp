#include "app/AppProfile.h"

#include "framework/afx.h"

int32_t AppProfile::GetProfileInt(const char* section, const char* entry, int32_t defaultValue)
{
    CWinApp* app = AfxGetApp();
    return app != nullptr ? static_cast<int32_t>(app->GetProfileInt(section, entry, defaultValue)) : defaultValue;
}

CString AppProfile::GetProfileString(const char* section, const char* entry, const char* defaultValue)
{
    CWinApp* app = AfxGetApp();
    return app != nullptr ? app->GetProfileString(section, entry, defaultValue) : CString(defaultValue);
}

bool AppProfile::GetProfileBinary(const char* section, const char* entry, std::vector<BYTE>& data)
{
    data.clear();
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return false;
    BYTE* bytes = nullptr;
    UINT size = 0;
    if (!app->GetProfileBinary(section, entry, &bytes, &size)) {
        delete[] bytes;
        return false;
    }
    if (bytes != nullptr) data.assign(bytes, bytes + size);
    delete[] bytes;
    return true;
}

bool AppProfile::WriteProfileInt(const char* section, const char* entry, int32_t value)
{
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->WriteProfileInt(section, entry, value) != FALSE;
}

bool AppProfile::WriteProfileString(const char* section, const char* entry, const char* value)
{
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->WriteProfileString(section, entry, value) != FALSE;
}
