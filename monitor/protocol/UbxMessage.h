#pragma once
// UBX messages, the u-blox receivers' binary protocol: 0xB5 0x62, class, id,
// payload length (16-bit, little-endian), payload, then the two bytes of an
// 8-bit Fletcher checksum over class, id, length and payload.
//
// A message is built in place in the caller's array: begin, append payload
// bytes, end. Several messages for one write are built separately and joined.
#include <cstdint>

#include "framework/WinTypes.h"

class CByteArray;

enum : BYTE {
    UBX_SYNC_1 = 0xB5,
    UBX_SYNC_2 = 0x62,
    UBX_CLASS_CFG = 0x06,
    UBX_ID_CFG_RST = 0x04,  // reset
    UBX_ID_CFG_CFG = 0x09   // clear, save and load the configuration
};

// Empties the array and writes the sync bytes, class, id and a zero length.
void UbxBeginMessage(CByteArray& message, BYTE messageClass, BYTE id);
// Appends one payload byte and counts it in the length field. Does nothing on
// an array that holds no begun message or whose payload is already at the
// largest length the field can state.
void UbxAppendByte(CByteArray& message, BYTE b);
// Appends the checksum of everything after the sync bytes. Does nothing on an
// array that holds no begun message.
void UbxEndMessage(CByteArray& message);
// The checksum of n bytes: CK_A in the high byte, CK_B in the low byte (the
// order they are sent in).
uint16_t UbxChecksum(const BYTE* bytes, int n);
