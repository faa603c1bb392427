// Writes an image as an uncompressed 24-bit BMP file, which every image
// viewer opens, for the tools and the tests' failure pictures; and icons as a
// Windows icon file of BMP pictures, for the Windows program's resources.
#pragma once

#include <functional>
#include <span>
#include <string>

#include "animation/colour.h"
#include "icon/icon_image.h"

// `pixel(x, y)` gives each pixel's colour. Throws std::runtime_error when the
// file cannot be written.
void write_bmp(const std::string& path, int width, int height, const std::function<Colour(int x, int y)>& pixel);

// One 32-bit picture with alpha for each of `icons` (1 to 256 pixels square),
// each with the 1-bit mask that Windows draws with where alpha is not used.
// Throws std::invalid_argument for other sizes, std::runtime_error when the
// file cannot be written.
void write_ico(const std::string& path, std::span<const IconImage> icons);
