// Renders the animation without a display and writes the backing image as a
// BMP file, so a person can look at it on a machine with no screen.
//   render-passes [passes] [output.bmp]      (defaults: 100, passes.bmp)
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "animation/form1.h"
#include "background_picture.h"
#include "window/headless_platform.h"

int main(int argc, char** argv) {
    const long long passes = argc > 1 ? std::atoll(argv[1]) : 100;
    const std::string output = argc > 2 ? argv[2] : "passes.bmp";
    if (passes <= 0) {
        std::fprintf(stderr, "render-passes: the number of passes must be positive\n");
        return 2;
    }
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
