// A million passes of random input on the checking platform: memory must not
// grow, and everything drawn must be finite and, apart from the first frame
// (the cleared pass-2 frame), inside the client area.
#include <gtest/gtest.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <cmath>
#include <fstream>
#include <iostream>
#include <random>
#include <string>

#include "animation/form1.h"
#include "animation/keys.h"
#include "fuzz/checking_platform.h"
#include "fuzz/input_sequence.h"
#include "support/loop_facts.h"
#include "support/test_seed.h"

namespace {

constexpr std::int64_t soak_passes = 1'000'000;
constexpr std::int64_t memory_baseline_pass = 20'000;
// Nothing is allocated per pass, so the heap in use must stay where it was;
// the bound leaves room for a stray buffer, not for a leak per frame.
constexpr long long heap_growth_bound = 64 * 1024;
constexpr long long resident_growth_bound = 4 * 1024 * 1024;
constexpr int burst_presses = 15'000;  // enough for '.' to reach the top of the double range

struct MemoryUse {
    long long heap_in_use = 0;  // bytes
    long long resident = 0;     // bytes
};

// Where the system cannot tell (no glibc, no /proc), both stay 0 and the
// growth checks hold trivially.
MemoryUse memory_use() {
    MemoryUse use;
#if defined(__GLIBC__)
    use.heap_in_use = static_cast<long long>(mallinfo2().uordblks);
#endif
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) use.resident = std::stoll(line.substr(6)) * 1024;
    }
    return use;
}

// Random operator input, a pass at a time. While running, the operator
// rarely touches anything; while held, the pointer moves in bursts, so most
// held passes draw nothing. Keys change the speed now and then, with rare
// bursts that take it to its extremes.
class RandomOperator {
public:
    explicit RandomOperator(std::uint64_t seed) : rng_(seed) {}

    void act(FormEvents& handlers, const AnimationState& s) {
        const int roll = per_ten_thousand_(rng_);
        if (roll < 3) {
            handlers.KeyPress(key::hold_or_run);
        } else if (roll < 5 || (roll < 200 && s.stopp == 0)) {
            move_pointer(handlers);
        } else if (roll < 215) {
            handlers.KeyPress(key::slower);
        } else if (roll < 230) {
            handlers.KeyPress(key::faster);
        } else if (roll < 232) {
            handlers.KeyPress(key::slow);
        } else if (roll < 240) {
            auto code = static_cast<std::uint16_t>(rng_());
            handlers.KeyPress(code == key::escape ? 0 : code);
        } else if (roll < 241) {
            const std::uint16_t speed_key = rng_() % 2 ? key::slower : key::faster;
            for (int i = 0; i < burst_presses; ++i) handlers.KeyPress(speed_key);
        }
    }

private:
    void move_pointer(FormEvents& handlers) {
        const ClientArea area = client_area();
        std::uniform_real_distribution<float> across(static_cast<float>(area.left), static_cast<float>(area.right));
        std::uniform_real_distribution<float> down(static_cast<float>(area.top), static_cast<float>(area.bottom));
        std::uniform_real_distribution<float> around(-1000, 1000);
        std::uniform_real_distribution<float> exponent(3, 30);
        const auto far = [&] { return (rng_() % 2 ? 1 : -1) * std::pow(10.0f, exponent(rng_)); };
        float x = 0, y = 0;
        // In tenths: inside the window, around it, far off, on an axis, notable.
        if (const auto tenth = rng_() % 10; tenth < 4) {
            x = across(rng_), y = down(rng_);
        } else if (tenth < 7) {
            x = around(rng_), y = around(rng_);
        } else if (tenth < 8) {
            x = far(), y = far();
        } else if (tenth < 9) {
            (rng_() % 2 ? x : y) = around(rng_);
        } else {
            x = notable_positions[rng_() % notable_positions.size()];
            y = notable_positions[rng_() % notable_positions.size()];
        }
        handlers.MouseMove(0, 0, x, y);
    }

    std::mt19937_64 rng_;
    std::uniform_int_distribution<int> per_ten_thousand_{0, 9999};
};

TEST(Soak, MillionPassesOfRandomInputKeepMemoryAndDrawingInBounds) {
    const std::uint64_t seed = test_seed();
    std::cout << "seed " << seed << " (set ROTARY_TEST_SEED to repeat)\n";

    CheckingPlatform platform(soak_passes + 1);
    Form1 form(platform);
    platform.require_inside_client_area();  // apart from the first frame, on pass 2 unless held before
    RandomOperator person(seed);
    MemoryUse warm;
    std::int64_t running = 0, held = 0;
    platform.on_pump([&](FormEvents& handlers, std::int64_t pass) {
        const AnimationState& s = form.state();
        if (std::string fault = state_fault(s, pass); !fault.empty()) platform.report(fault);
        (s.stopp == 1 ? running : held) += 1;
        if (pass == memory_baseline_pass) warm = memory_use();
        if (pass == soak_passes - 1) {
            handlers.KeyPress(key::escape);
            return;
        }
        person.act(handlers, s);
    });
    form.Activate();
    const MemoryUse end = memory_use();

    std::cout << "passes " << platform.pumps() << " (" << running << " running, " << held << " held), frames "
              << platform.lines() / loop::lines_per_frame << "\nheap in use " << warm.heap_in_use << " -> "
              << end.heap_in_use << " bytes, resident " << warm.resident << " -> " << end.resident << " bytes\n";
    EXPECT_EQ(platform.fault(), "") << "seed " << seed;
    EXPECT_TRUE(platform.ended_by_end()) << "the escape at the last pass ends it";
    EXPECT_EQ(form.state().m, soak_passes - 1);
    EXPECT_LE(end.heap_in_use - warm.heap_in_use, heap_growth_bound);
    EXPECT_LE(end.resident - warm.resident, resident_growth_bound);
    // The input mixed both states, and held passes mostly drew nothing.
    EXPECT_GT(running, soak_passes / 10) << "seed " << seed;
    EXPECT_GT(held, soak_passes / 10) << "seed " << seed;
    EXPECT_LT(platform.lines() / loop::lines_per_frame, soak_passes * 9 / 10) << "seed " << seed;
}

}  // namespace
