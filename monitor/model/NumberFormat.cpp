#include "model/NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

const int kMaxFixedPrecision = 17;     // FormatFixedText's precisions
const int kMaxFormatPrecision = 60;    // "%.*f" of FormatText's own; more goes to the C library
const int kMaxFormatWidth = 4096;      // a width or precision beyond this goes to the C library
const int kDefaultPrecision = 6;       // "%f"
// Up to this many decimals the scale 10^precision is an exact double.
const int kFastPrecisionMax = 9;
const double kPowersOfTen[kFastPrecisionMax + 1] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
// Below 2^40 the scaled value is off the exact product by less than 2^-13
// (half an ulp), so its fraction decides the rounding unless it lies within
// this margin of one half; such near ties go to the C library, which rounds
// the exact binary value.
const double kFastScaledLimit = 1099511627776.0;  // 2^40
const double kTieMargin = 1.0 / 2048.0;           // 2^-11
const size_t kDigitRoom = 24;                     // the digits of a 64-bit value, in any base used
const char kLowerHexDigits[] = "0123456789abcdef";
const char kUpperHexDigits[] = "0123456789ABCDEF";

// "00" .. "99", for two decimal digits a step.
struct DigitPairs {
    char text[200];
    constexpr DigitPairs() : text()
    {
        for (int i = 0; i < 100; ++i) {
            text[2 * i] = static_cast<char>('0' + i / 10);
            text[2 * i + 1] = static_cast<char>('0' + i % 10);
        }
    }
};
constexpr DigitPairs kDigitPairs;

// Copies a few characters without a library call: numbers and the text
// between conversions are short. Touches exactly the n characters.
inline void CopyShort(char* to, const char* from, size_t n)
{
    if (n >= 8 && n <= 16) {
        memcpy(to, from, 8);
        memcpy(to + n - 8, from + n - 8, 8);
    } else if (n >= 4 && n < 8) {
        memcpy(to, from, 4);
        memcpy(to + n - 4, from + n - 4, 4);
    } else if (n < 4) {
        if (n > 0) to[0] = from[0];
        if (n > 1) to[1] = from[1];
        if (n > 2) to[2] = from[2];
    } else {
        memcpy(to, from, n);
    }
}

// The decimal digits of `value` written backwards so that they end just
// before `end`; where they start. The divisions are by constants
// (multiplications), 32 bits wide when they can be.
char* DecimalBackward(char* end, uint64_t value)
{
    char* p = end;
    while (value > UINT32_MAX) {
        const uint64_t pair = value % 100;
        value /= 100;
        p -= 2;
        memcpy(p, kDigitPairs.text + 2 * pair, 2);
    }
    uint32_t small = static_cast<uint32_t>(value);
    while (small >= 100) {
        const uint32_t pair = small % 100;
        small /= 100;
        p -= 2;
        memcpy(p, kDigitPairs.text + 2 * pair, 2);
    }
    if (small >= 10) {
        p -= 2;
        memcpy(p, kDigitPairs.text + 2 * small, 2);
    } else {
        *--p = static_cast<char>('0' + small);
    }
    return p;
}

// ... the hexadecimal digits, in the alphabet's case.
char* HexBackward(char* end, uint64_t value, const char* alphabet)
{
    char* p = end;
    do {
        *--p = alphabet[value & 0xFu];
        value >>= 4;
    } while (value != 0);
    return p;
}

// A number's text in a buffer of its own: where it starts, how long it is.
struct NumberText {
    char buffer[kNumberTextRoom];
    const char* text = buffer;
    size_t length = 0;

    char* End() { return buffer + kNumberTextRoom; }
    void StartAt(const char* start)
    {
        text = start;
        length = static_cast<size_t>(buffer + kNumberTextRoom - start);
    }
};

// The fixed-point digits of a magnitude when the scaled value decides its
// rounding; false for the values the C library must do.
bool FastFixedDigits(double magnitude, int precision, NumberText& out)
{
    if (precision > kFastPrecisionMax || !(magnitude >= 0.0)) return false;
    const double scaled = magnitude * kPowersOfTen[precision];
    if (!(scaled < kFastScaledLimit)) return false;
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) <= kTieMargin) return false;
    uint64_t units = static_cast<uint64_t>(whole) + (fraction > 0.5 ? 1u : 0u);
    // The decimals from the last, the point, then the whole part (at least
    // one digit).
    char* p = out.End();
    if (precision > 0) {
        int decimals = precision;
        for (; decimals >= 2; decimals -= 2) {
            const uint64_t pair = units % 100;
            units /= 100;
            p -= 2;
            memcpy(p, kDigitPairs.text + 2 * pair, 2);
        }
        if (decimals == 1) {
            *--p = static_cast<char>('0' + units % 10);
            units /= 10;
        }
        *--p = '.';
    }
    out.StartAt(DecimalBackward(p, units));
    return true;
}

