#include "app/DiagPacket.h"

namespace {

// The DLE ETX that closes every frame.
const int kTrailerLength = 2;

DiagPacket Ignore()
{
    DiagPacket packet = {DIAG_IGNORE, 0, nullptr, 0};
    return packet;
}

// The bytes from `offset` up to the trailer; the caller has checked that the
// frame reaches at least the trailer.
DiagPacket Span(DiagPacketAction action, const BYTE* frame, int length, int offset)
{
    DiagPacket packet = {action, 0, nullptr, length - offset - kTrailerLength};
    if (packet.length > 0) packet.data = frame + offset;
    return packet;
}

} // namespace

DiagPacket ParseDiagPacket(const BYTE* frame, int length)
{
    if (frame == nullptr || length < 3 || frame[1] != kDiagPacketId) return Ignore();
    switch (frame[2]) {
    case 2: {
        if (length < 9) return Ignore();
        DiagPacket packet = {DIAG_VALUE, 0, nullptr, 0};
        packet.value = (static_cast<uint32_t>(frame[3]) << 24) | (static_cast<uint32_t>(frame[4]) << 16) |
                       (static_cast<uint32_t>(frame[5]) << 8) | static_cast<uint32_t>(frame[6]);
        return packet;
    }
    case 3:
        if (length < 6 || frame[3] != 1) return Ignore();
        return Span(DIAG_RAW_PAGE, frame, length, 4);
    case 0xFF:
        if (length < 5) return Ignore();
        return Span(DIAG_LOG_TEXT, frame, length, 3);
    default:
        return Ignore();
    }
}
