// Pixels of the canvas: the coordinate mapping, opaque repainting and
// what the animation leaves on it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "animation/form1.h"
#include "canvas/user_coordinates.h"
#include "support/headless_platform.h"
#include "support/pixel_compare.h"
#include "support/recording_platform.h"

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

TEST(Canvas, CircleOfRadius36IsRoundAtAbout146Pixels) {
    Canvas image;
    image.circle(0, 0, 36, colours::blue);
    const PixelImage p = PixelImage::of(image);
    const PixelPoint centre = image.coordinates().to_pixel(0, 0);
    int blue = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            if (p.at(x, y) != colours::blue) continue;
            ++blue;
            ASSERT_NEAR(std::hypot(x - centre.x, y - centre.y), 145.5, 1.5) << x << "," << y;
        }
    }
    EXPECT_GT(blue, 800) << "a closed outline, not a few dots";
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

// Runs 100 passes on the backing image and records the same run.
struct HundredPasses : ::testing::Test {
    static constexpr int passes = 100;
    HeadlessPlatform headless{passes};
    RecordingPlatform recording{passes};

    void SetUp() override {
        Form1 drawn(headless);
        drawn.Activate();
        Form1 recorded(recording);
        recorded.Activate();
    }
};

TEST_F(HundredPasses, RedShowsOnlyTheCurrentFigureAndItsCentre) {
    const PixelImage after = PixelImage::of(headless.canvas());
    // The last pass's red commands, alone on a fresh image.
    std::vector<Command> red;
    for (const Command& c : recording.pass(passes - 1)) {
        if (c.colour == colours::red) red.push_back(c);
    }
    ASSERT_EQ(red.size(), 1002u);
    HeadlessPlatform alone(1);
    replay(red, alone);
    const PixelImage expected_red = PixelImage::of(alone.canvas());

    int red_pixels = 0;
    for (int y = 0; y < after.height; ++y) {
        for (int x = 0; x < after.width; ++x) {
            if (after.at(x, y) != colours::red) continue;
            ++red_pixels;
            ASSERT_EQ(expected_red.at(x, y), colours::red) << "stray red pixel at " << x << "," << y;
        }
    }
    EXPECT_GT(red_pixels, 1500);
    EXPECT_GT(after.count(colours::black), 20000) << "a trail has built up";
    EXPECT_GT(after.count(colours::blue), 300);
}

TEST_F(HundredPasses, BlackTraceCoversItsRedTwin) {
    std::vector<Command> red_trace;
    for (const Command& c : recording.pass(passes - 2)) {
        if (c.kind == Command::Kind::line && c.colour == colours::red) red_trace.push_back(c);
    }
    std::vector<Command> black_trace;
    for (const Command& c : recording.pass(passes - 1)) {
        if (c.kind == Command::Kind::line && c.colour == colours::black) black_trace.push_back(c);
    }
    HeadlessPlatform fresh(1);
    replay(red_trace, fresh);
    EXPECT_GT(PixelImage::of(fresh.canvas()).count(colours::red), 1500);
    replay(black_trace, fresh);
    EXPECT_EQ(PixelImage::of(fresh.canvas()).count(colours::red), 0);
}

TEST_F(HundredPasses, ErasingCircleRestoresGrey) {
    // The erasing circle of the last pass sits where the previous red centre
    // circle was; without the figures around it only grey remains.
    std::vector<Command> circles;
    for (const Command& c : recording.pass(passes - 2)) {
        if (c.kind == Command::Kind::circle && c.colour == colours::red) circles.push_back(c);
    }
    for (const Command& c : recording.pass(passes - 1)) {
        if (c.kind == Command::Kind::circle && c.colour == colours::light_grey) circles.push_back(c);
    }
    ASSERT_EQ(circles.size(), 2u);
    HeadlessPlatform fresh(1);
    const PixelImage grey = PixelImage::of(fresh.canvas());
    replay(circles, fresh);
    expect_same_pixels(PixelImage::of(fresh.canvas()), grey, "erase");
}

TEST(Canvas, FiguresStayInsideTheClientArea) {
    // Over a full turn, apart from the cleared pass-2 frame, nothing touches
    // an edge.
    HeadlessPlatform platform(3 + 140);
    Form1 form(platform);
    form.Activate();
    const PixelImage p = PixelImage::of(platform.canvas());
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
