#include "window/backing_image.h"

#include <SDL.h>

#include <cmath>
#include <numbers>
#include <stdexcept>

#include "window/sdl_error.h"

namespace {
// Circles are closed polylines with vertices about this many pixels apart:
// round to the eye, cheap to draw.
constexpr double circle_vertex_spacing = 2.0;
constexpr int min_circle_vertices = 16;
}  // namespace

BackingImage::BackingImage(UserCoordinates coords, std::span<const std::uint8_t> picture_bmp)
    : coords_(coords) {
    surface_.reset(checked(SDL_CreateRGBSurfaceWithFormat(0, width(), height(), 32, SDL_PIXELFORMAT_RGB888),
                           "SDL_CreateRGBSurfaceWithFormat"));
    renderer_.reset(checked(SDL_CreateSoftwareRenderer(surface_.get()), "SDL_CreateSoftwareRenderer"));
    checked(SDL_SetRenderDrawBlendMode(renderer_.get(), SDL_BLENDMODE_NONE), "SDL_SetRenderDrawBlendMode");
    if (!picture_bmp.empty()) {
        SDL_RWops* bytes = checked(SDL_RWFromConstMem(picture_bmp.data(), static_cast<int>(picture_bmp.size())),
                                   "SDL_RWFromConstMem");
        const SurfacePtr picture(checked(SDL_LoadBMP_RW(bytes, 1), "SDL_LoadBMP_RW"));
        picture_.reset(checked(SDL_CreateTextureFromSurface(renderer_.get(), picture.get()),
                               "SDL_CreateTextureFromSurface"));
        checked(SDL_SetTextureBlendMode(picture_.get(), SDL_BLENDMODE_NONE), "SDL_SetTextureBlendMode");
    }
    clear();
}

void BackingImage::set_colour(Colour colour) {
    SDL_SetRenderDrawColor(renderer_.get(), red_of(colour), green_of(colour), blue_of(colour), SDL_ALPHA_OPAQUE);
    changed_ = true;
}

void BackingImage::line(float x1, float y1, float x2, float y2, Colour colour) {
    set_colour(colour);
    const PixelPoint a = coords_.to_pixel(x1, y1);
    const PixelPoint b = coords_.to_pixel(x2, y2);
    SDL_RenderDrawLine(renderer_.get(), a.x, a.y, b.x, b.y);
}

void BackingImage::circle(float x, float y, float radius, Colour colour) {
    set_colour(colour);
    // Vertices are placed about the exact centre and rounded one by one, so
    // the same call always sets the same pixels.
    const double cx = (x - user_space::left) * coords_.pixels_per_unit_x();
    const double cy = (y - user_space::top) * coords_.pixels_per_unit_y();
    const double rx = std::abs(radius) * coords_.pixels_per_unit_x();
    const double ry = std::abs(radius) * coords_.pixels_per_unit_y();
    const int n = std::max(min_circle_vertices,
                           static_cast<int>(std::ceil(2 * std::numbers::pi * rx / circle_vertex_spacing)));
    circle_points_.resize(static_cast<std::size_t>(n) + 1);
    for (int i = 0; i <= n; ++i) {
        const double angle = 2 * std::numbers::pi * (i % n) / n;
        circle_points_[static_cast<std::size_t>(i)] = {static_cast<int>(std::lround(cx + rx * std::cos(angle))),
                                                       static_cast<int>(std::lround(cy + ry * std::sin(angle)))};
    }
    static_assert(sizeof(PixelPoint) == sizeof(SDL_Point));
    SDL_RenderDrawLines(renderer_.get(), reinterpret_cast<const SDL_Point*>(circle_points_.data()),
                        static_cast<int>(circle_points_.size()));
}

void BackingImage::clear() {
    if (picture_) {
        SDL_RenderCopy(renderer_.get(), picture_.get(), nullptr, nullptr);
    } else {
        set_colour(back_color());
        SDL_RenderClear(renderer_.get());
    }
    changed_ = true;
}

SDL_Surface* BackingImage::surface() {
    SDL_RenderFlush(renderer_.get());
    return surface_.get();
}

Colour BackingImage::pixel(int px, int py) {
    SDL_Surface* s = surface();
    if (px < 0 || py < 0 || px >= s->w || py >= s->h) throw std::out_of_range("BackingImage::pixel");
    const auto* row = static_cast<const std::uint8_t*>(s->pixels) + static_cast<std::ptrdiff_t>(py) * s->pitch;
    Uint32 value = 0;
    SDL_memcpy(&value, row + static_cast<std::ptrdiff_t>(px) * 4, sizeof value);
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(value, s->format, &r, &g, &b);
    return rgb(r, g, b);
}

bool BackingImage::take_changes() {
    const bool changed = changed_;
    changed_ = false;
    return changed;
}

void BackingImage::save_bmp(const std::string& path) {
    checked(SDL_SaveBMP(surface(), path.c_str()), "SDL_SaveBMP");
}
