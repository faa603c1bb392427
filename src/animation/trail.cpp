#include "animation/trail.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr double turn = 2 * std::numbers::pi;
}  // namespace

// A figure repeats after a whole turn of its angle.
void Trail::add(double angle) {
    if (shares_.empty()) shares_.resize(shares);
    const double share = std::floor((std::remainder(angle, turn) / turn + 0.5) * shares);
    Share& kept = shares_[static_cast<std::size_t>(std::clamp(share, 0.0, shares - 1.0))];
    if (kept.last == 0) ++kept_;
    kept = {++added_, angle};
}

void Trail::clear() {
    std::fill(shares_.begin(), shares_.end(), Share{});
    kept_ = 0;
}

std::vector<double> Trail::angles() const {
    std::vector<const Share*> kept;
    kept.reserve(kept_);
    for (const Share& s : shares_) {
        if (s.last != 0) kept.push_back(&s);
    }
    std::sort(kept.begin(), kept.end(), [](const Share* a, const Share* b) { return a->last < b->last; });
    std::vector<double> in_order;
    in_order.reserve(kept.size());
    for (const Share* s : kept) in_order.push_back(s->angle);
    return in_order;
}
