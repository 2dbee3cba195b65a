#include "model/NumberFormat.h"

#include <cmath>
#include <cstdio>

namespace {

const int kMaxPrecision = 17;
// Up to this many decimals the scale 10^precision is an exact double.
const int kFastPrecisionMax = 9;
const double kPowersOfTen[kFastPrecisionMax + 1] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
const uint64_t kIntegerPowersOfTen[kFastPrecisionMax + 1] = {
    1ull, 10ull, 100ull, 1000ull, 10000ull, 100000ull, 1000000ull, 10000000ull, 100000000ull, 1000000000ull};
// Below 2^40 the scaled value is off the exact product by less than 2^-13
// (half an ulp), so its fraction decides the rounding unless it lies within
// this margin of one half; such near ties go to printf, which rounds the
// exact binary value.
const double kFastScaledLimit = 1099511627776.0;  // 2^40
const double kTieMargin = 1.0 / 2048.0;           // 2^-11
const size_t kDigitRoom = 20;                     // the digits of a 64-bit value

// Characters into the caller's buffer, cut at its room.
class TextOut {
public:
    TextOut(char* out, size_t room) : m_out(out), m_room(out != nullptr ? room : 0), m_length(0) {}
    void Put(char c)
    {
        if (m_length < m_room) m_out[m_length++] = c;
    }
    void Put(const char* text, size_t n)
    {
        for (size_t i = 0; i < n; ++i) Put(text[i]);
    }
    // The sign, zeros up to the width, then the digits.
    void PutPadded(bool negative, const char* digits, size_t n, int width)
    {
        if (negative) Put('-');
        size_t length = n + (negative ? 1 : 0);
        const size_t wanted = width > 0 ? static_cast<size_t>(width) : 0;
        for (; length < wanted && m_length < m_room; ++length) Put('0');
        Put(digits, n);
    }
    size_t Length() const { return m_length; }

private:
    char* m_out;
    size_t m_room;
    size_t m_length;
};

// The decimal digits of `value`, most significant first; their count.
size_t UnsignedDigits(char* digits, uint64_t value)
{
    char reversed[kDigitRoom];
    size_t n = 0;
    do {
        reversed[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (size_t i = 0; i < n; ++i) digits[i] = reversed[n - 1 - i];
    return n;
}

// The fixed-point digits of a magnitude when the scaled value decides its
// rounding; false for the values printf must do.
bool FastFixedDigits(double magnitude, int precision, char* digits, size_t& n)
{
    if (precision > kFastPrecisionMax || !(magnitude >= 0.0)) return false;
    const double scaled = magnitude * kPowersOfTen[precision];
    if (!(scaled < kFastScaledLimit)) return false;
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) <= kTieMargin) return false;
    const uint64_t units = static_cast<uint64_t>(whole) + (fraction > 0.5 ? 1u : 0u);
    const uint64_t scale = kIntegerPowersOfTen[precision];
    n = UnsignedDigits(digits, units / scale);
    if (precision == 0) return true;
    digits[n++] = '.';
    uint64_t decimals = units % scale;
    for (int i = precision - 1; i >= 0; --i) {
        digits[n + static_cast<size_t>(i)] = static_cast<char>('0' + decimals % 10);
        decimals /= 10;
    }
    n += static_cast<size_t>(precision);
    return true;
}

}  // namespace

size_t FormatFixedText(char* out, size_t room, double value, int precision, int width)
{
    if (precision < 0) precision = 0;
    if (precision > kMaxPrecision) precision = kMaxPrecision;
    if (width < 0) width = 0;
    TextOut text(out, room);
    char digits[kDigitRoom + 1 + kFastPrecisionMax];
    size_t n = 0;
    if (FastFixedDigits(std::fabs(value), precision, digits, n)) {
        text.PutPadded(std::signbit(value), digits, n, width);
        return text.Length();
    }
    char printed[kNumberTextRoom];
    const int length = snprintf(printed, sizeof printed, "%0*.*f", width, precision, value);
    if (length > 0) {
        const size_t whole = static_cast<size_t>(length);
        text.Put(printed, whole < sizeof printed ? whole : sizeof printed - 1);
    }
    return text.Length();
}

size_t FormatDecimalText(char* out, size_t room, int64_t value, int width)
{
    TextOut text(out, room);
    const bool negative = value < 0;
    // The magnitude in unsigned arithmetic: -INT64_MIN does not fit.
    const uint64_t magnitude = negative ? 0u - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    char digits[kDigitRoom];
    const size_t n = UnsignedDigits(digits, magnitude);
    text.PutPadded(negative, digits, n, width);
    return text.Length();
}

size_t FormatHexText(char* out, size_t room, uint32_t value, int width)
{
    static const char kHexDigits[] = "0123456789ABCDEF";
    const size_t kNibbles = 8;
    char digits[kNibbles];
    size_t n = 0;
    do {
        digits[kNibbles - 1 - n++] = kHexDigits[value & 0xFu];
        value >>= 4;
    } while (value != 0);
    TextOut text(out, room);
    text.PutPadded(false, digits + kNibbles - n, n, width);
    return text.Length();
}
