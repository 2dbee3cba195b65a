// printf's conversions rebuilt without printf must give printf's text for
// every value: a table of the cases where a shortcut would go wrong, then
// many random values checked against snprintf itself.
#include "model/NumberFormat.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace {

std::string Fixed(double value, int precision, int width = 0)
{
    char text[kNumberTextRoom];
    return std::string(text, FormatFixedText(text, sizeof text, value, precision, width));
}

std::string PrintfFixed(double value, int precision, int width = 0)
{
    char text[kNumberTextRoom + 64];
    const int n = snprintf(text, sizeof text, "%0*.*f", width, precision, value);
    return std::string(text, n > 0 ? static_cast<size_t>(n) : 0);
}

std::string Decimal(int64_t value, int width = 0)
{
    char text[kNumberTextRoom];
    return std::string(text, FormatDecimalText(text, sizeof text, value, width));
}

std::string PrintfDecimal(int64_t value, int width = 0)
{
    char text[64];
    const int n = snprintf(text, sizeof text, "%0*lld", width, static_cast<long long>(value));
    return std::string(text, n > 0 ? static_cast<size_t>(n) : 0);
}

std::string Hex(uint32_t value, int width = 0)
{
    char text[kNumberTextRoom];
    return std::string(text, FormatHexText(text, sizeof text, value, width));
}

TEST(NumberFormat, FixedEdgeCasesArePrintfs)
{
    const double kInfinity = std::numeric_limits<double>::infinity();
    const double kNan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double value;
        int precision, width;
    } cases[] = {
        {0.0, 2, 0}, {-0.0, 2, 0}, {-0.001, 2, 0}, {-0.004, 0, 5},
        // Exact ties round to even; a tie's neighbours by one ulp do not.
        {0.5, 0, 0}, {1.5, 0, 0}, {2.5, 0, 0}, {0.125, 2, 0}, {0.375, 2, 0},
        {std::nextafter(0.125, 1.0), 2, 0}, {std::nextafter(0.125, 0.0), 2, 0},
        // Decimal fractions that lie just below or above their half.
        {1.005, 2, 0}, {2.675, 2, 0}, {0.15, 1, 0}, {0.25, 1, 0}, {1.0000005, 6, 0},
        {47.5, 8, 5}, {-122.25, 8, 5}, {1.0, 2, 5}, {-1.0, 2, 5}, {9.999, 2, 5}, {9.995, 2, 5},
        {100.0, 6, 0}, {0.1, 17, 0}, {1.0 / 3.0, 9, 0}, {2.0 / 3.0, 10, 0},
        // At and beyond the scaled limit, and far beyond.
        {1099.5116277755, 9, 0}, {1099511627775.5, 0, 0}, {1099511627776.5, 0, 0}, {4503599627370497.0, 1, 0},
        {1e15, 2, 0}, {1e300, 2, 0}, {-DBL_MAX, 3, 0}, {DBL_MIN, 9, 0}, {4.9e-324, 9, 0},
        {kInfinity, 2, 0}, {-kInfinity, 2, 8}, {kNan, 1, 0}, {-kNan, 3, 6},
        // Precision and width outside what the callers use.
        {3.25, -1, 0}, {3.25, 40, 0}, {7.0, 0, -3},
    };
    for (const auto& c : cases) {
        const int precision = c.precision < 0 ? 0 : c.precision > 17 ? 17 : c.precision;
        const int width = c.width < 0 ? 0 : c.width;
        EXPECT_EQ(Fixed(c.value, c.precision, c.width), PrintfFixed(c.value, precision, width))
            << c.value << " %0" << width << "." << precision << "f";
    }
    EXPECT_EQ(Fixed(-0.001, 2), "-0.00");
    EXPECT_EQ(Fixed(1.0, 2, 5), "01.00");
    EXPECT_EQ(Fixed(2.5, 0), "2");
}

