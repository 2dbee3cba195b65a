#pragma once
// A small deterministic pseudo-random sequence: the scripter's random delays
// and the test tools only need spread, and a fixed seed repeats a run exactly.
// Process-wide state, used from the GUI thread.
#include <cstdint>

// seed < 0: restart from the clock's seconds (model/Clock.h); seed > 0:
// restart from seed x e; then (for 0 too) advance and return the next
// fraction in [0, 1).
double NextRandomFraction(int32_t seed);

// NextRandomFraction(-1).
void SeedRandomFromTime();

// A whole number from 0 to n - 1; 0 when n <= 0.
int32_t RandomBelow(int32_t n);
