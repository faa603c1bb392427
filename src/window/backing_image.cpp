#include "window/backing_image.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <stdexcept>

#include "window/rounding.h"
#include "window/sdl_error.h"

namespace {
// Circles are closed polylines with vertices about this many pixels apart:
// round to the eye, cheap to draw.
constexpr double circle_vertex_spacing = 2.0;
constexpr int min_circle_vertices = 16;
}  // namespace

BackingImage::BackingImage(UserCoordinates coords, std::span<const std::uint8_t> picture_bmp, Drawing drawing)
    : coords_(coords), drawing_(drawing), width_(coords.width()), height_(coords.height()) {
    surface_.reset(checked(SDL_CreateRGBSurfaceWithFormat(0, width(), height(), 32, SDL_PIXELFORMAT_RGB888),
                           "SDL_CreateRGBSurfaceWithFormat"));
    pitch_words_ = surface_->pitch / static_cast<int>(sizeof(std::uint32_t));
    pixels_ = static_cast<std::uint32_t*>(surface_->pixels);
    // Lines drawn here and through SDL must agree: pin SDL to its default
    // Bresenham point method, whatever the environment asks for.
    SDL_SetHintWithPriority(SDL_HINT_RENDER_LINE_METHOD, "1", SDL_HINT_OVERRIDE);
    renderer_.reset(checked(SDL_CreateSoftwareRenderer(surface_.get()), "SDL_CreateSoftwareRenderer"));
    checked(SDL_SetRenderDrawBlendMode(renderer_.get(), SDL_BLENDMODE_NONE), "SDL_SetRenderDrawBlendMode");
    if (!picture_bmp.empty()) {
        SDL_RWops* bytes =
            checked(SDL_RWFromConstMem(picture_bmp.data(), static_cast<int>(picture_bmp.size())), "SDL_RWFromConstMem");
        const SurfacePtr picture(checked(SDL_LoadBMP_RW(bytes, 1), "SDL_LoadBMP_RW"));
        picture_.reset(
            checked(SDL_CreateTextureFromSurface(renderer_.get(), picture.get()), "SDL_CreateTextureFromSurface"));
        checked(SDL_SetTextureBlendMode(picture_.get(), SDL_BLENDMODE_NONE), "SDL_SetTextureBlendMode");
    }
    clear();
}

void BackingImage::set_colour(Colour colour) {
    SDL_SetRenderDrawColor(renderer_.get(), red_of(colour), green_of(colour), blue_of(colour), SDL_ALPHA_OPAQUE);
    changed_ = true;
    sdl_drawn_ = true;
}

void BackingImage::prepare_direct(Colour colour) {
    // The software renderer may hold drawing back in its queue; what it holds
    // must land first, or a direct pixel could be painted over out of order.
    if (sdl_drawn_) {
        SDL_RenderFlush(renderer_.get());
        sdl_drawn_ = false;
    }
    mapped_value_ = SDL_MapRGBA(surface_->format, red_of(colour), green_of(colour), blue_of(colour), SDL_ALPHA_OPAQUE);
    mapped_colour_ = colour;
    mapped_ = true;
}

namespace {

// SDL's renderer draws each segment with these Bresenham steps, from the
// first end to the second and both ends included, when the segment needs no
// clipping. Steps go along the longer axis, and diagonally as well whenever
// the error term is not negative. `plot` gets each pixel's offset in the
// surface, in pixels.
template <typename Plot>
inline void bresenham(PixelPoint a, PixelPoint b, int pitch_words, Plot plot) {
    const int dx = std::abs(b.x - a.x);
    const int dy = std::abs(b.y - a.y);
    const std::ptrdiff_t sx = a.x > b.x ? -1 : 1;
    const std::ptrdiff_t sy = a.y > b.y ? -pitch_words : pitch_words;
    std::ptrdiff_t at = static_cast<std::ptrdiff_t>(a.y) * pitch_words + a.x;
    const auto run = [&at, &plot](int count, int d, int along, int across, std::ptrdiff_t straight,
                                  std::ptrdiff_t diagonal) {
        for (int i = 0; i < count; ++i) {
            plot(at);
            if (d < 0) {
                d += 2 * across;
                at += straight;
            } else {
                d += 2 * (across - along);
                at += diagonal;
            }
        }
    };
    if (dx >= dy) {
        run(dx + 1, 2 * dy - dx, dx, dy, sx, sx + sy);
    } else {
        run(dy + 1, 2 * dx - dy, dy, dx, sy, sx + sy);
    }
}

}  // namespace

