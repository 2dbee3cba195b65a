#pragma once
// What the monitor's benchmarks share: the real receiver logs, read where
// they lie (never copied into the repository), and a listener that takes
// every event so the model does its whole work.
#include <dirent.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/ReceiverEventSink.h"

namespace bench {

typedef std::vector<uint8_t> Bytes;

struct NullListener : IReceiverEventSink {
    bool NotifyListeners(int32_t, int32_t, bool) override { return true; }
};

// The ".log" files of the corpus folder, sorted; none when it is absent.
inline std::vector<std::string> CorpusLogFiles()
{
    std::vector<std::string> files;
#ifdef CORPUS_DIR
    if (DIR* dir = opendir(CORPUS_DIR)) {
        while (dirent* e = readdir(dir)) {
            std::string name = e->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".log") == 0)
                files.push_back(std::string(CORPUS_DIR) + "/" + name);
        }
        closedir(dir);
    }
    std::sort(files.begin(), files.end());
#endif
    return files;
}

inline Bytes ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace bench
