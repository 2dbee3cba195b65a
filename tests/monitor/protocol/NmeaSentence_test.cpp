// Reading NMEA fields: the locale-free number readers, the field readers of
// the protocol layer, and the decoders' field index, which must agree with
// them.
// Sentences sit in buffers of exactly their length, so the address sanitizer
// reports any read past the end.
#include "protocol/NmeaSentence.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "protocol/TextNumber.h"

namespace {

// The text in a heap block of exactly its length, no terminator after it.
class ExactText {
public:
    explicit ExactText(const std::string& text) : m_bytes(text.begin(), text.end()) {}
    const char* data() const { return m_bytes.empty() ? nullptr : m_bytes.data(); }
    int size() const { return static_cast<int>(m_bytes.size()); }

private:
    std::vector<char> m_bytes;
};

std::string Field(const std::string& sentence, int n, bool* found = nullptr)
{
    ExactText text(sentence);
    char dst[NMEA_FIELD_BUFFER_SIZE];
    std::strcpy(dst, "untouched");
    const bool ok = GetNmeaField(text.data(), text.size(), dst, sizeof dst, n);
    if (found != nullptr) *found = ok;
    return dst;
}

// ---- TextNumber ------------------------------------------------------------------

struct NumberCase {
    const char* text;
    double value;
    int used;
};

TEST(TextNumberTest, DoublesFollowAtofRules)
{
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<NumberCase> cases = {
        {"1.25", 1.25, 4},        {"-17.0", -17.0, 5},          {"  +3.5x", 3.5, 6},
        {".5", 0.5, 2},           {"5.", 5.0, 2},               {"4730.0000", 4730.0, 9},
        {"1e3", 1000.0, 3},       {"1E-2", 0.01, 4},            {"1e", 1.0, 1},
        {"2e+", 2.0, 1},          {"0.1", 0.1, 3},              {"-0", -0.0, 2},
        {"1e400", inf, 5},        {"1e-400", 0.0, 6},           {".", 0.0, 0},
        {"-", 0.0, 0},            {"e5", 0.0, 0},               {"", 0.0, 0},
        {"nan", 0.0, 0},          {"1,5", 1.0, 1},              {"00000000000000000000001.5", 1.5, 25},
    };
    for (const NumberCase& c : cases) {
        ExactText text(c.text);
        int used = -1;
        const double value = TextToDouble(text.data(), text.size(), &used);
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(std::signbit(value), std::signbit(c.value)) << c.text;
        EXPECT_EQ(used, c.used) << c.text;
    }
}

// Receivers write at most 15 significant digits: every such text must read
// as exactly the double strtod gives (correct rounding), or positions move.
TEST(TextNumberTest, DoublesOfUpToFifteenDigitsAreCorrectlyRounded)
{
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> digits(1, 15);
    std::uniform_int_distribution<int> point(0, 15);
    std::uniform_int_distribution<int> digit(0, 9);
    for (int i = 0; i < 20000; ++i) {
        std::string text = random() % 2 ? "-" : "";
        const int count = digits(random);
        const int pointAt = point(random) % (count + 1);
        for (int d = 0; d < count; ++d) {
            if (d == pointAt) text += '.';
            text += static_cast<char>('0' + digit(random));
        }
        if (random() % 4 == 0) text += "e" + std::to_string(static_cast<int>(random() % 15) - 7);
        ExactText exact(text);
        ASSERT_EQ(TextToDouble(exact.data(), exact.size()), std::strtod(text.c_str(), nullptr)) << text;
    }
}

TEST(TextNumberTest, IntegersAndHexFollowTheCLibraryAndSaturate)
{
    struct IntCase {
        const char* text;
        int32_t value;
        int used;
    };
    const std::vector<IntCase> ints = {
        {"12abc", 12, 2},     {" -7", -7, 3},        {"+08", 8, 3},
        {"", 0, 0},           {"-", 0, 0},           {"x1", 0, 0},
        {"2147483647", INT32_MAX, 10},  {"99999999999", INT32_MAX, 11},
        {"-2147483648", INT32_MIN, 11}, {"-99999999999", INT32_MIN, 12},
    };
    for (const IntCase& c : ints) {
        ExactText text(c.text);
        int used = -1;
        EXPECT_EQ(TextToInt32(text.data(), text.size(), &used), c.value) << c.text;
        EXPECT_EQ(used, c.used) << c.text;
    }
    struct HexCase {
        const char* text;
        uint32_t value;
        int used;
    };
    const std::vector<HexCase> hexes = {
        {"7FFFFFFE", 0x7FFFFFFEu, 8}, {"ff", 0xFFu, 2},          {"0x1A", 0x1Au, 4},
        {"0xg", 0u, 1},               {"123456789", 0xFFFFFFFFu, 9}, {"-1", 0xFFFFFFFFu, 2},
        {" 10 ", 0x10u, 3},           {"g", 0u, 0},              {"", 0u, 0},
    };
    for (const HexCase& c : hexes) {
        ExactText text(c.text);
        int used = -1;
        EXPECT_EQ(TextToHex32(text.data(), text.size(), &used), c.value) << c.text;
        EXPECT_EQ(used, c.used) << c.text;
    }
}

// A user whose settings write "1,5" still reads a receiver's "1.5".
TEST(TextNumberTest, TheDecimalPointIsAPointInAnyLocale)
{
    const char* const commaLocales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE", "German"};
    const char* chosen = nullptr;
    for (const char* name : commaLocales) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            chosen = name;
            break;
        }
    }
    if (chosen == nullptr) GTEST_SKIP() << "no locale with a decimal comma installed";
    EXPECT_EQ(std::localeconv()->decimal_point[0], ',');
    const double value = TextToDouble("47.25", 5);
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(value, 47.25);
}

