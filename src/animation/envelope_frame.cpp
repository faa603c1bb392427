// One redraw of the housing curve when the eccentric angle moves from j1 to j:
// the old red figure is painted black and stays as trail, the new one is red.
#include <cmath>

#include "animation/form1.h"

namespace {
float f(double v) { return static_cast<float>(v); }
}  // namespace

void Form1::draw_frame() {
    const AnimationState& s = state_;
    LoopValues& w = loop_;

    trace(s.j1, w.cx, w.cy, colours::black);

    w.cxp = w.cx;
    w.cyp = w.cy;
    w.cx = figure::e * std::sin(s.j);
    w.cy = figure::e * std::cos(s.j);

    const Colour background = platform_.back_color();
    platform_.circle(f(w.cxp), f(w.cyp), f(figure::centre_radius), background);
    trace(s.j, w.cx, w.cy, colours::red);
    platform_.circle(f(w.cx), f(w.cy), f(figure::centre_radius), colours::red);
    platform_.circle(0, 0, f(figure::origin_radius), colours::blue);
}

// Traces the figure for angle a about centre (ox, oy). The first sample only
// primes the previous point, so the closing segment overlaps the first by one
// step: 1002 samples, 1001 segments.
void Form1::trace(double a, double ox, double oy, Colour colour) {
    const AnimationState& s = state_;
    LoopValues& w = loop_;
    using figure::e, figure::r, figure::k;

    const double start = -s.step1;
    const double end = 2 * s.pi;
    const double step = s.step1;
    for (double t = start; t <= end; t += step) {
        w.xp = w.x;
        w.yp = w.y;
        w.x = e * std::cos(3 * (t + k * a)) + r * std::cos(t);
        w.y = e * std::sin(3 * (t + k * a)) + r * std::sin(t);
        if (t >= 0) platform_.line(f(w.xp + ox), f(w.yp + oy), f(w.x + ox), f(w.y + oy), colour);
    }
}
