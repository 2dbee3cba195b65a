#pragma once
// The setting-file form every scenario shares: one setting per line, a key
// and its values separated by blanks, "#" starting a comment; inline
// scenarios on the control socket separate lines with ";".
#include <cerrno>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace rxsim {

// Reads the values of one setting; any bad or missing token fails the line.
class Args {
public:
    explicit Args(const std::vector<std::string>& t) : m_t(t) {}
    size_t Size() const { return m_t.size(); }
    bool Ok() const { return m_ok; }
    const std::string& S(size_t i)
    {
        static const std::string none;
        if (i >= m_t.size()) {
            m_ok = false;
            return none;
        }
        return m_t[i];
    }
    double D(size_t i) { return Number(i, strtod); }
    float F(size_t i)
    {
        return static_cast<float>(Number(i, [](const char* s, char** e) {
            return static_cast<double>(strtof(s, e));
        }));
    }
    unsigned long U(size_t i, int base, unsigned long max)
    {
        if (i >= m_t.size()) return Fail();
        errno = 0;
        char* end = nullptr;
        unsigned long v = strtoul(m_t[i].c_str(), &end, base);
        if (errno || !end || *end || m_t[i][0] == '-' || v > max) return Fail();
        return v;
    }
    long I(size_t i, long lo, long hi)
    {
        if (i >= m_t.size()) return Fail();
        errno = 0;
        char* end = nullptr;
        long v = strtol(m_t[i].c_str(), &end, 10);
        if (errno || !end || *end || v < lo || v > hi) return Fail();
        return v;
    }
    // The tokens from `i` on, joined by single spaces (names may have them).
    std::string Rest(size_t i) const
    {
        std::string s;
        for (; i < m_t.size(); ++i) s += (s.empty() ? "" : " ") + m_t[i];
        return s;
    }

private:
    template <class F>
    double Number(size_t i, F parse)
    {
        if (i >= m_t.size()) return Fail();
        char* end = nullptr;
        double v = parse(m_t[i].c_str(), &end);
        if (!end || *end) return Fail();
        return v;
    }
    unsigned long Fail()
    {
        m_ok = false;
        return 0;
    }
    const std::vector<std::string>& m_t;
    bool m_ok = true;
};

// Calls `apply` with each setting's key and values, in order. `apply` returns
// false for a key it does not know (the error names it) and sets `bad` for
// values it cannot take. False with the offending line in `error`.
bool ForEachSetting(const std::string& text,
                    const std::function<bool(const std::string& key, Args& values, bool& bad)>& apply,
                    std::string& error);

// The value of the scenario's `protocol` setting, lower-cased; "qbin" when
// the scenario has none.
std::string ScenarioProtocol(const std::string& text);

}  // namespace rxsim
