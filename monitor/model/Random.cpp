#include "model/Random.h"

#include <cmath>

#include "model/Clock.h"

namespace {

double g_state = 0.0;

} // namespace

double NextRandomFraction(int32_t seed)
{
    if (seed < 0)
        g_state = static_cast<double>(GetClock().NowSeconds());
    else if (seed > 0)
        g_state = seed * 2.718281828459045;
    // Stored through volatile so that the 32-bit build's x87 unit rounds each
    // step to a double, as the native build does: a seeded run then gives the
    // same numbers in both.
    volatile double product = g_state * 31.41592653589793;
    volatile double sum = product + 2.718281828459045;
    const double s = sum;
    g_state = s - std::floor(s);
    return g_state;
}

void SeedRandomFromTime()
{
    NextRandomFraction(-1);
}

int32_t RandomBelow(int32_t n)
{
    if (n <= 0) return 0;
    int32_t value = static_cast<int32_t>(NextRandomFraction(0) * n);
    if (value >= n) value = n - 1;  // a fraction a hair below 1 can round up to n
    return value;
}
