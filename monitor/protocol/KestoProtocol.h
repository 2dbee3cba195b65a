#pragma once
// KESTO: the module protocol framed by 0x81 and 0x82, with 0x80 escaping the
// reserved byte values. The reader thread unescapes while it collects, so the
// check and the decoder see the plain packet: 0x81, class, sub-id, data,
// checksum, 0x82.
#include "framework/WinTypes.h"

class CModel;

// First byte 0x81, last byte 0x82, and the 8-bit sum of all bytes is zero.
bool CheckKestoFrame(const BYTE* frame, int length);

// Decodes an accepted packet into the model. Filled in with the KESTO
// decoders; until then it ignores every packet.
void DecodeKestoFrame(const BYTE* frame, int length, CModel* model);

// ---- Command builders ----------------------------------------------------------
// Each takes the caller's array first and fills it with one whole packet
// (0x81, class, id, escaped data, checksum, 0x82), returning true; or returns
// false with the array empty, and the command API then sends nothing. The
// packets come with the KESTO command set; until then every builder builds
// nothing.

class CByteArray;

// The two requests of the version query, and the one of the hardware query.
bool BuildKestoRequest11(CByteArray& packet);
bool BuildKestoRequest16(CByteArray& packet);
bool BuildKestoRequest12(CByteArray& packet);
// Reset types 1, 2, 3, 4, 7 and 8; other types build nothing.
bool BuildKestoReset(CByteArray& packet, int resetType);
bool BuildKestoSaveConfig(CByteArray& packet);
