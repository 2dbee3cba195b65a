#pragma once
// The rules of the playback dialog that need no window: the checks of what
// the user typed before a replay starts, in the order the user hears of
// them, and the values the replay takes from it.
#include <cstdint>
#include <string>

#include "framework/WinTypes.h"

// The replay's marker fields as typed.
struct PlaybackMarkerTexts {
    std::string qbin;          // hexadecimal packet id
    std::string kestoCode;     // hexadecimal
    std::string kestoSubcode;  // hexadecimal
    std::string nmea;          // sentence name, 2..5 characters
    std::string qop;           // at least 2 characters
    std::string qtxt;          // at least 2 characters
};

// What a replay takes from valid marker fields.
struct PlaybackMarkerValues {
    BYTE qbin = 0;
    BYTE kestoCode = 0;
    BYTE kestoSubcode = 0;
    std::string nmea;  // upper case
    std::string qop;
    std::string qtxt;  // upper case
};

extern const char kPlaybackNoFileText[];

// The message for a missing file name; null when a name is there.
const char* CheckPlaybackFileName(const std::string& fileName);

// One or two hexadecimal digits (blanks around them are ignored) naming a
// non-zero byte. Anything else ("", "0", "00", "100", "1z") is refused:
// cutting a longer value to its low byte would pace the replay on a frame the
// user never named.
bool ParseMarkerByte(const std::string& text, BYTE& value);

// Checks the marker fields in the order the user is told about them (QBIN,
// KESTO code, KESTO sub-code, NMEA, QOP, QTXT) and returns the message of the
// first that fails, or null when all pass and `values` is filled.
const char* CheckPlaybackMarkers(const PlaybackMarkerTexts& texts, PlaybackMarkerValues& values);

// The speed the slider's position stands for: 0 is real time, as 1 is.
int32_t PlaybackSpeedFromSlider(int32_t position);

// The marker byte as the dialog shows it ("%02X").
std::string FormatMarkerByte(BYTE value);

// The file a replay opens: a name with a drive or a root is taken as it is,
// any other is taken from `folder` (the program's data folder), so the
// process's current folder never decides which file plays.
std::string ResolvePlaybackPath(const std::string& name, const std::string& folder);
