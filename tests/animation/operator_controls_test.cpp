// The operator's keys, pointer and double-click.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <numbers>

#include "animation/keys.h"
#include "support/loop_facts.h"
#include "support/operator_script.h"
#include "support/scripted_platform.h"

namespace {

using Kind = Command::Kind;

constexpr double pi = std::numbers::pi;
// What "/" sets: a third of the start-up speed.
constexpr double slow_speed = loop::start_up_speed / 3;
// Passes a window has run before the operator acts.
constexpr std::int64_t started = 5;

// The lines among `commands`; a failure at the first command whose
// coordinates are not all finite.
std::size_t lines_drawn_finite(const std::vector<Command>& commands) {
    std::size_t lines = 0;
    for (const Command& c : commands) {
        if (!(std::isfinite(c.x1) && std::isfinite(c.y1) && std::isfinite(c.x2) && std::isfinite(c.y2))) {
            ADD_FAILURE() << "not finite: " << c;
            break;
        }
        lines += c.kind == Kind::line;
    }
    return lines;
}

TEST(Keys, CommaAndDotScaleTheSpeedSlashResetsIt) {
    ScriptedRun run(started);
    run.activate();
    EXPECT_EQ(run.state().stepe, loop::start_up_speed);
    press(run.form, key::slower, 20);
    EXPECT_NEAR(run.state().stepe / loop::start_up_speed, std::pow(0.95, 20), 1e-12);
    run.form.KeyPress(key::slow);
    EXPECT_DOUBLE_EQ(run.state().stepe, slow_speed);
    press(run.form, key::faster, 20);
    EXPECT_NEAR(run.state().stepe / slow_speed, std::pow(1.05, 20), 1e-12);
    run.form.KeyPress(key::slow);
    EXPECT_DOUBLE_EQ(run.state().stepe, slow_speed);
}

TEST(Keys, ShiftedAndOtherCharactersChangeNothing) {
    ScriptedRun run(started, {.record = true});
    run.activate();
    const AnimationState before = run.state();
    const std::size_t commands = run.platform.commands.size();
    for (const int code : {int{'<'}, int{'>'}, int{'?'}, int{'a'}, int{'P'}, 13, 8, 0, 0xFFFF, 0x2C00, 0x012E})
        run.form.KeyPress(static_cast<std::uint16_t>(code));
    EXPECT_EQ(run.state().stepe, before.stepe);
    EXPECT_EQ(run.state().stopp, before.stopp);
    EXPECT_EQ(run.state().j, before.j);
    EXPECT_EQ(run.platform.commands.size(), commands) << "no clear: the program goes on";
}

TEST(Keys, SpaceTogglesAndTwoPressesRestore) {
    ScriptedRun run(started);
    run.activate();
    EXPECT_EQ(run.state().stopp, 1);
    run.form.KeyPress(key::hold_or_run);
    EXPECT_EQ(run.state().stopp, 0);
    run.form.KeyPress(key::hold_or_run);
    EXPECT_EQ(run.state().stopp, 1);
}

TEST(Keys, SpeedChangedWhileHeldShowsOnlyAfterResuming) {
    ScriptedRun run(12);
    double held_at = 0;
    run.activate([&](FormEvents& handlers, std::int64_t pass) {
        if (pass == 4) {
            handlers.KeyPress(key::hold_or_run);
            held_at = run.state().j1;
        }
        if (pass == 5) handlers.KeyPress(key::slow);
        if (pass == 8) {
            EXPECT_EQ(run.state().j1, held_at) << "nothing moved while held";
            handlers.KeyPress(key::hold_or_run);
        }
    });
    // Passes 9, 10 and 11 advance at the new speed.
    EXPECT_NEAR(run.state().j1, held_at + 3 * slow_speed, 1e-12);
}

TEST(Keys, ExtremesOfTheSpeedStaySafe) {
    ScriptedRun run(10, {.record = true});
    run.activate(press_at(3, key::faster, 15000));
    EXPECT_TRUE(std::isfinite(run.state().stepe));
    EXPECT_GT(run.state().stepe, 1e307) << "presses that would overflow are ignored, the rest count";
    EXPECT_EQ(lines_drawn_finite(run.platform.commands), std::size_t{loop::lines_per_frame} * 8)
        << "every pass from 2 to 9 draws";
    EXPECT_TRUE(std::isfinite(run.state().j1));
}

TEST(Keys, BracketsStepTheEccentricityWithinFourToTwentyKeepingHoldAndSpeed) {
    ScriptedRun run(started, {.record = true});
    run.activate();
    run.form.KeyPress(key::hold_or_run);
    run.form.KeyPress(key::slow);
    const AnimationState before = run.state();
    const std::size_t issued = run.platform.commands.size();
    press(run.form, key::more_eccentric, 10);
    EXPECT_EQ(run.state().e, 20);
    press(run.form, key::less_eccentric, 20);
    EXPECT_EQ(run.state().e, 4);

    // Each change sets the picture and clears; a press beyond an end does nothing.
    std::vector<Command> expected;
    for (int e = 13; e <= 20; ++e) expected.insert(expected.end(), {{Kind::picture, float(e)}, {Kind::clear}});
    for (int e = 19; e >= 4; --e) expected.insert(expected.end(), {{Kind::picture, float(e)}, {Kind::clear}});
    EXPECT_EQ(std::vector<Command>(run.platform.commands.begin() + static_cast<std::ptrdiff_t>(issued),
                                   run.platform.commands.end()),
              expected);
    EXPECT_EQ(run.state().stopp, before.stopp);
    EXPECT_EQ(run.state().stepe, before.stepe);
    EXPECT_EQ(run.state().j, before.j);
}

// The pass after a change draws the figure at the current angle, with
// circles of the new size, over the picture alone: nothing painted black, no
// circle erased. Held, it stays; running, the next frame paints it black.
TEST(Keys, ANewEccentricityDrawsTheFigureAfreshHeldOrRunning) {
    constexpr std::size_t segments = loop::segments_per_trace;
    for (const bool held : {true, false}) {
        SCOPED_TRACE(held ? "held" : "running");
        ScriptedRun run(7, {.record = true});
        double angle = 0;
        run.activate([&](FormEvents& handlers, std::int64_t pass) {
            if (pass != 3) return;
            if (held) handlers.KeyPress(key::hold_or_run);
            handlers.KeyPress(key::more_eccentric);
            angle = run.state().j1 + (held ? 0 : run.state().stepe);
        });

        const std::vector<Command> fresh = run.platform.pass(4);
        ASSERT_EQ(fresh.size(), 2 + segments + 3);
        EXPECT_EQ(fresh[0], (Command{Kind::picture, 13}));
        EXPECT_EQ(fresh[1].kind, Kind::clear);
        for (std::size_t i = 2; i < 2 + segments; ++i) ASSERT_EQ(fresh[i].colour, colours::red) << i;
        const Command& centre = fresh[2 + segments];
        EXPECT_EQ(centre.colour, colours::red);
        EXPECT_NEAR(centre.x1, 13 * std::sin(angle), 1e-5);
        EXPECT_NEAR(centre.y1, 13 * std::cos(angle), 1e-5);
        EXPECT_EQ(centre.x2, 26);
        EXPECT_EQ(fresh[3 + segments], (Command{Kind::circle, 0, 0, 39, 0, colours::blue}));

        const std::vector<Command> next = run.platform.pass(5);
        ASSERT_EQ(next.size(), held ? 1 : 2 * segments + 4);
        if (!held) {
            EXPECT_EQ(next[0].kind, Kind::line);
            EXPECT_EQ(next[0].colour, colours::black);
        }
        EXPECT_EQ(run.state().stopp, held ? 0 : 1);
    }
}

TEST(Keys, SlowingDownStopsAtTheSmallestNormalSpeedAndDotClimbsBack) {
    ScriptedRun run(started);
    run.activate();
    const double start = run.state().stepe;
    press(run.form, key::slower, 20000);
    const double floor = run.state().stepe;
    EXPECT_GE(floor, DBL_MIN) << "a subnormal speed would round back to itself under '.'";
    EXPECT_LT(floor * 0.95, DBL_MIN) << "every press that kept it normal counted";

    // From there every '.' raises it, so the presses needed to get back are
    // those the factor 1.05 predicts.
    int presses = 0;
    while (run.state().stepe < start && presses < 20000) {
        const double before = run.state().stepe;
        run.form.KeyPress(key::faster);
        ++presses;
        ASSERT_GT(run.state().stepe, before) << "press " << presses;
    }
    EXPECT_NEAR(presses, std::ceil(std::log(start / floor) / std::log(1.05)), 1);
}

TEST(Keys, HugeAngleWithHugeSpeedIsReducedByWholeTurns) {
    ScriptedRun run(8, {.record = true});
    run.activate([&run](FormEvents&, std::int64_t pass) {
        if (pass == 3) {
            run.state().stepe = 1e300;
            run.state().j1 = 1.79e308;
        }
    });
    EXPECT_TRUE(std::isfinite(run.state().j1));
    EXPECT_EQ(lines_drawn_finite(run.platform.commands), std::size_t{loop::lines_per_frame} * 6)
        << "every pass from 2 to 7 draws";
}

// The red figure's centre circle's angle about the origin, and the direction,
// from that centre, of the figure's point farthest from it. The figure for
// angle a is turned by a/2, so that direction is a/2 (mod pi).
double centre_angle(const RedFigure& red) { return std::atan2(red.centre.x1, red.centre.y1); }
double long_axis(const RedFigure& red) {
    double farthest = 0, direction = 0;
    for (const Command& c : red.segments) {
        if (const double d = std::hypot(c.x2 - red.centre.x1, c.y2 - red.centre.y1); d > farthest) {
            farthest = d;
            direction = std::atan2(c.y2 - red.centre.y1, c.x2 - red.centre.x1);
        }
    }
    return direction;
}
double distance_mod_pi(double a, double b) {
    const double d = std::remainder(a - b, pi);
    return std::abs(d);
}

TEST(Keys, AtHugeSpeedsTheFigureTurnsInStepWithItsCentre) {
    // 770 presses of "." make the speed about 2e15 rad per pass. Left to grow,
    // the angle reaches 1e16 within a few passes, where rounding of the
    // curve's phase turns the figure against its centre and it reaches out of
    // the window.
    ScriptedRun run(12, {.record = true});
    run.activate(press_at(3, key::faster, 770));
    ASSERT_GT(run.state().stepe, 1e15);
    for (std::int64_t pass = 4; pass < 12; ++pass) {
        SCOPED_TRACE(pass);
        const RedFigure red = red_figure(run.platform.pass(pass));
        EXPECT_LT(distance_mod_pi(long_axis(red), centre_angle(red) / 2), 0.01);
        for (const Command& c : run.platform.pass(pass)) {
            if (c.kind == Kind::line) {
                ASSERT_LT(std::max(c.y1, c.y2), 82.7) << c;
            }
        }
    }
}

TEST(Keys, TakingOffWholeTurnsDoesNotJumpTheFigure) {
    // An angle just short of where turns are taken off, at the start-up speed.
    ScriptedRun run(12, {.record = true});
    run.activate([&run](FormEvents&, std::int64_t pass) {
        if (pass == 3) run.state().j1 = 0x1p40 - 0.2;
    });
    EXPECT_LT(run.state().j1, 0x1p40) << "turns were taken off";
    for (std::int64_t pass = 5; pass < 12; ++pass) {
        SCOPED_TRACE(pass);
        const double moved =
            centre_angle(red_figure(run.platform.pass(pass))) - centre_angle(red_figure(run.platform.pass(pass - 1)));
        EXPECT_NEAR(std::remainder(moved, 2 * pi), loop::start_up_speed, 1e-4) << "the centre still moves by the speed";
    }
}

TEST(Keys, EscapeClearsAndEnds) {
    ScriptedRun run(1000, {.record = true});
    run.form.KeyPress(key::escape);
    EXPECT_TRUE(run.platform.ended());
    EXPECT_EQ(run.platform.commands, std::vector<Command>{{Kind::clear}});
}

TEST(Pointer, DirectionFromTheOriginSetsTheAngle) {
    struct Case {
        float x, y;
        double angle;
    };
    for (const Case c : {Case{10, 0, pi / 2}, Case{0, 10, 0}, Case{-10, 0, -pi / 2}, Case{0, -10, pi},
                         Case{10, 10, pi / 4}, Case{-10, 10, 7 * pi / 4}, Case{10, -10, 3 * pi / 4},
                         Case{-10, -10, 5 * pi / 4}, Case{1e-3f, 80, 1e-3 / 80}}) {
        SCOPED_TRACE(::testing::Message() << c.x << "," << c.y);
        ScriptedRun run(started);
        run.activate();
        run.form.MouseMove(0, 0, c.x, c.y);
        EXPECT_NEAR(run.state().j, c.angle, 1e-12);
        EXPECT_EQ(run.state().stopp, 0) << "moving the mouse holds the animation";
        // The centre then lies on the ray towards the pointer.
        const double len = std::hypot(c.x, c.y);
        EXPECT_NEAR(std::sin(run.state().j), c.x / len, 1e-6);
        EXPECT_NEAR(std::cos(run.state().j), c.y / len, 1e-6);
    }
}

TEST(Pointer, AtTheOriginOrNotANumberLeavesTheAngle) {
    ScriptedRun run(started);
    run.activate();
    const double j = run.state().j;
    run.form.MouseMove(0, 0, 0, 0);
    EXPECT_EQ(run.state().j, j);
    EXPECT_EQ(run.state().stopp, 0);
    run.form.KeyPress(key::hold_or_run);
    run.form.MouseMove(0, 0, NAN, 5);
    run.form.MouseMove(0, 0, 5, INFINITY);
    EXPECT_EQ(run.state().j, j);
    EXPECT_EQ(run.state().stopp, 1);
}

TEST(Pointer, ProductRoundedToSinglePrecisionDecidesTheFirstCase) {
    ScriptedRun run(started);
    run.activate();
    const double j = run.state().j;
    // Both non-zero, but their product underflows single precision: no case
    // applies and the angle stays.
    run.form.MouseMove(0, 0, 1e-30f, 1e-30f);
    EXPECT_EQ(run.state().j, j);
    // Far outside the window the product overflows to infinity, still not 0.
    run.form.MouseMove(0, 0, -1e30f, 1e30f);
    EXPECT_NEAR(run.state().j, 7 * pi / 4, 1e-12);
}

TEST(Pointer, BeforeTheFirstPassItSetsTheAngleButDoesNotHold) {
    ScriptedRun run(1);
    run.activate([](FormEvents& handlers, std::int64_t pass) {
        if (pass == 0) handlers.MouseMove(0, 0, 10, 0);
    });
    EXPECT_EQ(run.state().m, 0);
    EXPECT_EQ(run.state().stopp, 1);
    EXPECT_DOUBLE_EQ(run.state().j, pi / 2);
}

TEST(Pointer, NextPassDrawsAtThePointerAngleAndSpaceResumesFromIt) {
    ScriptedRun run(9, {.record = true});
    run.activate([](FormEvents& handlers, std::int64_t pass) {
        if (pass == 4) handlers.MouseMove(0, 0, 10, 0);
        if (pass == 6) handlers.KeyPress(key::hold_or_run);
    });
    const Command red_centre = red_figure(run.platform.pass(5)).centre;
    EXPECT_NEAR(red_centre.x1, 12, 1e-5);
    EXPECT_NEAR(red_centre.y1, 0, 1e-5);
    // Passes 7 and 8 advance from pi/2.
    EXPECT_NEAR(run.state().j1, pi / 2 + 2 * loop::start_up_speed, 1e-12);
}

TEST(DoubleClick, ClearsAndEnds) {
    ScriptedRun run(1000, {.record = true});
    run.activate([](FormEvents& handlers, std::int64_t pass) {
        if (pass == 7) handlers.DblClick();
    });
    EXPECT_TRUE(run.platform.ended());
    EXPECT_EQ(run.state().m, 7);
    EXPECT_EQ(run.platform.commands.back().kind, Kind::clear);
}

}  // namespace
