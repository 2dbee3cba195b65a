#pragma once
// Monitor-mode frames: 0x02, 0x00, id, length, data (length bytes), sum, 0x03.
// A receiver answers them while it runs its boot monitor.
#include <cstdint>

#include "framework/WinTypes.h"

class CModel;

// Sum of n bytes (0 for n <= 0).
uint32_t SumBytes(const BYTE* bytes, int n);

// Byte 0 is 0x02, the last byte 0x03, and the byte before it is the low byte
// of the sum of the length-4 bytes from offset 2 (id, length, data).
bool CheckMonFrame(const BYTE* frame, int length);

// Decodes an accepted frame into the model. Filled in with the monitor-mode
// decoders; until then it ignores every frame.
void DecodeMonFrame(const BYTE* frame, int length, CModel* model);

// ---- Command builders ----------------------------------------------------------
// Each takes the caller's array first and fills it with one whole frame,
// returning true; or returns false with the array empty, and the command API
// then sends nothing. The frames come with the monitor-mode command set; until
// then both builders build nothing.

class CByteArray;

bool BuildMonVersionQuery(CByteArray& frame);
// Reads 16 bits at address; built for flag 1 (a 16-bit read) only, the one
// access the boot monitor answers.
bool BuildMonMemoryRead(CByteArray& frame, BYTE flag, uint32_t address);
