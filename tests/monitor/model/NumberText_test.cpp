#include "model/NumberText.h"

#include <gtest/gtest.h>

namespace {

TEST(NumberText, FormatFixed)
{
    const struct {
        double value;
        int decimals;
        const char* text;
    } cases[] = {
        {0.5, 2, "0.50"},      {12.0, 0, "12"},      {0.0, 3, "0.000"},  {-2.5, 1, "-2.5"},
        {0.001, 2, "0.00"},    {0.004, 0, "0"},      {123.456, 1, "123.5"}, {-0.25, 3, "-0.250"},
        {1e6, 2, "1000000.00"}, {5.0, -3, "5"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.text, FormatFixed(c.value, c.decimals)) << c.value << " " << c.decimals;
}

TEST(NumberText, FormatInteger)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {{0, "0"}, {42, "42"}, {-7, "-7"}, {3.99, "3"}, {4294967296.0, "4294967296"}};
    for (const auto& c : cases) EXPECT_STREQ(c.text, FormatInteger(c.value)) << c.value;
}

TEST(NumberText, HexText)
{
    CString text("x");
    HexToText(text, 0x1F, 4);
    EXPECT_STREQ("x001F", text);
    text.Empty();
    HexToText(text, 0xDEADBEEFu, 10);
    EXPECT_STREQ("00DEADBEEF", text);
    text.Empty();
    HexToText(text, 0xABC, 2);  // the low digits only
    EXPECT_STREQ("BC", text);

    const struct {
        const char* text;
        int digits;
        uint32_t value;
    } cases[] = {
        {"1F", 2, 0x1F}, {"1f", 2, 0x1F}, {"1G", 2, 0},       {"1F", 1, 1},
        {"1", 2, 0},     {"", 2, 0},      {"FFFFFFFF", 8, 0xFFFFFFFFu}, {"2a*", 2, 0x2A},
    };
    for (const auto& c : cases) EXPECT_EQ(c.value, HexTextToNumber(c.text, c.digits)) << c.text;
    EXPECT_EQ(0u, HexTextToNumber(nullptr, 2));
}

TEST(NumberText, DecimalText)
{
    const struct {
        const char* text;
        int digits;
        int32_t value;
    } cases[] = {
        {"-12x4", 4, -12}, {"+123", 2, 12}, {"987", 3, 987}, {"", 3, 0},
        {"-", 3, 0},       {"99999999999999", 14, 2147483647}, {"-99999999999999", 14, -2147483647 - 1},
    };
    for (const auto& c : cases) EXPECT_EQ(c.value, DecimalTextToNumber(c.text, c.digits)) << c.text;

    const struct {
        const char* text;
        int integerDigits, fractionDigits;
        bool point;
        double value;
    } doubles[] = {
        {"-01.25", 2, 2, true, -1.25}, {"0125", 2, 2, false, 1.25}, {"+3.5", 1, 1, true, 3.5},
        {"12.5", 2, 2, true, 12.5},     {"7", 2, 2, true, 7.0},      {"", 2, 2, true, 0.0},
    };
    for (const auto& c : doubles)
        EXPECT_DOUBLE_EQ(c.value, DecimalTextToDouble(c.text, c.integerDigits, c.fractionDigits, c.point))
            << c.text;
}

TEST(NumberText, AppendCharStaysInsideTheBuffer)
{
    char buffer[4] = "ab";
    EXPECT_TRUE(AppendChar(buffer, sizeof(buffer), 'c'));
    EXPECT_STREQ("abc", buffer);
    EXPECT_FALSE(AppendChar(buffer, sizeof(buffer), 'd'));
    EXPECT_STREQ("abc", buffer);
}

TEST(NumberText, BitFields)
{
    const uint32_t words[] = {0x80000000u, 0x00000001u};
    EXPECT_EQ(8u, GetBitField(words, 0, 3));
    EXPECT_EQ(1u, GetBitField(words, 60, 63));
    EXPECT_EQ(0u, GetBitField(words, 5, 4));
    EXPECT_EQ(1u, GetBit(words, 63));
    EXPECT_EQ(1u, GetBit(words, 0));
    EXPECT_EQ(0u, GetBit(words, 1));
    const uint32_t other[] = {1u, 0x80000000u};
    EXPECT_EQ(3u, GetBitField(other, 31, 32));
    EXPECT_EQ(0x80000000u, GetBitField(other, 0, 31) << 31);
    // Outside the words: nothing is read.
    EXPECT_EQ(0u, GetBitField(other, 60, 64));
    EXPECT_EQ(0u, GetBitField(other, -1, 3));
    EXPECT_EQ(0u, GetBit(other, 64));
}

TEST(NumberText, ParityNames)
{
    EXPECT_STREQ("Odd", GetParityName(1));
    EXPECT_STREQ("Even", GetParityName(2));
    EXPECT_STREQ("None", GetParityName(0));
    EXPECT_STREQ("None", GetParityName(7));
}

} // namespace
