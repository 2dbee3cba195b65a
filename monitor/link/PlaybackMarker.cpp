#include "link/PlaybackMarker.h"

namespace {

BYTE FoldCase(BYTE c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<BYTE>(c - 'a' + 'A') : c;
}

// Compares the marker with the frame text from `offset`, case-blind, never
// reading at or past `length`.
bool TextMarkerMatches(const BYTE* frame, int length, int offset, const std::string& marker)
{
    if (length < offset) return false;
    size_t available = static_cast<size_t>(length - offset);
    if (marker.size() > available) return false;
    for (size_t i = 0; i < marker.size(); ++i) {
        if (FoldCase(frame[offset + i]) != FoldCase(static_cast<BYTE>(marker[i]))) return false;
    }
    return true;
}

}  // namespace

bool IsMarkerFrame(ProtocolKind kind, const BYTE* frame, int length, const PlaybackMarkers& markers)
{
    if (frame == nullptr || length <= 0) return false;
    switch (kind) {
    case PROTO_QBIN:
        return length >= 2 && frame[1] == markers.qbinId;
    case PROTO_NMEA:  // "$" and the two-letter talker come first
        return TextMarkerMatches(frame, length, 3, markers.nmea);
    case PROTO_QTXT:  // ">" and the type letter come first
        return TextMarkerMatches(frame, length, 2, markers.qtxt);
    case PROTO_QOP:   // "@@" comes first
        return TextMarkerMatches(frame, length, 2, markers.qop);
    case PROTO_KESTO:
        return length >= 3 && frame[1] == markers.kestoClass && frame[2] == markers.kestoId;
    default:
        return false;
    }
}

uint32_t GetPacingPause(int channelType, bool converting, bool isMarker, uint32_t speed)
{
    if (channelType != 2 || converting || !isMarker) return 0;
    if (speed < 1 || speed > 999) return 0;
    return 1000u / speed;
}
