// A platform whose drawing goes into a BackingImage. The window and the
// headless runner differ only in how they pump events and end.
#pragma once

#include <cstdint>
#include <span>

#include "window/backing_image.h"
#include "window/platform.h"

class ImagePlatform : public Platform {
public:
    explicit ImagePlatform(UserCoordinates coords = UserCoordinates{}, std::span<const std::uint8_t> picture_bmp = {})
        : image_(coords, picture_bmp) {}

    void line(float x1, float y1, float x2, float y2, Colour colour) override { image_.line(x1, y1, x2, y2, colour); }
    void circle(float x, float y, float radius, Colour colour) override { image_.circle(x, y, radius, colour); }
    void clear() override { image_.clear(); }
    Colour back_color() const override { return image_.back_color(); }
    // Black is the only foreground the program uses, and every drawing call
    // names its colour; nothing depends on it.
    void set_fore_color(Colour) override {}

    BackingImage& image() { return image_; }

protected:
    BackingImage image_;
};
