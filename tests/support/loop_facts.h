// What the animation loop does, in the numbers that tests, tools and the
// benchmark count with. The program works them out as it runs; they are
// named here once.
#pragma once

#include <cstdint>
#include <numbers>

namespace loop {
// Segments of one trace of the figure: 1002 samples, the first only primes.
inline constexpr int segments_per_trace = 1001;
// A running pass's frame: the last red trace painted black, the new one red.
inline constexpr int lines_per_frame = 2 * segments_per_trace;
// Passes 0 to 2 only settle the angle and draw the first frame, which is
// cleared after pass 2.
inline constexpr std::int64_t warm_up_passes = 3;
// The angle a running pass adds at start-up: 15 thousandths of a turn, so
// three turns take 200 passes.
inline constexpr double start_up_speed = 15 * (2 * std::numbers::pi / 1000);
}  // namespace loop
