// The canvas's pixels: in storage of its own, or in memory lent by a front
// end (a window surface the display reads from), so that the image exists
// once. Moving between the two copies the image.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

class PixelBuffer {
public:
    // `size` pixels in `lent` memory, or in storage of its own when null.
    PixelBuffer(std::size_t size, std::uint32_t* lent) : size_(size) {
        if (lent == nullptr) own_.resize(size);
        data_ = lent != nullptr ? lent : own_.data();
    }
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    std::uint32_t* data() { return data_; }
    const std::uint32_t* data() const { return data_; }
    std::uint32_t& operator[](std::size_t i) { return data_[i]; }
    const std::uint32_t& operator[](std::size_t i) const { return data_[i]; }
    std::uint32_t* begin() { return data_; }
    std::uint32_t* end() { return data_ + size_; }
    std::size_t size() const { return size_; }
    bool lent() const { return data_ != own_.data(); }

    // `size` pixels of its own in place of the image, lent or not.
    void reset(std::size_t size) {
        own_.assign(size, 0);
        data_ = own_.data();
        size_ = size;
    }

    // Copies the image into `memory` and keeps it there from now on, or
    // back into storage of its own when `memory` is null.
    void move_to(std::uint32_t* memory) {
        if (memory == data_ || (memory == nullptr && !lent())) return;
        if (memory == nullptr) {
            own_.assign(data_, data_ + size_);
            data_ = own_.data();
            return;
        }
        std::copy(data_, data_ + size_, memory);
        data_ = memory;
        std::vector<std::uint32_t>().swap(own_);  // gives the memory back
    }

private:
    std::size_t size_;
    std::vector<std::uint32_t> own_;
    std::uint32_t* data_;
};