// ---- GetNmeaField and the typed readers ------------------------------------------

TEST(NmeaFieldTest, EmptyAndMissingFieldsOfAZdaSentence)
{
    const std::string zda = "$GPZDA,,12*4B\r\n";
    bool found = true;
    EXPECT_EQ(Field(zda, 0, &found), "$GPZDA");
    EXPECT_TRUE(found);
    EXPECT_EQ(Field(zda, 1, &found), "");
    EXPECT_FALSE(found);
    EXPECT_EQ(Field(zda, 2, &found), "12");
    EXPECT_TRUE(found);
    EXPECT_EQ(Field(zda, 3, &found), "");
    EXPECT_FALSE(found);
}

TEST(NmeaFieldTest, LongFieldsAreCutAndDestinationsNeverOverrun)
{
    const std::string sixty(60, 'x');
    const std::string sentence = "$GPTXT," + sixty + ",1*00\r\n";
    EXPECT_EQ(Field(sentence, 1), std::string(49, 'x'));
    EXPECT_EQ(Field(sentence, 2), "1");

    ExactText text(sentence);
    char small[5];
    EXPECT_TRUE(GetNmeaField(text.data(), text.size(), small, sizeof small, 1));
    EXPECT_STREQ(small, "xxxx");

    char dst[8] = "keep";
    EXPECT_FALSE(GetNmeaField(nullptr, 10, dst, sizeof dst, 1));
    EXPECT_STREQ(dst, "keep");
    EXPECT_FALSE(GetNmeaField(text.data(), text.size(), nullptr, 8, 1));
    EXPECT_FALSE(GetNmeaField(text.data(), text.size(), dst, 0, 1));
    EXPECT_STREQ(dst, "keep");
}

// A sentence cut in the middle of a field (no "*", no CR LF): the field runs
// to the last byte and not one byte further.
TEST(NmeaFieldTest, FieldsEndAtTheSentencesLastByte)
{
    const std::string cut = "$GPGGA,12.5,1f";
    ExactText text(cut);
    int ok = -1;
    EXPECT_EQ(GetNmeaFieldDouble(text.data(), text.size(), 1, &ok), 12.5);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(GetNmeaFieldHex(text.data(), text.size(), 2, &ok), 0x1Fu);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(GetNmeaFieldInt(text.data(), text.size(), 3, &ok), 0);
    EXPECT_EQ(ok, 0);
    // Every prefix of a sentence, each in its own exact buffer.
    const std::string full = "$GPGSA,A,3,05,12,,,2.50,1.25,2.00*07\r\n";
    for (size_t n = 0; n <= full.size(); ++n) {
        ExactText prefix(full.substr(0, n));
        for (int field = 0; field < 12; ++field) {
            GetNmeaFieldText(prefix.data(), prefix.size(), field, nullptr);
            GetNmeaFieldDouble(prefix.data(), prefix.size(), field, nullptr);
        }
    }
}

