// Renders the animation without a display and writes the backing image as a
// BMP file, so a person can look at it on a machine with no screen.
//   render-passes [passes] [output.bmp]      (defaults: 100, passes.bmp)
// With 0 passes the image is the background picture alone.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "animation/form1.h"
#include "background_picture.h"
#include "bmp_file.h"
#include "support/headless_platform.h"

int main(int argc, char** argv) {
    const long long passes = argc > 1 ? std::atoll(argv[1]) : 100;
    const std::string output = argc > 2 ? argv[2] : "passes.bmp";
    if (passes < 0) {
        std::fprintf(stderr, "render-passes: the number of passes must not be negative\n");
        return 2;
    }
    try {
        HeadlessPlatform platform(passes, UserCoordinates{}, draw_background_picture);
        Form1 form(platform);
        // No passes: the background picture alone.
        if (passes > 0) form.Activate();
        const Canvas& canvas = platform.canvas();
        write_bmp(output, canvas.width(), canvas.height(), [&canvas](int x, int y) { return canvas.pixel(x, y); });
        std::printf("%s: %lld passes, angle %.6f\n", output.c_str(), passes, form.state().j1);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "render-passes: %s\n", error.what());
        return 1;
    }
    return 0;
}
