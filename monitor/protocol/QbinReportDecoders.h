#pragma once
// Shared between the QBIN report dispatcher and the decoders of the single
// reports; not for other callers.
#include <cstdint>
#include <string>

#include "framework/WinTypes.h"

class CModel;
class CConverterEngine;

// One report on its way through a decoder. The data length has already been
// checked against the length table, yet decoders still read every field
// through the bounded reader: a field that is missing stores nothing.
struct QbinReportContext {
    BYTE id;
    const BYTE* data;         // after the id
    int length;               // data bytes
    CModel* model;            // never null here
    CConverterEngine* converter;  // null unless translation is on
    std::string& text;        // translation built by the decoder, empty at the start
};

// Decodes every report but 0x8F and 0x5F. False when the id (or its sub-type)
// has no decoder.
bool DecodeQbinStandardReport(QbinReportContext& ctx);

// printf into a std::string, for translation texts.
void AppendQbinText(std::string& text, const char* format, ...)
#if defined(__GNUC__) && !defined(__MINGW32__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
// "\r\nRaw data:" and the packet's bytes from DLE to ETX, 20 to a line.
void AppendQbinRawDump(std::string& text, BYTE id, const BYTE* data, int dataLength);
// The bad-length text of a refused packet, written straight to the converter.
void WriteQbinBadLength(CConverterEngine* converter, BYTE id, const BYTE* data, int dataLength);
// The "translation not supported" text (and the raw dump when that is on).
void AppendQbinNotSupported(std::string& text, CConverterEngine* converter, BYTE id,
                            const BYTE* data, int dataLength);
