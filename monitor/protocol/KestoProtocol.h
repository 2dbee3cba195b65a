#pragma once
// KESTO: the module protocol framed by 0x81 and 0x82, with 0x80 escaping the
// reserved byte values. The reader thread unescapes while it collects, so the
// check and the decoder see the plain packet: 0x81, class, sub-id, data,
// checksum, 0x82. Multi-byte fields travel little-endian.
#include <cstdint>

#include "framework/WinTypes.h"

class CModel;

enum : BYTE {
    KESTO_START = 0x81,
    KESTO_END = 0x82,
    KESTO_ESCAPE = 0x80,
    KESTO_RESERVED_LAST = 0x87  // 0x80..0x87 never travel as themselves
};

// First byte 0x81, last byte 0x82, and the 8-bit sum of all bytes is zero.
bool CheckKestoFrame(const BYTE* frame, int length);

// Decodes an accepted packet into the model by its class and sub-id. Every
// field is read only when the packet holds it: a packet too short for its
// class stores and raises nothing, and classes not decoded are ignored.
void DecodeKestoFrame(const BYTE* frame, int length, CModel* model);

// ---- Packet framing ------------------------------------------------------------
// Shared by every writer of KESTO packets: the command builders below and the
// tools that write packets to files. Every byte after the 0x81 (class, sub-id,
// data and the checksum) goes through the escaping, so 0x80..0x82 never reach
// the wire inside a packet, where the reader would take them for an escape, a
// restart or the end.

class CByteArray;

// Empties the array and starts the packet: 0x81, class, sub-id.
void KestoBeginPacket(CByteArray& packet, BYTE cls, BYTE id);
// One byte; 0x80..0x87 go out as 0x80 and the byte's low four bits.
void KestoAppendByte(CByteArray& packet, BYTE b);
// Little-endian fields, each byte escaped.
void KestoAppendU16(CByteArray& packet, uint16_t value);
void KestoAppendU32(CByteArray& packet, uint32_t value);
// Appends the checksum (escaped) and 0x82. An escape pair adds up to the byte
// it stands for, so the sum over the bytes as sent equals the sum over the
// packet the receiver rebuilds: the checksum makes both zero.
void KestoEndPacket(CByteArray& packet);

// ---- Command builders ----------------------------------------------------------
// Each takes the caller's array first and fills it with one whole packet,
// returning true; or returns false with the array empty, and the command API
// then sends nothing.

// The two requests of the version query, and the one of the hardware query.
bool BuildKestoRequest11(CByteArray& packet);
bool BuildKestoRequest16(CByteArray& packet);
bool BuildKestoRequest12(CByteArray& packet);
// Reset types 1, 2, 3, 4, 7 and 8; other types build nothing.
bool BuildKestoReset(CByteArray& packet, int resetType);
// The module saves its configuration on the reset of type 8.
bool BuildKestoSaveConfig(CByteArray& packet);
