#include "bmp_file.h"

#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace {

void put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

void write_bmp(const std::string& path, int width, int height, const std::function<Colour(int x, int y)>& pixel) {
    const auto row_bytes = static_cast<std::uint32_t>((width * 3 + 3) / 4 * 4);
    const std::uint32_t header_bytes = 14 + 40;
    const std::uint32_t image_bytes = row_bytes * static_cast<std::uint32_t>(height);
    std::vector<std::uint8_t> out;
    out.reserve(header_bytes + image_bytes);
    out.push_back('B');
    out.push_back('M');
    put(out, header_bytes + image_bytes, 4);
    put(out, 0, 4);
    put(out, header_bytes, 4);
    put(out, 40, 4);  // BITMAPINFOHEADER
    put(out, static_cast<std::uint32_t>(width), 4);
    put(out, static_cast<std::uint32_t>(height), 4);
    put(out, 1, 2);   // planes
    put(out, 24, 2);  // bits per pixel
    put(out, 0, 4);   // uncompressed
    put(out, image_bytes, 4);
    put(out, 3780, 4);  // 96 dpi, in pixels per metre
    put(out, 3780, 4);
    put(out, 0, 4);
    put(out, 0, 4);
    for (int y = height - 1; y >= 0; --y) {  // bottom row first
        for (int x = 0; x < width; ++x) {
            const Colour c = pixel(x, y);
            out.insert(out.end(), {blue_of(c), green_of(c), red_of(c)});
        }
        out.resize(out.size() + (row_bytes - static_cast<std::uint32_t>(width) * 3));
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    if (!file) throw std::runtime_error("cannot write " + path);
}