void BackingImage::draw_segment(PixelPoint a, PixelPoint b) {
    std::uint32_t* const pixels = pixels_;
    const std::uint32_t value = mapped_value_;
    bresenham(a, b, pitch_words_, [pixels, value](std::ptrdiff_t at) { pixels[at] = value; });
}

void BackingImage::line(float x1, float y1, float x2, float y2, Colour colour) {
    // A trace starts each segment where the one before ended.
    const PixelPoint a = x1 == last_end_.x && y1 == last_end_.y ? last_end_pixel_ : coords_.to_pixel(x1, y1);
    const PixelPoint b = coords_.to_pixel(x2, y2);
    last_end_ = {x2, y2};
    last_end_pixel_ = b;
    if (drawing_ == Drawing::direct && inside(a) && inside(b)) {
        direct(colour);
        draw_segment(a, b);
        return;
    }
    set_colour(colour);
    SDL_RenderDrawLine(renderer_.get(), a.x, a.y, b.x, b.y);
}

// A circle's vertex directions depend only on the vertex count, and the
// program draws circles of two sizes: keep them.
const BackingImage::UnitCircle& BackingImage::unit_circle(int vertices) {
    for (const UnitCircle& c : unit_circles_) {
        if (c.vertices == vertices) return c;
    }
    UnitCircle& c = unit_circles_.emplace_back();
    c.vertices = vertices;
    for (int i = 0; i < vertices; ++i) {
        const double angle = 2 * std::numbers::pi * i / vertices;
        c.cos.push_back(std::cos(angle));
        c.sin.push_back(std::sin(angle));
    }
    return c;
}

void BackingImage::circle(float x, float y, float radius, Colour colour) {
    // Vertices are placed about the exact centre and rounded one by one, so
    // the same call always sets the same pixels.
    const double cx = (x - user_space::left) * coords_.pixels_per_unit_x();
    const double cy = (y - user_space::top) * coords_.pixels_per_unit_y();
    const double rx = std::abs(radius) * coords_.pixels_per_unit_x();
    const double ry = std::abs(radius) * coords_.pixels_per_unit_y();
    const int n =
        std::max(min_circle_vertices, static_cast<int>(std::ceil(2 * std::numbers::pi * rx / circle_vertex_spacing)));
    circle_points_.resize(static_cast<std::size_t>(n) + 1);
    const UnitCircle& unit = unit_circle(n);
    bool all_inside = true;
    for (int i = 0; i <= n; ++i) {
        const auto k = static_cast<std::size_t>(i % n);
        const PixelPoint p{static_cast<int>(round_half_away(cx + rx * unit.cos[k])),
                           static_cast<int>(round_half_away(cy + ry * unit.sin[k]))};
        circle_points_[static_cast<std::size_t>(i)] = p;
        all_inside = all_inside && inside(p);
    }
    if (drawing_ == Drawing::direct && all_inside) {
        // Without clipping, SDL's closed polyline sets the pixels of its
        // segments drawn one by one.
        direct(colour);
        for (std::size_t i = 0; i + 1 < circle_points_.size(); ++i)
            draw_segment(circle_points_[i], circle_points_[i + 1]);
        return;
    }
    set_colour(colour);
    static_assert(sizeof(PixelPoint) == sizeof(SDL_Point));
    SDL_RenderDrawLines(renderer_.get(), reinterpret_cast<const SDL_Point*>(circle_points_.data()),
                        static_cast<int>(circle_points_.size()));
}

void BackingImage::clear() {
    sdl_drawn_ = true;
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

void BackingImage::save_bmp(const std::string& path) { checked(SDL_SaveBMP(surface(), path.c_str()), "SDL_SaveBMP"); }
