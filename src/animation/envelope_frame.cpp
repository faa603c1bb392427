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
//
// Every value is the one computed afresh, sample by sample: the terms in t
// alone come from the memo, and a trace at the angle and centre of the last
// one (the black over the red) repeats its points.
void Form1::trace(double a, double ox, double oy, Colour colour) {
    const AnimationState& s = state_;
    LoopValues& w = loop_;
    TraceMemo& m = memo_;
    using figure::e, figure::k;

    const double start = -s.step1;
    const double end = 2 * s.pi;
    const double step = s.step1;
    if (start != m.start || end != m.end || step != m.step || m.t.empty()) prepare_samples(start, end, step);

    const std::size_t samples = m.t.size();
    if (!(m.traced && a == m.a && ox == m.ox && oy == m.oy)) {
        m.traced = false;
        for (std::size_t i = 0; i < samples; ++i) {
            w.xp = w.x;
            w.yp = w.y;
            const double phase = 3 * (m.t[i] + k * a);
            w.x = e * std::cos(phase) + m.r_cos[i];
            w.y = e * std::sin(phase) + m.r_sin[i];
            m.xs[i] = f(w.x + ox);
            m.ys[i] = f(w.y + oy);
        }
        m.traced = true;
        m.a = a;
        m.ox = ox;
        m.oy = oy;
        m.x = w.x, m.y = w.y, m.xp = w.xp, m.yp = w.yp;
    } else {
        w.x = m.x, w.y = m.y, w.xp = m.xp, w.yp = m.yp;
    }
    for (std::size_t i = 1; i < samples; ++i) {
        if (m.t[i] >= 0) platform_.line(m.xs[i - 1], m.ys[i - 1], m.xs[i], m.ys[i], colour);
    }
}

// Runs the parameter exactly as a trace runs it, by repeated addition.
void Form1::prepare_samples(double start, double end, double step) {
    TraceMemo& m = memo_;
    m.t.clear();
    m.r_cos.clear();
    m.r_sin.clear();
    for (double t = start; t <= end; t += step) {
        m.t.push_back(t);
        m.r_cos.push_back(figure::r * std::cos(t));
        m.r_sin.push_back(figure::r * std::sin(t));
    }
    m.xs.resize(m.t.size());
    m.ys.resize(m.t.size());
    m.start = start;
    m.end = end;
    m.step = step;
    m.traced = false;
}
