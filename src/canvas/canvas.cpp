#include "canvas/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <stdexcept>

#include "canvas/rounding.h"

namespace {

// Circles are closed polylines with vertices about this many pixels apart:
// round to the eye, cheap to draw. Past the cap a circle is far larger than
// any screen and its vertices only need to be finite.
constexpr double circle_vertex_spacing = 2.0;
constexpr int min_circle_vertices = 16;
constexpr int max_circle_vertices = 1 << 16;
constexpr std::size_t max_kept_circles = 4;

struct Rect {
    std::int64_t left, top, right, bottom;  // inclusive
};

enum Outside : unsigned { above = 1, below = 2, left_of = 4, right_of = 8 };

unsigned outside(const Rect& r, std::int64_t x, std::int64_t y) {
    unsigned code = 0;
    if (y < r.top) code |= above;
    if (y > r.bottom) code |= below;
    if (x < r.left) code |= left_of;
    if (x > r.right) code |= right_of;
    return code;
}

// Cohen-Sutherland on whole pixels: moves the ends of a segment that reaches
// past the rectangle onto its edges. Returns false when nothing of it is
// inside. Points from UserCoordinates::to_pixel are within 2^20, so the
// products stay far inside 64 bits.
bool clip(const Rect& r, std::int64_t& x1, std::int64_t& y1, std::int64_t& x2, std::int64_t& y2) {
    unsigned code1 = outside(r, x1, y1);
    unsigned code2 = outside(r, x2, y2);
    if ((code1 | code2) == 0) return true;
    if (code1 & code2) return false;
    // Horizontal and vertical segments keep their line when clamped.
    if (y1 == y2) {
        x1 = std::clamp(x1, r.left, r.right);
        x2 = std::clamp(x2, r.left, r.right);
        return true;
    }
    if (x1 == x2) {
        y1 = std::clamp(y1, r.top, r.bottom);
        y2 = std::clamp(y2, r.top, r.bottom);
        return true;
    }
    while (code1 | code2) {
        if (code1 & code2) return false;
        const unsigned code = code1 ? code1 : code2;
        std::int64_t x = 0, y = 0;
        if (code & above) {
            y = r.top;
            x = x1 + (x2 - x1) * (y - y1) / (y2 - y1);
        } else if (code & below) {
            y = r.bottom;
            x = x1 + (x2 - x1) * (y - y1) / (y2 - y1);
        } else if (code & left_of) {
            x = r.left;
            y = y1 + (y2 - y1) * (x - x1) / (x2 - x1);
        } else {
            x = r.right;
            y = y1 + (y2 - y1) * (x - x1) / (x2 - x1);
        }
        if (code1) {
            x1 = x, y1 = y;
            code1 = outside(r, x, y);
        } else {
            x2 = x, y2 = y;
            code2 = outside(r, x, y);
        }
    }
    return true;
}

// The pen covers a square of pen_width pixels about each point of a segment:
// these offsets from the point.
int pen_low(int pen) { return -(pen - 1) / 2; }
int pen_high(int pen) { return pen_low(pen) + pen - 1; }
// Pixels a line is wide at a density: the density rounded, at least one.
int pen_for(const UserCoordinates& coords) { return std::max(1, static_cast<int>(std::lround(coords.scale()))); }

}  // namespace

Canvas::Canvas(UserCoordinates coords, Picture picture, PixelFormat format, std::uint32_t* memory)
    : coords_(coords),
      picture_(std::move(picture)),
      format_(format),
      width_(coords.width()),
      height_(coords.height()),
      pen_(pen_for(coords)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), memory),
      touched_(width_, height_, pen_low(pen_), pen_high(pen_)) {
    clear();
}

