#include "protocol/QbinComposer.h"

#include <cstring>

namespace {

uint16_t LoadU16(const BYTE* p, bool bigEndian)
{
    return bigEndian ? static_cast<uint16_t>((p[0] << 8) | p[1])
                     : static_cast<uint16_t>((p[1] << 8) | p[0]);
}

uint32_t LoadU32(const BYTE* p, bool bigEndian)
{
    if (bigEndian)
        return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
               (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
    return (static_cast<uint32_t>(p[3]) << 24) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[1]) << 8) | static_cast<uint32_t>(p[0]);
}

uint64_t LoadU64(const BYTE* p, bool bigEndian)
{
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) {
        const int k = bigEndian ? i : 7 - i;
        v = (v << 8) | p[k];
    }
    return v;
}

// Floats and doubles move through integers of the same width: memcpy between
// a value and an integer of the same size keeps the bit pattern, whatever the
// host's byte order, and avoids type-punning through pointers.
float FloatFromBits(uint32_t bits)
{
    float f;
    memcpy(&f, &bits, sizeof f);
    return f;
}

double DoubleFromBits(uint64_t bits)
{
    double d;
    memcpy(&d, &bits, sizeof d);
    return d;
}

// Fills out[] least significant byte first, the order AppendQbinReversed takes.
void StoreLsbFirst(uint64_t value, BYTE* out, int count)
{
    for (int i = 0; i < count; ++i) out[i] = static_cast<BYTE>(value >> (8 * i));
}

} // namespace

void BeginQbinPacket(CByteArray& packet, BYTE id)
{
    packet.RemoveAll();
    packet.Add(QBIN_DLE);
    packet.Add(id);
}

void AppendQbinByte(CByteArray& packet, BYTE value)
{
    packet.Add(value);
    if (value == QBIN_DLE) packet.Add(QBIN_DLE);
}

void AppendQbinReversed(CByteArray& packet, const BYTE* bytes, int count)
{
    if (bytes == nullptr) return;
    for (int i = count - 1; i >= 0; --i) AppendQbinByte(packet, bytes[i]);
}

void AppendQbinBytes(CByteArray& packet, const BYTE* bytes, int count)
{
    if (bytes == nullptr) return;
    for (int i = 0; i < count; ++i) AppendQbinByte(packet, bytes[i]);
}

void AppendQbinU16(CByteArray& packet, uint16_t value)
{
    BYTE b[2];
    StoreLsbFirst(value, b, 2);
    AppendQbinReversed(packet, b, 2);
}

void AppendQbinU32(CByteArray& packet, uint32_t value)
{
    BYTE b[4];
    StoreLsbFirst(value, b, 4);
    AppendQbinReversed(packet, b, 4);
}

void AppendQbinU32(CByteArray& packet, float value)
{
    uint32_t bits;
    memcpy(&bits, &value, sizeof bits);
    AppendQbinU32(packet, bits);
}

void AppendQbinDouble(CByteArray& packet, double value)
{
    uint64_t bits;
    memcpy(&bits, &value, sizeof bits);
    BYTE b[8];
    StoreLsbFirst(bits, b, 8);
    AppendQbinReversed(packet, b, 8);
}

void EndQbinPacket(CByteArray& packet)
{
    packet.Add(QBIN_DLE);
    packet.Add(QBIN_ETX);
}

uint16_t UnpackU16(const BYTE* bytes, bool bigEndian)
{
    return LoadU16(bytes, bigEndian);
}

uint32_t UnpackU32(const BYTE* bytes, bool bigEndian)
{
    return LoadU32(bytes, bigEndian);
}

float UnpackFloat(const BYTE* bytes, bool bigEndian)
{
    return FloatFromBits(LoadU32(bytes, bigEndian));
}

double UnpackDouble(const BYTE* bytes, bool bigEndian)
{
    return DoubleFromBits(LoadU64(bytes, bigEndian));
}

bool HasQbinField(int length, int offset, int count)
{
    // Written so that no sum can overflow, whatever the caller passes.
    return length >= 0 && offset >= 0 && count >= 0 && count <= length && offset <= length - count;
}

