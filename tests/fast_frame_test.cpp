// The frame's fast drawing leaves exactly the pixels of the straightforward
// way: shapes rasterised into the backing image against SDL's own drawing,
// and whole animated runs against the straightforward frame.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "animation/form1.h"
#include "straightforward_frame.h"
#include "support/pixel_compare.h"
#include "window/headless_platform.h"

namespace {

using Drawing = BackingImage::Drawing;

// Both ways of drawing on the same picture.
struct TwoImages {
    explicit TwoImages(UserCoordinates coords = UserCoordinates{})
        : direct(coords, test_picture_bmp(), Drawing::direct), sdl(coords, test_picture_bmp(), Drawing::one_sdl_call) {}

    BackingImage direct;
    BackingImage sdl;

    void line(float x1, float y1, float x2, float y2, Colour c) {
        direct.line(x1, y1, x2, y2, c);
        sdl.line(x1, y1, x2, y2, c);
    }
    void circle(float x, float y, float radius, Colour c) {
        direct.circle(x, y, radius, c);
        sdl.circle(x, y, radius, c);
    }
    void expect_same(const std::string& name) { expect_same_pixels(PixelImage::of(direct), PixelImage::of(sdl), name); }
};

constexpr Colour palette[] = {colours::red, colours::black, colours::blue, colours::light_grey};

void draw_segments(TwoImages& images) {
    std::mt19937 random(20261208);
    // The client area spans about -117..124 by -100..83; some segments reach
    // past its edges or lie wholly outside, and go through SDL's clipping.
    std::uniform_real_distribution<float> x(-140, 150), y(-120, 100), offset(-3, 3), far_offset(-120, 120);
    for (int i = 0; i < 6000; ++i) {
        const float x1 = x(random), y1 = y(random);
        const bool short_one = i % 3 != 0;  // frame segments are a pixel or two long
        const float x2 = x1 + (short_one ? offset(random) : far_offset(random));
        const float y2 = y1 + (short_one ? offset(random) : far_offset(random));
        images.line(x1, y1, x2, y2, palette[i % 4]);
    }
    // Exact octant boundaries and single points.
    for (int i = 0; i < 16; ++i) {
        const float d = 10.0f * static_cast<float>(i % 4 + 1);
        const auto sign = static_cast<float>(i % 3 - 1);
        images.line(0, 0, i < 8 ? d : -d, i % 2 ? d : -d, palette[i % 4]);
        images.line(5, 5, 5 + sign * d, 5, colours::black);
        images.line(7, 7, 7, 7 + sign * d, colours::red);
    }
    images.line(3, 3, 3, 3, colours::blue);
}

TEST(DirectDrawing, SegmentsOfEveryDirectionAndLengthMatchSdl) {
    TwoImages images;
    draw_segments(images);
    images.expect_same("segments");
}

TEST(DirectDrawing, SegmentsMatchSdlOnADoubleDensityDisplay) {
    TwoImages images(UserCoordinates(2.0));
    draw_segments(images);
    images.circle(0, 0, 36, colours::blue);
    images.expect_same("segments-2x");
}

TEST(DirectDrawing, CirclesInsideAndAcrossTheEdgesMatchSdl) {
    TwoImages images;
    std::mt19937 random(741975);
    std::uniform_real_distribution<float> x(-130, 135), y(-110, 95), radius(0, 60);
    std::vector<std::array<float, 3>> drawn;
    for (int i = 0; i < 300; ++i) {
        drawn.push_back({x(random), y(random), radius(random)});
        images.circle(drawn.back()[0], drawn.back()[1], drawn.back()[2], palette[i % 4]);
    }
    // Repeats in other colours, as the erasing and the blue circles are.
    for (int i = 0; i < 60; ++i) {
        const auto& c = drawn[static_cast<std::size_t>(i % 2 == 0 ? 299 - i / 2 : i)];
        images.circle(c[0], c[1], c[2], palette[(i + 1) % 4]);
    }
    images.circle(0, 0, 36, colours::blue);
    images.circle(-117, -100, 24, colours::red);  // about the corner
    images.expect_same("circles");
}

// The operator's script for the long run: speed keys, holding and resuming,
// pointer moves all round the origin (on the axes too) and a repeated pointer
// position, which draws nothing.
void operate(FormEvents& handlers, std::int64_t pass) {
    const auto keys = [&handlers](char key, int times) {
        for (int i = 0; i < times; ++i) handlers.KeyPress(static_cast<std::uint16_t>(key));
    };
    if (pass == 60) keys('.', 3);
    if (pass == 90) keys(',', 7);
    if (pass >= 120 && pass < 170) {
        const double angle = 0.37 * static_cast<double>(pass);
        handlers.MouseMove(0, 0, static_cast<float>(50 * std::cos(angle)), static_cast<float>(50 * std::sin(angle)));
    }
    if (pass == 170) handlers.MouseMove(0, 0, 30, 0);
    if (pass == 172) handlers.MouseMove(0, 0, 0, -30);
    if (pass == 174) handlers.MouseMove(0, 0, -30, 0);
    if (pass == 176 || pass == 177) handlers.MouseMove(0, 0, 20, 40);
    if (pass == 180) keys(' ', 1);
    if (pass == 220) keys('/', 1);
    if (pass == 260) keys('.', 25);
    if (pass == 300) keys(' ', 1);
    if (pass == 310) keys(',', 3);
    if (pass == 320) handlers.MouseMove(0, 0, -5, 70);
    if (pass == 330) keys(' ', 1);
    if (pass == 400) keys(',', 40);
    if (pass == 450) keys('/', 1);
}

TEST(FastFrame, FiveHundredPassesLeaveTheStraightforwardPixels) {
    constexpr std::int64_t passes = 500;
    HeadlessPlatform platform(passes, UserCoordinates{}, test_picture_bmp());
    Form1 form(platform);
    BackingImage reference(UserCoordinates{}, test_picture_bmp(), Drawing::one_sdl_call);
    StraightforwardFrame straightforward(reference);

    // The program draws a frame exactly on the passes after the second that
    // change j1; the straightforward frame follows it from the same angles.
    double drawn_angle = 0;
    int frames = 0;
    platform.on_pump([&](FormEvents& handlers, std::int64_t pass) {
        const AnimationState& s = form.state();
        if (pass > 1 && s.j1 != drawn_angle) {
            straightforward.draw(drawn_angle, s.j1, s.step1, s.pi);
            ++frames;
        }
        drawn_angle = s.j1;
        if (pass == 2) reference.clear();  // as the loop does after this pump
        if (pass % 125 == 124) {
            expect_same_pixels(PixelImage::of(platform.image()), PixelImage::of(reference),
                               "pass-" + std::to_string(pass));
        }
        operate(handlers, pass);
    });
    form.Activate();

    EXPECT_GT(frames, 400) << "the run mostly draws";
    EXPECT_LT(frames, 490) << "and is held now and then";
    const LoopValues& a = form.loop_values();
    const LoopValues& b = straightforward.values();
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.yp, b.yp);
    EXPECT_EQ(a.cx, b.cx);
    EXPECT_EQ(a.cyp, b.cyp);
    expect_same_pixels(PixelImage::of(platform.image()), PixelImage::of(reference), "pass-499");
}

}  // namespace
