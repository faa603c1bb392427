// The vector sketch the icon is drawn through: what it keeps of the drawing,
// how it thins curves, and what the icon's run of the animation leaves.
#include "icon/vector_sketch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "icon/icon_raster.h"
#include "icon/program_icon.h"
#include "support/loop_facts.h"

namespace {

using Kind = SketchShape::Kind;

std::size_t count_of(const std::vector<SketchShape>& shapes, Kind kind, Colour colour) {
    return static_cast<std::size_t>(std::count_if(
        shapes.begin(), shapes.end(), [&](const SketchShape& s) { return s.kind == kind && s.colour == colour; }));
}

std::size_t occurrences(const std::string& text, const std::string& word) {
    std::size_t n = 0;
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
    return n;
}

TEST(VectorSketch, JoinsTouchingSegmentsOfOneColourIntoOneCurve) {
    VectorSketch sketch(1);
    sketch.line(0, 0, 1, 0, colours::red);
    sketch.line(1, 0, 1, 1, colours::red);
    sketch.line(1, 1, 2, 2, colours::black);  // another colour
    sketch.line(5, 5, 6, 6, colours::black);  // does not touch
    const auto shapes = sketch.visible();
    ASSERT_EQ(shapes.size(), 3u);
    EXPECT_EQ(shapes[0].points.size(), 3u);
    EXPECT_EQ(shapes[0].colour, colours::red);
    EXPECT_EQ(shapes[1].points.size(), 2u);
    EXPECT_EQ(shapes[2].points[0].x, 5);
}

TEST(VectorSketch, RedrawingInThePlaceHidesTheEarlierCopyAndBackgroundErases) {
    VectorSketch sketch(1);
    sketch.line(0, 0, 1, 0, colours::red);
    sketch.circle(3, 4, 2, colours::red);
    sketch.line(0, 0, 1, 0, colours::black);      // the red curve painted black
    sketch.circle(3, 4, 2, colours::light_grey);  // the red circle erased
    sketch.circle(3, 4, 2.5f, colours::blue);     // another circle stays
    const auto shapes = sketch.visible();
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_EQ(shapes[0].kind, Kind::polyline);
    EXPECT_EQ(shapes[0].colour, colours::black);
    EXPECT_EQ(shapes[1].colour, colours::blue);
}

TEST(Simplify, DropsOnlyPointsWithinTheTolerance) {
    // A straight run with a slight wobble, then a sharp corner.
    const std::vector<UserPoint> points{{0, 0}, {1, 0.05f}, {2, 0}, {3, 0}, {3, 3}};
    const auto kept = simplify(points, 0.1f);
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0].x, 0);
    EXPECT_EQ(kept[1].x, 3);
    EXPECT_EQ(kept[1].y, 0);
    EXPECT_EQ(kept[2].y, 3);
    EXPECT_EQ(simplify(points, 0.01f).size(), points.size());
}

TEST(Simplify, KeepsTheShapeOfAClosedCurve) {
    // A circle of radius 50 sampled finely, closed on its first point.
    std::vector<UserPoint> circle;
    constexpr int samples = 1000;
    for (int i = 0; i <= samples; ++i) {
        const double a = 2 * std::numbers::pi * (i % samples) / samples;
        circle.push_back({static_cast<float>(50 * std::cos(a)), static_cast<float>(50 * std::sin(a))});
    }
    const float tolerance = 0.1f;
    const auto kept = simplify(circle, tolerance);
    EXPECT_LT(kept.size(), circle.size() / 5);
    EXPECT_GT(kept.size(), 20u);
    EXPECT_EQ(kept.front().x, kept.back().x);
    // Every dropped sample lies near the chord between its kept neighbours:
    // a chord of a circle strays from it by at most r - sqrt(r² - (c/2)²).
    for (std::size_t i = 1; i < kept.size(); ++i) {
        const double chord = std::hypot(kept[i].x - kept[i - 1].x, kept[i].y - kept[i - 1].y);
        EXPECT_LE(50 - std::sqrt(50 * 50 - chord * chord / 4), tolerance + 1e-3) << "chord " << i;
    }
}