void Canvas::resize(UserCoordinates coords) {
    coords_ = coords;
    width_ = coords.width();
    height_ = coords.height();
    pen_ = pen_for(coords);
    pixels_.reset(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
    touched_ = TouchedRegion(width_, height_, pen_low(pen_), pen_high(pen_));
    // The last segment's end was mapped at the old density.
    last_end_ = {std::numeric_limits<float>::quiet_NaN(), 0};
    clear();
}

void Canvas::clear() {
    last_square_.reset();
    touched_.touch_all();
    std::fill(pixels_.begin(), pixels_.end(), format_.value(back_color()));
    if (picture_) picture_(*this);
}

Colour Canvas::pixel(int px, int py) const {
    if (px < 0 || py < 0 || px >= width_ || py >= height_) throw std::out_of_range("Canvas::pixel");
    return format_.colour(
        pixels_[static_cast<std::size_t>(py) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(px)]);
}

template <bool clamp>
void Canvas::fill(int left, int right, int top, int bottom) {
    if constexpr (clamp) {
        // Near an edge part of the pen's square lies outside.
        left = std::max(0, left), right = std::min(width_ - 1, right);
        top = std::max(0, top), bottom = std::min(height_ - 1, bottom);
        if (left > right) return;
    }
    std::uint32_t* row = pixels_.data() + static_cast<std::ptrdiff_t>(top) * width_;
    for (int y = top; y <= bottom; ++y, row += width_) std::fill(row + left, row + right + 1, value_);
}

namespace {

// Bresenham from a to b, both ends included: steps along the longer axis, and
// diagonally as well whenever the error term is not negative. `plot` gets
// each point.
template <typename Plot>
void bresenham(int x, int y, int x2, int y2, Plot plot) {
    const int dx = std::abs(x2 - x), dy = std::abs(y2 - y);
    const int sx = x2 < x ? -1 : 1, sy = y2 < y ? -1 : 1;
    if (dx >= dy) {
        for (int i = 0, d = 2 * dy - dx; i <= dx; ++i, x += sx, d += 2 * dy) {
            plot(x, y);
            if (d >= 0) y += sy, d -= 2 * dx;
        }
    } else {
        for (int i = 0, d = 2 * dx - dy; i <= dy; ++i, y += sy, d += 2 * dx) {
            plot(x, y);
            if (d >= 0) x += sx, d -= 2 * dy;
        }
    }
}

// The same points for a one-pixel pen with both ends inside: the drawing of
// almost every segment, kept small enough to inline.
inline void bresenham_inside(std::uint32_t* pixels, std::ptrdiff_t width, PixelPoint a, PixelPoint b,
                             std::uint32_t value) {
    const int dx = std::abs(b.x - a.x), dy = std::abs(b.y - a.y);
    const std::ptrdiff_t sx = b.x < a.x ? -1 : 1, sy = b.y < a.y ? -width : width;
    std::uint32_t* p = pixels + a.y * width + a.x;
    const bool along_x = dx >= dy;
    const int along = along_x ? dx : dy, across = along_x ? dy : dx;
    const std::ptrdiff_t straight = along_x ? sx : sy, sideways = along_x ? sy : sx;
    for (int i = 0, d = 2 * across - along; i <= along; ++i, p += straight, d += 2 * across) {
        *p = value;
        if (d >= 0) p += sideways, d -= 2 * along;
    }
}

}  // namespace

inline void Canvas::segment(PixelPoint a, PixelPoint b) {
    if (pen_ == 1 && inside(a) && inside(b)) {
        bresenham_inside(pixels_.data(), width_, a, b, value_);
    } else {
        segment_clipped(a, b);
    }
}

// Points whose pen square touches the image, clipped to the rectangle of
// those points; a one-pixel pen draws exactly the points inside the image.
void Canvas::segment_clipped(PixelPoint a, PixelPoint b) {
    const int low = pen_low(pen_), high = pen_high(pen_);
    const bool continues =
        last_square_ && a.x == last_square_->x && a.y == last_square_->y && value_ == last_square_value_;
    // Only a wide pen draws here alone; a one-pixel one also takes the quick
    // path, which would not keep the last square up to date.
    const auto ended_on = [this](PixelPoint end) {
        if (pen_ > 1) {
            last_square_ = end;
            last_square_value_ = value_;
        }
    };
    // Squares wholly inside the image need no clipping or clamping: almost
    // every segment on a dense screen.
    const Rect whole{-low, -low, width_ - 1 - high, height_ - 1 - high};
    if (outside(whole, a.x, a.y) == 0 && outside(whole, b.x, b.y) == 0) {
        pen_steps<false>(a.x, a.y, b.x, b.y, continues);
        ended_on(b);
        return;
    }
    last_square_.reset();
    const Rect points{-high, -high, width_ - 1 - low, height_ - 1 - low};
    std::int64_t x1 = a.x, y1 = a.y, x2 = b.x, y2 = b.y;
    if (!clip(points, x1, y1, x2, y2)) return;
    pen_steps<true>(static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2), static_cast<int>(y2),
                    continues && x1 == a.x && y1 == a.y);
    if (x2 == b.x && y2 == b.y) ended_on(b);
}

