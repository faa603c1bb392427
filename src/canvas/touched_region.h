// The parts of an image drawn on since they were last taken, kept as square
// tiles so that a front end can send only those to the display. A frame
// touches a thin band along two traces and three circles: a small share of
// the image in a few dozen rectangles, where a span a row, or the frame's
// bounding box, would cover much more. docs/performance.md says why the tiles
// are 32 pixels.
#pragma once

#include <climits>
#include <cstdint>
#include <vector>

#include "canvas/user_coordinates.h"

struct PixelRect {
    int x, y, width, height;
};

class TouchedRegion {
public:
    // Segments are drawn with a square pen that covers `pen_low` to
    // `pen_high` pixels (pen_low <= 0 <= pen_high) about each point.
    TouchedRegion(int width, int height, int pen_low, int pen_high, int tile_shift = default_tile_shift);

    // Marks what a segment from a to b can set: its box grown by the pen.
    void touch_segment(PixelPoint a, PixelPoint b) {
        // A trace is thousands of short steps: most stay in the tile of the
        // one before, and two subtractions and comparisons a point say so.
        if (static_cast<unsigned>(a.x - near_x_) <= near_span_ && static_cast<unsigned>(b.x - near_x_) <= near_span_ &&
            static_cast<unsigned>(a.y - near_y_) <= near_span_ && static_cast<unsigned>(b.y - near_y_) <= near_span_) {
            return;
        }
        touch_box(a, b);
    }
    void touch_all() { all_ = any_ = true; }
    bool empty() const { return !any_; }

    // The touched tiles as rectangles inside the image, neighbours along a
    // row of tiles joined, and the same spans on consecutive rows joined;
    // forgets them.
    const std::vector<PixelRect>& take();

    static constexpr int default_tile_shift = 5;

private:
    void touch_box(PixelPoint a, PixelPoint b);
    void forget_near() { near_x_ = near_y_ = INT_MIN / 2; }
    void mark(int row, int column) {
        const auto c = static_cast<unsigned>(column);
        std::uint64_t& word = tiles_[static_cast<std::size_t>(row) * static_cast<std::size_t>(words_) + c / 64];
        word |= std::uint64_t{1} << (c % 64);
    }

    int width_, height_, pen_low_, pen_high_, shift_;
    bool pen_fits_tile_;
    // Points up to this far from a tile's corner, less the pen's reach, keep
    // the pen inside the tile.
    unsigned near_span_;
    int columns_, rows_, words_;
    // A bit a tile, set when touched: rows of words_ words, column c in bit
    // c % 64 of word c / 64.
    std::vector<std::uint64_t> tiles_;
    bool any_ = false;
    bool all_ = false;
    // Points whose pen stays inside the tile touched last (none at first, or
    // when the pen is wider than a tile): from near_x_ to near_x_ +
    // near_span_, and the same along y.
    int near_x_ = 0, near_y_ = 0;
    std::vector<PixelRect> rects_;
};
