// The persistent image the animation draws into, in user coordinates. It is
// kept between frames (nothing is redrawn from history) and is what the window
// shows. Drawing is opaque and aliased, so drawing a shape again in another
// colour replaces it exactly. Needs no display: tests and tools use it alone.
//
// Lines and circles that lie wholly inside the image are rasterised here,
// straight into the surface, with the same Bresenham steps as SDL's renderer
// uses for each segment: the same pixels without SDL's cost per call. Shapes
// that reach past an edge go through SDL, which clips them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "window/colour.h"
#include "window/sdl_handles.h"
#include "window/user_coordinates.h"

class BackingImage {
public:
    enum class Drawing {
        direct,        // inside shapes rasterised here, the rest through SDL
        one_sdl_call,  // every line and circle its own SDL render call: the yardstick
    };

    // `picture_bmp` is a BMP file's bytes, shown under all drawing and again
    // after every clear; empty means plain light grey. Throws SdlError.
    explicit BackingImage(UserCoordinates coords = UserCoordinates{}, std::span<const std::uint8_t> picture_bmp = {},
                          Drawing drawing = Drawing::direct);
    BackingImage(const BackingImage&) = delete;
    BackingImage& operator=(const BackingImage&) = delete;

    void line(float x1, float y1, float x2, float y2, Colour colour);
    void circle(float x, float y, float radius, Colour colour);
    void clear();
    Colour back_color() const { return colours::light_grey; }

    const UserCoordinates& coordinates() const { return coords_; }
    int width() const { return coords_.width(); }
    int height() const { return coords_.height(); }

    // The finished image, all queued drawing done.
    SDL_Surface* surface();
    Colour pixel(int px, int py);
    // Whether anything was drawn since the last call.
    bool take_changes();
    // Writes the image as a BMP file; throws SdlError.
    void save_bmp(const std::string& path);

private:
    // cos and sin of a circle's vertex angles, for one vertex count.
    struct UnitCircle {
        int vertices = 0;
        std::vector<double> cos, sin;
    };

    void set_colour(Colour colour);
    const UnitCircle& unit_circle(int vertices);
    // Negative coordinates wrap to large unsigned values: one test per axis.
    bool inside(PixelPoint p) const {
        return static_cast<unsigned>(p.x) < static_cast<unsigned>(width_) &&
               static_cast<unsigned>(p.y) < static_cast<unsigned>(height_);
    }
    // Prepares for writing pixels directly: SDL's queued drawing goes first.
    void direct(Colour colour) {
        changed_ = true;
        if (sdl_drawn_ || !mapped_ || colour != mapped_colour_) prepare_direct(colour);
    }
    void prepare_direct(Colour colour);
    void draw_segment(PixelPoint a, PixelPoint b);

    UserCoordinates coords_;
    Drawing drawing_;
    int width_ = 0, height_ = 0;
    SurfacePtr surface_;
    RendererPtr renderer_;
    TexturePtr picture_;
    std::vector<PixelPoint> circle_points_;
    std::vector<UnitCircle> unit_circles_;
    bool changed_ = true;
    bool sdl_drawn_ = false;  // SDL drawing may be queued
    std::uint32_t* pixels_ = nullptr;
    int pitch_words_ = 0;
    UserPoint last_end_{std::numeric_limits<float>::quiet_NaN(), 0};
    PixelPoint last_end_pixel_{0, 0};
    Colour mapped_colour_ = 0;
    std::uint32_t mapped_value_ = 0;
    bool mapped_ = false;
};
