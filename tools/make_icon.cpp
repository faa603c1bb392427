// Writes the program's icon (src/icon/program_icon.h) as an SVG picture, or
// as a Windows icon file for the Windows program's resources.
//   make-icon output.svg
//   make-icon output.ico
#include <array>
#include <cstdio>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string_view>

#include "tools/bmp_file.h"
#include "icon/icon_raster.h"
#include "icon/program_icon.h"

namespace {

// What Windows asks for at 100 to 250 % scale: small icons of 16 to 40
// pixels, large ones of 32 to 64, and 256 for Explorer's largest view.
constexpr std::array windows_icon_sizes{16, 20, 24, 32, 40, 48, 64, 256};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-icon output.svg|output.ico\n");
        return 2;
    }
    try {
        const std::string_view path = argv[1];
        if (path.ends_with(".ico")) {
            write_ico(argv[1], rasterise_icon(icon_figure(), windows_icon_sizes, SvgStyle{}));
            return 0;
        }
        std::ofstream file(argv[1], std::ios::binary);
        file << to_svg(icon_figure(), SvgStyle{});
        if (!file) throw std::runtime_error("cannot write the picture");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make-icon: %s\n", error.what());
        return 1;
    }
    return 0;
}
