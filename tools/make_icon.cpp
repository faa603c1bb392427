// Writes the program's icon (src/icon/program_icon.h) as an SVG picture.
//   make-icon output.svg
#include <cstdio>
#include <exception>
#include <fstream>
#include <stdexcept>

#include "icon/program_icon.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-icon output.svg\n");
        return 2;
    }
    try {
        std::ofstream file(argv[1], std::ios::binary);
        file << to_svg(icon_figure(), SvgStyle{});
        if (!file) throw std::runtime_error("cannot write the picture");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make-icon: %s\n", error.what());
        return 1;
    }
    return 0;
}
