#pragma once
// Decoders of the QBIN reports that carry enough structure to need their own:
// the 0x8F family (datum, fix, timing and timing-configuration replies) and
// the 0x5F diagnostics. The report dispatcher calls them with the data that
// follows the id.
//
// Received bytes are untrusted: every field is read through the bounded QBIN
// reader, each report and sub-code has a minimum length, and a report too
// short for what it carries stores nothing and raises nothing.
#include "framework/WinTypes.h"

class CModel;
class CConverterEngine;

// 0x8F. data: the bytes after the id (data[0] is the sub-code); length: their
// count. model may be null (translation only); engine is the running
// conversion or null.
// True when the report was decoded: its records and events are in the model
// and, with translation on, its text was written. False for an unknown
// sub-code or a report too short for its fields: then nothing was stored,
// raised or written, and the caller writes its "not supported" or
// "Bad length" text.
bool DecodeQbinTimingReport(const BYTE* data, int length, CModel* model, CConverterEngine* engine);

// 0x5F, by class in data[0]. Same arguments and result.
bool DecodeQbinDiagReport(const BYTE* data, int length, CModel* model, CConverterEngine* engine);