namespace {

// The field's first byte when [offset, offset + count) lies inside the data.
const BYTE* FieldAt(const BYTE* data, int length, int offset, int count)
{
    if (data == nullptr || !HasQbinField(length, offset, count)) return nullptr;
    return data + offset;
}

int PacketLength(const CByteArray& packet)
{
    // A packet never comes near 2^31 bytes; clamp rather than wrap if it did.
    const INT_PTR size = packet.GetSize();
    return size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(size);
}

} // namespace

uint16_t ReadPacketU16(const CByteArray& packet, int offset, bool bigEndian)
{
    const BYTE* p = FieldAt(packet.GetData(), PacketLength(packet), offset, 2);
    return p ? LoadU16(p, bigEndian) : 0;
}

uint32_t ReadPacketU32(const CByteArray& packet, int offset, bool bigEndian)
{
    const BYTE* p = FieldAt(packet.GetData(), PacketLength(packet), offset, 4);
    return p ? LoadU32(p, bigEndian) : 0;
}

float ReadPacketFloat(const CByteArray& packet, int offset, bool bigEndian)
{
    const BYTE* p = FieldAt(packet.GetData(), PacketLength(packet), offset, 4);
    return p ? FloatFromBits(LoadU32(p, bigEndian)) : 0.0f;
}

double ReadPacketDouble(const CByteArray& packet, int offset, bool bigEndian)
{
    const BYTE* p = FieldAt(packet.GetData(), PacketLength(packet), offset, 8);
    return p ? DoubleFromBits(LoadU64(p, bigEndian)) : 0.0;
}

bool ReadQbinU8(const BYTE* data, int length, int offset, uint8_t& value)
{
    const BYTE* p = FieldAt(data, length, offset, 1);
    if (!p) return false;
    value = p[0];
    return true;
}

bool ReadQbinU16(const BYTE* data, int length, int offset, uint16_t& value, bool bigEndian)
{
    const BYTE* p = FieldAt(data, length, offset, 2);
    if (!p) return false;
    value = LoadU16(p, bigEndian);
    return true;
}

bool ReadQbinI16(const BYTE* data, int length, int offset, int16_t& value, bool bigEndian)
{
    uint16_t u;
    if (!ReadQbinU16(data, length, offset, u, bigEndian)) return false;
    // Two's complement by arithmetic, not by an implementation-defined cast.
    value = static_cast<int16_t>(u < 0x8000u ? static_cast<int>(u) : static_cast<int>(u) - 0x10000);
    return true;
}

bool ReadQbinU32(const BYTE* data, int length, int offset, uint32_t& value, bool bigEndian)
{
    const BYTE* p = FieldAt(data, length, offset, 4);
    if (!p) return false;
    value = LoadU32(p, bigEndian);
    return true;
}

bool ReadQbinI32(const BYTE* data, int length, int offset, int32_t& value, bool bigEndian)
{
    uint32_t u;
    if (!ReadQbinU32(data, length, offset, u, bigEndian)) return false;
    value = u < 0x80000000u ? static_cast<int32_t>(u)
                            : static_cast<int32_t>(static_cast<int64_t>(u) - INT64_C(0x100000000));
    return true;
}

bool ReadQbinFloat(const BYTE* data, int length, int offset, float& value, bool bigEndian)
{
    const BYTE* p = FieldAt(data, length, offset, 4);
    if (!p) return false;
    value = FloatFromBits(LoadU32(p, bigEndian));
    return true;
}

bool ReadQbinDouble(const BYTE* data, int length, int offset, double& value, bool bigEndian)
{
    const BYTE* p = FieldAt(data, length, offset, 8);
    if (!p) return false;
    value = DoubleFromBits(LoadU64(p, bigEndian));
    return true;
}

int QbinFieldReader::Text(int offset, int count, char* out, int outSize) const
{
    if (out == nullptr || outSize <= 0) return 0;
    int n = 0;
    if (m_data != nullptr && offset >= 0 && offset < m_length && count > 0) {
        int avail = m_length - offset;
        if (count > avail) count = avail;
        if (count > outSize - 1) count = outSize - 1;
        while (n < count && m_data[offset + n] != 0) {
            out[n] = static_cast<char>(m_data[offset + n]);
            ++n;
        }
    }
    out[n] = '\0';
    return n;
}
