// The loop's warm-up, its passes in order, holding and resuming.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "animation/form1.h"
#include "support/recording_platform.h"

namespace {

using Kind = Command::Kind;

constexpr int segments_per_trace = 1001;
// One frame: black trace, erasing circle, red trace, red circle, blue circle.
constexpr std::size_t commands_per_frame = 2 * segments_per_trace + 3;

std::size_t count(const std::vector<Command>& commands, Kind kind) {
    return static_cast<std::size_t>(
        std::count_if(commands.begin(), commands.end(), [kind](const Command& c) { return c.kind == kind; }));
}

struct Session {
    RecordingPlatform platform;
    Form1 form{platform};
    explicit Session(std::int64_t passes) : platform(passes) {}
};

TEST(AnimationLoop, WarmUpDrawsOnPassTwoOnlyAndClearsAfterIt) {
    Session run(6);
    run.form.Activate();

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

TEST(AnimationLoop, FirstFrameUsesUnsetCentres) {
    Session run(3);
    run.form.Activate();
    const auto pass2 = run.platform.pass(2);
    // The black trace is drawn about the origin: its first segment ends at
    // the curve point for t = 0 itself, with no centre offset added.
    const Command& erase = pass2[segments_per_trace];
    EXPECT_EQ(erase.kind, Kind::circle);
    EXPECT_EQ(erase.x1, 0.0f);
    EXPECT_EQ(erase.y1, 0.0f);
    EXPECT_EQ(erase.colour, colours::light_grey);
    const Command& first_black = pass2[0];
    const double j1 = run.form.state().j1 - run.form.state().stepe;  // angle before pass 2's advance
    const double t = -run.form.state().step1 + run.form.state().step1;
    EXPECT_NEAR(first_black.x2, 12 * std::cos(3 * (t - j1 / 3)) + 75 * std::cos(t), 1e-4);
    EXPECT_NEAR(first_black.y2, 12 * std::sin(3 * (t - j1 / 3)) + 75 * std::sin(t), 1e-4);
}

TEST(AnimationLoop, EveryRunningPassDrawsOneFrameInOrder) {
    Session run(8);
    run.form.Activate();
    const AnimationState& s = run.form.state();
    const double stepe = 15 * 2 * std::numbers::pi / 1000;

    for (std::int64_t pass = 3; pass < 8; ++pass) {
        SCOPED_TRACE(pass);
        auto commands = run.platform.pass(pass);
        if (pass == 3) commands.erase(commands.begin());  // the clear
        ASSERT_EQ(commands.size(), commands_per_frame + 1);
        const double j = stepe * static_cast<double>(pass + 1);  // one advance per pass, pass 0 included
        const double j_previous = j - stepe;

        for (int i = 0; i < segments_per_trace; ++i) {
            ASSERT_EQ(commands[i].kind, Kind::line);
            ASSERT_EQ(commands[i].colour, colours::black);
            ASSERT_EQ(commands[segments_per_trace + 1 + i].kind, Kind::line);
            ASSERT_EQ(commands[segments_per_trace + 1 + i].colour, colours::red);
        }
        // A centre circle of radius 24 at the figure's centre for `angle`.
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
    Session run(40);
    run.platform.on_pump([](FormEvents& handlers, std::int64_t pass) {
        if (pass == 5) handlers.KeyPress(' ');
    });
    run.form.Activate();
    for (std::int64_t pass = 6; pass < 40; ++pass) EXPECT_EQ(run.platform.pass(pass).size(), 1u) << pass;
    EXPECT_EQ(run.form.state().m, 39);
    EXPECT_EQ(run.form.state().stopp, 0);
}

TEST(AnimationLoop, PointerAngleEqualToTheDrawnOneDrawsNothing) {
    Session run(12);
    run.platform.on_pump([&run](FormEvents& handlers, std::int64_t pass) {
        if (pass == 4) handlers.MouseMove(0, 0, 10, 0);  // holds, j = pi/2
        if (pass == 6) handlers.MouseMove(0, 0, 20, 0);  // the same angle again
    });
    run.form.Activate();
    EXPECT_EQ(count(run.platform.pass(5), Kind::line), 2u * segments_per_trace);
    EXPECT_EQ(run.platform.pass(7).size(), 1u);
    EXPECT_DOUBLE_EQ(run.form.state().j1, std::numbers::pi / 2);
}

TEST(AnimationLoop, SpaceResumesFromTheLastDrawnAngle) {
    Session run(12);
    run.platform.on_pump([](FormEvents& handlers, std::int64_t pass) {
        if (pass == 4) handlers.MouseMove(0, 0, 0, -10);  // j = pi
        if (pass == 6) handlers.KeyPress(' ');
    });
    run.form.Activate();
    const AnimationState& s = run.form.state();
    // Pass 5 draws at pi; pass 6 held; from pass 7 on five advances from pi.
    EXPECT_NEAR(s.j1, std::numbers::pi + 5 * s.stepe, 1e-12);
    EXPECT_EQ(s.stopp, 1);
}

TEST(AnimationLoop, PassCountBeyond32BitsChangesNothing) {
    // Passes counted at and past these numbers still draw one frame each, and
    // the only clear stays the one after pass 2.
    for (const std::int64_t start : {std::int64_t{1} << 15, std::int64_t{1} << 31, (std::int64_t{1} << 32) + 7}) {
        SCOPED_TRACE(start);
        Session run(6);
        run.platform.on_pump([&run, start](FormEvents&, std::int64_t pass) {
            if (pass == 3) run.form.state().m = start - 1;  // the pass counted next is `start`
        });
        run.form.Activate();
        EXPECT_EQ(count(run.platform.pass(4), Kind::line), 2u * segments_per_trace);
        EXPECT_EQ(count(run.platform.pass(5), Kind::line), 2u * segments_per_trace);
        EXPECT_EQ(count(run.platform.commands, Kind::clear), 1u);
    }
}

TEST(AnimationLoop, EndingInsideThePumpRunsNoFurtherPass) {
    Session run(1000);
    run.platform.on_pump([](FormEvents& handlers, std::int64_t pass) {
        if (pass == 10) handlers.KeyPress(27);
    });
    run.form.Activate();
    ASSERT_TRUE(run.platform.ended());
    EXPECT_EQ(run.form.state().m, 10) << "the pass that ended is not counted";
    // The escape clears the surface inside the pump; nothing is drawn after it.
    ASSERT_GE(run.platform.commands.size(), 2u);
    EXPECT_EQ(run.platform.commands.back().kind, Kind::clear);
    EXPECT_EQ(run.platform.commands[run.platform.commands.size() - 2].kind, Kind::pump);
}

}  // namespace
