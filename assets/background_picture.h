// The background picture compiled into the program: a BMP file's bytes,
// 975 x 741 pixels, earlier envelope figures in black on light grey.
#pragma once

#include <cstdint>
#include <span>

std::span<const std::uint8_t> background_picture_bmp();
