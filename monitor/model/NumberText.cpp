#include "model/NumberText.h"

#include <cmath>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

CString FormatFixed(double value, int decimals)
{
    if (decimals < 0) decimals = 0;
    if (decimals > 340) decimals = 340;
    // printf's fixed conversion already gives the layout the rules ask for:
    // a leading "0" before the point, no point when there are no decimals and
    // zeros after it for a value too small to show.
    CString text;
    text.Format("%.*f", decimals, std::fabs(value));
    if (value < 0.0) text.Insert(0, '-');
    return text;
}

CString FormatInteger(double value)
{
    if (value == 0.0) return CString("0");
    CString text = FormatFixed(value, 15);
    const int point = text.Find('.');
    return point >= 0 ? text.Left(point) : text;
}

void HexToText(CString& text, uint32_t value, int digits)
{
    static const char kHex[] = "0123456789ABCDEF";
    for (int i = digits - 1; i >= 0; --i) {
        const int shift = 4 * i;
        text += kHex[shift < 32 ? (value >> shift) & 0xFu : 0u];
    }
}

uint32_t HexTextToNumber(const char* text, int digits)
{
    if (text == nullptr) return 0;
    uint32_t value = 0;
    for (int i = 0; i < digits; ++i) {
        const char c = text[i];  // a '\0' is refused below, so nothing past it is read
        uint32_t d;
        if (c >= '0' && c <= '9')
            d = static_cast<uint32_t>(c - '0');
        else if (c >= 'A' && c <= 'F')
            d = static_cast<uint32_t>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            d = static_cast<uint32_t>(c - 'a' + 10);
        else
            return 0;
        value = (value << 4) | d;
    }
    return value;
}

int32_t DecimalTextToNumber(const char* text, int digits)
{
    if (text == nullptr) return 0;
    const char* p = text;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    int64_t value = 0;
    for (int i = 0; i < digits && IsDigit(*p); ++i, ++p) {
        value = value * 10 + (*p - '0');
        if (value > 2147483648LL) value = 2147483648LL;  // saturate, never overflow
    }
    if (negative) value = -value;
    if (value > 2147483647LL) value = 2147483647LL;
    return static_cast<int32_t>(value);
}

double DecimalTextToDouble(const char* text, int integerDigits, int fractionDigits, bool point)
{
    if (text == nullptr) return 0.0;
    const char* p = text;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    double value = 0.0;
    for (int i = 0; i < integerDigits && IsDigit(*p); ++i, ++p) value = value * 10.0 + (*p - '0');
    if (point && *p != '\0') ++p;
    double fraction = 0.0;
    double scale = 1.0;
    for (int i = 0; i < fractionDigits && IsDigit(*p); ++i, ++p) {
        fraction = fraction * 10.0 + (*p - '0');
        scale *= 10.0;
    }
    value += fraction / scale;
    return negative ? -value : value;
}

bool AppendChar(char* text, size_t capacity, char ch)
{
    if (text == nullptr) return false;
    size_t n = 0;
    while (n < capacity && text[n] != '\0') ++n;
    if (n + 2 > capacity) return false;  // room for the character and the terminator
    text[n] = ch;
    text[n + 1] = '\0';
    return true;
}

uint32_t GetBitField(const uint32_t* words, int32_t wordCount, int32_t first, int32_t last)
{
    if (words == nullptr || wordCount <= 0 || last < first || first < 0) return 0;
    if (static_cast<int64_t>(last) >= static_cast<int64_t>(wordCount) * 32) return 0;
    uint32_t value = 0;
    for (int32_t n = first; n <= last; ++n)
        value = (value << 1) | ((words[n >> 5] >> (31 - (n & 31))) & 1u);
    return value;
}

uint32_t GetBit(const uint32_t* words, int32_t wordCount, int32_t n)
{
    return GetBitField(words, wordCount, n, n);
}

const char* GetParityName(int code)
{
    switch (code) {
    case 1:
        return "Odd";
    case 2:
        return "Even";
    default:
        return "None";
    }
}