// The first frame, about the origin, is cleared: only the figures of the
// turn are left.
TEST(IconRun, LeavesTheTrailTheRedFigureAndBothCircles) {
    constexpr int figures = 24;
    const auto shapes = icon_figure();
    EXPECT_EQ(count_of(shapes, Kind::polyline, colours::black), static_cast<std::size_t>(figures));
    EXPECT_EQ(count_of(shapes, Kind::polyline, colours::red), 1u);
    EXPECT_EQ(count_of(shapes, Kind::circle, colours::red), 1u);  // the old centre circles are erased
    EXPECT_EQ(count_of(shapes, Kind::circle, colours::blue), 1u);
    EXPECT_EQ(shapes.size(), static_cast<std::size_t>(figures) + 3);
    // Each figure is one curve of a trace's segments that closes on its
    // second point: it starts one step early.
    for (const SketchShape& s : shapes) {
        if (s.kind != Kind::polyline) continue;
        EXPECT_EQ(s.points.size(), std::size_t{loop::segments_per_trace} + 1);
        EXPECT_NEAR(s.points[1].x, s.points.back().x, 1e-3);
        EXPECT_NEAR(s.points[1].y, s.points.back().y, 1e-3);
    }

    const std::string svg = to_svg(shapes, SvgStyle{});
    EXPECT_EQ(occurrences(svg, "<polyline "), static_cast<std::size_t>(figures) + 1);
    EXPECT_EQ(occurrences(svg, "stroke=\"#ff0000\""), 2u);
    EXPECT_EQ(occurrences(svg, "stroke=\"#0000ff\""), 1u);
    EXPECT_EQ(occurrences(svg, "fill=\"#c0c0c0\""), 1u);
}

TEST(ToSvg, FramesTheShapesInASquareWithTheirStrokes) {
    const std::vector<SketchShape> shapes{{Kind::circle, colours::blue, {{10, 20}}, 5},
                                          {Kind::polyline, colours::black, {{-30, 0}, {0, 0}}}};
    SvgStyle style;
    style.stroke_width = 2;
    style.margin = 1;
    // Extent x -30..15, y 0..25: side 45 + 2 + 2·1, centred on (-7.5, 12.5).
    const std::string svg = to_svg(shapes, style);
    EXPECT_NE(svg.find("viewBox=\"-32.0 -12.0 49.0 49.0\""), std::string::npos) << svg;
    EXPECT_NE(svg.find("<circle cx=\"10.0\" cy=\"20.0\" r=\"5.0\" stroke=\"#0000ff\"/>"), std::string::npos);
    EXPECT_NE(svg.find("points=\"-30.0,0.0 0.0,0.0\""), std::string::npos);
}

TEST(IconRaster, PaintsTheShapesInOrderOnTheTileAtEachSize) {
    // A line across a square frame of 110 units and a circle over it: at
    // 64 px the origin lies at pixel (32, 32), a unit is 64/110 px and the
    // strokes are about 6 px wide.
    const std::vector<SketchShape> shapes{{Kind::polyline, colours::black, {{-50, 0}, {50, 0}}},
                                          {Kind::circle, colours::blue, {{0, 0}}, 30}};
    SvgStyle style;
    style.stroke_width = 10;
    style.margin = 0;
    const std::array sizes{64, 16};
    const std::vector<IconImage> icons = rasterise_icon(shapes, sizes, style);
    ASSERT_EQ(icons.size(), 2u);
    EXPECT_EQ(icons[1].size, 16);
    ASSERT_EQ(icons[0].size, 64);
    ASSERT_EQ(icons[0].argb.size(), 64u * 64u);
    const auto at = [&](int x, int y) { return icons[0].argb[static_cast<std::size_t>(y) * 64 + x]; };
    EXPECT_EQ(at(0, 0) >> 24, 0u);            // the tile's rounded corner
    EXPECT_EQ(at(10, 10), 0xFFC0C0C0u);       // the tile
    EXPECT_EQ(at(32, 32), 0xFF000000u);       // the line
    EXPECT_EQ(at(32 + 17, 32), 0xFF0000FFu);  // the circle, over the line
}

}  // namespace
