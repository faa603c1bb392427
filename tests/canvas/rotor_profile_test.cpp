// The trail's inner boundary, the rotor's profile, at eccentricities the keys
// choose: read from the canvas's pixels along rays from the origin, against
// the envelope worked out here from the curve's formula alone (for each
// direction, the nearest point any drawn position of the figure reaches).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "animation/keys.h"
#include "background/background_picture.h"
#include "support/scripted_platform.h"

namespace {

constexpr double pi = std::numbers::pi;
constexpr double r = 75;
constexpr int directions = 360;
// Points of each figure worked out: their chords stray from the curve by a
// ten-thousandth of a unit.
constexpr int curve_points = 2000;
// Any line crossing a ray has a pixel whose centre lies within this many
// pixels of it. A pixel of a line lies up to half a pixel off it, and one in
// the band further along a line that crosses the ray aslant: seen up to 1.2
// pixels off in all.
constexpr double band_px = 0.75;
constexpr double tolerance_px = 2.0;

struct Point {
    double x, y;
};

// The closed figure for angle a about its centre e·(sin a, cos a).
std::vector<Point> figure_points(double e, double a) {
    std::vector<Point> points;
    for (int i = 0; i <= curve_points; ++i) {
        const double t = 2 * pi * i / curve_points;
        points.push_back({e * std::sin(a) + e * std::cos(3 * t - a) + r * std::cos(t),
                          e * std::cos(a) + e * std::sin(3 * t - a) + r * std::sin(t)});
    }
    return points;
}

// For each direction (k of `directions`, clockwise from +x as y points
// down), the nearest point of any figure on that ray from the origin.
std::vector<double> envelope(double e, const std::vector<double>& angles) {
    std::vector<double> nearest(directions, std::numeric_limits<double>::infinity());
    for (const double a : angles) {
        const std::vector<Point> points = figure_points(e, a);
        for (int k = 0; k < directions; ++k) {
            const double ux = std::cos(2 * pi * k / directions), uy = std::sin(2 * pi * k / directions);
            for (std::size_t i = 1; i < points.size(); ++i) {
                const Point p = points[i - 1], q = points[i];
                const double side_p = ux * p.y - uy * p.x, side_q = ux * q.y - uy * q.x;
                if ((side_p > 0) == (side_q > 0)) continue;
                const double s = side_p / (side_p - side_q);
                const double along = ux * (p.x + s * (q.x - p.x)) + uy * (p.y + s * (q.y - p.y));
                if (along > 0) nearest[k] = std::min(nearest[k], along);
            }
        }
    }
    return nearest;
}

// The same from the canvas: for each direction, the nearest pixel of the
// trail or the red figure (not of the circles, which end at 3e) within the
// band about the ray.
std::vector<double> profile_in_pixels(const Canvas& canvas, double beyond) {
    std::vector<Point> ink;
    for (int py = 0; py < canvas.height(); ++py) {
        for (int px = 0; px < canvas.width(); ++px) {
            const Colour c = canvas.pixel(px, py);
            if (c == colours::light_grey || c == colours::blue) continue;
            const UserPoint p = canvas.coordinates().to_user(px, py);
            if (std::hypot(p.x, p.y) > beyond) ink.push_back({p.x, p.y});
        }
    }
    const double band = band_px / canvas.coordinates().pixels_per_unit_x();
    std::vector<double> nearest(directions, std::numeric_limits<double>::infinity());
    for (int k = 0; k < directions; ++k) {
        const double ux = std::cos(2 * pi * k / directions), uy = std::sin(2 * pi * k / directions);
        for (const Point p : ink) {
            const double along = ux * p.x + uy * p.y;
            if (along > 0 && std::abs(ux * p.y - uy * p.x) <= band) nearest[k] = std::min(nearest[k], along);
        }
    }
    return nearest;
}

TEST(RotorProfile, TheTrailsInnerBoundaryIsTheEnvelopeAtEachEccentricity) {
    // A full turn at the slow speed, a figure every 1.8 degrees: so close
    // that none of the background picture's figures reaches nearer.
    constexpr std::int64_t passes = 4 + 205;
    for (const double e : {8.0, 12.0, 14.0}) {
        SCOPED_TRACE(e);
        ScriptedRun run(passes, {.picture = draw_background_picture});
        std::vector<double> angles;  // of the figures drawn since the change
        run.activate([&](FormEvents& handlers, std::int64_t pass) {
            if (pass == 3) {
                handlers.KeyPress(key::slow);
                for (double now = figure::start_e; now < e; ++now) handlers.KeyPress(key::more_eccentric);
                for (double now = figure::start_e; now > e; --now) handlers.KeyPress(key::less_eccentric);
            }
            if (pass >= 4) angles.push_back(run.state().j1);
        });
        ASSERT_EQ(run.state().e, e);

        const double beyond = figure::origin_radius(e) + 1;
        const std::vector<double> expected = envelope(e, angles);
        const std::vector<double> seen = profile_in_pixels(run.platform.canvas(), beyond);
        const double pixels_per_unit = run.platform.canvas().coordinates().pixels_per_unit_x();
        double worst = 0;
        int worst_direction = 0;
        for (int k = 0; k < directions; ++k) {
            ASSERT_GT(expected[k], beyond) << "direction " << k << ": the circles reach the profile";
            const double off = std::abs(seen[k] - expected[k]) * pixels_per_unit;
            if (off > worst) worst = off, worst_direction = k;
        }
        EXPECT_LE(worst, tolerance_px) << "direction " << worst_direction << " of " << directions << ": seen at "
                                       << seen[worst_direction] << " units, expected " << expected[worst_direction];
    }
}

}  // namespace
