#include "canvas/touched_region.h"

#include <algorithm>
#include <bit>

namespace {

constexpr int word_bits = 64;

// The first touched tile at or after column c of a row of bits, or a column
// past the last word.
int next_touched(const std::uint64_t* row, int words, int c) {
    for (; c / word_bits < words; c = (c / word_bits + 1) * word_bits) {
        const std::uint64_t bits = row[c / word_bits] >> (c % word_bits);
        if (bits != 0) return c + std::countr_zero(bits);
    }
    return c;
}

// The first untouched tile at or after column c.
int next_untouched(const std::uint64_t* row, int words, int c) {
    for (;;) {
        const int bit = c % word_bits;
        const int ones = std::countr_one(row[c / word_bits] >> bit);
        c += ones;
        if (bit + ones < word_bits || c / word_bits >= words) return c;
    }
}

}  // namespace

TouchedRegion::TouchedRegion(int width, int height, int pen_low, int pen_high, int tile_shift)
    : width_(width),
      height_(height),
      pen_low_(pen_low),
      pen_high_(pen_high),
      shift_(tile_shift),
      pen_fits_tile_(pen_high - pen_low < (1 << tile_shift)),
      near_span_(pen_fits_tile_ ? static_cast<unsigned>((1 << tile_shift) - 1 - (pen_high - pen_low)) : 0),
      columns_(((width - 1) >> tile_shift) + 1),
      rows_(((height - 1) >> tile_shift) + 1),
      words_((columns_ + word_bits - 1) / word_bits),
      tiles_(static_cast<std::size_t>(words_) * static_cast<std::size_t>(rows_)) {
    forget_near();
}

void TouchedRegion::touch_box(PixelPoint a, PixelPoint b) {
    const int left = std::max(std::min(a.x, b.x) + pen_low_, 0);
    const int right = std::min(std::max(a.x, b.x) + pen_high_, width_ - 1);
    const int top = std::max(std::min(a.y, b.y) + pen_low_, 0);
    const int bottom = std::min(std::max(a.y, b.y) + pen_high_, height_ - 1);
    if (left > right || top > bottom) return;
    const int c0 = left >> shift_, c1 = right >> shift_, r0 = top >> shift_, r1 = bottom >> shift_;
    // A short segment's box spans two tiles at most each way: its corners'
    // tiles are all of them.
    mark(r0, c0);
    mark(r0, c1);
    mark(r1, c0);
    mark(r1, c1);
    if (c1 - c0 > 1 || r1 - r0 > 1) {
        for (int r = r0; r <= r1; ++r) {
            for (int c = c0; c <= c1; ++c) mark(r, c);
        }
    }
    any_ = true;
    // The next segment starts at b: its tile is touched now, if b is inside.
    if (b.x < 0 || b.y < 0 || b.x >= width_ || b.y >= height_ || !pen_fits_tile_) {
        forget_near();
        return;
    }
    near_x_ = ((b.x >> shift_) << shift_) - pen_low_;
    near_y_ = ((b.y >> shift_) << shift_) - pen_low_;
}

const std::vector<PixelRect>& TouchedRegion::take() {
    rects_.clear();
    if (all_) {
        rects_.push_back({0, 0, width_, height_});
    } else if (any_) {
        // Rectangles of the row of tiles above, in order of x: a span that
        // repeats one of them extends it downwards.
        std::size_t above_begin = 0, above_end = 0;
        for (int r = 0; r < rows_; ++r) {
            const std::uint64_t* row = &tiles_[static_cast<std::size_t>(r) * static_cast<std::size_t>(words_)];
            const int y = r << shift_, height = std::min(height_, y + (1 << shift_)) - y;
            const std::size_t row_begin = rects_.size();
            std::size_t above = above_begin;
            for (int c = next_touched(row, words_, 0); c < columns_; c = next_touched(row, words_, c)) {
                const int first = c;
                c = next_untouched(row, words_, c);
                const int x = first << shift_, width = std::min(width_, c << shift_) - x;
                while (above < above_end && rects_[above].x < x) ++above;
                if (above < above_end && rects_[above].x == x && rects_[above].width == width) {
                    // Moved into this row's list, in order for the next.
                    const PixelRect longer{x, rects_[above].y, width, rects_[above].height + height};
                    rects_[above].width = 0;
                    rects_.push_back(longer);
                } else {
                    rects_.push_back({x, y, width, height});
                }
            }
            above_begin = row_begin;
            above_end = rects_.size();
        }
        std::erase_if(rects_, [](const PixelRect& rect) { return rect.width == 0; });
    }
    // Tiles touched after everything was (a clear's picture) go too.
    if (any_) std::fill(tiles_.begin(), tiles_.end(), std::uint64_t{0});
    any_ = all_ = false;
    forget_near();
    return rects_;
}
