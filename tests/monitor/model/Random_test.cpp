#include "model/Random.h"

#include <gtest/gtest.h>

#include "model/Clock.h"

namespace {

TEST(Random, SeededSequenceRepeats)
{
    EXPECT_DOUBLE_EQ(0.11562405519470076, NextRandomFraction(1));
    EXPECT_DOUBLE_EQ(0.3507186522383723, NextRandomFraction(0));
    EXPECT_DOUBLE_EQ(0.11562405519470076, NextRandomFraction(1));
}

TEST(Random, BelowStaysInRange)
{
    NextRandomFraction(7);
    for (int32_t n : {1, 2, 3, 10, 1000, 2147483647}) {
        for (int i = 0; i < 200; ++i) {
            const int32_t r = RandomBelow(n);
            ASSERT_GE(r, 0);
            ASSERT_LT(r, n);
        }
    }
    EXPECT_EQ(0, RandomBelow(0));
    EXPECT_EQ(0, RandomBelow(-5));
}

TEST(Random, TimeSeedComesFromTheClock)
{
    FixedClock clock;
    clock.Set(CalendarTime(), CalendarTime(), 1700000000);
    ScopedClock scoped(&clock);
    SeedRandomFromTime();
    const double a = NextRandomFraction(0);
    SeedRandomFromTime();
    EXPECT_EQ(a, NextRandomFraction(0));
}

} // namespace
