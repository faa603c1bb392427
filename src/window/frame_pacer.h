// Paces presentation to the display's refresh on fixed deadlines: a late frame
// does not push later deadlines back, so the rate does not drift below the
// refresh; one that is a whole interval late starts a new schedule instead of
// rushing to catch up.
#pragma once

#include <chrono>
#include <thread>

class FramePacer {
public:
    using Clock = std::chrono::steady_clock;

    explicit FramePacer(int refresh_hz) : period_(std::chrono::nanoseconds(1'000'000'000 / refresh_hz)) {}

    Clock::duration period() const { return period_; }

    // Waits for the next deadline and schedules the one after it.
    void wait() {
        const Clock::time_point now = Clock::now();
        if (now < next_) {
            std::this_thread::sleep_until(next_);
        } else if (now - next_ > period_) {
            next_ = now;
        }
        next_ += period_;
    }

private:
    Clock::duration period_;
    Clock::time_point next_{};
};
