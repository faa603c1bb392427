// Makes the program's background picture with the program's own drawing: the
// black trail of the housing curve at evenly spaced angles, on light grey, as
// a two-colour BMP (small enough to compile into the program).
//   make-background output.bmp
#include <cstdint>
#include <cstdio>
#include <exception>
#include <fstream>
#include <functional>
#include <numbers>
#include <stdexcept>
#include <vector>

#include "animation/form1.h"
#include "window/backing_image.h"

namespace {

// Number of earlier figures shown: one every 15 degrees of the eccentric
// angle, half a turn of the figure itself, which repeats after that.
constexpr int figures = 24;

// Passes through a platform only the black figures, so the picture holds the
// trail alone: no red figure and no circles.
class TrailOnly final : public Platform {
public:
    explicit TrailOnly(BackingImage& image, std::int64_t passes) : image_(image), passes_left_(passes) {}
    void at_each_pump(std::function<void()> f) { at_pump_ = std::move(f); }
    void line(float x1, float y1, float x2, float y2, Colour colour) override {
        if (colour == colours::black) image_.line(x1, y1, x2, y2, colour);
    }
    void circle(float, float, float, Colour) override {}
    void clear() override { image_.clear(); }
    Colour back_color() const override { return image_.back_color(); }
    void set_fore_color(Colour) override {}
    bool pump_events(FormEvents&) override {
        if (at_pump_) at_pump_();
        return --passes_left_ > 0;
    }
    void end() override { passes_left_ = 0; }

private:
    BackingImage& image_;
    std::int64_t passes_left_;
    std::function<void()> at_pump_;
};

void put_u16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put_u32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put_u16(out, v & 0xFFFF);
    put_u16(out, v >> 16);
}

// A bottom-up 1-bit BMP: index 0 light grey, index 1 black.
std::vector<std::uint8_t> two_colour_bmp(BackingImage& image) {
    const auto w = static_cast<std::uint32_t>(image.width());
    const auto h = static_cast<std::uint32_t>(image.height());
    const std::uint32_t row_bytes = (w + 31) / 32 * 4;
    const std::uint32_t header = 14 + 40 + 2 * 4;
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put_u32(out, header + row_bytes * h);
    put_u32(out, 0);
    put_u32(out, header);
    put_u32(out, 40);  // BITMAPINFOHEADER
    put_u32(out, w);
    put_u32(out, h);
    put_u16(out, 1);
    put_u16(out, 1);  // bits per pixel
    put_u32(out, 0);  // uncompressed
    put_u32(out, row_bytes * h);
    put_u32(out, 3780);  // 96 dpi in pixels per metre
    put_u32(out, 3780);
    put_u32(out, 2);
    put_u32(out, 2);
    for (const Colour c : {colours::light_grey, colours::black}) {
        out.push_back(blue_of(c));
        out.push_back(green_of(c));
        out.push_back(red_of(c));
        out.push_back(0);
    }
    for (std::uint32_t row = h; row-- > 0;) {
        std::vector<std::uint8_t> bits(row_bytes, 0);
        for (std::uint32_t col = 0; col < w; ++col) {
            if (image.pixel(static_cast<int>(col), static_cast<int>(row)) == colours::black)
                bits[col / 8] |= static_cast<std::uint8_t>(0x80 >> (col % 8));
        }
        out.insert(out.end(), bits.begin(), bits.end());
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-background output.bmp\n");
        return 2;
    }
    try {
        BackingImage image;
        // Three warm-up passes, one figure per pass after them, and one more
        // pass to paint the last red figure black.
        TrailOnly platform(image, 3 + figures + 1);
        Form1 form(platform);
        // The first pump comes after the start-up, which sets the speed.
        platform.at_each_pump([&form] { form.state().stepe = 2 * std::numbers::pi / figures; });
        form.Activate();
        const std::vector<std::uint8_t> bmp = two_colour_bmp(image);
        std::ofstream file(argv[1], std::ios::binary);
        file.write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
        if (!file) throw std::runtime_error("cannot write the picture");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make-background: %s\n", error.what());
        return 1;
    }
    return 0;
}
