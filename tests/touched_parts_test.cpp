// What the window sends to the display: every pixel a drawing call changes
// lies in the touched parts the canvas hands over, at every density and past
// the edges, and those parts stay a small share of the image. The canvas can
// draw in memory lent to it and move out of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "animation/form1.h"
#include "background_picture.h"
#include "canvas/canvas_platform.h"
#include "support/operator_script.h"
#include "support/test_seed.h"

namespace {

// The image as it was when the touched parts were last taken.
class TouchedCheck {
public:
    explicit TouchedCheck(Canvas& canvas) : canvas_(canvas), before_(snapshot()) {}

    // Takes the touched parts; every pixel that changed must lie in them.
    // Returns their share of the image.
    double expect_changes_covered(const std::string& when) {
        const int w = canvas_.width();
        std::vector<bool> covered(before_.size());
        double area = 0;
        for (const PixelRect& r : canvas_.take_touched()) {
            EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.width > 0 && r.height > 0 && r.x + r.width <= w &&
                        r.y + r.height <= canvas_.height())
                << when << ": rectangle " << r.x << "," << r.y << " " << r.width << "x" << r.height;
            area += double{1} * r.width * r.height;
            for (int y = r.y; y < r.y + r.height; ++y) {
                for (int x = r.x; x < r.x + r.width; ++x) covered[static_cast<std::size_t>(y) * w + x] = true;
            }
        }
        const std::vector<std::uint32_t> after = snapshot();
        for (std::size_t i = 0; i < after.size(); ++i) {
            if (after[i] != before_[i] && !covered[i]) {
                ADD_FAILURE() << when << ": pixel " << i % w << "," << i / w << " changed outside the touched parts";
                break;
            }
        }
        before_ = after;
        return area / static_cast<double>(after.size());
    }

private:
    std::vector<std::uint32_t> snapshot() const {
        return {canvas_.pixels(), canvas_.pixels() + static_cast<std::size_t>(canvas_.width()) * canvas_.height()};
    }
    Canvas& canvas_;
    std::vector<std::uint32_t> before_;
};

// The animation with the scripted operator, checked at every pump.
class CheckedPasses final : public CanvasPlatform {
public:
    CheckedPasses(double scale, std::int64_t passes)
        : CanvasPlatform(UserCoordinates(scale), draw_background_picture), passes_(passes), check_(canvas_) {}

    bool pump_events(FormEvents& handlers) override {
        const double share = check_.expect_changes_covered("pass " + std::to_string(pumped_));
        // Passes 0 to 3 show the cleared image; frames come after.
        if (pumped_ > 3) largest_share = std::max(largest_share, share);
        operate(handlers, pumped_);
        return ++pumped_ < passes_;
    }
    void end() override { pumped_ = passes_; }

    double largest_share = 0;

private:
    std::int64_t passes_, pumped_ = 0;
    TouchedCheck check_;
};

TEST(TouchedParts, CoverEveryPixelTheAnimationChanges) {
    for (const double scale : {1.0, 2.0, 3.0}) {
        CheckedPasses platform(scale, scale == 1.0 ? 120 : 40);
        Form1 form(platform);
        form.Activate();
        // A frame changes a thin band, a fifth of the image in tiles at
        // most; its bounding box would be most of the image.
        EXPECT_LT(platform.largest_share, 0.4) << "scale " << scale;
    }
}

TEST(TouchedParts, CoverShapesReachingPastTheEdges) {
    const std::uint64_t seed = test_seed();
    std::printf("seed %llu\n", static_cast<unsigned long long>(seed));
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<float> x(-300, 300), y(-250, 250), radius(0, 150);
    for (const double scale : {1.0, 2.5}) {
        Canvas canvas{UserCoordinates(scale)};
        TouchedCheck check(canvas);
        for (int i = 0; i < 60; ++i) {
            const Colour colour = i % 2 ? colours::red : colours::black;
            for (int j = 0; j < 4; ++j) canvas.line(x(random), y(random), x(random), y(random), colour);
            canvas.circle(x(random), y(random), radius(random), colour);
            check.expect_changes_covered("scale " + std::to_string(scale) + ", round " + std::to_string(i));
        }
    }
}

TEST(TouchedParts, CoverAPenWiderThanATile) {
    // Tiles of 8 pixels, a pen of 25.
    constexpr int width = 200, height = 150, low = -12, high = 12;
    TouchedRegion region(width, height, low, high, 3);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> x(-40, width + 40), y(-40, height + 40), step(-3, 3);
    for (int round = 0; round < 50; ++round) {
        // A short trace: each step starts where the one before ended.
        std::vector<PixelPoint> trace{{x(random), y(random)}};
        for (int i = 0; i < 6; ++i) trace.push_back({trace.back().x + step(random), trace.back().y + step(random)});
        for (std::size_t i = 1; i < trace.size(); ++i) region.touch_segment(trace[i - 1], trace[i]);
        std::vector<bool> covered(width * height);
        for (const PixelRect& r : region.take()) {
            for (int py = r.y; py < r.y + r.height; ++py) {
                for (int px = r.x; px < r.x + r.width; ++px) covered[py * width + px] = true;
            }
        }
        for (const PixelPoint p : trace) {
            for (int py = std::max(0, p.y + low); py <= std::min(height - 1, p.y + high); ++py) {
                for (int px = std::max(0, p.x + low); px <= std::min(width - 1, p.x + high); ++px) {
                    ASSERT_TRUE(covered[py * width + px]) << "round " << round << ", pixel " << px << "," << py;
                }
            }
        }
    }
}

TEST(TouchedParts, ClearTouchesAllAndTakingForgets) {
    Canvas canvas;
    const std::vector<PixelRect> first = canvas.take_touched();
    ASSERT_EQ(first.size(), 1u) << "a new canvas is cleared";
    EXPECT_EQ(first[0].width * first[0].height, canvas.width() * canvas.height());
    EXPECT_FALSE(canvas.touched());
    EXPECT_TRUE(canvas.take_touched().empty());
    canvas.line(200, 0, 300, 10, colours::red);  // wholly outside
    EXPECT_FALSE(canvas.touched());
}

TEST(Canvas, DrawsInLentMemoryAndMovesOut) {
    const UserCoordinates coords;
    const std::size_t size = static_cast<std::size_t>(coords.width()) * coords.height();
    std::vector<std::uint32_t> lent(size), other(size);
    Canvas canvas(coords, {}, PixelFormat::rgba_bytes(), lent.data());
    ASSERT_EQ(canvas.pixels(), lent.data());
    canvas.line(-50, -40, 60, 30, colours::red);
    const std::vector<std::uint32_t> with_line = lent;
    EXPECT_NE(std::count(lent.begin(), lent.end(), canvas.format().value(colours::red)), 0);

    canvas.move_pixels(nullptr);
    canvas.circle(0, 0, 36, colours::blue);
    EXPECT_EQ(lent, with_line) << "drawing after moving out must leave the lent memory alone";
    EXPECT_EQ(canvas.pixel(canvas.coordinates().to_pixel(60, 30).x, canvas.coordinates().to_pixel(60, 30).y),
              colours::red);

    canvas.move_pixels(other.data());
    EXPECT_EQ(canvas.pixels(), other.data());
    const auto in_other = [&](Colour c) { return std::count(other.begin(), other.end(), canvas.format().value(c)); };
    EXPECT_GT(in_other(colours::red), 0) << "the image moved along";
    EXPECT_GT(in_other(colours::blue), 0) << "the image moved along";
}

}  // namespace
