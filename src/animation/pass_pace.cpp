#include "animation/pass_pace.h"

#include <algorithm>

namespace {

// A pass is due at the frame nearest its deadline, so frames a little early
// or late, or a display a little off 60 Hz, still carry one pass each.
constexpr PassPace::Duration due_early = PassPace::pass_interval / 2;

}  // namespace

PassPace::Time PassPace::next_frame() const {
    if (!started_) return Time{};
    if (refresh_ <= Duration::zero()) return next_pass_;
    const Time earliest = next_pass_ - due_early;
    Time frame = last_frame_ + refresh_;
    if (frame < earliest) frame += refresh_ * ((earliest - frame + refresh_ - Duration(1)) / refresh_);
    return frame;
}

int PassPace::passes_due(Time frame) {
    last_frame_ = frame;
    int due = 1;
    if (!started_) {
        started_ = true;
        next_pass_ = frame + pass_interval;
    } else {
        for (due = 0; due < most_passes_per_frame && next_pass_ - due_early <= frame; ++due) {
            next_pass_ += pass_interval;
        }
        // Later than a catch-up can mend: the schedule starts anew from here.
        if (next_pass_ - due_early <= frame) next_pass_ = frame + pass_interval;
    }
    still_due_ = std::max(0, due - 1);
    return due;
}

bool PassPace::next_pass_runs_at_once(bool drew) {
    if (!drew) still_due_ = 0;
    if (still_due_ == 0) return false;
    --still_due_;
    return true;
}
