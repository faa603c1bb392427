// The animation's pace, the same on every display: passes are due by the
// clock, 60 a second on fixed deadlines, and each frame the display shows
// carries the passes that came due since the one before it: one a frame at
// 60 Hz, one at some frames and none at others on a faster display, two at
// 30 Hz. A late frame catches up a few passes at most and then starts a new
// schedule. The front ends ask it at each frame; time is passed in, so it
// reads no clock and waits for nothing itself.
#pragma once

#include <chrono>

class PassPace {
public:
    using Time = std::chrono::steady_clock::time_point;
    using Duration = std::chrono::steady_clock::duration;

    static constexpr int passes_per_second = 60;
    static constexpr Duration pass_interval = std::chrono::nanoseconds(1'000'000'000 / passes_per_second);
    // The most passes one frame carries, a tenth of a second's: after a
    // suspended machine or a hidden page the figure moves on by that, not by
    // the minutes it missed.
    static constexpr int most_passes_per_frame = 6;

    // `refresh`: the time between the display's frames where the front end
    // times them itself (the desktop); zero where they come to it (the
    // browser's animation frames).
    explicit PassPace(Duration refresh = Duration::zero()) : refresh_(refresh) {}

    // The first of the display's frames at which a pass is due, after the
    // last frame asked about; before a schedule, the clock's epoch (at once).
    Time next_frame() const;
    // The passes due at a frame shown at `frame`: the first frame of a
    // schedule carries one.
    int passes_due(Time frame);
    // At a pass's event pump: whether the next pass is one more of those due
    // at the frame last asked about, and runs at once, with no frame between.
    // A pass that drew nothing (held) ends that.
    bool next_pass_runs_at_once(bool drew);
    // Nothing is shown for a while (held): the next frame starts a new
    // schedule instead of catching up.
    void pause() { started_ = false; }

private:
    Duration refresh_;
    bool started_ = false;
    int still_due_ = 0;  // at the frame last asked about, after the next pass
    Time next_pass_{};   // the next pass's deadline
    Time last_frame_{};
};
