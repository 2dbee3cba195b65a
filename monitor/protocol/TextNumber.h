#pragma once
// Numbers read from device text, independent of the process locale: "." is
// the decimal point whatever the user's settings say, and nothing is read
// past the text's end, so a field can be read in place inside a sentence.
//
// Each reader follows the rules of the C library call named with it: leading
// white space is skipped, then an optional sign, then as many characters as
// form a number; the first other character ends it. `used` (may be null)
// receives the count of characters read, white space and sign included, or 0
// when no number was found (the value is then 0). The C calls would leave
// overflow undefined or return the range's limit; these saturate.
#include <cstdint>

// atoi / atol (32 bits): decimal digits, saturating at the int32 range.
int32_t TextToInt32(const char* text, int length, int* used = nullptr);

// sscanf "%x": hexadecimal digits in either case, after an optional "0x";
// a minus sign negates the value modulo 2^32. Saturates at 0xFFFFFFFF.
uint32_t TextToHex32(const char* text, int length, int* used = nullptr);

// atof: digits with an optional "." fraction and an optional exponent
// ("e" or "E", optional sign, digits; without digits the "e" is not read).
// Infinity, NaN and hexadecimal floating forms are not numbers here. Exact
// (correctly rounded) for up to 15 significant digits with a power of ten up
// to 22, which covers every field a receiver writes; longer texts are
// within a few units in the last place.
double TextToDouble(const char* text, int length, int* used = nullptr);