TEST(NmeaFieldTest, TypedReadersGiveZeroAndNotOkForMissingFields)
{
    const std::string s = "$PZULRSV,7FFFFFFE,-12.5e1,abc,,Q*00\r\n";
    ExactText text(s);
    const char* p = text.data();
    const int n = text.size();
    int ok = -1;
    EXPECT_EQ(GetNmeaFieldHex(p, n, 1, &ok), 0x7FFFFFFEu);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(GetNmeaFieldDouble(p, n, 2, &ok), -125.0);
    EXPECT_EQ(GetNmeaFieldInt(p, n, 2, &ok), -12);
    EXPECT_EQ(GetNmeaFieldLong(p, n, 2, &ok), -12);
    // Present but not a number: present, value 0, as atoi would say.
    EXPECT_EQ(GetNmeaFieldInt(p, n, 3, &ok), 0);
    EXPECT_EQ(ok, 1);
    EXPECT_STREQ(GetNmeaFieldText(p, n, 3, &ok).text, "abc");
    EXPECT_EQ(GetNmeaFieldChar(p, n, 5, &ok), 'Q');
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(GetNmeaFieldChar(p, n, 4, &ok), '\0');
    EXPECT_EQ(ok, 0);
    EXPECT_STREQ(GetNmeaFieldText(p, n, 6, &ok).text, "");
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(GetNmeaFieldDouble(p, n, 6, nullptr), 0.0);
}

// ---- The decoders' index ----------------------------------------------------------

// For every field, the index gives what FindNmeaField gives.
TEST(NmeaFieldsTest, IndexAgreesWithTheFieldReader)
{
    std::string many = "$GPXXX";
    for (int i = 0; i < 45; ++i) many += "," + std::to_string(i);
    const std::vector<std::string> sentences = {
        "$GPGGA,010203.00,4730.0000,N,12215.0000,W,2,08,1.25,100.0,M,-17.0,M,,*6C\r\n",
        "$GPZDA,,12*4B\r\n",
        "$GPRMC,1,2,3",            // no checksum, no line end
        "$PX,a*b,c\r\n",           // a comma after the "*" still counts
        "$PX,,,\r\n",              // empty fields to the end
        "$GPTXT," + std::string(60, 'y') + ",2\n",
        "$",
        many,
    };
    for (const std::string& s : sentences) {
        ExactText text(s);
        const NmeaFields fields(text.data(), text.size());
        for (int n = 0; n < NMEA_INDEXED_FIELDS + 5; ++n) {
            NmeaField expected;
            FindNmeaField(text.data(), text.size(), n, expected);
            const NmeaField actual = fields.Field(n);
            if (n >= NMEA_INDEXED_FIELDS) {
                EXPECT_EQ(actual.length, 0) << s << " field " << n;
                continue;
            }
            EXPECT_EQ(actual.length, expected.length) << s << " field " << n;
            EXPECT_EQ(actual.text, expected.text) << s << " field " << n;
        }
    }
}

// The index reads eight characters at a time: bytes next to a mark, bytes
// with the high bit set, zero bytes and every length modulo eight must not
// fool it.
TEST(NmeaFieldsTest, IndexAgreesOnRandomBytes)
{
    const char alphabet[] = {',', '*', '\r', '\n', 'a', '1', '\0', '\x80', '\xAC', '\xFF', '\x2B', '\x2D'};
    std::mt19937 random(7);
    for (int round = 0; round < 5000; ++round) {
        std::string s(random() % 100, ' ');
        for (char& c : s) c = alphabet[random() % sizeof alphabet];
        ExactText text(s);
        const NmeaFields fields(text.data(), text.size());
        for (int n = 0; n < NMEA_INDEXED_FIELDS; ++n) {
            NmeaField expected;
            FindNmeaField(text.data(), text.size(), n, expected);
            const NmeaField actual = fields.Field(n);
            ASSERT_EQ(actual.length, expected.length) << round << " field " << n;
            ASSERT_EQ(actual.text, expected.text) << round << " field " << n;
        }
    }
}

TEST(NmeaFieldsTest, NumberReadersTreatNonNumbersAsMissing)
{
    ExactText text("$PZULRPT,9600,abc,,0x1F,-3*00\r\n");
    const NmeaFields f(text.data(), text.size());
    int32_t i = 77;
    uint32_t h = 77;
    double d = 77.0;
    EXPECT_TRUE(f.Int(1, i));
    EXPECT_EQ(i, 9600);
    EXPECT_FALSE(f.Int(2, i));
    EXPECT_FALSE(f.Double(3, d));
    EXPECT_EQ(i, 9600);
    EXPECT_EQ(d, 77.0);
    EXPECT_TRUE(f.Hex(4, h));
    EXPECT_EQ(h, 0x1Fu);
    EXPECT_TRUE(f.Is(5, "-3"));
    EXPECT_FALSE(f.Is(5, "-"));
    EXPECT_EQ(f.First(2), 'a');
    EXPECT_EQ(f.At(-1), '\0');
    EXPECT_EQ(f.At(text.size()), '\0');
}

}  // namespace
