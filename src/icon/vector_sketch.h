// A platform that keeps what the animation draws as vector shapes instead of
// pixels, and writes what stays visible as an SVG picture. The program's icon
// is drawn through it, by the program's own curve code.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "animation/platform.h"
#include "canvas/user_coordinates.h"

struct SketchShape {
    enum class Kind { polyline, circle };
    Kind kind;
    Colour colour;
    std::vector<UserPoint> points;  // a polyline's vertices, or a circle's centre
    float radius = 0;

    // Whether both cover exactly the same pixels, whatever their colours.
    bool same_place(const SketchShape& other) const;
};

class VectorSketch final : public Platform {
public:
    // Runs `passes` passes; `at_pump` is called in each pass's event pump.
    explicit VectorSketch(std::int64_t passes, std::function<void()> at_pump = {})
        : passes_left_(passes), at_pump_(std::move(at_pump)) {}

    void line(float x1, float y1, float x2, float y2, Colour colour) override;
    void circle(float x, float y, float radius, Colour colour) override;
    void clear() override { shapes_.clear(); }
    Colour back_color() const override { return colours::light_grey; }
    bool pump_events(FormEvents&) override;
    void end() override { passes_left_ = 0; }

    // What the drawing shows, bottom first. Drawing is opaque, so a shape
    // drawn again in the same place hides its earlier copy; shapes in the
    // background colour only erase, and are left out.
    std::vector<SketchShape> visible() const;

private:
    std::vector<SketchShape> shapes_;
    std::int64_t passes_left_;
    std::function<void()> at_pump_;
};

// The polyline with the vertices left out that lie within `tolerance` of the
// straight line between the ones kept (Ramer-Douglas-Peucker). Both ends stay.
std::vector<UserPoint> simplify(std::span<const UserPoint> points, float tolerance);

struct SvgStyle {
    int size_px = 256;       // nominal width and height
    float stroke_width = 3;  // user units
    float margin = 4;        // user units around the drawing
    float tolerance = 0.1f;  // user units: how far simplified curves may stray
    // An opaque square tile without rounded corners, the shapes inside its
    // middle circle of 80 %: what a home screen masks to its own shape
    // (a maskable icon's safe zone) or rounds itself.
    bool full_bleed = false;
};

// The square, in user units, that the icon shows: about the shapes' middle,
// wide enough for the shapes with their strokes and margins (within the
// middle circle for a full-bleed tile).
struct SquareFrame {
    float x0 = 0, y0 = 0, side = 0;
    bool rounded = true;
    float corner_radius() const { return rounded ? side / 8 : 0; }  // of the tile
};
SquareFrame square_frame(std::span<const SketchShape> shapes, const SvgStyle& style);

// A square SVG picture of `shapes` on a rounded light-grey tile, framed
// around the shapes.
std::string to_svg(std::span<const SketchShape> shapes, const SvgStyle& style);
