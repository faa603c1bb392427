// Turns arbitrary bytes into a run of the animation, loop passes and handler
// calls, on a CheckingPlatform (which also requires everything apart from the
// first frame to lie inside the client area), and checks the rules of the
// state as it goes.
// The fuzzer and the randomized unit test both run inputs through here, so
// they check exactly the same things.
//
// Byte format. Every byte string is valid; reading past the end gives zeros.
// The first byte holds flags: bit 0 delivers the first group of events before
// the loop's start-up. Then each byte is an operation in its low three bits,
// with a parameter n in its upper five bits:
//   0 wait     the current event pump returns, and n more passes run without
//              input
//   1 key      character code from the next two bytes (little-endian)
//   2 keys     ',' '.' '/' or ' ' (n mod 4), typed (next two bytes + 1) times
//   3 pointer  x and y from the next eight bytes as raw 32-bit floats
//   4 pointer  x and y from the table of notable positions below, picked by
//              the low and high half of the next byte
//   5 pointer  x and y from the next two signed 16-bit values, in 64ths
//   6 double-click
//   7 escape
// When the bytes run out the loop runs two more passes, so the last input is
// drawn, and the run stops; no run exceeds max_sequence_passes passes.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <span>
#include <string>

#include "animation/animation_state.h"

namespace sequence_op {
inline constexpr std::uint8_t wait = 0, key = 1, keys = 2, pointer_bits = 3, pointer_notable = 4, pointer_64ths = 5,
                              double_click = 6, escape = 7;
inline constexpr std::uint8_t before_start_up = 1;  // flag of the first byte
}  // namespace sequence_op

inline constexpr std::int64_t max_sequence_passes = 64;

// Pointer coordinates worth trying: the origin and both zeros, the smallest
// floats, the client area's edges, far outside it, the float range's end,
// infinities and not-a-number.
inline constexpr std::array<float, 16> notable_positions = {0.0f,
                                                            -0.0f,
                                                            std::numeric_limits<float>::denorm_min(),
                                                            -std::numeric_limits<float>::min(),
                                                            10.0f,
                                                            -10.0f,
                                                            -117.0f,
                                                            124.19f,
                                                            -100.0f,
                                                            83.31f,
                                                            1e6f,
                                                            -3e7f,
                                                            std::numeric_limits<float>::max(),
                                                            -std::numeric_limits<float>::max(),
                                                            std::numeric_limits<float>::infinity(),
                                                            std::numeric_limits<float>::quiet_NaN()};

struct SequenceOutcome {
    std::string fault;               // the first broken rule; empty when every rule held
    std::int64_t passes = 0;         // event pumps run
    std::int64_t lines = 0;          // segments drawn
    bool ended_by_operator = false;  // escape or double-click
    AnimationState state;            // the state when the run stopped
};

SequenceOutcome run_input_sequence(std::span<const std::uint8_t> bytes);

// The rules of the state at the event pump of pass `pass`, once the loop has
// started: `m` counts the passes, `stopp` is 0 or 1, `stepe` is finite and at
// least the smallest normal double, the angles are finite, `e` is a whole
// number from 4 to 20. Returns the first broken one, or "".
std::string state_fault(const AnimationState& s, std::int64_t pass);
