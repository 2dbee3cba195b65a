#pragma once
// Monitor-mode frames: 0x02, 0x00, id, length, data (length bytes), sum, 0x03.
// A receiver answers them while it runs its boot monitor. Multi-byte values
// travel most significant byte first.
#include <cstdint>

#include "framework/WinTypes.h"

class CModel;

// Sum of n bytes (0 for n <= 0).
uint32_t SumBytes(const BYTE* bytes, int n);

// Byte 0 is 0x02, the last byte 0x03, and the byte before it is the low byte
// of the sum of the length-4 bytes from offset 2 (id, length, data).
bool CheckMonFrame(const BYTE* frame, int length);

// Decodes an accepted frame into the model by its id: the memory-read reply
// (0x92) goes to the listeners as a QBIN memory reply, the version reply (0x96)
// to firmware record 0. Other ids, and replies shorter than they need to be,
// are ignored.
void DecodeMonFrame(const BYTE* frame, int length, CModel* model);

// ---- Frame framing ---------------------------------------------------------------
// Single data bytes are appended with AppendQopByte (neither framing escapes).

class CByteArray;

enum : BYTE {
    MON_STX = 0x02,
    MON_ETX = 0x03
};

// Empties the array and starts the frame: 0x02, 0x00, id.
void MonBeginFrame(CByteArray& frame, BYTE id);
// The low count (1..4) bytes of value, most significant first.
void MonAppendBigEndian(CByteArray& frame, uint32_t value, int count);
void MonAppendU16(CByteArray& frame, uint16_t value);
void MonAppendU32(CByteArray& frame, uint32_t value);
// Inserts the length byte after the id, then appends the sum byte and 0x03.
// The length is one byte: a frame holds at most 255 data bytes.
void MonEndFrame(CByteArray& frame);

// ---- Command builders ----------------------------------------------------------
// Each takes the caller's array first and fills it with one whole frame,
// returning true; or returns false with the array empty, and the command API
// then sends nothing.

bool BuildMonVersionQuery(CByteArray& frame);
// Reads 16 bits at address; built for flag 1 (a 16-bit read) only, the one
// access the boot monitor answers. The reply carries only the value: the
// caller keeps the address in the model (CModel::SetMonReadAddress).
bool BuildMonMemoryRead(CByteArray& frame, BYTE flag, uint32_t address);
