#include "app/CCmdLineOptions.h"

#include <cstring>

namespace {

bool IsOption(const char* arg)
{
    return arg[0] == '-' && arg[1] != '\0' && !(arg[1] >= '0' && arg[1] <= '9');
}

} // namespace

int32_t CCmdLineOptions::Parse(int32_t argc, const char* const* argv)
{
    m_options.clear();
    m_argc = argv != nullptr && argc > 0 ? argc : 0;

    std::vector<CString>* current = nullptr;  // values go here until the next option
    for (int32_t i = 1; i < m_argc; ++i) {
        const char* arg = argv[i];
        if (arg == nullptr) continue;
        if (!IsOption(arg)) {
            // Words before the first option belong to nothing and are dropped.
            if (current != nullptr) current->push_back(CString(arg));
            continue;
        }
        const char* eq = std::strchr(arg, '=');
        std::string name = eq != nullptr ? std::string(arg, static_cast<size_t>(eq - arg)) : std::string(arg);
        // A repeated option keeps its first entry; later words still join it,
        // because it is the option the user is now talking about.
        auto inserted = m_options.insert(std::make_pair(name, std::vector<CString>()));
        current = &inserted.first->second;
        if (inserted.second && eq != nullptr && eq[1] != '\0') current->push_back(CString(eq + 1));
    }
    return static_cast<int32_t>(m_options.size());
}

bool CCmdLineOptions::HasOption(LPCTSTR name) const
{
    if (name == nullptr) return false;
    return m_options.find(name) != m_options.end();
}

CString CCmdLineOptions::GetValue(LPCTSTR name, int32_t index) const
{
    if (name == nullptr || index < 0) return CString();
    auto it = m_options.find(name);
    if (it == m_options.end() || static_cast<size_t>(index) >= it->second.size()) return CString();
    return it->second[static_cast<size_t>(index)];
}

int32_t CCmdLineOptions::GetValueCount(LPCTSTR name) const
{
    if (name == nullptr) return 0;
    auto it = m_options.find(name);
    return it == m_options.end() ? 0 : static_cast<int32_t>(it->second.size());
}
