#pragma once

#include <cstdint>

// The program's random numbers (the column mapping of the covering tables, the search
// perturbations). Seeded once at start; tests and the CLI's --seed set it.
namespace Random {

void Seed(uint32_t seed);
void SeedFromClock();
// 0 <= result < n (0 when n <= 0).
int Below(int n);

} // namespace Random
