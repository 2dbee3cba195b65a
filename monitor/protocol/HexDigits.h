#pragma once
// Two-digit hex checksum fields of the ASCII protocols (NMEA, QTXT).
#include "framework/WinTypes.h"

// Value of one hex digit in either case, or -1 for any other character.
inline int HexDigitValue(BYTE c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Value of the two hex digits at p. Receivers write the checksum in either
// case, so both are read. Any other character makes the whole field read as 0,
// as the shared hex reader does, so a malformed field matches only a sum of 0.
inline int ReadTwoHexDigits(const BYTE* p)
{
    int hi = HexDigitValue(p[0]);
    int lo = HexDigitValue(p[1]);
    if (hi < 0 || lo < 0) return 0;
    return hi * 16 + lo;
}
