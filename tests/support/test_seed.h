// The seed of a randomized test: ROTARY_TEST_SEED when set, so a failing run
// can be repeated, otherwise a fresh one. Tests print it.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

inline std::uint64_t test_seed() {
    if (const char* given = std::getenv("ROTARY_TEST_SEED")) return std::stoull(given);
    std::random_device device;
    return std::uint64_t{device()} << 32 | device();
}
