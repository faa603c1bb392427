// The envelope frame the straightforward way: every sample's sine and cosine
// computed afresh (8018 evaluations a frame) and every segment and circle its
// own call into the canvas. Kept as the yardstick for the program's frame: the
// benchmark times the two against each other, and tests prove that they
// leave the same pixels.
#pragma once

#include "animation/animation_state.h"
#include "canvas/canvas.h"

class StraightforwardFrame {
public:
    explicit StraightforwardFrame(Canvas& image) : image_(image) {}

    // One frame from angle j1 to j at the start-up eccentricity; the first
    // one paints black about the origin, as nothing was drawn before it.
    void draw(double j1, double j);

    const LoopValues& values() const { return w_; }

private:
    void trace(double a, double ox, double oy, Colour colour);

    Canvas& image_;
    LoopValues w_;
};
