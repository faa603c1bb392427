// What the window sends to the display: every pixel a drawing call changes
// lies in the touched parts the canvas hands over, at every density, with a
// pen wider than a tile and past the edges, and those parts stay a small
// share of the image. The canvas can draw in memory lent to it and move out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "background/background_picture.h"
#include "support/operator_script.h"
#include "support/scripted_platform.h"

namespace {

// Takes the touched parts and checks that they hold every pixel that changed
// since the last call; returns their share of the image.
class TouchedCheck {
public:
    explicit TouchedCheck(Canvas& canvas) : canvas_(canvas), before_(snapshot()) {}

    double expect_changes_covered(const std::string& when) {
        const int w = canvas_.width();
        std::vector<bool> covered(before_.size());
        double area = 0;
        for (const PixelRect& r : canvas_.take_touched()) {
            area += double{1} * r.width * r.height;
            for (int y = r.y; y < r.y + r.height; ++y) {
                for (int x = r.x; x < r.x + r.width; ++x) covered.at(static_cast<std::size_t>(y) * w + x) = true;
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

TEST(TouchedParts, CoverEveryPixelTheAnimationChanges) {
    for (const double scale : {1.0, 2.0, 3.0}) {
        // Dense canvases are costly to compare whole: a few frames there.
        ScriptedRun run(scale == 1.0 ? 120 : 8, {.coords = UserCoordinates(scale), .picture = draw_background_picture});
        TouchedCheck check(run.platform.canvas());
        double largest_share = 0;
        run.activate([&](FormEvents& handlers, std::int64_t pass) {
            const double share = check.expect_changes_covered("pass " + std::to_string(pass));
            // Up to pass 3 the pumps show the picture cleared; frames come after.
            if (pass > 3) largest_share = std::max(largest_share, share);
            operate(handlers, pass);
        });
        // A frame changes a thin band, a fifth of the image in tiles at
        // most; its bounding box would be most of the image.
        EXPECT_LT(largest_share, 0.4) << "scale " << scale;
    }
}

TEST(TouchedParts, CoverTracesOfAPenWiderThanATile) {
    // Tiles of 8 pixels, a pen of 25; each trace of short steps is taken
    // whole, so steps after the first may take the quick path.
    constexpr int width = 200, height = 150, low = -12, high = 12;
    TouchedRegion region(width, height, low, high, 3);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> x(-40, width + 40), y(-40, height + 40), step(-3, 3);
    for (int round = 0; round < 50; ++round) {
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

TEST(Canvas, DrawsInLentMemoryAndMovesOut) {
    const UserCoordinates coords;
    std::vector<std::uint32_t> lent(static_cast<std::size_t>(coords.width()) * coords.height()), other(lent.size());
    Canvas canvas(coords, {}, PixelFormat::rgba_bytes(), lent.data());
    const auto count = [&](const std::vector<std::uint32_t>& in, Colour c) {
        return std::count(in.begin(), in.end(), canvas.format().value(c));
    };
    canvas.line(-50, -40, 60, 30, colours::red);
    EXPECT_GT(count(lent, colours::red), 0);

    canvas.move_pixels(nullptr);
    canvas.circle(0, 0, 36, colours::blue);
    EXPECT_EQ(count(lent, colours::blue), 0) << "drawing after moving out must leave the lent memory alone";

    canvas.move_pixels(other.data());
    EXPECT_EQ(canvas.pixels(), other.data());
    EXPECT_GT(count(other, colours::red), 0) << "the image moved along";
    EXPECT_GT(count(other, colours::blue), 0) << "the image moved along";
}

}  // namespace
