#include "support/pixel_compare.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "window/sdl_handles.h"

PixelImage PixelImage::of(BackingImage& image) {
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

void PixelImage::save_bmp(const std::string& path) const {
    const SurfacePtr s(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888));
    if (!s) return;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < width; ++x) {
            const Colour c = at(x, y);
            row[x] = SDL_MapRGB(s->format, red_of(c), green_of(c), blue_of(c));
        }
    }
    SDL_SaveBMP(s.get(), path.c_str());
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

std::span<const std::uint8_t> test_picture_bmp() {
    static const std::vector<std::uint8_t> bmp = [] {
        const SurfacePtr s(SDL_CreateRGBSurfaceWithFormat(0, 975, 741, 32, SDL_PIXELFORMAT_RGB888));
        for (int y = 0; y < s->h; ++y) {
            auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
            for (int x = 0; x < s->w; ++x) row[x] = (x / 8 + y / 8) % 5 == 0 ? 0 : SDL_MapRGB(s->format, 192, 192, 192);
        }
        std::vector<std::uint8_t> out(static_cast<std::size_t>(s->w) * s->h * 4 + 1024);
        SDL_RWops* rw = SDL_RWFromMem(out.data(), static_cast<int>(out.size()));
        SDL_SaveBMP_RW(s.get(), rw, 0);
        out.resize(static_cast<std::size_t>(SDL_RWtell(rw)));
        SDL_RWclose(rw);
        return out;
    }();
    return bmp;
}