// The pen's square at the first point (unless the segment before ended on
// it); from then on each step adds to the squares before it only the column
// and row it moved into, so each pixel is written once or twice instead of
// pen-width times over.
template <bool clamp>
void Canvas::pen_steps(int x, int y, int to_x, int to_y, bool continues) {
    const int low = pen_low(pen_), high = pen_high(pen_);
    if (!continues) fill<clamp>(x + low, x + high, y + low, y + high);
    int before_x = x, before_y = y;
    bresenham(x, y, to_x, to_y, [&](int px, int py) {
        if (px != before_x) {
            const int column = px + (px > before_x ? high : low);
            fill<clamp>(column, column, py + low, py + high);
        }
        if (py != before_y) {
            const int row = py + (py > before_y ? high : low);
            fill<clamp>(px + low, px + high, row, row);
        }
        before_x = px, before_y = py;
    });
}

void Canvas::line(float x1, float y1, float x2, float y2, Colour colour) {
    if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2)) return;
    const PixelPoint a = x1 == last_end_.x && y1 == last_end_.y ? last_end_pixel_ : coords_.to_pixel(x1, y1);
    const PixelPoint b = coords_.to_pixel(x2, y2);
    last_end_ = {x2, y2};
    last_end_pixel_ = b;
    value_ = format_.value(colour);
    touched_.touch_segment(a, b);
    segment(a, b);
}

// The program draws circles of two sizes: their vertex directions are kept
// rather than recomputed for every circle.
const Canvas::UnitCircle& Canvas::unit_circle(int vertices) {
    for (const UnitCircle& c : unit_circles_) {
        if (c.vertices == vertices) return c;
    }
    if (unit_circles_.size() >= max_kept_circles) unit_circles_.clear();
    UnitCircle& c = unit_circles_.emplace_back();
    c.vertices = vertices;
    for (int i = 0; i < vertices; ++i) {
        const double angle = 2 * std::numbers::pi * i / vertices;
        c.cos.push_back(std::cos(angle));
        c.sin.push_back(std::sin(angle));
    }
    return c;
}

void Canvas::circle(float x, float y, float radius, Colour colour) {
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(radius)) return;
    // Vertices are placed about the exact centre and rounded one by one, so
    // the same call always sets the same pixels.
    const double cx = (x - user_space::left) * coords_.pixels_per_unit_x();
    const double cy = (y - user_space::top) * coords_.pixels_per_unit_y();
    const double rx = std::abs(radius) * coords_.pixels_per_unit_x();
    const double ry = std::abs(radius) * coords_.pixels_per_unit_y();
    const double wanted = std::ceil(2 * std::numbers::pi * rx / circle_vertex_spacing);
    const int n = static_cast<int>(std::clamp(wanted, double{min_circle_vertices}, double{max_circle_vertices}));
    constexpr double far = 1 << 20;  // as in UserCoordinates::to_pixel
    const auto pixel = [far](double v) { return static_cast<int>(round_half_away(std::clamp(v, -far, far))); };
    const UnitCircle& unit = unit_circle(n);
    circle_points_.resize(static_cast<std::size_t>(n));
    for (std::size_t i = 0; i < circle_points_.size(); ++i)
        circle_points_[i] = {pixel(cx + rx * unit.cos[i]), pixel(cy + ry * unit.sin[i])};
    value_ = format_.value(colour);
    for (std::size_t i = 0; i < circle_points_.size(); ++i)
        segment(circle_points_[i], circle_points_[(i + 1) % circle_points_.size()]);
    for (std::size_t i = 0; i < circle_points_.size(); ++i)
        touched_.touch_segment(circle_points_[i], circle_points_[(i + 1) % circle_points_.size()]);
}
