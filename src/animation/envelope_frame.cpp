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
    using figure::centre_radius, figure::origin_radius;

    // Fresh after a new eccentricity, the surface holds the picture alone:
    // no red figure to paint black, no circle to erase (which would cut the
    // picture). The trail starts at this frame's figure.
    if (!s.fresh) {
        trace(s.j1, w.cx, w.cy, colours::black);
        trail_.add(s.j1);
    }

    w.cxp = w.cx;
    w.cyp = w.cy;
    w.cx = s.e * std::sin(s.j);
    w.cy = s.e * std::cos(s.j);

    const Colour background = platform_.back_color();
    if (!s.fresh) platform_.circle(f(w.cxp), f(w.cyp), f(centre_radius(s.e)), background);
    trace(s.j, w.cx, w.cy, colours::red);
    platform_.circle(f(w.cx), f(w.cy), f(centre_radius(s.e)), colours::red);
    platform_.circle(0, 0, f(origin_radius(s.e)), colours::blue);
    figure_shown_ = true;
}

// What the frames since the clear left: each figure of the trail painted
// black and its centre circle erased, in the order they were last drawn (at
// a large eccentricity the erasing circles cut the trail), then the red
// figure and the circles of the last frame. Each red figure and circle the
// frames drew in between was covered exactly by its black twin or eraser.
void Form1::Paint() {
    if (!figure_shown_) return;
    const AnimationState& s = state_;
    const LoopValues& w = loop_;
    using figure::centre_radius, figure::origin_radius;
    const Colour background = platform_.back_color();
    for (const double a : trail_.angles()) {
        const double cx = s.e * std::sin(a), cy = s.e * std::cos(a);
        trace(a, cx, cy, colours::black);
        platform_.circle(f(cx), f(cy), f(centre_radius(s.e)), background);
    }
    trace(s.j1, w.cx, w.cy, colours::red);
    platform_.circle(f(w.cx), f(w.cy), f(centre_radius(s.e)), colours::red);
    platform_.circle(0, 0, f(origin_radius(s.e)), colours::blue);
}

// Traces the figure for angle a about centre (ox, oy). The first sample only
// primes the previous point, so the closing segment overlaps the first by one
// step: 1002 samples, 1001 segments.
//
// Each coordinate is bit for bit the one computed afresh: the terms in t
// alone come from the memo, and a trace at the angle and centre of the last
// one (the black over the red) repeats its points.
void Form1::trace(double a, double ox, double oy, Colour colour) {
    const AnimationState& s = state_;
    LoopValues& w = loop_;
    TraceMemo& memo = memo_;
    const double e = s.e;
    using figure::k;

    const double start = -s.step1;
    const double end = 2 * s.pi;
    const double step = s.step1;
    if (start != memo.start || end != memo.end || step != memo.step || memo.t.empty())
        prepare_samples(start, end, step);

    const std::size_t samples = memo.t.size();
    if (!(memo.traced && e == memo.e && a == memo.a && ox == memo.ox && oy == memo.oy)) {
        memo.traced = false;
        for (std::size_t i = 0; i < samples; ++i) {
            w.xp = w.x;
            w.yp = w.y;
            const double phase = 3 * (memo.t[i] + k * a);
            w.x = e * std::cos(phase) + memo.r_cos[i];
            w.y = e * std::sin(phase) + memo.r_sin[i];
            memo.xs[i] = f(w.x + ox);
            memo.ys[i] = f(w.y + oy);
        }
        memo.traced = true;
        memo.e = e;
        memo.a = a;
        memo.ox = ox;
        memo.oy = oy;
        memo.x = w.x, memo.y = w.y, memo.xp = w.xp, memo.yp = w.yp;
    } else {
        w.x = memo.x, w.y = memo.y, w.xp = memo.xp, w.yp = memo.yp;
    }
    for (std::size_t i = 1; i < samples; ++i) {
        if (memo.t[i] >= 0) platform_.line(memo.xs[i - 1], memo.ys[i - 1], memo.xs[i], memo.ys[i], colour);
    }
}

// Runs the parameter exactly as a trace runs it, by repeated addition.
void Form1::prepare_samples(double start, double end, double step) {
    TraceMemo& memo = memo_;
    memo.t.clear();
    memo.r_cos.clear();
    memo.r_sin.clear();
    for (double t = start; t <= end; t += step) {
        memo.t.push_back(t);
        memo.r_cos.push_back(figure::r * std::cos(t));
        memo.r_sin.push_back(figure::r * std::sin(t));
    }
    memo.xs.resize(memo.t.size());
    memo.ys.resize(memo.t.size());
    memo.start = start;
    memo.end = end;
    memo.step = step;
    memo.traced = false;
}