TEST(NumberFormat, RandomValuesGivePrintfsText)
{
    std::mt19937_64 random(20261211);
    std::uniform_int_distribution<int> precisionOf(0, 10);
    std::uniform_int_distribution<int> widthOf(0, 12);
    std::uniform_int_distribution<int> exponentOf(-40, 64);
    std::uniform_real_distribution<double> mantissaOf(-1.0, 1.0);
    // Ties of up to 15 digits: beyond 2^40 units the shortcut must not be taken.
    std::uniform_int_distribution<int64_t> unitsOf(0, 1000000000000000LL);
    std::uniform_int_distribution<int> digitsOf(1, 15);
    const int kValues = 200000;
    int mismatches = 0;
    for (int i = 0; i < kValues && mismatches < 10; ++i) {
        const int precision = precisionOf(random);
        const int width = i % 4 == 0 ? widthOf(random) : 0;
        double value;
        switch (i % 3) {
        case 0:   // any magnitude
            value = std::ldexp(mantissaOf(random), exponentOf(random));
            break;
        case 1:   // a decimal half at this precision, nudged by a few ulps
            value = (static_cast<double>(unitsOf(random) % static_cast<int64_t>(std::pow(10.0, digitsOf(random)))) + 0.5) /
                    std::pow(10.0, precision);
            for (int nudge = static_cast<int>(random() % 7) - 3; nudge != 0; nudge += nudge > 0 ? -1 : 1)
                value = std::nextafter(value, nudge > 0 ? INFINITY : 0.0);
            if (random() & 1) value = -value;
            break;
        default:  // the converter's own ranges: angles, heights, times
            value = mantissaOf(random) * 604800.0;
            break;
        }
        const std::string ours = Fixed(value, precision, width);
        const std::string theirs = PrintfFixed(value, precision, width);
        if (ours != theirs) {
            ++mismatches;
            ADD_FAILURE() << "%0" << width << "." << precision << "f of " << PrintfFixed(value, 17) << ": "
                          << ours << " instead of " << theirs;
        }
    }
}

TEST(NumberFormat, IntegersGivePrintfsText)
{
    const int64_t kEdges[] = {0, 1, -1, 9, 10, -10, 99, 100, INT32_MAX, INT32_MIN, INT64_MAX, INT64_MIN};
    for (int64_t v : kEdges) {
        for (int width : {0, 2, 4, 25}) EXPECT_EQ(Decimal(v, width), PrintfDecimal(v, width)) << v << " " << width;
    }
    std::mt19937_64 random(7);
    for (int i = 0; i < 100000; ++i) {
        const int64_t v = static_cast<int64_t>(random()) >> (random() % 64);
        const int width = static_cast<int>(random() % 8);
        ASSERT_EQ(Decimal(v, width), PrintfDecimal(v, width)) << v << " " << width;
    }
    EXPECT_EQ(Hex(0x6C, 2), "6C");
    EXPECT_EQ(Hex(0x5, 2), "05");
    EXPECT_EQ(Hex(0), "0");
    EXPECT_EQ(Hex(0xFFFFFFFFu, 2), "FFFFFFFF");
    EXPECT_EQ(Hex(0xABCu, 6), "000ABC");
}

TEST(NumberFormat, TextIsCutAtTheRoom)
{
    char text[8] = "xxxxxxx";
    EXPECT_EQ(FormatFixedText(text, 4, -123.456, 2), 4u);
    EXPECT_EQ(std::string(text, 4), "-123");
    EXPECT_EQ(text[4], 'x');
    EXPECT_EQ(FormatFixedText(text, 3, 1e300, 2), 3u);
    EXPECT_EQ(FormatDecimalText(text, 2, -12345, 8), 2u);
    EXPECT_EQ(std::string(text, 2), "-0");
    EXPECT_EQ(FormatHexText(text, 0, 0xFF), 0u);
    EXPECT_EQ(FormatFixedText(nullptr, 10, 1.0, 2), 0u);
}

}  // namespace