// "%.*f" of a finite magnitude (precision up to kMaxFormatPrecision).
void FixedDigits(double magnitude, int precision, NumberText& out)
{
    if (FastFixedDigits(magnitude, precision, out)) return;
    const int length = snprintf(out.buffer, kNumberTextRoom, "%.*f", precision, magnitude);
    out.text = out.buffer;
    out.length = length <= 0 ? 0 : static_cast<size_t>(length) < kNumberTextRoom ? static_cast<size_t>(length)
                                                                                 : kNumberTextRoom - 1;
}

// Characters into the caller's buffer: every one is counted, those beyond
// the limit are dropped.
class TextOut {
public:
    TextOut(char* out, size_t limit) : m_out(out), m_limit(out != nullptr ? limit : 0), m_length(0) {}
    void Put(char c)
    {
        if (m_length < m_limit) m_out[m_length] = c;
        ++m_length;
    }
    void Put(const char* text, size_t n)
    {
        const size_t room = m_length < m_limit ? m_limit - m_length : 0;
        if (room != 0) CopyShort(m_out + m_length, text, n < room ? n : room);
        m_length += n;
    }
    void Repeat(char c, size_t n)
    {
        for (size_t i = 0; i < n; ++i) Put(c);
    }
    // A number: its sign (0 for none), zeros up to its precision, its digits,
    // and the field padded to the width as the flags say.
    void PutField(char sign, size_t extraZeros, const char* digits, size_t n, int width, bool left, bool zero)
    {
        const size_t length = (sign != 0 ? 1 : 0) + extraZeros + n;
        const size_t wanted = width > 0 ? static_cast<size_t>(width) : 0;
        const size_t padding = wanted > length ? wanted - length : 0;
        if (!left && !zero) Repeat(' ', padding);
        if (sign != 0) Put(sign);
        if (!left && zero) Repeat('0', padding);
        Repeat('0', extraZeros);
        Put(digits, n);
        if (left) Repeat(' ', padding);
    }
    size_t Stored() const { return m_length < m_limit ? m_length : m_limit; }
    size_t Length() const { return m_length; }

private:
    char* m_out;
    size_t m_limit;
    size_t m_length;
};

// One conversion of a format: its flags, width, precision and letter.
struct Conversion {
    bool left = false, plus = false, space = false, zero = false;
    int width = 0;
    int precision = -1;   // -1: none given
    char length = 0;      // 0, 'H' (hh), 'h', 'l', 'L' (ll), 'z', 'j', 't'
    char letter = 0;      // d, u, x, f, s, ...
};

// A width or precision in digits; false beyond kMaxFormatWidth.
bool ReadNumber(const char*& p, int& value)
{
    value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + (*p++ - '0');
        if (value > kMaxFormatWidth) return false;
    }
    return true;
}

// Reads a conversion's flags, width and precision after a '%'; p is left
// after its letter.
// False for one the C library is to do (the conversion is read later).
bool ReadConversion(const char*& p, va_list& args, Conversion& conv)
{
    for (;; ++p) {
        if (*p == '-') conv.left = true;
        else if (*p == '+') conv.plus = true;
        else if (*p == ' ') conv.space = true;
        else if (*p == '0') conv.zero = true;
        else break;
    }
    if (*p == '*') {
        ++p;
        const int width = va_arg(args, int);
        // A negative width is the left flag and its magnitude.
        if (width < -kMaxFormatWidth || width > kMaxFormatWidth) return false;
        conv.left = conv.left || width < 0;
        conv.width = width < 0 ? -width : width;
    } else {
        if (!ReadNumber(p, conv.width)) return false;
        if (*p == '$') return false;   // a numbered argument
    }
    if (*p == '.') {
        ++p;
        if (*p == '*') {
            ++p;
            conv.precision = va_arg(args, int);
            if (conv.precision < 0) conv.precision = -1;
            if (conv.precision > kMaxFormatWidth) return false;
        } else if (!ReadNumber(p, conv.precision)) {
            return false;
        }
    }
    switch (*p) {
    case 'h':
        conv.length = p[1] == 'h' ? 'H' : 'h';
        p += conv.length == 'H' ? 2 : 1;
        break;
    case 'l':
        conv.length = p[1] == 'l' ? 'L' : 'l';
        p += conv.length == 'L' ? 2 : 1;
        break;
    case 'z':
    case 'j':
    case 't':
        conv.length = *p++;
        break;
    default:
        break;
    }
    conv.letter = *p;
    if (*p != '\0') ++p;
    return true;
}

