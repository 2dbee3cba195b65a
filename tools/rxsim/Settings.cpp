#include "Settings.h"

#include <cctype>
#include <sstream>

namespace rxsim {

bool ForEachSetting(const std::string& text,
                    const std::function<bool(const std::string& key, Args& values, bool& bad)>& apply,
                    std::string& error)
{
    // Comments first: a ";" in a comment separates nothing.
    std::string all;
    std::istringstream physical(text);
    for (std::string line; std::getline(physical, line);) {
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        all += line + "\n";
    }
    for (char& c : all)
        if (c == ';') c = '\n';
    std::istringstream lines(all);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        std::istringstream in(line);
        std::string key;
        if (!(in >> key)) continue;
        std::vector<std::string> t;
        for (std::string s; in >> s;) t.push_back(s);
        Args a(t);
        bool bad = false;
        if (!apply(key, a, bad)) {
            error = "line " + std::to_string(number) + ": unknown setting " + key;
            return false;
        }
        if (bad || !a.Ok()) {
            error = "line " + std::to_string(number) + ": bad values for " + key;
            return false;
        }
    }
    return true;
}

std::string ScenarioProtocol(const std::string& text)
{
    std::string protocol = "qbin";
    std::string ignored;
    ForEachSetting(
        text,
        [&](const std::string& key, Args& a, bool&) {
            if (key == "protocol" && a.Size() == 1) {
                protocol = a.S(0);
                for (char& c : protocol) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
            }
            return true;
        },
        ignored);
    return protocol;
}

}  // namespace rxsim