namespace {

// One conversion with random flags, width and precision, and its argument,
// through FormatText and snprintf.
struct Conversion {
    std::string format;
    char kind;            // 'i' integer, 'u' unsigned, 'f' double, 'c', 's'
    long long integer;
    unsigned long long unsignedValue;
    double real;
    const char* text;
};

std::string Through(const Conversion& c, bool ours, size_t size = 512)
{
    std::string out(size + 1, '\x7f');
    int n = 0;
    const char* f = c.format.c_str();
    char* buffer = size != 0 ? &out[0] : nullptr;
    switch (c.kind) {
    case 'i': n = ours ? FormatText(buffer, size, f, c.integer) : snprintf(buffer, size, f, c.integer); break;
    case 'u': n = ours ? FormatText(buffer, size, f, c.unsignedValue) : snprintf(buffer, size, f, c.unsignedValue); break;
    case 'f': n = ours ? FormatText(buffer, size, f, c.real) : snprintf(buffer, size, f, c.real); break;
    default: n = ours ? FormatText(buffer, size, f, c.text) : snprintf(buffer, size, f, c.text); break;
    }
    return std::to_string(n) + "|" + out;
}

Conversion RandomConversion(std::mt19937_64& random)
{
    static const char* const kTexts[] = {"", "a", "Sun", "WGS-84", "Unknown "};
    Conversion c{"<%", 'i', 0, 0, 0.0, kTexts[random() % 5]};
    const char kFlags[] = "-+ 0";
    for (int i = 0; i < 4; ++i) {
        if (random() % 4 == 0) c.format += kFlags[i];
    }
    if (random() % 2) c.format += std::to_string(random() % 16);
    if (random() % 2) c.format += "." + std::to_string(random() % 12);
    switch (random() % 8) {
    case 0:
    case 1:
        c.format += "ll";
        c.format += "di"[random() % 2];
        c.integer = static_cast<long long>(random()) >> (random() % 64);
        break;
    case 2:
        c.format += "ll";
        c.format += "uxX"[random() % 3];
        c.kind = 'u';
        c.unsignedValue = random() >> (random() % 64);
        break;
    case 3:
        c.format += 's';
        c.kind = 's';
        if (c.format.find('0') != std::string::npos) c.format.erase(c.format.find('0'), 1);
        break;
    default:
        c.format += "fF"[random() % 2];
        c.kind = 'f';
        c.real = std::ldexp(static_cast<double>(static_cast<int64_t>(random())) / 9.2e18, static_cast<int>(random() % 60) - 20);
        if (random() % 8 == 0) c.real = (static_cast<double>(random() % 100000) + 0.5) / 1000.0;
        break;
    }
    c.format += ">";
    return c;
}

TEST(NumberFormat, FormatTextGivesSnprintfsTextAndResult)
{
    std::mt19937_64 random(42);
    int mismatches = 0;
    for (int i = 0; i < 100000 && mismatches < 10; ++i) {
        const Conversion c = RandomConversion(random);
        // Mostly room enough; sometimes cut short, or no buffer at all.
        const size_t size = i % 10 == 0 ? random() % 12 : 512;
        const std::string ours = Through(c, true, size);
        const std::string theirs = Through(c, false, size);
        if (ours != theirs) {
            ++mismatches;
            ADD_FAILURE() << c.format << " (size " << size << "): " << ours << " instead of " << theirs;
        }
    }
}

TEST(NumberFormat, FormatTextMixesConversionsAndLeavesTheRestToTheLibrary)
{
    const double kNan = std::numeric_limits<double>::quiet_NaN();
    char ours[256];
    char theirs[256];
    // The converter's own formats, with the values they see.
    FormatText(ours, sizeof ours, "\r\n SV%3d  %2d %1d  %1d   %1d   %4.1f  %s  %5.1f  %5.1f   %d    %d    %d    %d", 7, 3, 1,
               0, 8, 45.25, " Sun 01:02:03.40      0", -12.5, 300.0, 1, 2, 3, 255);
    snprintf(theirs, sizeof theirs, "\r\n SV%3d  %2d %1d  %1d   %1d   %4.1f  %s  %5.1f  %5.1f   %d    %d    %d    %d", 7, 3,
             1, 0, 8, 45.25, " Sun 01:02:03.40      0", -12.5, 300.0, 1, 2, 3, 255);
    EXPECT_STREQ(ours, theirs);
    FormatText(ours, sizeof ours, "%2d:%08.5f %c; %*d|%-*s|%.*f|%%|%hhu|%hd|%lu|%zu", -47, 30.000004, 'N', -5, 12, 6,
               "ab", 3, 2.0005, 300, 70000, 123456789ul, static_cast<size_t>(99));
    snprintf(theirs, sizeof theirs, "%2d:%08.5f %c; %*d|%-*s|%.*f|%%|%hhu|%hd|%lu|%zu", -47, 30.000004, 'N', -5, 12, 6,
             "ab", 3, 2.0005, 300, 70000, 123456789ul, static_cast<size_t>(99));
    EXPECT_STREQ(ours, theirs);
    // Conversions of the library's own, and values it spells.
    const struct {
        const char* format;
        double value;
    } library[] = {{"% -12g|", 1.5e-7}, {"%e", 12.5}, {"%#x", 255.0}, {"%5.1f|%d", kNan}, {"%F", -HUGE_VAL}};
    for (const auto& c : library) {
        if (c.format[1] == '#') {
            FormatText(ours, sizeof ours, c.format, 255u);
            snprintf(theirs, sizeof theirs, c.format, 255u);
        } else {
            FormatText(ours, sizeof ours, c.format, c.value, 3);
            snprintf(theirs, sizeof theirs, c.format, c.value, 3);
        }
        EXPECT_STREQ(ours, theirs) << c.format;
    }
}

}  // namespace
