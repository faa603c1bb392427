// A square window icon as window systems take it: rows of 32-bit pixels,
// alpha in the high byte, then red, green, blue (not premultiplied).
#pragma once

#include <cstdint>
#include <vector>

struct IconImage {
    int size = 0;
    std::vector<std::uint32_t> argb;  // size * size pixels, top row first
};
