// Draws the program's icon with its own animation: a full turn of the
// housing curve leaves its black trail, the last position in red with the
// red centre circle and the blue origin circle, written as an SVG picture.
//   make-icon output.svg
#include <cstdio>
#include <exception>
#include <fstream>
#include <numbers>
#include <stdexcept>

#include "animation/form1.h"
#include "vector_sketch.h"

namespace {

// Earlier figures in the trail: one every 15 degrees of the eccentric angle
// over a full turn, few enough to stay apart at small sizes.
constexpr int figures = 24;
// Before its first figure the loop runs three warm-up passes.
constexpr int warm_up_passes = 3;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-icon output.svg\n");
        return 2;
    }
    try {
        Form1* running = nullptr;
        // The first pump comes after the start-up, which sets the speed.
        VectorSketch sketch(warm_up_passes + figures,
                            [&running] { running->state().stepe = 2 * std::numbers::pi / figures; });
        Form1 form(sketch);
        running = &form;
        form.Activate();
        std::ofstream file(argv[1], std::ios::binary);
        file << to_svg(sketch.visible(), SvgStyle{});
        if (!file) throw std::runtime_error("cannot write the picture");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make-icon: %s\n", error.what());
        return 1;
    }
    return 0;
}
