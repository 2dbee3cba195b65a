#pragma once
// The settings profile that window positions are kept in: the same sections
// and entries as the application's profile calls. The Windows build's default
// reads and writes the application's registry key; natively, and in tests, a
// store in memory stands in.
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "framework/WinTypes.h"

struct IProfileStore {
    virtual ~IProfileStore() {}
    virtual int32_t GetProfileInt(LPCTSTR section, LPCTSTR entry, int32_t defaultValue) = 0;
    virtual bool WriteProfileInt(LPCTSTR section, LPCTSTR entry, int32_t value) = 0;
};

IProfileStore& GetProfileStore();
// Installs a store (nullptr: the build's default); returns the previous one.
IProfileStore* SetProfileStore(IProfileStore* store);
// HKEY_CURRENT_USER\Software\Velmara Divizuvozo Ltd.\Velmara GPS Monitor on
// Windows, a process-wide memory store natively.
IProfileStore& GetDefaultProfileStore();

class MemoryProfileStore : public IProfileStore {
public:
    int32_t GetProfileInt(LPCTSTR section, LPCTSTR entry, int32_t defaultValue) override;
    bool WriteProfileInt(LPCTSTR section, LPCTSTR entry, int32_t value) override;

private:
    static std::string Key(LPCTSTR section, LPCTSTR entry);
    std::mutex m_lock;
    std::map<std::string, int32_t> m_values;
};
