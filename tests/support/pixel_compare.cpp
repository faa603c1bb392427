#include "support/pixel_compare.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tools/bmp_file.h"

PixelImage PixelImage::of(const Canvas& image) {
    PixelImage p;
    p.width = image.width();
    p.height = image.height();
    p.pixels.reserve(static_cast<std::size_t>(p.width) * p.height);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) p.pixels.push_back(image.pixel(x, y));
    }
    return p;
}

int PixelImage::count(Colour colour) const {
    return static_cast<int>(std::count(pixels.begin(), pixels.end(), colour));
}

std::vector<PixelPoint> PixelImage::where(Colour colour) const {
    std::vector<PixelPoint> found;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (at(x, y) == colour) found.push_back({x, y});
        }
    }
    return found;
}

void PixelImage::save_bmp(const std::string& path) const {
    write_bmp(path, width, height, [this](int x, int y) { return at(x, y); });
}

void expect_same_pixels(const PixelImage& actual, const PixelImage& expected, const std::string& name) {
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);
    int differing = 0;
    int first = -1;
    for (std::size_t i = 0; i < actual.pixels.size(); ++i) {
        if (actual.pixels[i] == expected.pixels[i]) continue;
        if (differing++ == 0) first = static_cast<int>(i);
    }
    if (differing == 0) return;
    actual.save_bmp(name + "-actual.bmp");
    expected.save_bmp(name + "-expected.bmp");
    ADD_FAILURE() << name << ": " << differing << " pixels differ; the first at (" << first % actual.width << ", "
                  << first / actual.width << "): 0x" << std::hex << actual.pixels[first] << " instead of 0x"
                  << expected.pixels[first] << "; images written to " << name << "-actual.bmp and " << name
                  << "-expected.bmp";
}

void draw_test_picture(Canvas& canvas) {
    for (float x = -140; x < 130; x += 9) canvas.line(x, -100, x + 60, 84, colours::black);
}
