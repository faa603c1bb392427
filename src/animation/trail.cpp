#include "animation/trail.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr double turn = 2 * std::numbers::pi;
}  // namespace

// A figure repeats after a whole turn of its angle.
void Trail::add(double angle) {
    const double share = std::floor((std::remainder(angle, turn) / turn + 0.5) * shares);
    const auto index = static_cast<std::size_t>(std::clamp(share, 0.0, shares - 1.0));
    if (taken_[index]) return;
    taken_[index] = true;
    angles_.push_back(angle);
}

void Trail::clear() {
    angles_.clear();
    taken_.reset();
}
