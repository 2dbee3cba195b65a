#pragma once
// QBIN report decoding: where a received packet really starts, which data
// lengths each report may have, and the decoder that turns each report into
// model data (and, during a conversion, into translation text).
//
// Every byte handed in here came from a device or a file. Each report has a
// minimum data length below which its decoder stores nothing and raises
// nothing, and every field is read through the bounded QBIN reader, so a
// garbled or hostile packet can never make a decoder read outside its frame.
#include <cstdint>

#include "framework/WinTypes.h"

class CModel;
class CConverterEngine;

// Sub-code value of a length rule that applies to every packet of its id, or
// an upper bound that accepts any length.
enum : int16_t {
    QBIN_ANY_SUBCODE = -1,
    QBIN_ANY_LENGTH = 0x7FFF
};

// One row of the accepted-length table. A packet of this id (and sub-code in
// data byte 0, for ids that have one) passes the length check when its data
// length lies in [minAccepted, maxAccepted] of one of its rows; an id or
// sub-code without rows passes at any length. `needed` is the data length
// the decoder reads at least, so a packet shorter than that is dropped even
// where the receiver's own table lets any length through.
struct QbinLengthRule {
    BYTE id;
    int16_t subcode;       // QBIN_ANY_SUBCODE: the row is for the id alone
    int16_t minAccepted;
    int16_t maxAccepted;   // QBIN_ANY_LENGTH: no upper bound
    int16_t needed;
};

// The table, in report order.
const QbinLengthRule* GetQbinLengthTable(int& count);

// Whether the report id (id[0]) with dataLength data bytes after it (id[1]
// onwards) has an accepted length. With a converter whose translation is on,
// a refused length writes the bad-length text (and the raw dump when that
// option is on).
bool CheckQbinReportLength(const BYTE* id, int dataLength, CConverterEngine* converter);

// The data length the decoder of this report needs at least; 0 when it reads
// nothing. id[1] onwards must hold dataLength bytes.
int GetQbinNeededLength(const BYTE* id, int dataLength);

// frame: the collected packet from its leading DLE through DLE ETX; length in
// bytes. On success the packet starts at frame + start and has the (possibly
// shortened) length. False when no candidate start has an accepted length.
bool FindQbinPacketStart(const BYTE* frame, int& length, int& start, CConverterEngine* converter);

// Decodes one packet (leading DLE through DLE ETX). model may be null
// (translation only); converter is the running conversion, or null.
void DecodeQbinReport(const BYTE* frame, int length, CModel* model, CConverterEngine* converter);
