// A platform whose drawing goes into a Canvas. Front ends derive from it and
// differ only in how they pump events, show the canvas and end.
#pragma once

#include <cstdint>
#include <utility>

#include "animation/platform.h"
#include "canvas/canvas.h"

class CanvasPlatform : public Platform {
public:
    explicit CanvasPlatform(UserCoordinates coords = UserCoordinates{}, Canvas::Picture picture = {},
                            PixelFormat format = PixelFormat::rgba_bytes(), std::uint32_t* memory = nullptr)
        : canvas_(coords, std::move(picture), format, memory) {}

    void line(float x1, float y1, float x2, float y2, Colour colour) override {
        drew_ = true;
        canvas_.line(x1, y1, x2, y2, colour);
    }
    void circle(float x, float y, float radius, Colour colour) override {
        drew_ = true;
        canvas_.circle(x, y, radius, colour);
    }
    void clear() override {
        drew_ = true;
        canvas_.clear();
    }
    Colour back_color() const override { return canvas_.back_color(); }

    // Whether anything was drawn or cleared since the last call.
    bool take_drew() { return std::exchange(drew_, false); }

    Canvas& canvas() { return canvas_; }
    const Canvas& canvas() const { return canvas_; }

protected:
    Canvas canvas_;

private:
    bool drew_ = false;
};
