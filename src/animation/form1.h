// The main window's logic: the animation loop, the envelope frame and the
// operator's input handlers. It draws and pumps events only through Platform;
// it knows nothing of the window system behind it.
#pragma once

#include <cstdint>

#include "animation/animation_state.h"
#include "animation/colour.h"
#include "animation/platform.h"
#include "animation/trail.h"

class Form1 final : public FormEvents {
public:
    explicit Form1(Platform& platform) : platform_(platform) {}

    // The window's first activation: start-up, then pass after pass until the
    // platform reports that the program has ended.
    void Activate();

    void KeyPress(std::uint16_t code) override;
    void MouseMove(int button, int shift, float x, float y) override;
    void DblClick() override;

    // Draws anew over a cleared surface what the loop has left on it since
    // its last clear: the trail's black figures, the red figure with its
    // centre circle and the origin circle. For a front end whose surface
    // changes size (the page); the loop itself never repaints.
    void Paint();

    AnimationState& state() { return state_; }
    const AnimationState& state() const { return state_; }
    const LoopValues& loop_values() const { return loop_; }
    const Trail& trail() const { return trail_; }

private:
    void start_up();
    void clear();
    void advance();
    void change_eccentricity(double e);
    void draw_frame();
    void trace(double a, double ox, double oy, Colour colour);
    void prepare_samples(double start, double end, double step);

    Platform& platform_;
    AnimationState state_;
    LoopValues loop_;
    TraceMemo memo_;
    Trail trail_;                // the black figures since the last clear
    bool figure_shown_ = false;  // a frame was drawn since the last clear
};
