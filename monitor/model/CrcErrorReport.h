#pragma once
// The text that explains a QBIN CRC failure: the packet's name, the size and
// CRC announced for it against what arrived, and its raw bytes. It goes to the
// converter's text output and the diagnostic CRC log.
#include <cstdint>

#include "framework/CString.h"
#include "framework/WinTypes.h"

class CModel;

// `packet` is the whole frame as received: DLE, id, data, DLE ETX; `length`
// counts all of it. The expected pair is the one the model checked last
// (CModel::GetExpectedCrc; 0 and 0 without a model). Bytes a short frame
// lacks are left out of the name, and its data size counts as 0.
void FormatCrcErrorReport(CString& out, LPCTSTR prefix, const BYTE* packet, int length, CModel* model);

// The same with the expected pair given, for callers that hold it already.
void FormatCrcErrorReportText(CString& out, LPCTSTR prefix, const BYTE* packet, int length,
                              int expectedSize, uint32_t expectedCrc);
