// The operator's keys, pointer and double-click.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <numbers>

#include "animation/form1.h"
#include "support/recording_platform.h"

namespace {

using Kind = Command::Kind;

constexpr double pi = std::numbers::pi;
constexpr double step1 = 2 * pi / 1000;

// A window whose loop has completed its start-up and `passes` passes.
struct Started {
    RecordingPlatform platform;
    Form1 form{platform};
    explicit Started(std::int64_t passes = 5) : platform(passes) { form.Activate(); }
    AnimationState& s() { return form.state(); }
};

TEST(Keys, CommaAndDotScaleTheSpeedSlashResetsIt) {
    Started w;
    const double start = w.s().stepe;
    EXPECT_DOUBLE_EQ(start, 15 * step1);
    for (int i = 0; i < 20; ++i) w.form.KeyPress(',');
    EXPECT_NEAR(w.s().stepe / start, std::pow(0.95, 20), 1e-12);
    w.form.KeyPress('/');
    EXPECT_EQ(w.s().stepe, 5 * w.s().step1) << "exactly a third of the start-up speed";
    const double slow = w.s().stepe;
    for (int i = 0; i < 20; ++i) w.form.KeyPress('.');
    EXPECT_NEAR(w.s().stepe / slow, std::pow(1.05, 20), 1e-12);
    w.form.KeyPress('/');
    EXPECT_EQ(w.s().stepe, 5 * w.s().step1);
}

TEST(Keys, ShiftedAndOtherCharactersChangeNothing) {
    Started w;
    const AnimationState before = w.s();
    const std::size_t commands = w.platform.commands.size();
    for (const int code : {int{'<'}, int{'>'}, int{'?'}, int{'a'}, int{'P'}, 13, 8, 0, 0xFFFF, 0x2C00, 0x012E})
        w.form.KeyPress(static_cast<std::uint16_t>(code));
    EXPECT_EQ(w.s().stepe, before.stepe);
    EXPECT_EQ(w.s().stopp, before.stopp);
    EXPECT_EQ(w.s().j, before.j);
    EXPECT_EQ(w.platform.commands.size(), commands) << "no clear: the program goes on";
}

TEST(Keys, SpaceTogglesAndTwoPressesRestore) {
    Started w;
    EXPECT_EQ(w.s().stopp, 1);
    w.form.KeyPress(' ');
    EXPECT_EQ(w.s().stopp, 0);
    w.form.KeyPress(' ');
    EXPECT_EQ(w.s().stopp, 1);
}

TEST(Keys, SpeedChangedWhileHeldShowsOnlyAfterResuming) {
    RecordingPlatform platform(12);
    Form1 form(platform);
    double held_at = 0;
    platform.on_pump([&](FormEvents& handlers, std::int64_t pass) {
        if (pass == 4) {
            handlers.KeyPress(' ');
            held_at = form.state().j1;
        }
        if (pass == 5) handlers.KeyPress('/');
        if (pass == 8) {
            EXPECT_EQ(form.state().j1, held_at) << "nothing moved while held";
            handlers.KeyPress(' ');
        }
    });
    form.Activate();
    // Passes 9, 10 and 11 advance at the new speed.
    EXPECT_NEAR(form.state().j1, held_at + 3 * 5 * step1, 1e-12);
}

TEST(Keys, ExtremesOfTheSpeedStaySafe) {
    RecordingPlatform platform(10);
    Form1 form(platform);
    platform.on_pump([](FormEvents& handlers, std::int64_t pass) {
        if (pass == 3)
            for (int i = 0; i < 15000; ++i) handlers.KeyPress('.');
    });
    form.Activate();
    EXPECT_TRUE(std::isfinite(form.state().stepe));
    EXPECT_GT(form.state().stepe, 1e307) << "presses that would overflow are ignored, the rest count";
    for (const Command& c : platform.commands) {
        ASSERT_TRUE(std::isfinite(c.x1) && std::isfinite(c.y1) && std::isfinite(c.x2) && std::isfinite(c.y2)) << c;
    }
    EXPECT_TRUE(std::isfinite(form.state().j1));
}

TEST(Keys, BracketsStepTheEccentricityWithinFourToTwentyKeepingHoldAndSpeed) {
    Started w;
    w.form.KeyPress(' ');
    w.form.KeyPress('/');
    const AnimationState before = w.s();
    const std::size_t issued = w.platform.commands.size();
    for (int i = 0; i < 10; ++i) w.form.KeyPress(']');
    EXPECT_EQ(w.s().e, 20);
    for (int i = 0; i < 20; ++i) w.form.KeyPress('[');
    EXPECT_EQ(w.s().e, 4);

    // Each change sets the picture and clears; a press beyond an end does nothing.
    std::vector<Command> expected;
    for (int e = 13; e <= 20; ++e) expected.insert(expected.end(), {{Kind::picture, float(e)}, {Kind::clear}});
    for (int e = 19; e >= 4; --e) expected.insert(expected.end(), {{Kind::picture, float(e)}, {Kind::clear}});
    EXPECT_EQ(std::vector<Command>(w.platform.commands.begin() + static_cast<std::ptrdiff_t>(issued),
                                   w.platform.commands.end()),
              expected);
    EXPECT_EQ(w.s().stopp, before.stopp);
    EXPECT_EQ(w.s().stepe, before.stepe);
    EXPECT_EQ(w.s().j, before.j);
}

// The pass after a change draws the figure at the current angle, with
// circles of the new size, over the picture alone: nothing painted black, no
// circle erased. Held, it stays; running, the next frame paints it black.
TEST(Keys, ANewEccentricityDrawsTheFigureAfreshHeldOrRunning) {
    constexpr std::size_t segments = 1001;
    for (const bool held : {true, false}) {
        SCOPED_TRACE(held ? "held" : "running");
        RecordingPlatform platform(7);
        Form1 form(platform);
        double angle = 0;
        platform.on_pump([&](FormEvents& handlers, std::int64_t pass) {
            if (pass != 3) return;
            if (held) handlers.KeyPress(' ');
            handlers.KeyPress(']');
            angle = form.state().j1 + (held ? 0 : form.state().stepe);
        });
        form.Activate();

        const std::vector<Command> fresh = platform.pass(4);
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

        const std::vector<Command> next = platform.pass(5);
        ASSERT_EQ(next.size(), held ? 1 : 2 * segments + 4);
        if (!held) {
            EXPECT_EQ(next[0].kind, Kind::line);
            EXPECT_EQ(next[0].colour, colours::black);
        }
        EXPECT_EQ(form.state().stopp, held ? 0 : 1);
    }
}

TEST(Keys, SlowingDownStopsAtTheSmallestNormalSpeedAndDotClimbsBack) {
    Started w;
    const double start = w.s().stepe;
    for (int i = 0; i < 20000; ++i) w.form.KeyPress(',');
    const double floor = w.s().stepe;
    EXPECT_GE(floor, DBL_MIN) << "a subnormal speed would round back to itself under '.'";
    EXPECT_LT(floor * 0.95, DBL_MIN) << "every press that kept it normal counted";

    // From there every '.' raises it, so the presses needed to get back are
    // those the factor 1.05 predicts.
    int presses = 0;
    while (w.s().stepe < start && presses < 20000) {
        const double before = w.s().stepe;
        w.form.KeyPress('.');
        ++presses;
        ASSERT_GT(w.s().stepe, before) << "press " << presses;
    }
    EXPECT_NEAR(presses, std::ceil(std::log(start / floor) / std::log(1.05)), 1);
}

TEST(Keys, HugeAngleWithHugeSpeedIsReducedByWholeTurns) {
    RecordingPlatform platform(8);
    Form1 form(platform);
    platform.on_pump([&form](FormEvents&, std::int64_t pass) {
        if (pass == 3) {
            form.state().stepe = 1e300;
            form.state().j1 = 1.79e308;
        }
    });
    form.Activate();
    EXPECT_TRUE(std::isfinite(form.state().j1));
    std::size_t lines = 0;
    for (const Command& c : platform.commands) {
        ASSERT_TRUE(std::isfinite(c.x1) && std::isfinite(c.y1) && std::isfinite(c.x2) && std::isfinite(c.y2)) << c;
        lines += c.kind == Command::Kind::line;
    }
    EXPECT_EQ(lines, 2u * 1001 * 6) << "every pass from 2 to 7 draws";
}

// The red figure of one pass: its centre circle's angle a about the origin
// and the direction, from that centre, of its point farthest from it. The
// figure for angle a is turned by a/2, so that direction is a/2 (mod pi).
struct RedFigure {
    double centre_angle = 0;
    double long_axis = 0;
};
RedFigure red_figure(const std::vector<Command>& pass) {
    float cx = 0, cy = 0;
    for (const Command& c : pass) {
        if (c.kind == Command::Kind::circle && c.colour == colours::red) cx = c.x1, cy = c.y1;
    }
    double farthest = 0, direction = 0;
    for (const Command& c : pass) {
        if (c.kind != Command::Kind::line || c.colour != colours::red) continue;
        if (const double d = std::hypot(c.x2 - cx, c.y2 - cy); d > farthest) {
            farthest = d;
            direction = std::atan2(c.y2 - cy, c.x2 - cx);
        }
    }
    return {std::atan2(cx, cy), direction};
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
    RecordingPlatform platform(12);
    Form1 form(platform);
    platform.on_pump([](FormEvents& handlers, std::int64_t pass) {
        if (pass == 3)
            for (int i = 0; i < 770; ++i) handlers.KeyPress('.');
    });
    form.Activate();
    ASSERT_GT(form.state().stepe, 1e15);
    for (std::int64_t pass = 4; pass < 12; ++pass) {
        SCOPED_TRACE(pass);
        const RedFigure red = red_figure(platform.pass(pass));
        EXPECT_LT(distance_mod_pi(red.long_axis, red.centre_angle / 2), 0.01);
        for (const Command& c : platform.pass(pass)) {
            if (c.kind == Command::Kind::line) {
                ASSERT_LT(std::max(c.y1, c.y2), 82.7) << c;
            }
        }
    }
}

TEST(Keys, TakingOffWholeTurnsDoesNotJumpTheFigure) {
    // An angle just short of where turns are taken off, at the start-up speed.
    RecordingPlatform platform(12);
    Form1 form(platform);
    platform.on_pump([&form](FormEvents&, std::int64_t pass) {
        if (pass == 3) form.state().j1 = 0x1p40 - 0.2;
    });
    form.Activate();
    EXPECT_LT(form.state().j1, 0x1p40) << "turns were taken off";
    for (std::int64_t pass = 5; pass < 12; ++pass) {
        SCOPED_TRACE(pass);
        const double moved =
            red_figure(platform.pass(pass)).centre_angle - red_figure(platform.pass(pass - 1)).centre_angle;
        EXPECT_NEAR(std::remainder(moved, 2 * pi), 15 * step1, 1e-4) << "the centre still moves by the speed";
    }
}

TEST(Keys, EscapeClearsAndEnds) {
    RecordingPlatform platform(1000);
    Form1 form(platform);
    form.KeyPress(27);
    EXPECT_TRUE(platform.ended());
    ASSERT_EQ(platform.commands.size(), 1u);
    EXPECT_EQ(platform.commands[0].kind, Command::Kind::clear);
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
        Started w;
        w.form.MouseMove(0, 0, c.x, c.y);
        EXPECT_NEAR(w.s().j, c.angle, 1e-12);
        EXPECT_EQ(w.s().stopp, 0) << "moving the mouse holds the animation";
        // The centre then lies on the ray towards the pointer.
        const double len = std::hypot(c.x, c.y);
        EXPECT_NEAR(std::sin(w.s().j), c.x / len, 1e-6);
        EXPECT_NEAR(std::cos(w.s().j), c.y / len, 1e-6);
    }
}

