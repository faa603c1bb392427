// Drawing the picture anew: the trail's angles, Form1::Paint over a cleared
// canvas, and a canvas started afresh at another density.
#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <vector>

#include "animation/keys.h"
#include "background/background_picture.h"
#include "support/operator_script.h"
#include "support/pixel_compare.h"
#include "support/scripted_platform.h"

namespace {

TEST(Trail, KeepsTheLatestAngleOfEachShareOfATurnInTheOrderLastAdded) {
    constexpr double turn = 2 * std::numbers::pi;
    const double near = turn / Trail::shares / 10;
    Trail trail;
    trail.add(1.0);
    trail.add(-1.0);
    trail.add(1.0 + 3 * turn);  // the same figure, turns later
    trail.add(-1.0 + near);     // the same share
    EXPECT_EQ(trail.angles(), (std::vector<double>{1.0 + 3 * turn, -1.0 + near}));
    trail.clear();
    EXPECT_TRUE(trail.empty());
    trail.add(1.0);
    EXPECT_EQ(trail.size(), 1u);
}

// Every way an angle comes: turning, at another speed, steered while held
// (once back to an angle drawn before), turning again; then afresh at an
// eccentricity whose erasing circles cut the trail.
void steer(FormEvents& handlers, std::int64_t pass) {
    if (pass == 20) handlers.KeyPress(key::slower);
    if (pass == 40) handlers.MouseMove(0, 0, 30, -50);
    if (pass == 41) handlers.MouseMove(0, 0, -60, 10);
    if (pass == 42) handlers.MouseMove(0, 0, 30, -50);
    if (pass == 50) handlers.KeyPress(key::hold_or_run);
    if (pass == 90) {
        for (int press = 0; press < 6; ++press) handlers.KeyPress(key::more_eccentric);
    }
}
constexpr int steered_passes = 160;

PixelImage steered_run(double scale) {
    ScriptedRun run(steered_passes, {.coords = UserCoordinates(scale), .picture = draw_background_picture});
    run.activate(steer);
    return PixelImage::of(run.platform.canvas());
}

TEST(Paint, DrawsWhatTheLoopLeftAtAnyDensity) {
    ScriptedRun run(steered_passes, {.picture = draw_background_picture});
    run.activate(steer);
    Canvas& canvas = run.platform.canvas();
    const PixelImage drawn = PixelImage::of(canvas);
    canvas.clear();
    run.form.Paint();
    expect_same_pixels(PixelImage::of(canvas), drawn, "paint-1");
    for (const double scale : {2.0, 1.25}) {
        canvas.resize(UserCoordinates(scale));
        run.form.Paint();
        expect_same_pixels(PixelImage::of(canvas), steered_run(scale), "paint-" + std::to_string(scale));
    }
}

TEST(Paint, AddsNothingToASurfaceClearedByAnEnding) {
    ScriptedRun run(100);
    run.activate(press_at(10, key::escape));
    const PixelImage cleared = PixelImage::of(run.platform.canvas());
    run.form.Paint();
    expect_same_pixels(PixelImage::of(run.platform.canvas()), cleared, "paint-after-escape");
}

}  // namespace
