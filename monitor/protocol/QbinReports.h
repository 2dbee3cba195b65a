#pragma once
// QBIN report decoding: where a received packet really starts, and the
// decoder that turns each report into model data (and, during a conversion,
// into translation text).
//
// Both are placeholders with their final signatures until the QBIN report
// decoder lands: the start finder takes every packet of 5 bytes or more as it
// stands, and the decoder ignores every report.
#include "framework/WinTypes.h"

class CModel;
class CConverterEngine;

// frame: the collected packet from its leading DLE through DLE ETX; length in
// bytes. On success the packet starts at frame + start and has the (possibly
// shortened) length. False when no valid start exists (frames under 5 bytes).
bool FindQbinPacketStart(const BYTE* frame, int& length, int& start, CConverterEngine* converter);

// Decodes one packet (leading DLE through DLE ETX). converter is the running
// conversion, or null.
void DecodeQbinReport(const BYTE* frame, int length, CModel* model, CConverterEngine* converter);
