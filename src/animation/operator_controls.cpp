// The operator's keys, pointer and double-click. They change the state and
// return; the next loop pass draws the result.
#include <cfloat>
#include <cmath>

#include "animation/form1.h"
#include "animation/keys.h"

void Form1::KeyPress(std::uint16_t code) {
    AnimationState& s = state_;
    switch (code) {
    case key::escape:
        clear();
        platform_.end();
        break;
    case key::slower:
        // Below the smallest normal double, rounding would keep the speed
        // where it is however often "." multiplies it: such a press is
        // ignored, so "." always raises the speed again.
        if (const double slower = s.stepe * 0.95; slower >= DBL_MIN) s.stepe = slower;
        break;
    case key::faster:
        // A press that would overflow the speed is ignored.
        if (const double faster = s.stepe * 1.05; std::isfinite(faster)) s.stepe = faster;
        break;
    case key::slow:
        s.stepe = 5 * s.step1;
        break;
    case key::hold_or_run:
        s.stopp = (s.stopp + 1) % 2;
        break;
    case key::less_eccentric:
        change_eccentricity(s.e - 1);
        break;
    case key::more_eccentric:
        change_eccentricity(s.e + 1);
        break;
    default:
        break;
    }
}

// A new eccentricity starts the drawing afresh on its own picture, so the
// trail's inner boundary is the rotor of that figure alone; hold and speed
// stay. Beyond the range a key does nothing.
void Form1::change_eccentricity(double e) {
    if (e < figure::least_e || e > figure::greatest_e) return;
    AnimationState& s = state_;
    s.e = e;
    s.fresh = true;
    platform_.picture_eccentricity(e);
    clear();
}

// Points the figure's centre from the origin towards the pointer.
void Form1::MouseMove(int /*button*/, int /*shift*/, float x, float y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    AnimationState& s = state_;
    // Before the first pass completes, a pointer resting where the window
    // opens must not hold the animation.
    if (s.m > 0) s.stopp = 0;

    const float product = x * y;
    if (product != 0) {
        s.j = std::atan(-static_cast<double>(y) / static_cast<double>(x)) + s.pi / 2;
        if (x < 0) s.j += s.pi;
    } else if (x > 0 && y == 0) {
        s.j = s.pi / 2;
    } else if (x < 0 && y == 0) {
        s.j = -s.pi / 2;
    } else if (x == 0) {
        if (y > 0) s.j = 0;
        if (y < 0) s.j = s.pi;
    }
}

void Form1::DblClick() {
    clear();
    platform_.end();
}
