// Whole scripted runs of the real program against hashes of the finished
// image at 96 dpi, recorded once: any change of a single pixel shows. The
// hash is FNV-1a (32 bits) over the red, green and blue bytes of every pixel
// in row order, the same as the browser tests compute from the page.
#include <gtest/gtest.h>

#include <cstdint>

#include "background/background_picture.h"
#include "support/operator_script.h"
#include "support/scripted_platform.h"

namespace {

std::uint32_t image_hash(const Canvas& image) {
    std::uint32_t hash = 2166136261u;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const Colour c = image.pixel(x, y);
            for (const std::uint8_t byte : {red_of(c), green_of(c), blue_of(c)}) hash = (hash ^ byte) * 16777619u;
        }
    }
    return hash;
}

struct GoldenRun {
    const char* name;
    std::int64_t passes;
    PassScript::Input input;
    std::uint32_t hash;
};

TEST(GoldenImage, ScriptedRunsLeaveTheRecordedImages) {
    const GoldenRun runs[] = {
        {"plain-70", 70, nullptr, 0xb0417b48},
        {"operated-300", 300, operate, 0x60a82eb8},
        {"operated-1000", 1000, operate, 0x5b202840},
        {"held-early-60", 60, hold_early, 0x1ff0cbec},
    };
    for (const GoldenRun& run : runs) {
        ScriptedRun scripted(run.passes, {.picture = draw_background_picture});
        scripted.activate(run.input);
        const std::uint32_t hash = image_hash(scripted.platform.canvas());
        EXPECT_EQ(hash, run.hash) << run.name << ": actual 0x" << std::hex << hash;
    }
}

}  // namespace
