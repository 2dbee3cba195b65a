#pragma once
// QBIN packets on the sending side, and typed field readers for the receiving
// side.
//
// On the wire a packet is DLE, id, data, DLE ETX. Only data bytes are
// stuffed: a data byte 0x10 is sent twice, the id and the two framing pairs
// never are. Multi-byte fields travel big-endian. Every operation here is a
// stateless function over a caller-owned array.
//
// Byte order is always produced and read with shifts, never through the
// host's memory layout, so the native build and the i686 build compose and
// read exactly the same bytes.
#include <cstdint>
#include <type_traits>

#include "framework/CArray.h"
#include "framework/WinTypes.h"

enum : BYTE {
    QBIN_DLE = 0x10,
    QBIN_ETX = 0x03
};

// ---- Composer ---------------------------------------------------------------

// Empties the packet and starts it with DLE and the id (the id is not doubled).
void BeginQbinPacket(CByteArray& packet, BYTE id);
// One data byte; a 0x10 is followed by a second 0x10.
void AppendQbinByte(CByteArray& packet, BYTE value);
// A 16-bit field, most significant byte first.
void AppendQbinU16(CByteArray& packet, uint16_t value);
// A 32-bit field, most significant byte first: an integer, or the bit
// pattern of a single-precision float.
void AppendQbinU32(CByteArray& packet, uint32_t value);
void AppendQbinU32(CByteArray& packet, float value);
// Any other integer type goes in as its low 32 bits. Without this, a DWORD
// (unsigned long on Windows) or an int would be ambiguous between the two
// overloads above. A double is refused at compile time: the caller must say
// whether it means a float field or a double one.
template <class T, typename std::enable_if<std::is_integral<T>::value &&
                                               !std::is_same<T, uint32_t>::value,
                                           int>::type = 0>
inline void AppendQbinU32(CByteArray& packet, T value)
{
    AppendQbinU32(packet, static_cast<uint32_t>(value));
}
void AppendQbinU32(CByteArray& packet, double value) = delete;
// An IEEE-754 double, most significant byte first.
void AppendQbinDouble(CByteArray& packet, double value);
// The n bytes of a value held least significant byte first, appended from the
// last to the first, each stuffed as needed.
void AppendQbinReversed(CByteArray& packet, const BYTE* bytes, int count);
// n bytes in their order, each stuffed as needed.
void AppendQbinBytes(CByteArray& packet, const BYTE* bytes, int count);
// Closes the packet with DLE ETX (not doubled).
void EndQbinPacket(CByteArray& packet);

// ---- Readers over fields whose presence the caller has checked ---------------
//
// The flag set reads the wire's big-endian order. The flag clear reads least
// significant byte first, the order of the little-endian hosts this program
// runs on, so the result is the same in every build.
uint16_t UnpackU16(const BYTE* bytes, bool bigEndian);
uint32_t UnpackU32(const BYTE* bytes, bool bigEndian);
float UnpackFloat(const BYTE* bytes, bool bigEndian);
double UnpackDouble(const BYTE* bytes, bool bigEndian);

// The same readers at an offset into a de-stuffed packet. A field that does
// not lie wholly inside the array reads as 0: a caller that forgot to check
// the report's length gets a wrong value, never bytes outside the array.
uint16_t ReadPacketU16(const CByteArray& packet, int offset, bool bigEndian);
uint32_t ReadPacketU32(const CByteArray& packet, int offset, bool bigEndian);
float ReadPacketFloat(const CByteArray& packet, int offset, bool bigEndian);
double ReadPacketDouble(const CByteArray& packet, int offset, bool bigEndian);

