// Pixels of the canvas: the coordinate mapping, opaque repainting and
// what the animation leaves on it.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "canvas/user_coordinates.h"
#include "support/loop_facts.h"
#include "support/pixel_compare.h"
#include "support/scripted_platform.h"

namespace {

TEST(UserCoordinates, CornerAndOriginLandOnTheirPixels) {
    const UserCoordinates c;
    EXPECT_EQ(c.width(), 975);
    EXPECT_EQ(c.height(), 741);
    const PixelPoint corner = c.to_pixel(-117, -100);
    EXPECT_EQ(corner.x, 0);
    EXPECT_EQ(corner.y, 0);
    const PixelPoint origin = c.to_pixel(0, 0);
    EXPECT_NEAR(origin.x, 473, 1);
    EXPECT_NEAR(origin.y, 404, 1);
    // The client area spans x to about 124.19 and y to about 83.31.
    const UserPoint far_corner = c.to_user(975, 741);
    EXPECT_NEAR(far_corner.x, 124.19, 0.01);
    EXPECT_NEAR(far_corner.y, 83.31, 0.01);
}

TEST(UserCoordinates, PointerPositionsMapBackToTheirPixels) {
    for (const double scale : {1.0, 1.25, 2.0}) {
        const UserCoordinates c(scale);
        for (int py = 0; py < c.height(); py += 7) {
            for (int px = 0; px < c.width(); px += 3) {
                const UserPoint u = c.to_user(px, py);
                const PixelPoint back = c.to_pixel(u.x, u.y);
                ASSERT_EQ(back.x, px) << "scale " << scale << " y " << py;
                ASSERT_EQ(back.y, py) << "scale " << scale << " x " << px;
            }
        }
    }
}

TEST(UserCoordinates, DensityScalesInQuarterSteps) {
    EXPECT_EQ(density_scale(96), 1.0);
    EXPECT_EQ(density_scale(100), 1.0) << "a display reporting 100 dpi keeps 975 x 741";
    EXPECT_EQ(density_scale(191.8f), 2.0);
    EXPECT_EQ(density_scale(120), 1.25);
    EXPECT_EQ(density_scale(0), 1.0) << "unknown density";
    const UserCoordinates doubled(density_scale(192));
    EXPECT_EQ(doubled.width(), 1950);
    EXPECT_EQ(doubled.height(), 1482);
    EXPECT_NEAR(doubled.to_pixel(0, 0).x, 946, 1);
    EXPECT_NEAR(doubled.to_pixel(0, 0).y, 808, 1);
}

TEST(Canvas, RepaintingInAnotherColourReplacesExactly) {
    Canvas image;
    const PixelImage grey = PixelImage::of(image);
    image.line(-50, -40, 60, 30, colours::red);
    image.circle(5, 7, 24, colours::red);
    EXPECT_GT(PixelImage::of(image).count(colours::red), 500);
    image.line(-50, -40, 60, 30, colours::light_grey);
    image.circle(5, 7, 24, colours::light_grey);
    expect_same_pixels(PixelImage::of(image), grey, "repaint");
}

TEST(Canvas, CircleOfRadius36IsRoundAtAbout146PixelsTimesTheDensity) {
    for (const double scale : {1.0, 2.0, 3.0}) {
        SCOPED_TRACE(scale);
        Canvas image{UserCoordinates(scale)};
        image.circle(0, 0, 36, colours::blue);
        const std::vector<PixelPoint> blue = PixelImage::of(image).where(colours::blue);
        const PixelPoint centre = image.coordinates().to_pixel(0, 0);
        // A pen's square reaches from the outline by up to the diagonal of
        // its larger half.
        const double radius = 145.5 * scale, reach = 1.5 + image.pen_width() / 2 * std::numbers::sqrt2;
        for (const PixelPoint p : blue) {
            ASSERT_NEAR(std::hypot(p.x - centre.x, p.y - centre.y), radius, reach) << p.x << "," << p.y;
        }
        // A closed outline, not a few dots: near a pixel per pixel of its
        // length for each of the pen's width (diagonal steps cover more).
        EXPECT_GT(blue.size(), 2 * std::numbers::pi * radius * image.pen_width() * 7 / 8);
    }
}

TEST(Canvas, ClearShowsThePictureAgain) {
    // A striped picture stands in for the real one.
    Canvas reference(UserCoordinates{}, draw_test_picture);
    const PixelImage picture = PixelImage::of(reference);
    EXPECT_GT(picture.count(colours::black), 1000) << "the picture shows from the start";

    Canvas image(UserCoordinates{}, draw_test_picture);
    image.line(-100, -90, 100, 80, colours::red);
    image.circle(0, 0, 36, colours::blue);
    image.clear();
    expect_same_pixels(PixelImage::of(image), picture, "clear");
}

// 100 passes into a canvas, every call recorded.
struct HundredPasses : ::testing::Test {
    static constexpr int passes = 100;
    ScriptedRun run{passes, {.record = true}};

