#include "platform/Random.h"

#include <chrono>
#include <random>

namespace {

std::mt19937 &generator()
{
    static std::mt19937 g(5489u);
    return g;
}

} // namespace

namespace Random {

void Seed(uint32_t seed)
{
    generator().seed(seed);
}

void SeedFromClock()
{
    Seed(uint32_t(std::chrono::steady_clock::now().time_since_epoch().count()));
}

int Below(int n)
{
    if (n <= 0)
        return 0;
    return int(std::uniform_int_distribution<int>(0, n - 1)(generator()));
}

} // namespace Random