int64_t SignedArgument(const Conversion& conv, va_list& args)
{
    switch (conv.length) {
    case 'H': return static_cast<signed char>(va_arg(args, int));
    case 'h': return static_cast<short>(va_arg(args, int));
    case 'l': return va_arg(args, long);
    case 'L': return va_arg(args, long long);
    case 'z': return va_arg(args, ptrdiff_t);   // the signed type of size_t's width
    case 'j': return va_arg(args, intmax_t);
    case 't': return va_arg(args, ptrdiff_t);
    default: return va_arg(args, int);
    }
}

uint64_t UnsignedArgument(const Conversion& conv, va_list& args)
{
    switch (conv.length) {
    case 'H': return static_cast<unsigned char>(va_arg(args, unsigned));
    case 'h': return static_cast<unsigned short>(va_arg(args, unsigned));
    case 'l': return va_arg(args, unsigned long);
    case 'L': return va_arg(args, unsigned long long);
    case 'z': return va_arg(args, size_t);
    case 'j': return va_arg(args, uintmax_t);
    case 't': return static_cast<size_t>(va_arg(args, ptrdiff_t));
    default: return va_arg(args, unsigned);
    }
}

// d, i, u, x, X: a precision sets the least count of digits (none for a zero
// with precision 0) and turns the zero flag off.
bool PutInteger(TextOut& out, const Conversion& conv, va_list& args)
{
    bool negative = false;
    uint64_t magnitude = 0;
    const bool isSigned = conv.letter == 'd' || conv.letter == 'i';
    if (isSigned) {
        const int64_t value = SignedArgument(conv, args);
        negative = value < 0;
        // In unsigned arithmetic: -INT64_MIN does not fit.
        magnitude = negative ? 0u - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    } else {
        magnitude = UnsignedArgument(conv, args);
    }
    char digits[kDigitRoom];
    char* const end = digits + kDigitRoom;
    const char* start = end;
    if (conv.precision != 0 || magnitude != 0) {
        if (conv.letter == 'x')
            start = HexBackward(end, magnitude, kLowerHexDigits);
        else if (conv.letter == 'X')
            start = HexBackward(end, magnitude, kUpperHexDigits);
        else
            start = DecimalBackward(end, magnitude);
    }
    const size_t n = static_cast<size_t>(end - start);
    const size_t wanted = conv.precision > 0 ? static_cast<size_t>(conv.precision) : 0;
    const size_t extraZeros = wanted > n ? wanted - n : 0;
    char sign = 0;
    if (negative) sign = '-';
    else if (isSigned && conv.plus) sign = '+';
    else if (isSigned && conv.space) sign = ' ';
    out.PutField(sign, extraZeros, start, n, conv.width, conv.left, conv.zero && conv.precision < 0);
    return true;
}

// f, F: NaN and infinities are the C library's (their letters differ).
bool PutFixed(TextOut& out, const Conversion& conv, va_list& args)
{
    if (conv.length != 0 && conv.length != 'l') return false;
    const double value = va_arg(args, double);
    const int precision = conv.precision < 0 ? kDefaultPrecision : conv.precision;
    if (!std::isfinite(value) || precision > kMaxFormatPrecision) return false;
    NumberText digits;
    FixedDigits(std::fabs(value), precision, digits);
    char sign = 0;
    if (std::signbit(value)) sign = '-';
    else if (conv.plus) sign = '+';
    else if (conv.space) sign = ' ';
    out.PutField(sign, 0, digits.text, digits.length, conv.width, conv.left, conv.zero);
    return true;
}

