// Pixel facts about a backing image, and an exact comparison that reports how
// many pixels differ and the first one, writing both images as BMP files when
// they do.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "window/backing_image.h"

struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;

    static PixelImage of(BackingImage& image);
    Colour at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    int count(Colour colour) const;
    void save_bmp(const std::string& path) const;
};

// Drawing is opaque and aliased: the tolerance is zero pixels.
void expect_same_pixels(const PixelImage& actual, const PixelImage& expected, const std::string& name);

// A 975 x 741 BMP of black and light-grey stripes, standing in for the
// background picture.
std::span<const std::uint8_t> test_picture_bmp();
