// Input sequences of passes and handler calls on the checking platform: the
// checks themselves, the byte format, the committed fuzzer seeds and random
// sequences (the fuzzer's checks for builds without clang).
#include "fuzz/input_sequence.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include "animation/form1.h"
#include "animation/keys.h"
#include "canvas/user_coordinates.h"
#include "fuzz/checking_platform.h"
#include "support/loop_facts.h"
#include "support/test_seed.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

using loop::lines_per_frame, loop::start_up_speed;
constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

std::uint8_t op(std::uint8_t code, unsigned n = 0) { return static_cast<std::uint8_t>(code | n << 3); }

// The bytes in hex, to save a failing sequence as a fuzzer seed with xxd -r -p.
std::string hex(const Bytes& bytes) {
    constexpr const char* digits = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

// Runs `bytes`, which must keep every rule.
SequenceOutcome run_keeping_rules(const Bytes& bytes) {
    SequenceOutcome out = run_input_sequence(bytes);
    EXPECT_EQ(out.fault, "") << hex(bytes);
    return out;
}

// A checking platform driven by hand, past the pump of its first pass, so
// that its first frame is behind it.
struct PastFirstFrame {
    CheckingPlatform platform{10};
    Form1 handlers{platform};  // never called: the platform has no input
    PastFirstFrame() {
        platform.require_inside_client_area();
        platform.line(0, 0, 0, 0, 0);
        (void)platform.pump_events(handlers);
    }
};

TEST(CheckingPlatform, FindsNonFiniteCoordinatesAndRadii) {
    for (const float bad : {nan, inf, -inf}) {
        CheckingPlatform line(10);
        line.line(0, 0, 1, 1, 0);
        EXPECT_EQ(line.fault(), "");
        line.line(0, 0, 1, bad, 0);
        EXPECT_NE(line.fault(), "");

        CheckingPlatform circle(10);
        circle.circle(0, 0, bad, 0);
        EXPECT_NE(circle.fault(), "");
    }
}

TEST(CheckingPlatform, FindsDrawingOutsideTheClientAreaAfterTheFirstFrame) {
    // The area checked is the one the canvas covers, edge to edge.
    const ClientArea area = client_area();
    const UserCoordinates coords;
    const UserPoint corner = coords.to_user(0, 0), far_corner = coords.to_user(coords.width(), coords.height());
    EXPECT_NEAR(area.left, corner.x, 1e-4);
    EXPECT_NEAR(area.top, corner.y, 1e-4);
    EXPECT_NEAR(area.right, far_corner.x, 1e-4);
    EXPECT_NEAR(area.bottom, far_corner.y, 1e-4);

    CheckingPlatform p(10);
    Form1 handlers(p);
    p.require_inside_client_area();
    (void)p.pump_events(handlers);
    p.line(0, 0, 0, 87, 0);  // pass 1 draws first: exempt
    p.circle(0, 70, 24, 0);
    EXPECT_EQ(p.fault(), "");
    (void)p.pump_events(handlers);
    p.line(-116.9f, -99.9f, 124.1f, 83.2f, 0);
    p.circle(0, 0, 36, 0);
    EXPECT_EQ(p.fault(), "");
    p.circle(0, 70, 24, 0);  // reaches y = 94
    EXPECT_NE(p.fault(), "");

    PastFirstFrame left;
    left.platform.line(-117.5f, 0, 0, 0, 0);
    EXPECT_NE(left.platform.fault(), "");

    // Larger figures leave the window but not their reach, r + 2e.
    PastFirstFrame large;
    large.platform.picture_eccentricity(20);
    large.platform.line(0, -114.9f, 0, 0, 0);
    large.platform.circle(0, 0, 60, 0);
    EXPECT_EQ(large.platform.fault(), "");
    large.platform.line(0, -115.1f, 0, 0, 0);
    EXPECT_NE(large.platform.fault(), "");
}

TEST(CheckingPlatform, FindsWhatHappensAfterTheEnd) {
    CheckingPlatform drawn(10);
    drawn.clear();
    drawn.end();
    EXPECT_EQ(drawn.fault(), "") << "clear, then end: how the program ends";
    EXPECT_TRUE(drawn.ended_by_end());
    drawn.line(0, 0, 1, 1, 0);
    EXPECT_NE(drawn.fault(), "");

    CheckingPlatform cleared(10);
    cleared.clear();
    cleared.end();
    cleared.clear();
    EXPECT_NE(cleared.fault(), "");

    CheckingPlatform unclear(10);
    unclear.line(0, 0, 1, 1, 0);
    unclear.end();
    EXPECT_NE(unclear.fault(), "");

    CheckingPlatform passes(2);
    Form1 handlers(passes);
    EXPECT_TRUE(passes.pump_events(handlers));
    EXPECT_FALSE(passes.pump_events(handlers)) << "the second pump is the last";
    EXPECT_EQ(passes.fault(), "");
    EXPECT_FALSE(passes.pump_events(handlers));
    EXPECT_NE(passes.fault(), "");
    EXPECT_EQ(passes.pumps(), 2);
}

TEST(StateRules, EachBrokenRuleIsFound) {
    AnimationState s;
    s.stepe = start_up_speed;
    s.stopp = 1;
    s.m = 7;
    EXPECT_EQ(state_fault(s, 7), "");
    EXPECT_NE(state_fault(s, 8), "");

    AnimationState bad = s;
    bad.stopp = 2;
    EXPECT_NE(state_fault(bad, 7), "");
    for (const double stepe : {0.0, -1e-300, std::numeric_limits<double>::infinity(), double{nan}}) {
        bad = s;
        bad.stepe = stepe;
        EXPECT_NE(state_fault(bad, 7), "") << stepe;
    }
    bad = s;
    bad.j1 = std::numeric_limits<double>::infinity();
    EXPECT_NE(state_fault(bad, 7), "");
    bad = s;
    bad.stepe = DBL_MIN / 2;
    EXPECT_NE(state_fault(bad, 7), "") << "subnormal: '.' could not raise it";
    bad.stepe = DBL_MIN;
    EXPECT_EQ(state_fault(bad, 7), "") << "tiny but normal is allowed";
    for (const double e : {3.0, 21.0, 12.5}) {
        bad = s;
        bad.e = e;
        EXPECT_NE(state_fault(bad, 7), "") << e;
    }
}

TEST(InputSequence, EmptyInputRunsTheWarmUpAndStops) {
    const SequenceOutcome out = run_keeping_rules({});
    EXPECT_EQ(out.passes, 3) << "pass 0 and the two closing passes";
    EXPECT_EQ(out.lines, lines_per_frame) << "only pass 2 draws";
    EXPECT_FALSE(out.ended_by_operator);
    EXPECT_EQ(out.state.m, 2);
}

TEST(InputSequence, WaitsRunPassesUpToTheLimit) {
    const SequenceOutcome out = run_keeping_rules(Bytes{0, op(sequence_op::wait, 20)});
    EXPECT_EQ(out.passes, 1 + 20 + 3) << "the waiting pump, 20 idle ones, the last read and two more";
    EXPECT_NEAR(out.state.j1, 24 * start_up_speed, 1e-9) << "every pass advanced";

    const Bytes long_wait{0, op(sequence_op::wait, 31), op(sequence_op::wait, 31), op(sequence_op::wait, 31)};
    EXPECT_EQ(run_input_sequence(long_wait).passes, max_sequence_passes);
}

TEST(InputSequence, KeysArriveAsCodedAndRepeated) {
    // '.' twenty times; then "," once as a plain 16-bit code.
    const SequenceOutcome faster = run_keeping_rules(
        Bytes{0, op(sequence_op::keys, 1), 19, 0, op(sequence_op::key), ',', 0, op(sequence_op::wait, 1)});
    EXPECT_NEAR(faster.state.stepe, start_up_speed * std::pow(1.05, 20) * 0.95, 1e-12);

    // The most presses one operation allows (32768) take the speed to the top
    // of the double range, the overflowing ones ignored.
    const SequenceOutcome top =
        run_keeping_rules(Bytes{0, op(sequence_op::keys, 1), 0xFF, 0xFF, op(sequence_op::wait, 2)});
    EXPECT_GT(top.state.stepe, 1e307);
    EXPECT_EQ(top.passes, 6);
    // 14000 presses make it about 4e295: every pass from 2 to 5 still draws.
    const SequenceOutcome huge =
        run_keeping_rules(Bytes{0, op(sequence_op::keys, 1), 0xAF, 0x36, op(sequence_op::wait, 2)});
    EXPECT_GT(huge.state.stepe, 1e295);
    EXPECT_EQ(huge.lines, 4 * lines_per_frame);

    // Two full runs of ',' take it down to the smallest normal doubles, no
    // further.
    const SequenceOutcome bottom = run_keeping_rules(
        Bytes{0, op(sequence_op::keys, 0), 0xFF, 0x7F, op(sequence_op::keys, 0), 0xFF, 0x7F, op(sequence_op::wait, 2)});
    EXPECT_GE(bottom.state.stepe, DBL_MIN);
    EXPECT_LT(bottom.state.stepe, DBL_MIN / 0.95);

    // "]" ten times reaches 20 and stays; the figures then reach beyond the
    // window, not beyond their own size.
    Bytes larger{0, op(sequence_op::wait, 3)};
    for (int i = 0; i < 10; ++i) larger.insert(larger.end(), {op(sequence_op::key), ']', 0});
    larger.push_back(op(sequence_op::wait, 3));
    const SequenceOutcome largest = run_keeping_rules(larger);
    EXPECT_EQ(largest.state.e, 20);

    // Code 0x012E is not '.', 0xFFFF is nothing; the space holds.
    const SequenceOutcome other = run_input_sequence(
        Bytes{0, op(sequence_op::key), 0x2E, 0x01, op(sequence_op::key), 0xFF, 0xFF, op(sequence_op::keys, 3), 0, 0});
    EXPECT_EQ(other.state.stepe, start_up_speed);
    EXPECT_EQ(other.state.stopp, 0);
}

TEST(InputSequence, PointerPositionsArriveAsCoded) {
    // (10, 0) in 64ths after the first pass: held at a quarter turn.
    const SequenceOutcome right = run_keeping_rules(
        Bytes{0, op(sequence_op::wait, 1), op(sequence_op::pointer_64ths), 0x80, 0x02, 0, 0, op(sequence_op::wait, 4)});
    EXPECT_EQ(right.state.stopp, 0);
    EXPECT_DOUBLE_EQ(right.state.j1, std::numbers::pi / 2);
    EXPECT_EQ(right.lines, 2 * lines_per_frame) << "pass 2, and the pass after the move";

    // The same point as raw float bits (10.0f is 0x41200000), and then the
    // origin and (0, NaN) from the table, which leave the angle.
    const SequenceOutcome raw =
        run_keeping_rules(Bytes{0, op(sequence_op::wait, 1), op(sequence_op::pointer_bits), 0, 0, 0x20, 0x41, 0, 0, 0,
                                0, op(sequence_op::pointer_notable), 0x00, op(sequence_op::pointer_notable), 0xF0});
    EXPECT_DOUBLE_EQ(raw.state.j1, std::numbers::pi / 2);
    EXPECT_EQ(raw.state.stopp, 0);
}

TEST(InputSequence, EscapeAndDoubleClickEndTheRun) {
    const SequenceOutcome escape =
        run_keeping_rules(Bytes{0, op(sequence_op::wait, 5), op(sequence_op::escape), op(sequence_op::key), ' ', 0});
    EXPECT_TRUE(escape.ended_by_operator);
    EXPECT_EQ(escape.passes, 7) << "the escape came in the pump of pass 6";
    EXPECT_EQ(escape.state.stopp, 1) << "the space after the escape never arrived";

    const SequenceOutcome early = run_keeping_rules(Bytes{sequence_op::before_start_up, op(sequence_op::double_click)});
    EXPECT_TRUE(early.ended_by_operator);
    EXPECT_EQ(early.passes, 1);
    EXPECT_EQ(early.lines, 0);
}

TEST(InputSequence, HeldBeforePassTwoTheFirstFrameComesLaterAboutTheOrigin) {
    // In the first pump, space holds the loop before anything is drawn and
    // the pointer at (0, -10) sets the angle to pi. The pointer at (10, 0)
    // later brings the first frame, whose black trace of the figure at pi
    // uses the unset centre (0, 0) and is not cleared: it reaches y = 87,
    // below the bottom edge, the one frame the checks let out of the area.
    const SequenceOutcome out =
        run_keeping_rules(Bytes{0, op(sequence_op::key), ' ', 0, op(sequence_op::pointer_64ths), 0, 0, 0x80, 0xFD,
                                op(sequence_op::wait, 3), op(sequence_op::pointer_64ths), 0x80, 0x02, 0, 0});
    EXPECT_EQ(out.lines, lines_per_frame) << "one frame, on pass 5";
    EXPECT_DOUBLE_EQ(out.state.j1, std::numbers::pi / 2);
}

TEST(InputSequence, EventsBeforeTheStartUpAreOverwrittenByIt) {
    const SequenceOutcome out = run_keeping_rules(Bytes{sequence_op::before_start_up, op(sequence_op::keys, 1), 5, 0,
                                                        op(sequence_op::keys, 3), 0, 0, op(sequence_op::wait)});
    EXPECT_EQ(out.state.stepe, start_up_speed);
    EXPECT_EQ(out.state.stopp, 1);
}

TEST(InputSequence, CommittedFuzzerSeedsKeepEveryRule) {
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ROTARY_FUZZ_CORPUS_DIR)) {
        std::ifstream file(entry.path(), std::ios::binary);
        SCOPED_TRACE(entry.path().string());
        run_keeping_rules(Bytes{std::istreambuf_iterator<char>(file), {}});
        ++seeds;
    }
    EXPECT_GE(seeds, 5);
}

