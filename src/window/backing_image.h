// The persistent image the animation draws into, in user coordinates. It is
// kept between frames (nothing is redrawn from history) and is what the window
// shows. Drawing is opaque and aliased, so drawing a shape again in another
// colour replaces it exactly. Needs no display: tests and tools use it alone.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "window/colour.h"
#include "window/sdl_handles.h"
#include "window/user_coordinates.h"

class BackingImage {
public:
    // `picture_bmp` is a BMP file's bytes, shown under all drawing and again
    // after every clear; empty means plain light grey. Throws SdlError.
    explicit BackingImage(UserCoordinates coords = UserCoordinates{},
                          std::span<const std::uint8_t> picture_bmp = {});
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
    void set_colour(Colour colour);

    UserCoordinates coords_;
    SurfacePtr surface_;
    RendererPtr renderer_;
    TexturePtr picture_;
    std::vector<PixelPoint> circle_points_;
    bool changed_ = true;
};
