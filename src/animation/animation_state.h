// The values that drive the animation. Angles are radians, never wrapped:
// only their sine and cosine reach the drawing.
#pragma once

#include <cstdint>
#include <vector>

// Constants of the figure.
namespace figure {
inline constexpr double r = 75;          // generating radius
inline constexpr double k = -1.0 / 3.0;  // phase factor of the triple-frequency term
// The eccentricity starts at this; "[" and "]" change it by one unit within
// the range.
inline constexpr double start_e = 12;
inline constexpr double least_e = 4;
inline constexpr double greatest_e = 20;
// The circles marking the moving centre and the fixed origin.
constexpr double centre_radius(double e) { return 2 * e; }
constexpr double origin_radius(double e) { return 3 * e; }
}  // namespace figure

// Owned by the window for its whole life; the loop's start-up sets them,
// the loop advances them, the input handlers change them between passes.
struct AnimationState {
    double pi = 0;       // 4·atan(1)
    double step1 = 0;    // a thousandth of a turn: the curve's sampling step
    double stepe = 0;    // angle added to j on each advancing pass (the speed)
    int stopp = 0;       // 1: j advances every pass; 0: held (only the mouse moves it)
    double j = 0;        // current eccentric angle
    double j1 = 0;       // angle of the red figure on the surface
    std::int64_t m = 0;  // completed loop passes
    // Eccentricity: the radius of the centre's circle about the origin and
    // the amplitude of the curve's triple-frequency term. Set when the window
    // is created, as the background picture is; the start-up leaves it.
    double e = figure::start_e;
    // The surface was cleared for a new eccentricity: the next pass draws the
    // figure there afresh, whether the angle moved or not.
    bool fresh = false;
};

// The loop's working values, in user units. They persist from frame to frame.
struct LoopValues {
    double x = 0, y = 0;      // last curve point, relative to the figure's centre
    double xp = 0, yp = 0;    // the point before it
    double cx = 0, cy = 0;    // centre of the figure drawn last
    double cxp = 0, cyp = 0;  // centre of the figure before that
};

// What one trace can take from earlier ones without changing a single
// coordinate it hands to drawing. Filled once and reused, never per frame.
struct TraceMemo {
    // The samples' parameters t, accumulated as every trace accumulates them,
    // with r·cos t and r·sin t: the same for every angle.
    double start = 0, end = 0, step = 0;  // what they were computed for
    std::vector<double> t, r_cos, r_sin;

    // The last trace computed: its eccentricity, angle and centre, the points
    // it handed to drawing, and the working values it left. A black trace of
    // the same figure repeats it exactly.
    bool traced = false;
    double e = 0, a = 0, ox = 0, oy = 0;
    std::vector<float> xs, ys;
    double x = 0, y = 0, xp = 0, yp = 0;
};
