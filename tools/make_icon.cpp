// Writes the program's icon (src/icon/program_icon.h) as an SVG picture, as
// a Windows icon file for the Windows program's resources, or as a PNG
// picture of one size for the page's home-screen icons, on its rounded tile
// or full bleed (for home screens that give it a shape of their own).
//   make-icon output.svg
//   make-icon output.ico
//   make-icon output.png SIZE [full-bleed]
#include <array>
#include <cstdio>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "icon/icon_raster.h"
#include "icon/program_icon.h"
#include "tools/bmp_file.h"
#include "tools/png_file.h"

namespace {

// What Windows asks for at 100 to 250 % scale: small icons of 16 to 40
// pixels, large ones of 32 to 64, and 256 for Explorer's largest view.
constexpr std::array windows_icon_sizes{16, 20, 24, 32, 40, 48, 64, 256};
constexpr int largest_png = 1024;

}  // namespace

int main(int argc, char** argv) {
    const std::string_view path = argc > 1 ? argv[1] : "";
    const bool png = path.ends_with(".png");
    if (png ? argc < 3 || argc > 4 || (argc == 4 && std::string_view(argv[3]) != "full-bleed") : argc != 2) {
        std::fprintf(stderr, "usage: make-icon output.svg|output.ico\n       make-icon output.png SIZE [full-bleed]\n");
        return 2;
    }
    try {
        if (png) {
            const int size = std::stoi(argv[2]);
            if (size < 1 || size > largest_png) throw std::invalid_argument("SIZE must be 1 to 1024");
            SvgStyle style;
            style.full_bleed = argc == 4;
            const std::array sizes{size};
            write_png(argv[1], rasterise_icon(icon_figure(), sizes, style).front());
            return 0;
        }
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
