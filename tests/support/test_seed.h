// The seed of a randomized test: a fixed one, so every run checks the same
// inputs; ROTARY_TEST_SEED=N repeats seed N, ROTARY_TEST_SEED=random draws a
// fresh one. Tests print it.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

inline std::uint64_t test_seed(std::uint64_t fixed = 20261208) {
    const char* given = std::getenv("ROTARY_TEST_SEED");
    if (given == nullptr) return fixed;
    if (std::string(given) != "random") return std::stoull(given);
    std::random_device device;
    return std::uint64_t{device()} << 32 | device();
}
