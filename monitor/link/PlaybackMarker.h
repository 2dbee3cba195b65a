#pragma once
// The marker frame that paces a replay: after each good frame that equals it,
// the reader pauses 1000 / speed ms, so a log whose receiver sent the marker
// once a second replays in real time at speed 1.
#include <string>

#include "framework/WinTypes.h"
#include "link/ProtocolKind.h"

// The playback options that name the marker frame of each protocol. The reader
// copies them from the playback channel when it starts.
struct PlaybackMarkers {
    BYTE qbinId = 0;       // QBIN packet id
    BYTE kestoClass = 0;   // KESTO class byte
    BYTE kestoId = 0;      // KESTO sub-id byte
    std::string nmea;      // sentence name after "$" and the talker, e.g. "GGA"
    std::string qtxt;      // message name after ">" and the type letter, e.g. "ST"
    std::string qop;       // two-letter id after "@@", e.g. "Ha"
};

// True when the frame of `kind` equals the marker. Text markers compare case-
// blind (users type "gga" as readily as "GGA") and only as far as the frame
// reaches: a marker longer than the frame's text never matches, and an empty
// marker matches every frame of its protocol. MON and other kinds never match.
// frame/length: the whole frame as recognised (QBIN from its leading DLE).
bool IsMarkerFrame(ProtocolKind kind, const BYTE* frame, int length, const PlaybackMarkers& markers);

// The pause after a good frame, in ms: 1000 / speed for a marker frame on a
// playback channel (type 2) outside a conversion with a speed of 1..999; 0
// (no pause) otherwise, speed 1000 included.
uint32_t GetPacingPause(int channelType, bool converting, bool isMarker, uint32_t speed);
