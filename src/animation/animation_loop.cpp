// Start-up and the endless loop of passes.
#include <cmath>

#include "animation/form1.h"

void Form1::Activate() {
    start_up();
    AnimationState& s = state_;
    for (;;) {
        // Pass 0 always advances, so the warm-up starts from a changed angle.
        if (s.stopp == 1 || s.m == 0) advance();
        if (s.j != s.j1 || s.fresh) {
            // Passes 0 and 1 only settle the angle; drawing starts on pass 2
            // (after a clear at the end of pass 2 that follows any change).
            if (s.m > 1) draw_frame();
            s.j1 = s.j;
            s.fresh = false;
        }
        if (!platform_.pump_events(*this)) return;
        ++s.m;
        // The pass-2 frame was drawn about the origin with unset centres:
        // wipe it once, so the visible trail starts clean.
        if (s.m == 3) clear();
    }
}

void Form1::clear() {
    platform_.clear();
    trail_.clear();
    figure_shown_ = false;
}

void Form1::start_up() {
    AnimationState& s = state_;
    s.pi = 4 * std::atan(1.0);
    s.step1 = 2 * s.pi / 1000;
    s.stepe = 15 * s.step1;
    s.stopp = 1;
    s.m = 0;
}

namespace {
// The rounding of the curve's phase 3·(t + k·a) grows with the angle and
// turns the figure against its centre: by under 0.001 rad up to this angle,
// by tenths of a radian near 10^16, enough to reach out of the window. Near
// the top of the double range the sum would overflow too. At the start-up
// speed an angle this large takes 10^13 passes.
constexpr double largest_angle = 0x1p40;
}  // namespace

// The new angle comes from j1, the last drawn one: a pointer angle written
// into j is replaced while the loop advances.
void Form1::advance() {
    AnimationState& s = state_;
    double from = s.j1;
    double step = s.stepe;
    // Whole turns taken off angle and step first leave the figure where it is.
    // j1 itself keeps its value, so the black trace still covers the red
    // figure drawn at it.
    if (!(from + step < largest_angle)) {
        from = std::fmod(from, 2 * s.pi);
        step = std::fmod(step, 2 * s.pi);
    }
    s.j = from + step;
}
