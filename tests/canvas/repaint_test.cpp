// Drawing the picture anew: the trail's angles, Form1::Paint over a cleared
// canvas, and a canvas started afresh at another density.
#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <vector>

#include "animation/form1.h"
#include "animation/keys.h"
#include "background/background_picture.h"
#include "support/headless_platform.h"
#include "support/pixel_compare.h"

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
    HeadlessPlatform platform(steered_passes, UserCoordinates(scale), draw_background_picture);
    platform.on_pump(steer);
    Form1 form(platform);
    form.Activate();
    return PixelImage::of(platform.canvas());
}

TEST(Paint, DrawsWhatTheLoopLeftAtAnyDensity) {
    HeadlessPlatform platform(steered_passes, UserCoordinates(1), draw_background_picture);
    platform.on_pump(steer);
    Form1 form(platform);
    form.Activate();
    const PixelImage drawn = PixelImage::of(platform.canvas());
    platform.canvas().clear();
    form.Paint();
    expect_same_pixels(PixelImage::of(platform.canvas()), drawn, "paint-1");
    for (const double scale : {2.0, 1.25}) {
        platform.canvas().resize(UserCoordinates(scale));
        form.Paint();
        expect_same_pixels(PixelImage::of(platform.canvas()), steered_run(scale), "paint-" + std::to_string(scale));
    }
}

TEST(Paint, AddsNothingToASurfaceClearedByAnEnding) {
    HeadlessPlatform platform(100);
    platform.on_pump([](FormEvents& handlers, std::int64_t pass) {
        if (pass == 10) handlers.KeyPress(key::escape);
    });
    Form1 form(platform);
    form.Activate();
    const PixelImage cleared = PixelImage::of(platform.canvas());
    form.Paint();
    expect_same_pixels(PixelImage::of(platform.canvas()), cleared, "paint-after-escape");
}

}  // namespace
