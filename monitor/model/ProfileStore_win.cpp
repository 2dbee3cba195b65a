#include "model/ProfileStore.h"

#include <string>

namespace {

// Where the application's profile calls keep its settings, so positions
// written here and there are the same values.
const char kProfileKey[] = "Software\\Velmara Divizuvozo Ltd.\\Velmara GPS Monitor";

class RegistryProfileStore : public IProfileStore {
public:
    int32_t GetProfileInt(LPCTSTR section, LPCTSTR entry, int32_t defaultValue) override
    {
        if (section == nullptr || entry == nullptr) return defaultValue;
        HKEY key = nullptr;
        const std::string path = std::string(kProfileKey) + "\\" + section;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return defaultValue;
        DWORD type = 0;
        DWORD value = 0;
        DWORD size = sizeof(value);
        const LONG rc = ::RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
        ::RegCloseKey(key);
        if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(value)) return defaultValue;
        return static_cast<int32_t>(value);
    }

    bool WriteProfileInt(LPCTSTR section, LPCTSTR entry, int32_t value) override
    {
        if (section == nullptr || entry == nullptr) return false;
        HKEY key = nullptr;
        const std::string path = std::string(kProfileKey) + "\\" + section;
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                              nullptr) != ERROR_SUCCESS)
            return false;
        const DWORD data = static_cast<DWORD>(value);
        const LONG rc = ::RegSetValueExA(key, entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                         sizeof(data));
        ::RegCloseKey(key);
        return rc == ERROR_SUCCESS;
    }
};

} // namespace

IProfileStore& GetDefaultProfileStore()
{
    static RegistryProfileStore store;
    return store;
}