// c and s: blanks only (the zero flag's effect on them is the library's own).
bool PutCharacters(TextOut& out, const Conversion& conv, va_list& args)
{
    if (conv.length != 0 || conv.zero) return false;
    char c = 0;
    const char* text = &c;
    size_t n = 1;
    if (conv.letter == 'c') {
        c = static_cast<char>(va_arg(args, int));
    } else {
        text = va_arg(args, const char*);
        if (text == nullptr) return false;
        n = 0;
        const size_t most = conv.precision >= 0 ? static_cast<size_t>(conv.precision) : static_cast<size_t>(-1);
        while (n < most && text[n] != '\0') ++n;
    }
    out.PutField(0, 0, text, n, conv.width, conv.left, false);
    return true;
}

// The whole format into `out`; false as soon as a part of it is the C
// library's to do.
bool FormatInto(TextOut& out, const char* format, va_list& args)
{
    const char* p = format;
    while (*p != '\0') {
        if (*p != '%') {
            const char* start = p;
            while (*p != '\0' && *p != '%') ++p;
            out.Put(start, static_cast<size_t>(p - start));
            continue;
        }
        ++p;
        if (*p == '%') {
            out.Put('%');
            ++p;
            continue;
        }
        Conversion conv;
        if (!ReadConversion(p, args, conv)) return false;
        bool done = false;
        switch (conv.letter) {
        case 'd':
        case 'i':
        case 'u':
        case 'x':
        case 'X':
            done = PutInteger(out, conv, args);
            break;
        case 'f':
        case 'F':
            done = PutFixed(out, conv, args);
            break;
        case 'c':
        case 's':
            done = PutCharacters(out, conv, args);
            break;
        default:
            break;
        }
        if (!done) return false;
    }
    return true;
}

}  // namespace

size_t FormatFixedText(char* out, size_t room, double value, int precision, int width)
{
    if (precision < 0) precision = 0;
    if (precision > kMaxFixedPrecision) precision = kMaxFixedPrecision;
    if (width < 0) width = 0;
    if (width > kMaxFormatWidth) width = kMaxFormatWidth;
    TextOut text(out, room);
    if (std::isfinite(value)) {
        NumberText digits;
        FixedDigits(std::fabs(value), precision, digits);
        text.PutField(std::signbit(value) ? '-' : 0, 0, digits.text, digits.length, width, false, true);
        return text.Stored();
    }
    char printed[kNumberTextRoom];
    const int length = snprintf(printed, sizeof printed, "%0*.*f", width, precision, value);
    if (length > 0) {
        const size_t whole = static_cast<size_t>(length);
        text.Put(printed, whole < sizeof printed ? whole : sizeof printed - 1);
    }
    return text.Stored();
}

size_t FormatDecimalText(char* out, size_t room, int64_t value, int width)
{
    TextOut text(out, room);
    const bool negative = value < 0;
    // The magnitude in unsigned arithmetic: -INT64_MIN does not fit.
    const uint64_t magnitude = negative ? 0u - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    char digits[kDigitRoom];
    const char* start = DecimalBackward(digits + kDigitRoom, magnitude);
    text.PutField(negative ? '-' : 0, 0, start, static_cast<size_t>(digits + kDigitRoom - start),
                  width > kMaxFormatWidth ? kMaxFormatWidth : width, false, true);
    return text.Stored();
}

size_t FormatHexText(char* out, size_t room, uint32_t value, int width)
{
    TextOut text(out, room);
    char digits[kDigitRoom];
    const char* start = HexBackward(digits + kDigitRoom, value, kUpperHexDigits);
    text.PutField(0, 0, start, static_cast<size_t>(digits + kDigitRoom - start),
                  width > kMaxFormatWidth ? kMaxFormatWidth : width, false, true);
    return text.Stored();
}

int FormatTextV(char* out, size_t size, const char* format, va_list args)
{
    if (format == nullptr) return -1;
    va_list original;
    va_copy(original, args);
    va_list mine;
    va_copy(mine, args);
    int result = 0;
    TextOut text(out, size != 0 ? size - 1 : 0);
    if (FormatInto(text, format, mine)) {
        if (out != nullptr && size != 0) out[text.Stored()] = '\0';
        result = text.Length() <= static_cast<size_t>(INT32_MAX) ? static_cast<int>(text.Length()) : -1;
    } else {
        result = vsnprintf(out, size, format, original);
    }
    va_end(mine);
    va_end(original);
    return result;
}

int FormatText(char* out, size_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int result = FormatTextV(out, size, format, args);
    va_end(args);
    return result;
}
