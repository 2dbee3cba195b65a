#pragma once
// Numbers to text and back, and bit fields of receiver words. Every reader of
// text stops at the terminating '\0', whatever count it is given, because the
// texts come from devices, files and the user.
#include <cstddef>
#include <cstdint>

#include "framework/CString.h"

// Fixed-point text of the magnitude with `decimals` digits after the point
// (none when 0: "12"), always at least one digit before the point ("0.50"),
// and "-" in front of negative values. Decimals outside 0..340 are clamped.
CString FormatFixed(double value, int decimals);

// "0" for 0, else the fixed-point text cut at the point (the fraction is
// dropped, not rounded).
CString FormatInteger(double value);

// Appends `digits` upper-case hexadecimal digits of the value, most
// significant first and zero-padded ("001F").
void HexToText(CString& text, uint32_t value, int digits);

// The value of exactly `digits` hexadecimal digits, either case (NMEA
// checksums arrive in both). Any other character, or the text ending early,
// gives 0.
uint32_t HexTextToNumber(const char* text, int digits);

// Optional sign, then up to `digits` decimal digits; a non-digit ends the
// number, which keeps the digits read so far ("-12x4" -> -12). Saturates at
// the 32-bit range.
int32_t DecimalTextToNumber(const char* text, int digits);

// Fixed-layout decimal field: optional sign, up to `integerDigits` digits,
// one character skipped when `point` is set, up to `fractionDigits` digits
// scaled by ten to the minus the count read ("-01.25", 2, 2, true -> -1.25).
// A non-digit ends the digits being read.
double DecimalTextToDouble(const char* text, int integerDigits, int fractionDigits, bool point);

// Appends one character to the zero-terminated text in a buffer of
// `capacity` bytes; false, text unchanged, when it would not fit.
bool AppendChar(char* text, size_t capacity, char ch);

// Bits first..last of the bit string formed by `wordCount` 32-bit words, bit 0
// being the most significant bit of the first word, concatenated most
// significant first (the low 32 bits of the result are kept). 0 when
// last < first or when the range does not lie inside the words.
uint32_t GetBitField(const uint32_t* words, int32_t wordCount, int32_t first, int32_t last);
// Bit n in the same numbering; 0 outside the words.
uint32_t GetBit(const uint32_t* words, int32_t wordCount, int32_t n);

template <size_t N>
uint32_t GetBitField(const uint32_t (&words)[N], int32_t first, int32_t last)
{
    return GetBitField(words, static_cast<int32_t>(N), first, last);
}
template <size_t N>
uint32_t GetBit(const uint32_t (&words)[N], int32_t n)
{
    return GetBit(words, static_cast<int32_t>(N), n);
}

// "Odd" for 1, "Even" for 2, "None" for anything else.
const char* GetParityName(int code);
