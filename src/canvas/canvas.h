// The image the animation draws into, in user coordinates, shared by every
// front end: they show its pixels and draw nothing themselves. It is kept
// between frames (nothing is redrawn from history). Drawing is opaque and
// aliased, so drawing a shape again in another colour with the same pen
// replaces it exactly. Plain C++: no window system, no display.
//
// Segments are rasterised with Bresenham steps from the first end to the
// second, both ends included. Anything that reaches past an edge is clipped
// here: the pixels inside are drawn and nothing outside is touched, whatever
// the coordinates, finite or not.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

#include "animation/colour.h"
#include "canvas/pixel_buffer.h"
#include "canvas/touched_region.h"
#include "canvas/user_coordinates.h"

// Where the red, green and blue bytes of a colour sit in a 32-bit pixel.
struct PixelFormat {
    int red_shift = 0, green_shift = 8, blue_shift = 16;
    std::uint32_t opaque = 0xFF000000u;  // bits set in every pixel (alpha)

    // Bytes red, green, blue, 255 in memory: what a browser's ImageData holds.
    static constexpr PixelFormat rgba_bytes() {
        if constexpr (std::endian::native == std::endian::little) return {0, 8, 16, 0xFF000000u};
        return {24, 16, 8, 0xFFu};
    }

    std::uint32_t value(Colour c) const {
        return opaque | std::uint32_t{red_of(c)} << red_shift | std::uint32_t{green_of(c)} << green_shift |
               std::uint32_t{blue_of(c)} << blue_shift;
    }
    Colour colour(std::uint32_t v) const {
        return rgb(static_cast<std::uint8_t>(v >> red_shift), static_cast<std::uint8_t>(v >> green_shift),
                   static_cast<std::uint8_t>(v >> blue_shift));
    }
};

class Canvas {
public:
    // Draws the background picture over the background colour; called on
    // every clear, so the picture costs no memory of its own.
    using Picture = std::function<void(Canvas&)>;

    // `memory`, when given, holds the pixels: width() times height() of them,
    // lent by the caller until the canvas moves out (move_pixels) or ends.
    explicit Canvas(UserCoordinates coords = UserCoordinates{}, Picture picture = {},
                    PixelFormat format = PixelFormat::rgba_bytes(), std::uint32_t* memory = nullptr);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void line(float x1, float y1, float x2, float y2, Colour colour);
    void circle(float x, float y, float radius, Colour colour);
    // Background colour everywhere, then the picture.
    void clear();
    // Starts the image afresh at another density: the size that density
    // gives, in storage of its own, cleared.
    void resize(UserCoordinates coords);
    Colour back_color() const { return colours::light_grey; }

    const UserCoordinates& coordinates() const { return coords_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Pixels a line is wide: the density rounded, at least one.
    int pen_width() const { return pen_; }
    const PixelFormat& format() const { return format_; }
    // Rows of width() pixels, top row first.
    const std::uint32_t* pixels() const { return pixels_.data(); }
    // Throws std::out_of_range outside the image.
    Colour pixel(int px, int py) const;
    // Copies the image into `memory` (width() times height() pixels, lent as
    // to the constructor) and draws there from now on; into storage of its
    // own when `memory` is null.
    void move_pixels(std::uint32_t* memory) { pixels_.move_to(memory); }

    // Whether anything was drawn or cleared since the touched parts were
    // last taken.
    bool touched() const { return !touched_.empty(); }
    // The parts drawn or cleared since the last call, as rectangles.
    const std::vector<PixelRect>& take_touched() { return touched_.take(); }

private:
    // cos and sin of a circle's vertex angles, for one vertex count.
    struct UnitCircle {
        int vertices = 0;
        std::vector<double> cos, sin;
    };
    const UnitCircle& unit_circle(int vertices);
    bool inside(PixelPoint p) const {
        // Negative coordinates wrap to large unsigned values: one test an axis.
        return static_cast<unsigned>(p.x) < static_cast<unsigned>(width_) &&
               static_cast<unsigned>(p.y) < static_cast<unsigned>(height_);
    }
    void segment(PixelPoint a, PixelPoint b);
    void segment_clipped(PixelPoint a, PixelPoint b);
    // Sets the pixels of a rectangle (edges included); with `clamp`, only
    // those that lie inside.
    template <bool clamp>
    void fill(int left, int right, int top, int bottom);
    template <bool clamp>
    void pen_steps(int x, int y, int to_x, int to_y, bool continues);

    UserCoordinates coords_;
    Picture picture_;
    PixelFormat format_;
    int width_, height_, pen_;
    PixelBuffer pixels_;
    TouchedRegion touched_;
    std::uint32_t value_ = 0;  // the pixel value of the colour being drawn
    // The wide pen's square last drawn whole, at a segment's end, in what value.
    std::optional<PixelPoint> last_square_;
    std::uint32_t last_square_value_ = 0;
    std::vector<PixelPoint> circle_points_;
    std::vector<UnitCircle> unit_circles_;
    // A trace starts each segment where the one before ended.
    UserPoint last_end_{std::numeric_limits<float>::quiet_NaN(), 0};
    PixelPoint last_end_pixel_{0, 0};
};