TEST(Pointer, AtTheOriginOrNotANumberLeavesTheAngle) {
    Started w;
    const double j = w.s().j;
    w.form.MouseMove(0, 0, 0, 0);
    EXPECT_EQ(w.s().j, j);
    EXPECT_EQ(w.s().stopp, 0);
    w.form.KeyPress(' ');
    w.form.MouseMove(0, 0, NAN, 5);
    w.form.MouseMove(0, 0, 5, INFINITY);
    EXPECT_EQ(w.s().j, j);
    EXPECT_EQ(w.s().stopp, 1);
}

TEST(Pointer, ProductRoundedToSinglePrecisionDecidesTheFirstCase) {
    Started w;
    const double j = w.s().j;
    // Both non-zero, but their product underflows single precision: no case
    // applies and the angle stays.
    w.form.MouseMove(0, 0, 1e-30f, 1e-30f);
    EXPECT_EQ(w.s().j, j);
    // Far outside the window the product overflows to infinity, still not 0.
    w.form.MouseMove(0, 0, -1e30f, 1e30f);
    EXPECT_NEAR(w.s().j, 7 * pi / 4, 1e-12);
}

TEST(Pointer, BeforeTheFirstPassItSetsTheAngleButDoesNotHold) {
    RecordingPlatform platform(1);
    Form1 form(platform);
    platform.on_pump([](FormEvents& handlers, std::int64_t pass) {
        if (pass == 0) handlers.MouseMove(0, 0, 10, 0);
    });
    form.Activate();
    EXPECT_EQ(form.state().m, 0);
    EXPECT_EQ(form.state().stopp, 1);
    EXPECT_DOUBLE_EQ(form.state().j, pi / 2);
}