// ---- Bounded reader for report decoders ---------------------------------------
//
// Reads fields of received data (data, length, offset), big-endian as QBIN
// and QOP send them, or little-endian (bigEndian false) as the KESTO module
// does. A field that does not lie wholly inside [0, length) is "missing": the
// call returns false and leaves the value untouched, so a decoder can store
// nothing for a short report. A negative offset or length is missing too.
bool ReadQbinU8(const BYTE* data, int length, int offset, uint8_t& value);
bool ReadQbinU16(const BYTE* data, int length, int offset, uint16_t& value, bool bigEndian = true);
bool ReadQbinI16(const BYTE* data, int length, int offset, int16_t& value, bool bigEndian = true);
bool ReadQbinU32(const BYTE* data, int length, int offset, uint32_t& value, bool bigEndian = true);
bool ReadQbinI32(const BYTE* data, int length, int offset, int32_t& value, bool bigEndian = true);
bool ReadQbinFloat(const BYTE* data, int length, int offset, float& value, bool bigEndian = true);
bool ReadQbinDouble(const BYTE* data, int length, int offset, double& value, bool bigEndian = true);
// True when count bytes from offset lie inside the data.
bool HasQbinField(int length, int offset, int count);

// The same over one report's data, for decoders that read many fields.
class QbinFieldReader {
public:
    // data: the first data byte (after the id); length: the data bytes present.
    QbinFieldReader(const BYTE* data, int length, bool bigEndian = true)
        : m_data(data), m_length((data != nullptr && length > 0) ? length : 0), m_bigEndian(bigEndian) {}

    int GetLength() const { return m_length; }
    const BYTE* GetData() const { return m_data; }
    bool Has(int offset, int count) const { return HasQbinField(m_length, offset, count); }

    bool U8(int offset, uint8_t& value) const { return ReadQbinU8(m_data, m_length, offset, value); }
    bool U16(int offset, uint16_t& value) const { return ReadQbinU16(m_data, m_length, offset, value, m_bigEndian); }
    bool I16(int offset, int16_t& value) const { return ReadQbinI16(m_data, m_length, offset, value, m_bigEndian); }
    bool U32(int offset, uint32_t& value) const { return ReadQbinU32(m_data, m_length, offset, value, m_bigEndian); }
    bool I32(int offset, int32_t& value) const { return ReadQbinI32(m_data, m_length, offset, value, m_bigEndian); }
    bool Float(int offset, float& value) const { return ReadQbinFloat(m_data, m_length, offset, value, m_bigEndian); }
    bool Double(int offset, double& value) const { return ReadQbinDouble(m_data, m_length, offset, value, m_bigEndian); }

    // Copies up to count text bytes from offset into out (capacity outSize,
    // terminator included), clamped to the bytes present and to the room in
    // out; stops early at a 0 byte. Returns the characters copied; out is
    // always terminated when outSize > 0.
    int Text(int offset, int count, char* out, int outSize) const;

private:
    const BYTE* m_data;
    int m_length;
    bool m_bigEndian;
};

// A report's fields read one after another, remembering whether any was
// missing: a decoder reads a whole record, then decides once whether to store
// it, so a short report leaves the model as it was.
class QbinFields {
public:
    QbinFields(const BYTE* data, int length, bool bigEndian = true) : m_reader(data, length, bigEndian), m_ok(true) {}

    bool Ok() const { return m_ok; }
    int Length() const { return m_reader.GetLength(); }
    bool Has(int offset, int count) const { return m_reader.Has(offset, count); }
    const QbinFieldReader& Reader() const { return m_reader; }

    uint8_t U8(int offset) { uint8_t v = 0; Note(m_reader.U8(offset, v)); return v; }
    uint16_t U16(int offset) { uint16_t v = 0; Note(m_reader.U16(offset, v)); return v; }
    int16_t I16(int offset) { int16_t v = 0; Note(m_reader.I16(offset, v)); return v; }
    uint32_t U32(int offset) { uint32_t v = 0; Note(m_reader.U32(offset, v)); return v; }
    int32_t I32(int offset) { int32_t v = 0; Note(m_reader.I32(offset, v)); return v; }
    float Float(int offset) { float v = 0; Note(m_reader.Float(offset, v)); return v; }
    double Double(int offset) { double v = 0; Note(m_reader.Double(offset, v)); return v; }
    int Text(int offset, int count, char* out, int outSize) const { return m_reader.Text(offset, count, out, outSize); }
    // Notes a field read some other way (a text, say) as missing unless all
    // count bytes from offset are present; returns whether they are.
    bool Need(int offset, int count) { const bool present = Has(offset, count); Note(present); return present; }

private:
    void Note(bool present) { m_ok = m_ok && present; }

    QbinFieldReader m_reader;
    bool m_ok;
};
