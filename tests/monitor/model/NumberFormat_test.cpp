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
