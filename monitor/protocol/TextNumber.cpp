#include "protocol/TextNumber.h"

namespace {

// The C library's white space in the "C" locale.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Skips blanks and reads a sign; returns the index after them.
int SkipBlanksAndSign(const char* text, int length, bool& negative)
{
    int i = 0;
    while (i < length && IsBlank(text[i])) ++i;
    negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    return i;
}

void SetUsed(int* used, int count)
{
    if (used != nullptr) *used = count;
}

// Powers of ten that a double holds exactly.
const double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                               1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
enum : int { kMaxExactPower = 22 };
// Below 2^53 every integer is a double, so one multiplication or division by
// an exact power rounds once: the correctly rounded result.
const uint64_t kExactMantissaLimit = 1ull << 53;
// More significant digits than a double can tell apart; the rest only move
// the decimal exponent.
enum : int { kMaxSignificantDigits = 19 };
// Far enough beyond a double's range that the result is 0 or infinity.
enum : int { kExponentClamp = 400 };

double ScaleByPowerOfTen(double value, int exponent)
{
    while (exponent > kMaxExactPower) {
        value *= kExactPowers[kMaxExactPower];
        exponent -= kMaxExactPower;
    }
    while (exponent < -kMaxExactPower) {
        value /= kExactPowers[kMaxExactPower];
        exponent += kMaxExactPower;
    }
    return exponent >= 0 ? value * kExactPowers[exponent] : value / kExactPowers[-exponent];
}

}  // namespace

int32_t TextToInt32(const char* text, int length, int* used)
{
    SetUsed(used, 0);
    if (text == nullptr || length <= 0) return 0;
    bool negative;
    int i = SkipBlanksAndSign(text, length, negative);
    const int firstDigit = i;
    // Accumulated as a magnitude up to one past INT32_MAX, the size of INT32_MIN.
    const int64_t limit = negative ? 2147483648ll : 2147483647ll;
    int64_t value = 0;
    while (i < length && IsDigit(text[i])) {
        value = value * 10 + (text[i] - '0');
        if (value > limit) value = limit;
        ++i;
    }
    if (i == firstDigit) return 0;
    SetUsed(used, i);
    return static_cast<int32_t>(negative ? -value : value);
}

uint32_t TextToHex32(const char* text, int length, int* used)
{
    SetUsed(used, 0);
    if (text == nullptr || length <= 0) return 0;
    bool negative;
    int i = SkipBlanksAndSign(text, length, negative);
    // "0x" is a prefix only when a hex digit follows; otherwise the "0" alone
    // is the number.
    if (i + 2 < length && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        HexValue(text[i + 2]) >= 0)
        i += 2;
    const int firstDigit = i;
    uint64_t value = 0;
    while (i < length) {
        const int digit = HexValue(text[i]);
        if (digit < 0) break;
        value = value * 16 + static_cast<uint64_t>(digit);
        if (value > 0xFFFFFFFFull) value = 0xFFFFFFFFull;
        ++i;
    }
    if (i == firstDigit) return 0;
    SetUsed(used, i);
    const uint32_t magnitude = static_cast<uint32_t>(value);
    return negative ? 0u - magnitude : magnitude;
}

double TextToDouble(const char* text, int length, int* used)
{
    SetUsed(used, 0);
    if (text == nullptr || length <= 0) return 0.0;
    bool negative;
    int i = SkipBlanksAndSign(text, length, negative);
    uint64_t mantissa = 0;
    int significant = 0;
    int exponent = 0;   // decimal exponent of the mantissa's last digit
    int digits = 0;
    while (i < length && IsDigit(text[i])) {
        if (significant < kMaxSignificantDigits) {
            mantissa = mantissa * 10 + static_cast<uint64_t>(text[i] - '0');
            if (mantissa != 0) ++significant;
        } else {
            ++exponent;
        }
        ++digits;
        ++i;
    }
    if (i < length && text[i] == '.') {
        ++i;
        while (i < length && IsDigit(text[i])) {
            if (significant < kMaxSignificantDigits) {
                mantissa = mantissa * 10 + static_cast<uint64_t>(text[i] - '0');
                if (mantissa != 0) ++significant;
                --exponent;
            }
            ++digits;
            ++i;
        }
    }
    if (digits == 0) return 0.0;
    if (i < length && (text[i] == 'e' || text[i] == 'E')) {
        int j = i + 1;
        bool expNegative = false;
        if (j < length && (text[j] == '+' || text[j] == '-')) {
            expNegative = text[j] == '-';
            ++j;
        }
        if (j < length && IsDigit(text[j])) {
            int expValue = 0;
            while (j < length && IsDigit(text[j])) {
                if (expValue < kExponentClamp * 10) expValue = expValue * 10 + (text[j] - '0');
                ++j;
            }
            exponent += expNegative ? -expValue : expValue;
            i = j;
        }
    }
    SetUsed(used, i);
    if (mantissa == 0) return negative ? -0.0 : 0.0;
    if (exponent > kExponentClamp) exponent = kExponentClamp;
    if (exponent < -kExponentClamp) exponent = -kExponentClamp;
    double value;
    if (mantissa < kExactMantissaLimit && exponent >= -kMaxExactPower && exponent <= kMaxExactPower)
        value = exponent >= 0 ? static_cast<double>(mantissa) * kExactPowers[exponent]
                              : static_cast<double>(mantissa) / kExactPowers[-exponent];
    else
        value = ScaleByPowerOfTen(static_cast<double>(mantissa), exponent);
    return negative ? -value : value;
}
