// The loop's warm-up, its passes in order, holding and resuming.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "animation/keys.h"
#include "support/loop_facts.h"
#include "support/operator_script.h"
#include "support/pixel_compare.h"
#include "support/scripted_platform.h"
#include "support/straightforward_frame.h"

namespace {

using Kind = Command::Kind;
using loop::segments_per_trace;

// One frame: black trace, erasing circle, red trace, red circle, blue circle.
constexpr std::size_t commands_per_frame = loop::lines_per_frame + 3;

std::size_t count(const std::vector<Command>& commands, Kind kind) {
    return static_cast<std::size_t>(
        std::count_if(commands.begin(), commands.end(), [kind](const Command& c) { return c.kind == kind; }));
}

TEST(AnimationLoop, WarmUpDrawsOnPassTwoOnlyAndClearsAfterIt) {
    ScriptedRun run(6, {.record = true});
    run.activate();

    EXPECT_EQ(run.platform.pass(0), std::vector<Command>{{Kind::pump}});
    EXPECT_EQ(run.platform.pass(1), std::vector<Command>{{Kind::pump}});

    const auto pass2 = run.platform.pass(2);
    ASSERT_EQ(pass2.size(), commands_per_frame + 1);
    EXPECT_EQ(pass2.back().kind, Kind::pump);
    EXPECT_EQ(count(pass2, Kind::clear), 0u);

    const auto pass3 = run.platform.pass(3);
    ASSERT_FALSE(pass3.empty());
    EXPECT_EQ(pass3.front().kind, Kind::clear) << "the surface is cleared at the end of pass 2";
    EXPECT_EQ(count(run.platform.commands, Kind::clear), 1u) << "and never again";
}

TEST(AnimationLoop, FirstFrameIsTheStraightforwardOneFromUnsetCentres) {
    // The run stops at pass 2's pump, before the clear: its frame stays.
    ScriptedRun run(3, {.record = true});
    double painted_black = 0;
    run.activate([&run, &painted_black](FormEvents&, std::int64_t pass) {
        if (pass == 1) painted_black = run.state().j1;
    });
    const Command erase = run.platform.pass(2)[segments_per_trace];
    EXPECT_EQ(erase, (Command{Kind::circle, 0, 0, 24, 0, colours::light_grey})) << "about the origin";

    Canvas expected;
    StraightforwardFrame(expected).draw(painted_black, run.state().j1);
    expect_same_pixels(PixelImage::of(run.platform.canvas()), PixelImage::of(expected), "first-frame");
}

TEST(AnimationLoop, EveryRunningPassDrawsOneFrameInOrder) {
    ScriptedRun run(8, {.record = true});
    run.activate();
    const AnimationState& s = run.state();

    for (std::int64_t pass = 3; pass < 8; ++pass) {
        SCOPED_TRACE(pass);
        auto commands = run.platform.pass(pass);
        if (pass == 3) commands.erase(commands.begin());  // the clear
        ASSERT_EQ(commands.size(), commands_per_frame + 1);
        // One advance per pass, pass 0 included.
        const double j = loop::start_up_speed * static_cast<double>(pass + 1);
        const double j_previous = j - loop::start_up_speed;

        for (int i = 0; i < segments_per_trace; ++i) {
            ASSERT_EQ(commands[i].kind, Kind::line);
            ASSERT_EQ(commands[i].colour, colours::black);
            ASSERT_EQ(commands[segments_per_trace + 1 + i].kind, Kind::line);
            ASSERT_EQ(commands[segments_per_trace + 1 + i].colour, colours::red);
        }
        // A centre circle of radius 24 at the figure's centre for `angle`,
        // 12 from the origin.
        const auto expect_centre_circle = [](const Command& c, Colour colour, double angle) {
            EXPECT_EQ(c.kind, Kind::circle);
            EXPECT_EQ(c.colour, colour);
            EXPECT_FLOAT_EQ(c.x2, 24);
            EXPECT_NEAR(c.x1, 12 * std::sin(angle), 1e-5);
            EXPECT_NEAR(c.y1, 12 * std::cos(angle), 1e-5);
        };
        expect_centre_circle(commands[segments_per_trace], colours::light_grey, j_previous);  // the erasing one
        expect_centre_circle(commands[2 * segments_per_trace + 1], colours::red, j);

        const Command& origin = commands[2 * segments_per_trace + 2];
        EXPECT_EQ(origin, (Command{Kind::circle, 0, 0, 36, 0, colours::blue}));

        // The black trace repeats the previous pass's red trace exactly.
        if (pass > 3) {
            const auto previous = run.platform.pass(pass - 1);
            const auto red_start = previous.end() - (segments_per_trace + 3);
            for (int i = 0; i < segments_per_trace; ++i) {
                Command black = commands[i];
                black.colour = colours::red;
                ASSERT_EQ(black, red_start[i]) << "segment " << i;
            }
        }
    }
    EXPECT_DOUBLE_EQ(s.j, s.j1);
}

TEST(AnimationLoop, HeldLoopKeepsCountingAndDrawsNothing) {
    ScriptedRun run(40, {.record = true});
    run.activate(press_at(5, key::hold_or_run));
    for (std::int64_t pass = 6; pass < 40; ++pass) EXPECT_EQ(run.platform.pass(pass).size(), 1u) << pass;
    EXPECT_EQ(run.state().m, 39);
    EXPECT_EQ(run.state().stopp, 0);
}

TEST(AnimationLoop, PointerAngleEqualToTheDrawnOneDrawsNothing) {
    ScriptedRun run(12, {.record = true});
    run.activate([](FormEvents& handlers, std::int64_t pass) {
        if (pass == 4) handlers.MouseMove(0, 0, 10, 0);  // holds, j = pi/2
        if (pass == 6) handlers.MouseMove(0, 0, 20, 0);  // the same angle again
    });
    EXPECT_EQ(count(run.platform.pass(5), Kind::line), std::size_t{loop::lines_per_frame});
    EXPECT_EQ(run.platform.pass(7).size(), 1u);
    EXPECT_DOUBLE_EQ(run.state().j1, std::numbers::pi / 2);
}

TEST(AnimationLoop, SpaceResumesFromTheLastDrawnAngle) {
    ScriptedRun run(12);
    run.activate([](FormEvents& handlers, std::int64_t pass) {
        if (pass == 4) handlers.MouseMove(0, 0, 0, -10);  // j = pi
        if (pass == 6) handlers.KeyPress(key::hold_or_run);
    });
    // Pass 5 draws at pi; pass 6 held; from pass 7 on five advances from pi.
    EXPECT_NEAR(run.state().j1, std::numbers::pi + 5 * loop::start_up_speed, 1e-12);
    EXPECT_EQ(run.state().stopp, 1);
}

TEST(AnimationLoop, PassCountBeyond32BitsChangesNothing) {
    // Passes counted at and past these numbers still draw one frame each, and
    // the only clear stays the one after pass 2.
    for (const std::int64_t start : {std::int64_t{1} << 15, std::int64_t{1} << 31, (std::int64_t{1} << 32) + 7}) {
        SCOPED_TRACE(start);
        ScriptedRun run(6, {.record = true});
        run.activate([&run, start](FormEvents&, std::int64_t pass) {
            if (pass == 3) run.state().m = start - 1;  // the pass counted next is `start`
        });
        EXPECT_EQ(count(run.platform.pass(4), Kind::line), std::size_t{loop::lines_per_frame});
        EXPECT_EQ(count(run.platform.pass(5), Kind::line), std::size_t{loop::lines_per_frame});
        EXPECT_EQ(count(run.platform.commands, Kind::clear), 1u);
    }
}

TEST(AnimationLoop, EndingInsideThePumpRunsNoFurtherPass) {
    ScriptedRun run(1000, {.record = true});
    run.activate(press_at(10, key::escape));
    ASSERT_TRUE(run.platform.ended());
    EXPECT_EQ(run.state().m, 10) << "the pass that ended is not counted";
    // The escape clears the surface inside the pump; nothing is drawn after it.
    const std::vector<Command>& commands = run.platform.commands;
    ASSERT_GE(commands.size(), 2u);
    EXPECT_EQ(commands.back().kind, Kind::clear);
    EXPECT_EQ(commands[commands.size() - 2].kind, Kind::pump);
}

}  // namespace