TEST(Pointer, NextPassDrawsAtThePointerAngleAndSpaceResumesFromIt) {
    RecordingPlatform platform(9);
    Form1 form(platform);
    platform.on_pump([](FormEvents& handlers, std::int64_t pass) {
        if (pass == 4) handlers.MouseMove(0, 0, 10, 0);
        if (pass == 6) handlers.KeyPress(' ');
    });
    form.Activate();
    Command red_centre{};
    for (const Command& c : platform.pass(5))
        if (c.kind == Command::Kind::circle && c.colour == colours::red) red_centre = c;
    EXPECT_NEAR(red_centre.x1, 12, 1e-5);
    EXPECT_NEAR(red_centre.y1, 0, 1e-5);
    // Passes 7 and 8 advance from pi/2.
    EXPECT_NEAR(form.state().j1, pi / 2 + 2 * form.state().stepe, 1e-12);
}

TEST(DoubleClick, ClearsAndEnds) {
    RecordingPlatform platform(1000);
    Form1 form(platform);
    platform.on_pump([](FormEvents& handlers, std::int64_t pass) {
        if (pass == 7) handlers.DblClick();
    });
    form.Activate();
    EXPECT_TRUE(platform.ended());
    EXPECT_EQ(form.state().m, 7);
    EXPECT_EQ(platform.commands.back().kind, Command::Kind::clear);
}

}  // namespace
