// Whole scripted runs of the real program against hashes of the finished
// image at 96 dpi, recorded once: any change of a single pixel shows. The
// hash is FNV-1a (32 bits) over the red, green and blue bytes of every pixel
// in row order, the same as the browser tests compute from the page.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "animation/form1.h"
#include "background_picture.h"
#include "window/headless_platform.h"

namespace {

std::uint32_t image_hash(BackingImage& image) {
    std::uint32_t hash = 2166136261u;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const Colour c = image.pixel(x, y);
            for (const std::uint8_t byte : {red_of(c), green_of(c), blue_of(c)}) hash = (hash ^ byte) * 16777619u;
        }
    }
    return hash;
}

void keys(FormEvents& handlers, char key, int times) {
    for (int i = 0; i < times; ++i) handlers.KeyPress(static_cast<std::uint16_t>(key));
}

// Pointer sweeps, speed keys, holding and resuming.
void operate(FormEvents& handlers, std::int64_t pass) {
    if (pass == 40) keys(handlers, '.', 4);
    if (pass == 75) keys(handlers, ',', 9);
    if (pass >= 100 && pass < 140) {
        const double angle = 0.41 * static_cast<double>(pass);
        handlers.MouseMove(0, 0, static_cast<float>(60 * std::cos(angle)), static_cast<float>(45 * std::sin(angle)));
    }
    if (pass == 150) handlers.MouseMove(0, 0, 30, 0);
    if (pass == 160) keys(handlers, ' ', 1);
    if (pass == 200) keys(handlers, '/', 1);
    if (pass == 230) keys(handlers, ' ', 2);
    if (pass == 260) keys(handlers, '.', 30);
    if (pass == 400) keys(handlers, ' ', 1);
    if (pass == 420) handlers.MouseMove(0, 0, -8, 70);
    if (pass == 430) keys(handlers, ' ', 1);
    if (pass == 600) keys(handlers, ',', 50);
    if (pass == 800) keys(handlers, '/', 1);
}

// Held by the space bar before the first frame, so that frame, drawn about
// the origin, comes later, stays, and reaches past the bottom edge.
void held_early(FormEvents& handlers, std::int64_t pass) {
    if (pass == 1) keys(handlers, ' ', 1);
    if (pass == 20) handlers.MouseMove(0, 0, 10, 10);
    if (pass == 30) handlers.MouseMove(0, 0, -40, 5);
    if (pass == 35) keys(handlers, ' ', 1);
}

struct ScriptedRun {
    const char* name;
    std::int64_t passes;
    void (*input)(FormEvents&, std::int64_t);
    std::uint32_t hash;
};

TEST(GoldenImage, ScriptedRunsLeaveTheRecordedImages) {
    const ScriptedRun runs[] = {
        {"plain-70", 70, nullptr, 0xb0417b48},
        {"operated-300", 300, operate, 0x60a82eb8},
        {"operated-1000", 1000, operate, 0x5b202840},
        {"held-early-60", 60, held_early, 0x91ee1d3b},
    };
    for (const ScriptedRun& run : runs) {
        HeadlessPlatform platform(run.passes, UserCoordinates{}, background_picture_bmp());
        if (run.input) platform.on_pump(run.input);
        Form1 form(platform);
        form.Activate();
        const std::uint32_t hash = image_hash(platform.image());
        EXPECT_EQ(hash, run.hash) << run.name << ": actual 0x" << std::hex << hash;
    }
}

}  // namespace
