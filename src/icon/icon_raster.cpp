#include "icon/icon_raster.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Curves are thinned to within this fraction of a pixel before drawing.
constexpr double simplify_tolerance_px = 0.25;

struct Point {
    double x, y;
};

// Of a pixel, the share a band of `half` pixels either side of a line at
// `distance` from the pixel's centre covers, measured across the band.
double band_coverage(double distance, double half) {
    return std::clamp(std::min(distance + half, 0.5) - std::max(distance - half, -0.5), 0.0, 1.0);
}

// Without std::hypot's care for overflow, which costs most of the drawing.
double length(double x, double y) { return std::sqrt(x * x + y * y); }

// Distances from a segment, its direction worked out once.
class Segment {
public:
    Segment(Point a, Point b) : a_(a), dx_(b.x - a.x), dy_(b.y - a.y) {
        const double length_squared = dx_ * dx_ + dy_ * dy_;
        inverse_ = length_squared > 0 ? 1 / length_squared : 0;
    }
    double distance(Point p) const {
        const double t = std::clamp(((p.x - a_.x) * dx_ + (p.y - a_.y) * dy_) * inverse_, 0.0, 1.0);
        return length(p.x - (a_.x + t * dx_), p.y - (a_.y + t * dy_));
    }

private:
    Point a_;
    double dx_, dy_, inverse_;
};

// One shape's coverage of each pixel, over the box it touched; drawn then
// composited, so that a curve's overlapping segments do not darken twice.
class CoverageMask {
public:
    explicit CoverageMask(int size) : size_(size), cover_(static_cast<std::size_t>(size) * size, 0.0) {}

    // Calls `distance(x, y)` for the pixel centres within `reach` pixels of
    // the box and keeps the greatest coverage of a band `half` pixels wide.
    template <typename Distance>
    void cover(double left, double top, double right, double bottom, double half, Distance distance) {
        const double reach = half + 1;
        const int x0 = std::max(0, static_cast<int>(std::floor(left - reach)));
        const int y0 = std::max(0, static_cast<int>(std::floor(top - reach)));
        const int x1 = std::min(size_ - 1, static_cast<int>(std::ceil(right + reach)));
        const int y1 = std::min(size_ - 1, static_cast<int>(std::ceil(bottom + reach)));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const double c = band_coverage(distance(Point{x + 0.5, y + 0.5}), half);
                double& kept = cover_[index(x, y)];
                kept = std::max(kept, c);
            }
        }
        box_left_ = std::min(box_left_, x0), box_top_ = std::min(box_top_, y0);
        box_right_ = std::max(box_right_, x1), box_bottom_ = std::max(box_bottom_, y1);
    }

    // Paints `colour` over `rgb` (three doubles a pixel) by the coverage and
    // empties the mask.
    void paint(Colour colour, std::vector<double>& rgb) {
        const double channels[3] = {static_cast<double>(red_of(colour)), static_cast<double>(green_of(colour)),
                                    static_cast<double>(blue_of(colour))};
        for (int y = box_top_; y <= box_bottom_; ++y) {
            for (int x = box_left_; x <= box_right_; ++x) {
                double& c = cover_[index(x, y)];
                if (c == 0) continue;
                for (int k = 0; k < 3; ++k) {
                    double& under = rgb[3 * index(x, y) + k];
                    under += (channels[k] - under) * c;
                }
                c = 0;
            }
        }
        box_left_ = box_top_ = size_;
        box_right_ = box_bottom_ = -1;
    }

private:
    std::size_t index(int x, int y) const { return static_cast<std::size_t>(y) * size_ + x; }

    int size_;
    std::vector<double> cover_;
    int box_left_ = size_, box_top_ = size_, box_right_ = -1, box_bottom_ = -1;
};

// How much of the pixel centred at `p` the rounded tile covers.
double tile_coverage(Point p, double size, double corner) {
    const double half = size / 2;
    const double qx = std::abs(p.x - half) - (half - corner);
    const double qy = std::abs(p.y - half) - (half - corner);
    const double outside = length(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - corner;
    return std::clamp(0.5 - outside, 0.0, 1.0);
}

std::uint32_t argb(double alpha, const double* rgb) {
    const auto byte = [](double v) { return static_cast<std::uint32_t>(std::clamp(v, 0.0, 255.0) + 0.5); };
    return byte(alpha * 255) << 24 | byte(rgb[0]) << 16 | byte(rgb[1]) << 8 | byte(rgb[2]);
}

IconImage rasterise(std::span<const SketchShape> shapes, const SquareFrame& frame, int size, const SvgStyle& style) {
    const double scale = size / static_cast<double>(frame.side);  // pixels per user unit
    const auto to_pixels = [&](UserPoint p) { return Point{(p.x - frame.x0) * scale, (p.y - frame.y0) * scale}; };
    const double half = style.stroke_width * scale / 2;

    std::vector<double> rgb(3 * static_cast<std::size_t>(size) * size);
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = red_of(colours::light_grey), rgb[i + 1] = green_of(colours::light_grey),
        rgb[i + 2] = blue_of(colours::light_grey);
    }
    CoverageMask mask(size);
    for (const SketchShape& shape : shapes) {
        if (shape.kind == SketchShape::Kind::circle) {
            const Point centre = to_pixels(shape.points[0]);
            const double radius = shape.radius * scale;
            mask.cover(centre.x - radius, centre.y - radius, centre.x + radius, centre.y + radius, half,
                       [&](Point p) { return std::abs(length(p.x - centre.x, p.y - centre.y) - radius); });
        } else {
            for (std::size_t i = 1; i < shape.points.size(); ++i) {
                const Point a = to_pixels(shape.points[i - 1]), b = to_pixels(shape.points[i]);
                const Segment segment(a, b);
                mask.cover(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y), half,
                           [&](Point p) { return segment.distance(p); });
            }
        }
        mask.paint(shape.colour, rgb);
    }

    IconImage icon{size, std::vector<std::uint32_t>(static_cast<std::size_t>(size) * size)};
    const double corner = frame.corner_radius() * scale;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * size + x;
            icon.argb[i] = argb(tile_coverage(Point{x + 0.5, y + 0.5}, size, corner), &rgb[3 * i]);
        }
    }
    return icon;
}

}  // namespace

std::vector<IconImage> rasterise_icon(std::span<const SketchShape> shapes, std::span<const int> sizes,
                                      const SvgStyle& style) {
    const SquareFrame frame = square_frame(shapes, style);
    std::vector<SketchShape> thinned(shapes.begin(), shapes.end());
    std::vector<int> largest_first(sizes.begin(), sizes.end());
    std::sort(largest_first.rbegin(), largest_first.rend());
    std::vector<IconImage> icons;
    for (const int size : largest_first) {
        // Thinned again for each smaller size: ever fewer segments to draw.
        const auto tolerance = static_cast<float>(simplify_tolerance_px * frame.side / size);
        for (SketchShape& shape : thinned) {
            if (shape.kind == SketchShape::Kind::polyline) shape.points = simplify(shape.points, tolerance);
        }
        icons.push_back(rasterise(thinned, frame, size, style));
    }
    // In the order asked for.
    std::vector<IconImage> ordered;
    for (const int size : sizes) {
        ordered.push_back(
            *std::find_if(icons.begin(), icons.end(), [size](const IconImage& i) { return i.size == size; }));
    }
    return ordered;
}
