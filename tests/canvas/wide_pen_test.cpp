// On dense screens the pen is as many pixels wide as the density, rounded:
// the canvas's lines against a slow rendering of the same lines written the
// obvious way, and drawing far past the edges. (Circles at every density:
// canvas_test.cpp.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "support/operator_script.h"
#include "support/pixel_compare.h"
#include "support/scripted_platform.h"

namespace {

// Every point of a segment is the centre of a pen square, every pixel set
// one at a time. The points come in closed form: along the longer axis, step
// i moves the other coordinate by i·across/along rounded half up.
class SlowLines {
public:
    explicit SlowLines(UserCoordinates coords)
        : coords_(coords), pen_(std::max(1, static_cast<int>(std::lround(coords.scale())))) {
        image.width = coords.width();
        image.height = coords.height();
        image.pixels.assign(static_cast<std::size_t>(image.width) * image.height, colours::light_grey);
    }

    void line(float x1, float y1, float x2, float y2, Colour colour) {
        const PixelPoint a = coords_.to_pixel(x1, y1), b = coords_.to_pixel(x2, y2);
        const int dx = b.x - a.x, dy = b.y - a.y;
        const int along = std::max(std::abs(dx), std::abs(dy)), across = std::min(std::abs(dx), std::abs(dy));
        const bool x_major = std::abs(dx) >= std::abs(dy);
        for (int i = 0; i <= along; ++i) {
            const int moved = along == 0 ? 0 : (2 * i * across + along) / (2 * along);
            const int x = a.x + (dx < 0 ? -1 : 1) * (x_major ? i : moved);
            const int y = a.y + (dy < 0 ? -1 : 1) * (x_major ? moved : i);
            stamp(x, y, colour);
        }
    }
    PixelImage image;

private:
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

TEST(WidePen, OperatedRunsDrawTheLinesTheSlowRenderingDraws) {
    ScriptedRun run(170, {.record = true});  // running, sped up, slowed, steered by the pointer
    run.activate(operate);
    for (const double scale : {1.25, 2.0, 3.0}) {
        Canvas canvas{UserCoordinates(scale)};
        SlowLines slow{UserCoordinates(scale)};
        for (const Command& c : run.platform.commands) {
            if (c.kind == Command::Kind::line) {
                canvas.line(c.x1, c.y1, c.x2, c.y2, c.colour);
                slow.line(c.x1, c.y1, c.x2, c.y2, c.colour);
            }
        }
        EXPECT_EQ(canvas.pen_width(), std::lround(scale));
        expect_same_pixels(PixelImage::of(canvas), slow.image, "wide-pen-" + std::to_string(scale));
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
