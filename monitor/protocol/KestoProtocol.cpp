#include "protocol/KestoProtocol.h"

#include "framework/CArray.h"

bool CheckKestoFrame(const BYTE* frame, int length)
{
    if (frame == nullptr || length < 2) return false;
    if (frame[0] != KESTO_START || frame[length - 1] != KESTO_END) return false;
    BYTE sum = 0;
    for (int i = 0; i < length; ++i) sum = static_cast<BYTE>(sum + frame[i]);
    return sum == 0;
}

// ---- Packet framing ------------------------------------------------------------

void KestoBeginPacket(CByteArray& packet, BYTE cls, BYTE id)
{
    packet.RemoveAll();
    packet.Add(KESTO_START);
    KestoAppendByte(packet, cls);
    KestoAppendByte(packet, id);
}

void KestoAppendByte(CByteArray& packet, BYTE b)
{
    if (b >= KESTO_ESCAPE && b <= KESTO_RESERVED_LAST) {
        packet.Add(KESTO_ESCAPE);
        packet.Add(static_cast<BYTE>(b & 0x0F));
        return;
    }
    packet.Add(b);
}

void KestoAppendU16(CByteArray& packet, uint16_t value)
{
    KestoAppendByte(packet, static_cast<BYTE>(value & 0xFF));
    KestoAppendByte(packet, static_cast<BYTE>(value >> 8));
}

void KestoAppendU32(CByteArray& packet, uint32_t value)
{
    KestoAppendU16(packet, static_cast<uint16_t>(value & 0xFFFF));
    KestoAppendU16(packet, static_cast<uint16_t>(value >> 16));
}

void KestoEndPacket(CByteArray& packet)
{
    BYTE sum = KESTO_END;
    const INT_PTR size = packet.GetSize();
    for (INT_PTR i = 0; i < size; ++i) sum = static_cast<BYTE>(sum + packet[i]);
    KestoAppendByte(packet, static_cast<BYTE>(0x100 - sum));
    packet.Add(KESTO_END);
}

// ---- Command builders ----------------------------------------------------------

namespace {

enum : BYTE {
    KESTO_CLASS_REQUEST = 0x02,
    KESTO_CLASS_RESET = 0x03
};

bool BuildRequest(CByteArray& packet, BYTE id, BYTE data)
{
    KestoBeginPacket(packet, KESTO_CLASS_REQUEST, id);
    KestoAppendByte(packet, data);
    KestoEndPacket(packet);
    return true;
}

struct KestoResetRow {
    int resetType;
    BYTE id;
};

// The command API's reset types (1 cold, 2 warm, 3 hot, 4 factory, 7, and 8
// the save) and the module's reset ids; semi-warm and semi-hot have none.
const KestoResetRow kResetTable[] = {
    {1, 0x02}, {2, 0x05}, {3, 0x01}, {4, 0x07}, {7, 0x03}, {8, 0x09},
};

const int kSaveConfigResetType = 8;

}  // namespace

bool BuildKestoRequest11(CByteArray& packet) { return BuildRequest(packet, 0x11, 0x01); }
bool BuildKestoRequest16(CByteArray& packet) { return BuildRequest(packet, 0x16, 0x02); }
bool BuildKestoRequest12(CByteArray& packet) { return BuildRequest(packet, 0x12, 0x03); }

bool BuildKestoReset(CByteArray& packet, int resetType)
{
    for (const KestoResetRow& row : kResetTable) {
        if (row.resetType != resetType) continue;
        KestoBeginPacket(packet, KESTO_CLASS_RESET, row.id);
        KestoEndPacket(packet);
        return true;
    }
    packet.RemoveAll();
    return false;
}

bool BuildKestoSaveConfig(CByteArray& packet) { return BuildKestoReset(packet, kSaveConfigResetType); }
