// Paces presentation to the display's refresh on fixed deadlines: a late frame
// does not push later deadlines back, so the rate does not drift below the
// refresh; one that is a whole interval late starts a new schedule instead of
// rushing to catch up.
#pragma once

#include <chrono>
#include <thread>

// Presentation rate where the display does not report its own.
inline constexpr int default_refresh_hz = 60;

// The rate from the display's report: one outside what displays run at (a
// driver saying 1 Hz would show one frame a second) or none (0) gives the
// usual rate instead.
constexpr int presentation_hz(int reported_hz) {
    constexpr int slowest = 30, fastest = 240;
    return reported_hz >= slowest && reported_hz <= fastest ? reported_hz : default_refresh_hz;
}

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
