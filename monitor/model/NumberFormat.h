#pragma once
// printf's number conversions without printf, for text built many times a
// fix (converter outputs, translations): the same characters as the printf
// format named with each function, written into a caller's buffer without
// the heap or the locale.
//
// Each writes at most `room` characters and returns how many it wrote; text
// that would not fit is cut at `room`. Nothing is terminated: the caller
// appends. A room of kNumberTextRoom takes any value whole.
#include <cstddef>
#include <cstdint>

enum : size_t {
    // The longest text: a double has up to 309 digits before the point; the
    // precision and the width are small.
    kNumberTextRoom = 384
};

// "%0*.*f" (width 0: "%.*f"): `precision` decimals (0..17), rounded as
// printf rounds the exact binary value; "-" for any negative value, -0.0 and
// values that round to zero included; zeros after the sign up to `width`
// (NaN and infinities are padded with blanks, as printf pads them).
size_t FormatFixedText(char* out, size_t room, double value, int precision, int width = 0);

// "%0*lld" (width 0: "%lld").
size_t FormatDecimalText(char* out, size_t room, int64_t value, int width = 0);

// "%0*X": upper-case hexadecimal digits, at least `width` of them.
size_t FormatHexText(char* out, size_t room, uint32_t value, int width = 0);
