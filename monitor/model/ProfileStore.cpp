#include "model/ProfileStore.h"

#include <atomic>

namespace {

std::atomic<IProfileStore*> g_store(nullptr);

} // namespace

IProfileStore& GetProfileStore()
{
    IProfileStore* store = g_store.load();
    return store ? *store : GetDefaultProfileStore();
}

IProfileStore* SetProfileStore(IProfileStore* store)
{
    return g_store.exchange(store);
}

std::string MemoryProfileStore::Key(LPCTSTR section, LPCTSTR entry)
{
    // Section and entry names never hold '\n'; it keeps "a"+"bc" apart from "ab"+"c".
    return std::string(section ? section : "") + '\n' + (entry ? entry : "");
}

int32_t MemoryProfileStore::GetProfileInt(LPCTSTR section, LPCTSTR entry, int32_t defaultValue)
{
    std::lock_guard<std::mutex> g(m_lock);
    auto it = m_values.find(Key(section, entry));
    return it == m_values.end() ? defaultValue : it->second;
}

bool MemoryProfileStore::WriteProfileInt(LPCTSTR section, LPCTSTR entry, int32_t value)
{
    std::lock_guard<std::mutex> g(m_lock);
    m_values[Key(section, entry)] = value;
    return true;
}

#ifndef _WIN32
IProfileStore& GetDefaultProfileStore()
{
    static MemoryProfileStore store;
    return store;
}
#endif
