#pragma once
// printf without printf, for text built many times a fix (converter outputs,
// translations): the same characters as the C library's printf gives, built
// without the heap, the locale or the library's slow float conversion.
//
// The number functions write at most `room` characters, cut there, and
// return how many they wrote; nothing is terminated: the caller appends. A
// room of kNumberTextRoom takes any value whole.
#include <cstdarg>
#include <cstddef>
#include <cstdint>

enum : size_t {
    // The longest number text: a double has up to 309 digits before the
    // point; the precision and the width are small.
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

// vsnprintf and snprintf: the same text, terminated, cut at size - 1, and
// the same result (the length of the whole text). The conversions d, i, u,
// x, X, c, s, f, F and %, with the flags "-+ 0", widths, precisions and the
// length modifiers hh, h, l, ll, z, j, t, are done here; a format with any
// other conversion, flag or modifier, and NaN or infinite values, are handed
// to the C library whole.
int FormatTextV(char* out, size_t size, const char* format, va_list args);
int FormatText(char* out, size_t size, const char* format, ...)
#if defined(__GNUC__) && !defined(__MINGW32__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;
