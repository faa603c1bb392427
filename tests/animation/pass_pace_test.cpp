// The pace of passes against displays of every rate, with frames timed by
// the desktop (on its refresh) or handed in by a browser, on time or late.
#include "animation/pass_pace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <span>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Time = PassPace::Time;
using Duration = PassPace::Duration;

const Time start = Time{} + 1h;
constexpr int seconds = 10;
constexpr int passes_in_ten_seconds = seconds * PassPace::passes_per_second;

Duration refresh_of(int hz) { return std::chrono::nanoseconds(1'000'000'000 / hz); }

// The passes each frame carries, the desktop's way: at the frame the pace
// names, for `seconds`.
std::vector<int> desktop_frames(PassPace& pace, Time from = start) {
    std::vector<int> passes;
    for (Time frame = from; frame < from + std::chrono::seconds(seconds); frame = pace.next_frame()) {
        passes.push_back(pace.passes_due(frame));
    }
    return passes;
}

int sum(const std::vector<int>& passes) {
    int total = 0;
    for (const int n : passes) total += n;
    return total;
}

TEST(PassPace, AtSixtyHertzEveryRefreshCarriesOnePassOnFixedDeadlines) {
    PassPace pace(refresh_of(60));
    EXPECT_EQ(pace.next_frame(), Time{}) << "the first frame is due at once";
    ASSERT_EQ(pace.passes_due(start), 1);
    for (int n = 1; n <= passes_in_ten_seconds; ++n) {
        const Time frame = pace.next_frame();
        ASSERT_EQ(frame, start + n * PassPace::pass_interval) << "frame " << n;
        ASSERT_EQ(pace.passes_due(frame), 1) << "frame " << n;
    }
}

// The least and the most passes a frame of a display at `hz` carries, where
// frames are shown whether a pass is due or not.
std::pair<int, int> passes_a_frame(double hz) {
    const double per_frame = PassPace::passes_per_second / hz;
    return {static_cast<int>(per_frame), static_cast<int>(std::ceil(per_frame))};
}

TEST(PassPace, DesktopsFasterAndSlowerShowSixtyPassesASecondOnTheirRefresh) {
    for (const int hz : {30, 50, 75, 144, 240}) {
        PassPace pace(refresh_of(hz));
        const std::vector<int> passes = desktop_frames(pace);
        EXPECT_NEAR(sum(passes), passes_in_ten_seconds, 1) << hz << " Hz";
        EXPECT_LE(passes.size(), static_cast<std::size_t>(seconds * hz + 1)) << hz << " Hz: more frames than refreshes";
        // After the first frame, which starts the schedule with one pass. The
        // desktop shows frames only where a pass is due.
        const auto [least, most] = passes_a_frame(hz);
        for (const int n : std::span(passes).subspan(1)) {
            EXPECT_TRUE(n >= std::max(least, 1) && n <= most) << hz << " Hz: a frame of " << n << " passes";
        }
        // Frames fall on the display's refresh: whole refreshes after the first.
        EXPECT_EQ((pace.next_frame() - start) % refresh_of(hz), Duration::zero()) << hz << " Hz";
    }
}

// The passes at each of `duration_s` seconds of frames from a browser at `hz`, their
// times in whole microseconds, each off its place by `jitter`(n).
template <typename Jitter>
std::vector<int> browser_frames(double hz, int duration_s, Jitter jitter) {
    PassPace pace;
    std::vector<int> passes;
    const auto interval = std::chrono::duration<double>(1 / hz);
    for (int n = 0; n < duration_s * hz; ++n) {
        passes.push_back(pace.passes_due(start + std::chrono::round<std::chrono::microseconds>(n * interval) +
                                         std::chrono::microseconds(jitter(n))));
    }
    return passes;
}

TEST(PassPace, BrowserFramesOfAnyRateCarryTheDuePasses) {
    // Slow displays, fast ones, and an unlimited browser, its frames up to
    // 300 us off their places.
    for (const double hz : {24.0, 30.0, 90.0, 144.0, 600.0}) {
        const std::vector<int> passes = browser_frames(hz, seconds, [](int n) { return n % 7 * 100 - 300; });
        EXPECT_NEAR(sum(passes), passes_in_ten_seconds, 1) << hz << " Hz";
        const auto [least, most] = passes_a_frame(hz);
        for (const int n : std::span(passes).subspan(1)) {
            EXPECT_TRUE(n >= least && n <= most) << hz << " Hz: a frame of " << n << " passes";
        }
    }
}

TEST(PassPace, ADisplayALittleOffSixtyHertzShowsOnePassAFrameWhereTheRatesAgree) {
    // 100 seconds: the passes keep 60 a second, as the frames do not.
    constexpr int long_run = 100;
    for (const double hz : {59.94, 60.2}) {
        const std::vector<int> passes = browser_frames(hz, long_run, [](int n) { return n % 2 * 20 - 10; });
        EXPECT_NEAR(sum(passes), long_run * PassPace::passes_per_second, 1) << hz << " Hz";
        const auto irregular = std::count_if(passes.begin(), passes.end(), [](int n) { return n != 1; });
        // Only where the rates part: a frame of two passes, or of none.
        const auto frames = static_cast<long>(passes.size());
        EXPECT_LE(irregular, std::abs(frames - long_run * PassPace::passes_per_second) + 2)
            << hz << " Hz: frames of other than one pass among " << passes.size();
    }
}

TEST(PassPace, ALateFrameCatchesUpABoundedNumberThenANewScheduleStarts) {
    PassPace pace(refresh_of(60));
    ASSERT_EQ(pace.passes_due(start), 1);
    // Three intervals late: the two missed passes and its own, back to back.
    Time frame = pace.next_frame() + 2 * PassPace::pass_interval;
    EXPECT_EQ(pace.passes_due(frame), 3);
    EXPECT_EQ(pace.next_frame(), start + 4 * PassPace::pass_interval) << "the deadlines did not move";
    // A minute late (a suspended machine): a tenth of a second's passes,
    // then one a frame again from there.
    frame = pace.next_frame() + 1min;
    EXPECT_EQ(pace.passes_due(frame), PassPace::most_passes_per_frame);
    EXPECT_EQ(pace.next_frame(), frame + PassPace::pass_interval);
    EXPECT_EQ(pace.passes_due(pace.next_frame()), 1);
}

// Whether each of the passes that follow runs at once, given whether it drew.
std::vector<bool> runs_at_once(PassPace& pace, std::initializer_list<bool> drew) {
    std::vector<bool> at_once;
    for (const bool d : drew) at_once.push_back(pace.next_pass_runs_at_once(d));
    return at_once;
}

TEST(PassPace, PassesDueAtOneFrameRunAtOnceWhileTheyDraw) {
    PassPace pace;
    ASSERT_EQ(pace.passes_due(start), 1);
    EXPECT_EQ(runs_at_once(pace, {true}), std::vector{false}) << "one pass, then the next frame";
    ASSERT_EQ(pace.passes_due(start + 3 * PassPace::pass_interval), 3);
    EXPECT_EQ(runs_at_once(pace, {true, true, true}), (std::vector{true, true, false}));
    // Held during a catch-up: the passes left wait for frames.
    ASSERT_EQ(pace.passes_due(start + 6 * PassPace::pass_interval), 3);
    EXPECT_EQ(runs_at_once(pace, {true, false, true}), (std::vector{true, false, false}));
}

TEST(PassPace, AfterAPauseTheNextFrameCarriesOnePass) {
    for (const Duration refresh : {refresh_of(60), Duration::zero()}) {
        PassPace pace(refresh);
        ASSERT_EQ(pace.passes_due(start), 1);
        pace.pause();
        EXPECT_EQ(pace.next_frame(), Time{});
        const Time resumed = start + 5s;
        EXPECT_EQ(pace.passes_due(resumed), 1);
        EXPECT_EQ(pace.passes_due(resumed + PassPace::pass_interval), 1);
    }
}

}  // namespace