// Random sequences, mostly of the operations that keep the program running.
Bytes random_sequence(std::mt19937_64& rng) {
    // Parameter bytes each operation reads, by operation.
    constexpr std::array<int, 8> payload = {0, 2, 2, 8, 1, 4, 0, 0};
    std::discrete_distribution<int> pick_op({30, 10, 12, 10, 10, 20, 1, 2});
    std::uniform_int_distribution<int> byte(0, 255);
    Bytes bytes{static_cast<std::uint8_t>(rng() % 4 == 0 ? sequence_op::before_start_up : 0)};
    const auto ops = std::uniform_int_distribution<int>(1, 24)(rng);
    for (int i = 0; i < ops; ++i) {
        const int code = pick_op(rng);
        bytes.push_back(op(static_cast<std::uint8_t>(code), static_cast<unsigned>(byte(rng)) >> 3));
        for (int k = 0; k < payload[code]; ++k) bytes.push_back(static_cast<std::uint8_t>(byte(rng)));
    }
    return bytes;
}

TEST(InputSequence, RandomSequencesKeepEveryRule) {
    const std::uint64_t seed = test_seed();
    std::cout << "seed " << seed << " (set ROTARY_TEST_SEED to repeat)\n";
    std::mt19937_64 rng(seed);
    int operator_ends = 0;
    for (int i = 0; i < 150; ++i) {
        const Bytes bytes = random_sequence(rng);
        const SequenceOutcome out = run_input_sequence(bytes);
        ASSERT_EQ(out.fault, "") << "seed " << seed << ", sequence " << i << ": " << hex(bytes);
        operator_ends += out.ended_by_operator;
    }
    EXPECT_GT(operator_ends, 0) << "seed " << seed;
}

}  // namespace
