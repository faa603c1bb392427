// The geometry of the traced figure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

#include "support/loop_facts.h"
#include "support/scripted_platform.h"

namespace {

constexpr double pi = std::numbers::pi;

struct Box {
    double min_x = 1e9, max_x = -1e9, min_y = 1e9, max_y = -1e9;
};

Box box(const RedFigure& figure) {
    Box b;
    for (const Command& c : figure.segments) {
        b.min_x = std::min({b.min_x, double(c.x1), double(c.x2)});
        b.max_x = std::max({b.max_x, double(c.x1), double(c.x2)});
        b.min_y = std::min({b.min_y, double(c.y1), double(c.y2)});
        b.max_y = std::max({b.max_y, double(c.y1), double(c.y2)});
    }
    return b;
}

// Distances of the segment ends from the centre.
std::pair<double, double> radius_range(const RedFigure& figure) {
    double lo = 1e9, hi = 0;
    for (const Command& c : figure.segments) {
        const double d = std::hypot(c.x2 - figure.centre.x1, c.y2 - figure.centre.y1);
        lo = std::min(lo, d);
        hi = std::max(hi, d);
    }
    return {lo, hi};
}

// The red figure drawn on pass 4, after `act` in pass 3's event pump.
RedFigure figure_after(const std::function<void(ScriptedRun&)>& act) {
    ScriptedRun run(5, {.record = true});
    run.activate([&](FormEvents&, std::int64_t pass) {
        if (pass == 3) act(run);
    });
    return red_figure(run.platform.pass(4));
}

RedFigure figure_for_pointer(float x, float y) {
    return figure_after([x, y](ScriptedRun& run) { run.form.MouseMove(0, 0, x, y); });
}

TEST(EnvelopeFrame, AtAngleZeroTheFigureLiesAlongXBelowTheOrigin) {
    const RedFigure f = figure_for_pointer(0, 10);
    ASSERT_EQ(f.segments.size(), std::size_t{loop::segments_per_trace});
    EXPECT_FLOAT_EQ(f.centre.x1, 0);
    EXPECT_FLOAT_EQ(f.centre.y1, 12);
    // Segment i ends i thousandths of a turn round: at t = 0 and t = pi/2 (i = 250).
    EXPECT_NEAR(f.segments[0].x2, 87, 1e-4);
    EXPECT_NEAR(f.segments[0].y2, 12, 1e-4);
    EXPECT_NEAR(f.segments[250].x2, 0, 1e-3);
    EXPECT_NEAR(f.segments[250].y2, 75, 1e-3);
    const Box b = box(f);
    EXPECT_GT(b.max_x - b.min_x, b.max_y - b.min_y);
}

TEST(EnvelopeFrame, AtAnglePiTheFigureLiesAlongYAboveTheOrigin) {
    const RedFigure f = figure_for_pointer(0, -10);
    EXPECT_NEAR(f.centre.x1, 0, 1e-5);
    EXPECT_NEAR(f.centre.y1, -12, 1e-5);
    EXPECT_NEAR(f.segments[0].x2 - f.centre.x1, 63, 1e-4);
    EXPECT_NEAR(f.segments[0].y2 - f.centre.y1, 0, 1e-4);
    EXPECT_NEAR(f.segments[250].x2 - f.centre.x1, 0, 1e-3);
    EXPECT_NEAR(f.segments[250].y2 - f.centre.y1, 87, 1e-3);
    const Box b = box(f);
    EXPECT_NEAR(b.min_y, -99, 1e-3) << "the point straight above the origin";
    EXPECT_GT(b.max_y - b.min_y, b.max_x - b.min_x);
}

TEST(EnvelopeFrame, EachTraceIsClosedWithAOneStepOverlap) {
    const RedFigure f = figure_for_pointer(10, 10);
    ASSERT_EQ(f.segments.size(), std::size_t{loop::segments_per_trace});
    for (std::size_t i = 1; i < f.segments.size(); ++i) {
        ASSERT_EQ(f.segments[i].x1, f.segments[i - 1].x2) << i;
        ASSERT_EQ(f.segments[i].y1, f.segments[i - 1].y2) << i;
    }
    // The last segment ends just short of t = 2 pi, on top of the first one.
    EXPECT_NEAR(f.segments.back().x2, f.segments.front().x2, 0.1);
    EXPECT_NEAR(f.segments.back().y2, f.segments.front().y2, 0.1);
    EXPECT_NEAR(f.segments.front().x1, f.segments[f.segments.size() - 2].x2, 0.1);
}

TEST(EnvelopeFrame, FigureKeepsItsSizeAtAnyAngle) {
    const auto [lo0, hi0] = radius_range(figure_for_pointer(10, 10));
    EXPECT_NEAR(hi0, 87, 1e-3);
    EXPECT_NEAR(lo0, 63, 1e-3);

    for (const double huge : {1e6, 1e9}) {
        SCOPED_TRACE(huge);
        const RedFigure f = figure_after([huge](ScriptedRun& run) { run.state().j1 = huge; });
        ASSERT_EQ(f.segments.size(), std::size_t{loop::segments_per_trace});
        const auto [lo, hi] = radius_range(f);
        EXPECT_NEAR(hi, hi0, 1e-3);
        EXPECT_NEAR(lo, lo0, 1e-3);
        EXPECT_NEAR(std::hypot(f.centre.x1, f.centre.y1), 12, 1e-5);
    }
}

}  // namespace
