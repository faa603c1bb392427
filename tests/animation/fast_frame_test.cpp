// The frame's kept terms and repeated points leave exactly the pixels of the
// straightforward way, over a whole operated run.
#include <gtest/gtest.h>

#include <string>

#include "support/operator_script.h"
#include "support/pixel_compare.h"
#include "support/scripted_platform.h"
#include "support/straightforward_frame.h"

namespace {

TEST(FastFrame, FiveHundredPassesLeaveTheStraightforwardPixels) {
    ScriptedRun run(500, {.picture = [](Canvas& canvas, double) { draw_test_picture(canvas); }});
    Canvas reference(UserCoordinates{}, draw_test_picture);
    StraightforwardFrame straightforward(reference);

    // The program draws a frame exactly on the passes after the second that
    // change j1; the straightforward frame follows it from the same angles.
    double drawn_angle = 0;
    int frames = 0;
    run.activate([&](FormEvents& handlers, std::int64_t pass) {
        const double j1 = run.state().j1;
        if (pass > 1 && j1 != drawn_angle) {
            straightforward.draw(drawn_angle, j1);
            ++frames;
        }
        drawn_angle = j1;
        if (pass == 2) reference.clear();  // as the loop does after this pump
        if (pass % 125 == 124) {
            expect_same_pixels(PixelImage::of(run.platform.canvas()), PixelImage::of(reference),
                               "pass-" + std::to_string(pass));
        }
        operate(handlers, pass);
    });

    EXPECT_GT(frames, 400) << "the run mostly draws";
    EXPECT_LT(frames, 490) << "and is held now and then";
    const LoopValues& a = run.form.loop_values();
    const LoopValues& b = straightforward.values();
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.yp, b.yp);
    EXPECT_EQ(a.cx, b.cx);
    EXPECT_EQ(a.cyp, b.cyp);
    expect_same_pixels(PixelImage::of(run.platform.canvas()), PixelImage::of(reference), "pass-499");
}

}  // namespace