    void SetUp() override { run.activate(); }
    std::vector<Command> of_pass(std::int64_t pass, Command::Kind kind, Colour colour) const {
        return commands_of(run.platform.pass(pass), kind, colour);
    }
};

TEST_F(HundredPasses, RedShowsOnlyTheCurrentFigureAndItsCentre) {
    const PixelImage after = PixelImage::of(run.platform.canvas());
    // The last pass's red figure, alone on a fresh image.
    const RedFigure red = red_figure(run.platform.pass(passes - 1));
    ASSERT_EQ(red.segments.size(), std::size_t{loop::segments_per_trace});
    Canvas alone;
    replay(red.segments, alone);
    replay(std::span(&red.centre, 1), alone);
    const PixelImage expected_red = PixelImage::of(alone);

    const std::vector<PixelPoint> red_pixels = after.where(colours::red);
    for (const PixelPoint p : red_pixels) {
        ASSERT_EQ(expected_red.at(p.x, p.y), colours::red) << "stray red pixel at " << p.x << "," << p.y;
    }
    EXPECT_GT(red_pixels.size(), 1500u);
    EXPECT_GT(after.count(colours::black), 20000) << "a trail has built up";
    EXPECT_GT(after.count(colours::blue), 300);
}

TEST_F(HundredPasses, BlackTraceCoversItsRedTwin) {
    Canvas fresh;
    replay(of_pass(passes - 2, Command::Kind::line, colours::red), fresh);
    EXPECT_GT(PixelImage::of(fresh).count(colours::red), 1500);
    replay(of_pass(passes - 1, Command::Kind::line, colours::black), fresh);
    EXPECT_EQ(PixelImage::of(fresh).count(colours::red), 0);
}

TEST_F(HundredPasses, ErasingCircleRestoresGrey) {
    // The erasing circle of the last pass sits where the previous red centre
    // circle was; without the figures around it only grey remains.
    const std::vector<Command> red = of_pass(passes - 2, Command::Kind::circle, colours::red);
    const std::vector<Command> grey = of_pass(passes - 1, Command::Kind::circle, colours::light_grey);
    ASSERT_EQ(red.size(), 1u);
    ASSERT_EQ(grey.size(), 1u);
    Canvas fresh;
    const PixelImage before = PixelImage::of(fresh);
    replay(red, fresh);
    replay(grey, fresh);
    expect_same_pixels(PixelImage::of(fresh), before, "erase");
}

TEST(Canvas, FiguresStayInsideTheClientArea) {
    // Over a full turn, apart from the cleared pass-2 frame, nothing touches
    // an edge.
    ScriptedRun run(loop::warm_up_passes + 140);
    run.activate();
    const PixelImage p = PixelImage::of(run.platform.canvas());
    for (int x = 0; x < p.width; ++x) {
        ASSERT_EQ(p.at(x, 0), colours::light_grey) << x;
        ASSERT_EQ(p.at(x, p.height - 1), colours::light_grey) << x;
    }
    for (int y = 0; y < p.height; ++y) {
        ASSERT_EQ(p.at(0, y), colours::light_grey) << y;
        ASSERT_EQ(p.at(p.width - 1, y), colours::light_grey) << y;
    }
}

}  // namespace
