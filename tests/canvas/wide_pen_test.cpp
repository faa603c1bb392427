// On dense screens the pen is as many pixels wide as the density, rounded:
// the canvas against a slow rendering of the same calls written the obvious
// way, and drawing far past the edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "animation/form1.h"
#include "support/headless_platform.h"
#include "support/operator_script.h"
#include "support/pixel_compare.h"
#include "support/recording_platform.h"

namespace {

// Every point of a segment is the centre of a pen square, every pixel set
// one at a time. The points come in closed form: along the longer axis, step
// i moves the other coordinate by i·across/along rounded half up.
class SlowCanvas final : public Platform {
public:
    explicit SlowCanvas(UserCoordinates coords)
        : coords_(coords), pen_(std::max(1, static_cast<int>(std::lround(coords.scale())))) {
        image.width = coords.width();
        image.height = coords.height();
        clear();
    }

    void line(float x1, float y1, float x2, float y2, Colour colour) override {
        segment(coords_.to_pixel(x1, y1), coords_.to_pixel(x2, y2), colour);
    }
    void circle(float x, float y, float radius, Colour colour) override {
        // A closed polygon of vertices about 2 pixels apart, rounded half away
        // from zero.
        const double cx = (x - user_space::left) * coords_.pixels_per_unit_x();
        const double cy = (y - user_space::top) * coords_.pixels_per_unit_y();
        const double rx = radius * coords_.pixels_per_unit_x(), ry = radius * coords_.pixels_per_unit_y();
        const int n = std::max(16, static_cast<int>(std::ceil(2 * std::numbers::pi * rx / 2)));
        std::vector<PixelPoint> v;
        for (int i = 0; i < n; ++i) {
            const double angle = 2 * std::numbers::pi * i / n;
            v.push_back({static_cast<int>(std::lround(cx + rx * std::cos(angle))),
                         static_cast<int>(std::lround(cy + ry * std::sin(angle)))});
        }
        for (int i = 0; i < n; ++i) segment(v[i], v[(i + 1) % n], colour);
    }
    void clear() override { image.pixels.assign(static_cast<std::size_t>(image.width) * image.height, back_color()); }
    Colour back_color() const override { return colours::light_grey; }
    bool pump_events(FormEvents&) override { return false; }
    void end() override {}

    PixelImage image;

private:
    void segment(PixelPoint a, PixelPoint b, Colour colour) {
        const int dx = b.x - a.x, dy = b.y - a.y;
        const int along = std::max(std::abs(dx), std::abs(dy)), across = std::min(std::abs(dx), std::abs(dy));
        for (int i = 0; i <= along; ++i) {
            const int moved = along == 0 ? 0 : (2 * i * across + along) / (2 * along);
            const int major = i, minor = moved;
            const bool x_major = std::abs(dx) >= std::abs(dy);
            const int x = a.x + (dx < 0 ? -1 : 1) * (x_major ? major : minor);
            const int y = a.y + (dy < 0 ? -1 : 1) * (x_major ? minor : major);
            stamp(x, y, colour);
        }
    }
    void stamp(int x, int y, Colour colour) {
        const int low = -(pen_ - 1) / 2;
        for (int py = y + low; py < y + low + pen_; ++py) {
            for (int px = x + low; px < x + low + pen_; ++px) {
                if (px >= 0 && py >= 0 && px < image.width && py < image.height)
                    image.pixels[static_cast<std::size_t>(py) * image.width + px] = colour;
            }
        }
    }

    UserCoordinates coords_;
    int pen_;
};

TEST(WidePen, OperatedRunsDrawWhatTheSlowRenderingDraws) {
    RecordingPlatform recording(170);  // running, sped up, slowed, steered by the pointer
    recording.on_pump(operate);
    Form1 form(recording);
    form.Activate();
    for (const double scale : {1.25, 2.0, 3.0}) {
        HeadlessPlatform canvas(1, UserCoordinates(scale));
        SlowCanvas slow{UserCoordinates(scale)};
        replay(recording.commands, canvas);
        replay(recording.commands, slow);
        EXPECT_EQ(canvas.canvas().pen_width(), std::lround(scale));
        expect_same_pixels(PixelImage::of(canvas.canvas()), slow.image, "wide-pen-" + std::to_string(scale));
    }
}

TEST(WidePen, FigureDrawnAgainInBlackCoversItsRedTwinAtEveryDensity) {
    for (const double scale : {1.0, 2.0, 3.0}) {
        Canvas canvas{UserCoordinates(scale)};
        for (const Colour colour : {colours::red, colours::black}) {
            for (int i = 0; i < 300; ++i) {
                const double t = i * 0.021;
                canvas.line(static_cast<float>(80 * std::cos(t)), static_cast<float>(60 * std::sin(t)),
                            static_cast<float>(80 * std::cos(t + 0.021)), static_cast<float>(60 * std::sin(t + 0.021)),
                            colour);
            }
            canvas.circle(3, 12, 24, colour);
        }
        EXPECT_EQ(PixelImage::of(canvas).count(colours::red), 0) << "scale " << scale;
    }
}

TEST(Clipping, ShapesFarPastTheEdgesSetOnlyThePixelsInside) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    constexpr float huge = std::numeric_limits<float>::max();
    for (const double scale : {1.0, 3.0}) {
        Canvas canvas{UserCoordinates(scale)};
        // Under AddressSanitizer a write outside the image stops the test.
        canvas.line(0, 0, inf, 0, colours::red);
        canvas.line(-huge, -huge, huge, huge, colours::red);
        canvas.line(0, 0, 0, -inf, colours::blue);
        canvas.line(1e9f, 5, -1e9f, 5, colours::black);
        canvas.line(std::nanf(""), 0, 10, 10, colours::blue);
        canvas.circle(0, 0, 1e30f, colours::red);
        canvas.circle(inf, 0, 10, colours::red);
        canvas.circle(-200, 0, 90, colours::blue);  // reaches in from the left
        const PixelImage p = PixelImage::of(canvas);
        const PixelPoint origin = canvas.coordinates().to_pixel(0, 0);
        // The ray to the right is red to the edge; the one upward blue.
        EXPECT_EQ(p.at(p.width - 1, origin.y), colours::red) << scale;
        EXPECT_EQ(p.at(origin.x, 0), colours::blue) << scale;
        EXPECT_EQ(p.at(0, canvas.coordinates().to_pixel(0, 5).y), colours::black) << scale;
        EXPECT_GT(p.count(colours::blue), 100) << "the circle's arc inside" << scale;
    }
}

}  // namespace
