#include "link/ProtocolKind.h"

#include <gtest/gtest.h>

// The same table answers in the i686 build.
TEST(ParseProtocolNameWin32, SameAnswers) {
    EXPECT_EQ(ParseProtocolName("Qbin"), 3);
    EXPECT_EQ(ParseProtocolName("SiRF_N"), 10);
}
