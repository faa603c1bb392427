#include "tools/bmp_file.h"

#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t info_header_bytes = 40;  // BITMAPINFOHEADER
constexpr int largest_icon = 256;

using Bytes = std::vector<std::uint8_t>;

void put(Bytes& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Rows are stored bottom row first, each padded to a multiple of four bytes.
std::uint32_t row_bytes(int width, int bits_per_pixel) {
    return static_cast<std::uint32_t>((width * bits_per_pixel + 31) / 32 * 4);
}

void put_info_header(Bytes& out, int width, int height, int bits_per_pixel, std::uint32_t image_bytes) {
    put(out, info_header_bytes, 4);
    put(out, static_cast<std::uint32_t>(width), 4);
    put(out, static_cast<std::uint32_t>(height), 4);
    put(out, 1, 2);  // planes
    put(out, static_cast<std::uint32_t>(bits_per_pixel), 2);
    put(out, 0, 4);  // uncompressed
    put(out, image_bytes, 4);
    put(out, 3780, 4);  // 96 dpi, in pixels per metre
    put(out, 3780, 4);
    put(out, 0, 4);
    put(out, 0, 4);
}

void write_file(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + path);
}

// An icon file's picture: the colours with alpha, then the mask, both
// bottom row first; the header gives the height of the two together.
Bytes icon_picture(const IconImage& icon) {
    const int size = icon.size;
    const std::uint32_t mask_row = row_bytes(size, 1);
    Bytes out;
    put_info_header(out, size, 2 * size, 32, (4 * size + mask_row) * static_cast<std::uint32_t>(size));
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) put(out, icon.argb[static_cast<std::size_t>(y) * size + x], 4);  // B, G, R, A
    }
    for (int y = size - 1; y >= 0; --y) {
        Bytes row(mask_row, 0);
        for (int x = 0; x < size; ++x) {
            const bool transparent = icon.argb[static_cast<std::size_t>(y) * size + x] >> 24 == 0;
            if (transparent) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

void write_bmp(const std::string& path, int width, int height, const std::function<Colour(int x, int y)>& pixel) {
    const std::uint32_t row = row_bytes(width, 24);
    const std::uint32_t header_bytes = 14 + info_header_bytes;
    const std::uint32_t image_bytes = row * static_cast<std::uint32_t>(height);
    Bytes out;
    out.reserve(header_bytes + image_bytes);
    out.push_back('B');
    out.push_back('M');
    put(out, header_bytes + image_bytes, 4);
    put(out, 0, 4);
    put(out, header_bytes, 4);
    put_info_header(out, width, height, 24, image_bytes);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Colour c = pixel(x, y);
            out.insert(out.end(), {blue_of(c), green_of(c), red_of(c)});
        }
        out.resize(out.size() + (row - static_cast<std::uint32_t>(width) * 3));
    }
    write_file(path, out);
}

void write_ico(const std::string& path, std::span<const IconImage> icons) {
    constexpr std::uint32_t directory_bytes = 6, entry_bytes = 16;
    Bytes out;
    put(out, 0, 2);  // reserved
    put(out, 1, 2);  // an icon, not a cursor
    put(out, static_cast<std::uint32_t>(icons.size()), 2);
    std::vector<Bytes> pictures;
    auto offset = static_cast<std::uint32_t>(directory_bytes + entry_bytes * icons.size());
    for (const IconImage& icon : icons) {
        if (icon.size < 1 || icon.size > largest_icon) {
            throw std::invalid_argument("an icon file holds pictures of 1 to 256 pixels, not " +
                                        std::to_string(icon.size));
        }
        pictures.push_back(icon_picture(icon));
        const auto side = static_cast<std::uint32_t>(icon.size % largest_icon);  // 256 is written as 0
        put(out, side, 1);
        put(out, side, 1);
        put(out, 0, 1);  // no palette
        put(out, 0, 1);  // reserved
        put(out, 1, 2);  // planes
        put(out, 32, 2);
        put(out, static_cast<std::uint32_t>(pictures.back().size()), 4);
        put(out, offset, 4);
        offset += static_cast<std::uint32_t>(pictures.back().size());
    }
    for (const Bytes& picture : pictures) out.insert(out.end(), picture.begin(), picture.end());
    write_file(path, out);
}
