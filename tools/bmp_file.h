// Writes an image as an uncompressed 24-bit BMP file, which every image
// viewer opens; for the tools and the tests' failure pictures.
#pragma once

#include <functional>
#include <string>

#include "animation/colour.h"

// `pixel(x, y)` gives each pixel's colour. Throws std::runtime_error when the
// file cannot be written.
void write_bmp(const std::string& path, int width, int height, const std::function<Colour(int x, int y)>& pixel);
