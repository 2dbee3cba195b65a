#include "link/ProtocolKind.h"

#include <gtest/gtest.h>

TEST(ParseProtocolName, Spellings) {
    struct Case { const char* name; ProtocolKind kind; };
    const Case cases[] = {
        {"QBIN", 3}, {"Qbin", 3}, {"qbin", 3}, {" qbin", 0}, {"SiRF_N", 10}, {"Jupiter", 16},
        {"casio", 12}, {"", 0}, {"prof", 0}, {"mon", 0}, {"none", 0}, {"UBX", 11},
        {"qinetiq", 14}, {"tyco n", 15}, {"NMRX", 13}, {"auto", 1}, {"raw", 2}, {"kesto", 6},
        {"qop", 7}, {"qtxt", 5}, {"nmea", 4}, {"scpi", 8}, {"tod", 9}, {"qbin ", 0},
        {"a-very-long-name-that-matches-nothing-at-all", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseProtocolName(c.name), c.kind) << '"' << c.name << '"';
    EXPECT_EQ(ParseProtocolName(nullptr), 0);
}

TEST(ProtocolKindNames, RangeClosesWithSecondNone) {
    EXPECT_STREQ(GetProtocolName(3), "QBIN");
    EXPECT_STREQ(GetProtocolName(20), "MON");
    EXPECT_STREQ(GetProtocolName(21), "NONE");
    EXPECT_STREQ(GetProtocolName(22), "");
    EXPECT_STREQ(GetProtocolName(-1), "");
}
