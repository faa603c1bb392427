#include "support/straightforward_frame.h"

#include <cmath>

namespace {
float f(double v) { return static_cast<float>(v); }
// A thousandth of a turn between samples, from pi as the loop works it out.
const double pi = 4 * std::atan(1.0);
const double step1 = 2 * pi / 1000;
}  // namespace

void StraightforwardFrame::draw(double j1, double j) {
    trace(j1, w_.cx, w_.cy, colours::black);
    w_.cxp = w_.cx;
    w_.cyp = w_.cy;
    using figure::start_e, figure::centre_radius, figure::origin_radius;
    w_.cx = start_e * std::sin(j);
    w_.cy = start_e * std::cos(j);
    image_.circle(f(w_.cxp), f(w_.cyp), f(centre_radius(start_e)), image_.back_color());
    trace(j, w_.cx, w_.cy, colours::red);
    image_.circle(f(w_.cx), f(w_.cy), f(centre_radius(start_e)), colours::red);
    image_.circle(0, 0, f(origin_radius(start_e)), colours::blue);
}

void StraightforwardFrame::trace(double a, double ox, double oy, Colour colour) {
    using figure::r, figure::k;
    constexpr double e = figure::start_e;
    for (double t = -step1; t <= 2 * pi; t += step1) {
        w_.xp = w_.x;
        w_.yp = w_.y;
        w_.x = e * std::cos(3 * (t + k * a)) + r * std::cos(t);
        w_.y = e * std::sin(3 * (t + k * a)) + r * std::sin(t);
        if (t >= 0) image_.line(f(w_.xp + ox), f(w_.yp + oy), f(w_.x + ox), f(w_.y + oy), colour);
    }
}
