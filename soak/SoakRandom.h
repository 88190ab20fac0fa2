#pragma once
// The soak's pseudo-random numbers: splitmix64, so that a seed gives the same runs with every
// compiler and standard library (the standard distributions are not specified bit for bit).

#include <cstdint>

class SoakRandom {
public:
    explicit SoakRandom(std::uint64_t seed) : state(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 to n - 1; 0 when n is 0.
    std::uint32_t Below(std::uint32_t n) { return n ? static_cast<std::uint32_t>(Next() % n) : 0; }
    bool Chance(std::uint32_t percent) { return Below(100) < percent; }

private:
    std::uint64_t state;
};
