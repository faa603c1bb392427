// A platform whose drawing goes into a Canvas. Front ends derive from it and
// differ only in how they pump events, show the canvas and end.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "animation/animation_state.h"
#include "animation/platform.h"
#include "canvas/canvas.h"

class CanvasPlatform : public Platform {
public:
    // Draws the background picture for an eccentricity over the canvas.
    using Picture = std::function<void(Canvas&, double e)>;

    explicit CanvasPlatform(UserCoordinates coords = UserCoordinates{}, Picture picture = {},
                            PixelFormat format = PixelFormat::rgba_bytes(), std::uint32_t* memory = nullptr)
        : picture_(std::move(picture)),
          canvas_(coords, picture_ ? [this](Canvas& canvas) { picture_(canvas, picture_e_); } : Canvas::Picture{},
                  format, memory) {}

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
    void picture_eccentricity(double e) override { picture_e_ = e; }

    // Whether anything was drawn or cleared since the last call.
    bool take_drew() { return std::exchange(drew_, false); }

    Canvas& canvas() { return canvas_; }
    const Canvas& canvas() const { return canvas_; }

private:
    // Before the canvas, which draws the picture as it is made.
    Picture picture_;
    double picture_e_ = figure::start_e;

protected:
    Canvas canvas_;

private:
    bool drew_ = false;
};
