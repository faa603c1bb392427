// Renders the animation without a display and writes the backing image as a
// BMP file, so a person can look at it on a machine with no screen.
//   render-passes [passes] [output.bmp]      (defaults: 100, passes.bmp)
#include <charconv>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "animation/form1.h"
#include "background_picture.h"
#include "window/headless_platform.h"

namespace {

constexpr const char* usage =
    "usage: render-passes [passes] [output.bmp]\n"
    "Runs the animation for a number of passes (default 100) without a display\n"
    "and writes the window's picture to a BMP file (default passes.bmp).\n";

// A whole positive number, or nothing.
std::optional<long long> pass_count(std::string_view text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value <= 0) return std::nullopt;
    return value;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::fputs(usage, stdout);
        return 0;
    }
    const std::optional<long long> count = argc > 1 ? pass_count(argv[1]) : 100;
    if (argc > 3 || !count) {
        std::fputs(usage, stderr);
        return 2;
    }
    const long long passes = *count;
    const std::string output = argc > 2 ? argv[2] : "passes.bmp";
    try {
        HeadlessPlatform platform(passes, UserCoordinates{}, background_picture_bmp());
        Form1 form(platform);
        form.Activate();
        platform.image().save_bmp(output);
        std::printf("%s: %lld passes, angle %.6f\n", output.c_str(), passes, form.state().j1);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "render-passes: %s\n", error.what());
        return 1;
    }
    return 0;
}
