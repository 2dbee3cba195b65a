#pragma once
// The options of a replay, as the caller asks for it (from the playback dialog
// and the saved settings).
#include <cstdint>

#include "framework/CString.h"
#include "framework/WinTypes.h"

struct PlaybackSettings {
    // 1 replays in real time (paced by the marker frame), n about n times
    // faster, 1000 without any pause. 0 or more than 1000 count as 1.
    uint32_t speed = 1000;
    CString fileName;
    // The number listeners see as the link of every event of this replay.
    uint16_t linkId = 0;
    BYTE qbinMarker = 0;   // QBIN packet id of the marker frame
    BYTE kestoClass = 0;   // class byte of the KESTO marker frame
    BYTE kestoId = 0;      // id byte of the KESTO marker frame
    CString nmeaMarker;    // sentence name without "$" and talker, e.g. "GGA"
    CString qopMarker;     // two-letter id of the QOP marker message
    CString qtxtMarker;    // name after ">" and the type letter
};
