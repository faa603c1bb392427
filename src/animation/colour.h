// Colours as the drawing layer takes them: 24-bit values encoded 0x00BBGGRR,
// red in the low byte.
#pragma once

#include <cstdint>

using Colour = std::uint32_t;

namespace colours {
inline constexpr Colour black = 0x000000;
inline constexpr Colour red = 0x0000FF;
inline constexpr Colour blue = 0xFF0000;
inline constexpr Colour light_grey = 0xC0C0C0;
}  // namespace colours

constexpr std::uint8_t red_of(Colour c) { return c & 0xFF; }
constexpr std::uint8_t green_of(Colour c) { return (c >> 8) & 0xFF; }
constexpr std::uint8_t blue_of(Colour c) { return (c >> 16) & 0xFF; }
constexpr Colour rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return Colour{r} | Colour{g} << 8 | Colour{b} << 16;
}
