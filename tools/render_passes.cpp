// Renders the animation without a display and writes the backing image as a
// BMP file, so a person can look at it on a machine with no screen.
//   render-passes [passes] [output.bmp] [eccentricity]
// (defaults: 100, passes.bmp, 12). With 0 passes the image is the background
// picture alone.
#include <charconv>
#include <climits>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "animation/keys.h"
#include "background/background_picture.h"
#include "support/scripted_platform.h"
#include "tools/bmp_file.h"

namespace {

constexpr const char* usage =
    "usage: render-passes [passes] [output.bmp] [eccentricity]\n"
    "Runs the animation for a number of passes (default 100) without a display\n"
    "and writes the window's picture to a BMP file (default passes.bmp); with 0\n"
    "passes, the background picture alone. The eccentricity, a whole number\n"
    "from 4 to 20 (default 12), is set as its keys set it.\n";

// A whole number from `least` to `most`, or nothing.
std::optional<long long> whole_number(std::string_view text, long long least, long long most) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < least || value > most) return std::nullopt;
    return value;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::fputs(usage, stdout);
        return 0;
    }
    const std::optional<long long> count = argc > 1 ? whole_number(argv[1], 0, LLONG_MAX) : 100;
    const std::optional<long long> e = argc > 3 ? whole_number(argv[3], static_cast<long long>(figure::least_e),
                                                               static_cast<long long>(figure::greatest_e))
                                                : static_cast<long long>(figure::start_e);
    if (argc > 4 || !count || !e) {
        std::fputs(usage, stderr);
        return 2;
    }
    const long long passes = *count;
    const std::string output = argc > 2 ? argv[2] : "passes.bmp";
    try {
        ScriptedRun run(passes, {.picture = draw_background_picture});
        // The keys, typed before the start-up: the picture is that of the
        // eccentricity from the first.
        while (run.state().e < static_cast<double>(*e)) run.form.KeyPress(key::more_eccentric);
        while (run.state().e > static_cast<double>(*e)) run.form.KeyPress(key::less_eccentric);
        // No passes: the background picture alone.
        if (passes > 0) run.activate();
        const Canvas& canvas = run.platform.canvas();
        write_bmp(output, canvas.width(), canvas.height(), [&canvas](int x, int y) { return canvas.pixel(x, y); });
        std::printf("%s: %lld passes, angle %.6f, eccentricity %lld\n", output.c_str(), passes, run.state().j1, *e);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "render-passes: %s\n", error.what());
        return 1;
    }
    return 0;
}
