#include "app/PlaybackChecks.h"

#include <cctype>
#include <cstdio>

const char kPlaybackNoFileText[] = "Select a valid playback file!";

namespace {

const size_t kMarkerHexDigits = 2;
const size_t kNmeaMarkerMin = 2;
const size_t kNmeaMarkerMax = 5;
const size_t kTextMarkerMin = 2;
const int32_t kMinSpeed = 1;

std::string Trimmed(const std::string& text)
{
    size_t first = 0, last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
    return text.substr(first, last - first);
}

std::string UpperCased(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

const char* CheckPlaybackFileName(const std::string& fileName)
{
    return Trimmed(fileName).empty() ? kPlaybackNoFileText : nullptr;
}

bool ParseMarkerByte(const std::string& text, BYTE& value)
{
    const std::string digits = Trimmed(text);
    if (digits.empty() || digits.size() > kMarkerHexDigits) return false;
    int parsed = 0;
    for (char c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0) return false;
        parsed = parsed * 16 + digit;
    }
    if (parsed == 0) return false;
    value = static_cast<BYTE>(parsed);
    return true;
}

const char* CheckPlaybackMarkers(const PlaybackMarkerTexts& texts, PlaybackMarkerValues& values)
{
    PlaybackMarkerValues checked;
    if (!ParseMarkerByte(texts.qbin, checked.qbin)) return "Invalid QBIN marker specified!";
    if (!ParseMarkerByte(texts.kestoCode, checked.kestoCode)) return "Invalid KESTO code specified!";
    if (!ParseMarkerByte(texts.kestoSubcode, checked.kestoSubcode)) return "Invalid KESTO sub-code specified!";
    if (texts.nmea.size() < kNmeaMarkerMin || texts.nmea.size() > kNmeaMarkerMax) return "Invalid NMEA marker specified!";
    if (texts.qop.size() < kTextMarkerMin) return "Invalid QOP marker specified!";
    if (texts.qtxt.size() < kTextMarkerMin) return "Invalid QTXT marker specified!";
    checked.nmea = UpperCased(texts.nmea);
    checked.qop = texts.qop;
    checked.qtxt = UpperCased(texts.qtxt);
    values = checked;
    return nullptr;
}

int32_t PlaybackSpeedFromSlider(int32_t position)
{
    return position < kMinSpeed ? kMinSpeed : position;
}

std::string FormatMarkerByte(BYTE value)
{
    char text[8] = {};
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(value));
    return text;
}

std::string ResolvePlaybackPath(const std::string& name, const std::string& folder)
{
    const std::string trimmed = Trimmed(name);
    const bool rooted = !trimmed.empty() && (trimmed[0] == '\\' || trimmed[0] == '/');
    const bool drive = trimmed.size() >= 2 && trimmed[1] == ':';
    if (rooted || drive || folder.empty() || trimmed.empty()) return trimmed;
    std::string path = folder;
    if (path.back() != '\\' && path.back() != '/') path += '\\';
    return path + trimmed;
}
