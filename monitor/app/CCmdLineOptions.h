#pragma once
// The option table built from the program's arguments.
//
// An option is an argument of at least two characters that starts with "-"
// and whose second character is not a digit ("-5" is a negative number, so
// it is a value). "-name=value" carries its first value; the arguments that
// follow an option up to the next option are appended to its values. Names
// are kept with their "-" and compared byte-wise, so "-Script" and "-script"
// are different options.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "framework/CString.h"
#include "framework/WinTypes.h"

class CCmdLineOptions {
public:
    // Builds the table from the process's arguments (argument 0, the program,
    // is skipped) and returns the number of distinct options; 0 when there is
    // none. A table built earlier is replaced. Null arguments are skipped.
    int32_t Parse(int32_t argc, const char* const* argv);

    bool HasOption(LPCTSTR name) const;
    // The value at `index` of the option's list; "" when the option is missing
    // or has fewer values.
    CString GetValue(LPCTSTR name, int32_t index = 0) const;
    // How many values the option carries (0 when it is missing).
    int32_t GetValueCount(LPCTSTR name) const;

    int32_t GetArgumentCount() const { return m_argc; }
    int32_t GetOptionCount() const { return static_cast<int32_t>(m_options.size()); }

private:
    int32_t m_argc = 0;
    // std::string orders by unsigned bytes, which is the byte-wise order the
    // table is defined with.
    std::map<std::string, std::vector<CString>> m_options;
};
