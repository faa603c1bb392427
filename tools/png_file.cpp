#include "tools/png_file.h"

#include <array>
#include <fstream>
#include <stdexcept>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int bytes_per_pixel = 4;  // red, green, blue, alpha
constexpr std::uint8_t sub_filter = 1;

void put_big_endian(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t adler32(const Bytes& data) {
    constexpr std::uint32_t modulus = 65521;
    std::uint32_t a = 1, b = 0;
    for (const std::uint8_t byte : data) {
        a = (a + byte) % modulus;
        b = (b + a) % modulus;
    }
    return b << 16 | a;
}

// Deflate's bits, least significant first; Huffman codes go most significant
// bit first.
class BitWriter {
public:
    explicit BitWriter(Bytes& out) : out_(out) {}
    void bits(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) bit(value >> i & 1);
    }
    void code(std::uint32_t value, int length) {
        for (int i = length - 1; i >= 0; --i) bit(value >> i & 1);
    }
    void flush() {
        if (used_ > 0) out_.push_back(static_cast<std::uint8_t>(byte_));
        byte_ = used_ = 0;
    }

private:
    void bit(std::uint32_t b) {
        byte_ |= b << used_;
        if (++used_ == 8) flush();
    }
    Bytes& out_;
    std::uint32_t byte_ = 0;
    int used_ = 0;
};

// The fixed Huffman code of a literal byte or a length symbol (256 to 287).
void put_symbol(BitWriter& w, int symbol) {
    if (symbol < 144) return w.code(0x30 + symbol, 8);
    if (symbol < 256) return w.code(0x190 + symbol - 144, 9);
    if (symbol < 280) return w.code(symbol - 256, 7);
    w.code(0xC0 + symbol - 280, 8);
}

// A repeat of the byte before, `length` (3 to 258) times: a length symbol
// with its extra bits, then distance 1.
void put_repeat(BitWriter& w, int length) {
    constexpr std::array<int, 29> base{3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                       31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    constexpr std::array<int, 29> extra{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                        2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    int code = static_cast<int>(base.size()) - 1;
    while (base[static_cast<std::size_t>(code)] > length) --code;
    put_symbol(w, 257 + code);
    w.bits(static_cast<std::uint32_t>(length - base[static_cast<std::size_t>(code)]),
           extra[static_cast<std::size_t>(code)]);
    w.code(0, 5);  // distance code 0: one byte back
}

// A zlib stream of one deflate block with the fixed code.
Bytes deflate(const Bytes& data) {
    constexpr int longest_repeat = 258, shortest_repeat = 3;
    Bytes out{0x78, 0x01};  // deflate, 32 KiB window, no dictionary
    BitWriter w(out);
    w.bits(1, 1);  // the last block
    w.bits(1, 2);  // fixed Huffman codes
    for (std::size_t i = 0; i < data.size();) {
        std::size_t run = 0;
        while (i > 0 && i + run < data.size() && run < longest_repeat && data[i + run] == data[i - 1]) ++run;
        if (run >= shortest_repeat) {
            put_repeat(w, static_cast<int>(run));
            i += run;
        } else {
            put_symbol(w, data[i++]);
        }
    }
    put_symbol(w, 256);  // end of block
    w.flush();
    put_big_endian(out, adler32(data));
    return out;
}

void put_chunk(Bytes& out, const char (&type)[5], const Bytes& data) {
    put_big_endian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put_big_endian(out, crc32(out.data() + start, out.size() - start));
}

}  // namespace

std::vector<std::uint8_t> png_bytes(const IconImage& icon) {
    const auto size = static_cast<std::uint32_t>(icon.size);
    Bytes header;
    put_big_endian(header, size);
    put_big_endian(header, size);
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits a channel, RGBA, deflate, no interlace

    Bytes rows;
    rows.reserve(static_cast<std::size_t>(size) * (1 + bytes_per_pixel * size));
    for (std::uint32_t y = 0; y < size; ++y) {
        rows.push_back(sub_filter);
        std::array<std::uint8_t, bytes_per_pixel> before{};
        for (std::uint32_t x = 0; x < size; ++x) {
            const std::uint32_t argb = icon.argb[static_cast<std::size_t>(y) * size + x];
            const std::array<std::uint8_t, bytes_per_pixel> pixel{
                static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 8),
                static_cast<std::uint8_t>(argb), static_cast<std::uint8_t>(argb >> 24)};
            for (int k = 0; k < bytes_per_pixel; ++k) rows.push_back(static_cast<std::uint8_t>(pixel[k] - before[k]));
            before = pixel;
        }
    }

    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    put_chunk(png, "IHDR", header);
    put_chunk(png, "IDAT", deflate(rows));
    put_chunk(png, "IEND", {});
    return png;
}

void write_png(const std::string& path, const IconImage& icon) {
    const Bytes bytes = png_bytes(icon);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + path);
}
