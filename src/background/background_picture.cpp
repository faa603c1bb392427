#include "background/background_picture.h"

#include <cstdint>
#include <numbers>

#include "animation/form1.h"
#include "canvas/canvas.h"

namespace {

// Figures shown: one every 15 degrees of the eccentric angle, half a turn of
// the figure itself, which repeats after that.
constexpr int figures = 24;
// The warm-up passes, one figure a pass, and one more pass to paint the
// last red figure black.
constexpr std::int64_t passes = 3 + figures + 1;

// Runs the animation's own loop and keeps only its black figures (the trail)
// from the pass-2 clear on: no red figure, no circles.
class TrailOnly final : public Platform {
public:
    explicit TrailOnly(Canvas& canvas) : canvas_(canvas) {}
    // The state whose speed makes one figure a pass.
    void pace(AnimationState& state) { state_ = &state; }

    void line(float x1, float y1, float x2, float y2, Colour colour) override {
        if (cleared_ && colour == colours::black) canvas_.line(x1, y1, x2, y2, colour);
    }
    void circle(float, float, float, Colour) override {}
    void clear() override { cleared_ = true; }
    Colour back_color() const override { return canvas_.back_color(); }
    bool pump_events(FormEvents&) override {
        // The start-up has set the speed by the first pump.
        state_->stepe = 2 * std::numbers::pi / figures;
        return ++pumped_ < passes;
    }
    void end() override { pumped_ = passes; }

private:
    Canvas& canvas_;
    AnimationState* state_ = nullptr;
    bool cleared_ = false;
    std::int64_t pumped_ = 0;
};

}  // namespace

void draw_background_picture(Canvas& canvas, double e) {
    TrailOnly platform(canvas);
    Form1 form(platform);
    form.state().e = e;
    platform.pace(form.state());
    form.Activate();
}
