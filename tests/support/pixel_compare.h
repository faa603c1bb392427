// Pixel facts about a canvas, and an exact comparison that reports how
// many pixels differ and the first one, writing both images as BMP files when
// they do.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas/canvas.h"

struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;

    static PixelImage of(const Canvas& canvas);
    Colour at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    int count(Colour colour) const;
    // The pixels of that colour, row by row.
    std::vector<PixelPoint> where(Colour colour) const;
    void save_bmp(const std::string& path) const;
};

// Drawing is opaque and aliased: the tolerance is zero pixels.
void expect_same_pixels(const PixelImage& actual, const PixelImage& expected, const std::string& name);

// Black stripes on light grey, standing in for the background picture.
void draw_test_picture(Canvas& canvas);
