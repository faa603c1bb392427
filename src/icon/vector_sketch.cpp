#include "icon/vector_sketch.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

bool SketchShape::same_place(const SketchShape& other) const {
    const auto same_point = [](const UserPoint& a, const UserPoint& b) { return a.x == b.x && a.y == b.y; };
    return kind == other.kind && radius == other.radius &&
           std::equal(points.begin(), points.end(), other.points.begin(), other.points.end(), same_point);
}

void VectorSketch::line(float x1, float y1, float x2, float y2, Colour colour) {
    // A segment that starts where the last one ended, in its colour, carries
    // on the same curve.
    if (!shapes_.empty()) {
        SketchShape& last = shapes_.back();
        if (last.kind == SketchShape::Kind::polyline && last.colour == colour && last.points.back().x == x1 &&
            last.points.back().y == y1) {
            last.points.push_back({x2, y2});
            return;
        }
    }
    shapes_.push_back({SketchShape::Kind::polyline, colour, {{x1, y1}, {x2, y2}}});
}

void VectorSketch::circle(float x, float y, float radius, Colour colour) {
    shapes_.push_back({SketchShape::Kind::circle, colour, {{x, y}}, radius});
}

bool VectorSketch::pump_events(FormEvents&) {
    if (at_pump_) at_pump_();
    return --passes_left_ > 0;
}

std::vector<SketchShape> VectorSketch::visible() const {
    std::vector<SketchShape> kept;
    for (std::size_t i = 0; i < shapes_.size(); ++i) {
        const SketchShape& shape = shapes_[i];
        const bool hidden_later = std::any_of(shapes_.begin() + static_cast<std::ptrdiff_t>(i) + 1, shapes_.end(),
                                              [&](const SketchShape& later) { return later.same_place(shape); });
        if (!hidden_later && shape.colour != back_color()) kept.push_back(shape);
    }
    return kept;
}

namespace {

// Lengths of curves in user units, far from overflow: plain square roots,
// cheaper than std::hypot.
double length(double dx, double dy) { return std::sqrt(dx * dx + dy * dy); }

double distance_to_line(const UserPoint& p, const UserPoint& a, const UserPoint& b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length_ab = length(dx, dy);
    if (length_ab == 0) return length(p.x - a.x, p.y - a.y);
    return std::abs(dx * (a.y - p.y) - dy * (a.x - p.x)) / length_ab;
}

void keep_far_points(std::span<const UserPoint> points, float tolerance, std::vector<UserPoint>& out) {
    // `points` runs from one kept vertex to the next; the first is already in
    // `out`, the last is added here.
    double farthest = -1;
    std::size_t at = 0;
    for (std::size_t i = 1; i + 1 < points.size(); ++i) {
        const double d = distance_to_line(points[i], points.front(), points.back());
        if (d > farthest) farthest = d, at = i;
    }
    if (farthest > tolerance) {
        keep_far_points(points.first(at + 1), tolerance, out);
        keep_far_points(points.subspan(at), tolerance, out);
    } else {
        out.push_back(points.back());
    }
}

std::string hex_colour(Colour c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", red_of(c), green_of(c), blue_of(c));
    return text;
}

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", v);
    return std::string(text) == "-0.0" ? "0.0" : text;
}

}  // namespace

std::vector<UserPoint> simplify(std::span<const UserPoint> points, float tolerance) {
    if (points.size() < 3) return {points.begin(), points.end()};
    std::vector<UserPoint> out{points.front()};
    // A closed curve: split it at its farthest vertex first, since a line
    // from an end to itself has no direction.
    if (points.front().x == points.back().x && points.front().y == points.back().y) {
        std::size_t at = 0;
        double farthest = -1;
        for (std::size_t i = 1; i < points.size(); ++i) {
            const double d = std::hypot(points[i].x - points[0].x, points[i].y - points[0].y);
            if (d > farthest) farthest = d, at = i;
        }
        keep_far_points(points.first(at + 1), tolerance, out);
        keep_far_points(points.subspan(at), tolerance, out);
        return out;
    }
    keep_far_points(points, tolerance, out);
    return out;
}

SquareFrame square_frame(std::span<const SketchShape> shapes, const SvgStyle& style) {
    float left = std::numeric_limits<float>::max(), top = left;
    float right = std::numeric_limits<float>::lowest(), bottom = right;
    for (const SketchShape& shape : shapes) {
        for (const UserPoint& p : shape.points) {
            left = std::min(left, p.x - shape.radius);
            right = std::max(right, p.x + shape.radius);
            top = std::min(top, p.y - shape.radius);
            bottom = std::max(bottom, p.y + shape.radius);
        }
    }
    if (shapes.empty()) left = top = right = bottom = 0;
    const float reach = style.stroke_width / 2 + style.margin;
    float side = std::max(right - left, bottom - top) + 2 * reach;
    if (style.full_bleed) {
        constexpr float safe_share = 0.8f;  // of the side: the safe circle's diameter
        const float cx = (left + right) / 2, cy = (top + bottom) / 2;
        float farthest = 0;
        for (const SketchShape& shape : shapes) {
            for (const UserPoint& p : shape.points) {
                farthest = std::max(farthest, std::hypot(p.x - cx, p.y - cy) + shape.radius);
            }
        }
        side = 2 * (farthest + reach) / safe_share;
    }
    return {(left + right - side) / 2, (top + bottom - side) / 2, side, !style.full_bleed};
}

std::string to_svg(std::span<const SketchShape> shapes, const SvgStyle& style) {
    const SquareFrame frame = square_frame(shapes, style);
    const float x0 = frame.x0, y0 = frame.y0, side = frame.side;
    const std::string size = std::to_string(style.size_px);

    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + size + "\" height=\"" + size +
                      "\" viewBox=\"" + number(x0) + " " + number(y0) + " " + number(side) + " " + number(side) +
                      "\">\n";
    svg += "<rect x=\"" + number(x0) + "\" y=\"" + number(y0) + "\" width=\"" + number(side) + "\" height=\"" +
           number(side) + "\" rx=\"" + number(frame.corner_radius()) + "\" fill=\"" + hex_colour(colours::light_grey) +
           "\"/>\n";
    svg += "<g fill=\"none\" stroke-width=\"" + number(style.stroke_width) +
           "\" stroke-linejoin=\"round\" stroke-linecap=\"round\">\n";
    for (const SketchShape& shape : shapes) {
        if (shape.kind == SketchShape::Kind::circle) {
            svg += "<circle cx=\"" + number(shape.points[0].x) + "\" cy=\"" + number(shape.points[0].y) + "\" r=\"" +
                   number(shape.radius) + "\" stroke=\"" + hex_colour(shape.colour) + "\"/>\n";
            continue;
        }
        svg += "<polyline stroke=\"" + hex_colour(shape.colour) + "\" points=\"";
        const std::vector<UserPoint> kept = simplify(shape.points, style.tolerance);
        for (std::size_t i = 0; i < kept.size(); ++i) {
            if (i > 0) svg += ' ';
            svg += number(kept[i].x) + "," + number(kept[i].y);
        }
        svg += "\"/>\n";
    }
    svg += "</g>\n</svg>\n";
    return svg;
}
