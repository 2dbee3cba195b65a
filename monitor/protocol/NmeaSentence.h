#pragma once
// NMEA 0183 sentences as the monitor receives them: "$" address [, fields]
// ["*" hh] CR LF, 8 to 255 bytes on the wire.
//
// The reader thread collects a sentence and asks CheckNmeaSentence whether to
// trust it; the NMEA dispatcher decodes the accepted ones. The sentence
// builders of the command API live beside the check.
#include "framework/WinTypes.h"

// length counts every byte, CR LF included. In this order:
//  - no "*" five bytes before the end: accepted (the checksum is optional);
//  - another maker's proprietary sentence ("$P" + code other than "ZUL"):
//    accepted untested, since those makers' checksums are not ours to judge;
//  - shorter than 8: refused;
//  - otherwise the XOR of the bytes between "$" and "*" must equal the two
//    hex digits after "*", read in either case.
bool CheckNmeaSentence(const BYTE* sentence, int length);
