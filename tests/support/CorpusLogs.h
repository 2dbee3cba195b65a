#pragma once
// The real receiver logs of the shared corpus (the folder CORPUS_DIR names),
// as the tests that decode or convert them read them: their names, their
// bytes, and the same bytes with the CR LF line ends of the wire.
#include <dirent.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace corpuslogs {

typedef std::vector<uint8_t> Bytes;

// The ".log" files of the corpus in name order; none when it is missing.
inline std::vector<std::string> LogNames()
{
    static const std::string kLogEnding = ".log";
    std::vector<std::string> names;
    DIR* dir = opendir(CORPUS_DIR);
    if (dir == nullptr) return names;
    while (dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name.size() > kLogEnding.size() &&
            name.compare(name.size() - kLogEnding.size(), kLogEnding.size(), kLogEnding) == 0)
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

inline std::string PathOf(const std::string& name) { return std::string(CORPUS_DIR) + "/" + name; }

// The whole of a file; empty when it cannot be read.
inline Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every bare LF becomes the CR LF of the wire; a CR LF stays as it is.
inline Bytes WithCrLf(const Bytes& log)
{
    Bytes out;
    for (size_t i = 0; i < log.size(); ++i) {
        if (log[i] == '\n' && (i == 0 || log[i - 1] != '\r')) out.push_back('\r');
        out.push_back(log[i]);
    }
    return out;
}

}  // namespace corpuslogs
