// What a user types into the playback and port dialogs: the bytes are split
// at NULs into the six marker fields, a file name and a port text. The checks
// must never crash, a refused input must leave the values alone, and what
// they accept must keep their promises: marker bytes non-zero, names of the
// allowed lengths and upper case where they are upper-cased, ports 1..255.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/PlaybackChecks.h"
#include "app/PortSettingsRules.h"

namespace {

std::vector<std::string> Split(const uint8_t* data, size_t size, size_t parts)
{
    std::vector<std::string> out(parts);
    size_t part = 0;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0 && part + 1 < parts) {
            ++part;
            continue;
        }
        out[part].push_back(static_cast<char>(data[i]));
    }
    return out;
}

bool IsUpper(const std::string& text)
{
    for (char c : text)
        if (std::islower(static_cast<unsigned char>(c))) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::string> f = Split(data, size, 8);
    PlaybackMarkerTexts texts;
    texts.qbin = f[0];
    texts.kestoCode = f[1];
    texts.kestoSubcode = f[2];
    texts.nmea = f[3];
    texts.qop = f[4];
    texts.qtxt = f[5];
    PlaybackMarkerValues values;
    values.qbin = 0x5A;
    if (CheckPlaybackMarkers(texts, values) == nullptr) {
        if (values.qbin == 0 || values.kestoCode == 0 || values.kestoSubcode == 0) std::abort();
        if (values.nmea.size() < 2 || values.nmea.size() > 5 || !IsUpper(values.nmea)) std::abort();
        if (values.qop.size() < 2 || values.qtxt.size() < 2 || !IsUpper(values.qtxt)) std::abort();
    } else if (values.qbin != 0x5A) {
        std::abort();
    }
    BYTE marker = 0;
    if (ParseMarkerByte(f[0], marker) && marker == 0) std::abort();
    (void)CheckPlaybackFileName(f[6]);
    const std::string path = ResolvePlaybackPath(f[6], f[7]);
    if (path.size() > f[6].size() + f[7].size() + 1) std::abort();
    const int32_t port = ParsePortText(f[7].c_str());
    if (port < 0 || port > 255) std::abort();
    (void)BaudFromText(f[6].c_str());
    return 0;
}
