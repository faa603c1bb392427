#include "fuzz/input_sequence.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdio>

#include "animation/form1.h"
#include "animation/keys.h"
#include "fuzz/checking_platform.h"

namespace {

constexpr std::array<std::uint16_t, 4> speed_keys = {key::slower, key::faster, key::slow, key::hold_or_run};
// Enough for "." to take the speed past the double range (about 14,600
// presses from the start-up speed) within one operation.
constexpr unsigned max_repeat_mask = 0x7FFF;

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool done() const { return next_ >= bytes_.size(); }
    std::uint8_t byte() { return done() ? 0 : bytes_[next_++]; }
    std::uint16_t u16() {
        const unsigned low = byte();
        return static_cast<std::uint16_t>(low | unsigned{byte()} << 8);
    }
    float f32() {
        const std::uint32_t low = u16();
        return std::bit_cast<float>(low | std::uint32_t{u16()} << 16);
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t next_ = 0;
};

class SequenceRun {
public:
    explicit SequenceRun(std::span<const std::uint8_t> bytes) : reader_(bytes) {}

    SequenceOutcome run() {
        platform_.require_inside_client_area();
        if (reader_.byte() & sequence_op::before_start_up) deliver_group(form_);
        platform_.on_pump([this](FormEvents& handlers, std::int64_t pass) { pump(handlers, pass); });
        form_.Activate();

        if (!platform_.ended()) platform_.report("the loop returned before the end");
        const std::int64_t counted = platform_.pumps() - 1;  // the pass that ended is not counted
        if (form_.state().m != counted) {
            platform_.report("m is " + std::to_string(form_.state().m) + " after " + std::to_string(counted) +
                             " completed passes");
        }
        return {platform_.fault(), platform_.pumps(), platform_.lines(), platform_.ended_by_end(), form_.state()};
    }

private:
    void pump(FormEvents& handlers, std::int64_t pass) {
        started_ = true;
        pass_ = pass;
        check_state("");
        if (idle_passes_ > 0) {
            --idle_passes_;
        } else if (!reader_.done()) {
            deliver_group(handlers);
        } else if (!draining_) {
            draining_ = true;
            platform_.limit_passes(pass + 3);
        }
    }

    // Delivers events up to the next wait, the end of the bytes or the end
    // of the program, after which no handler runs.
    void deliver_group(FormEvents& handlers) {
        while (!reader_.done() && !platform_.ended()) {
            const std::uint8_t op = reader_.byte();
            const unsigned n = op >> 3u;
            switch (op & 7u) {
            case sequence_op::wait:
                idle_passes_ = n;
                return;
            case sequence_op::key:
                handlers.KeyPress(reader_.u16());
                check_state("key");
                break;
            case sequence_op::keys: {
                const std::uint16_t code = speed_keys[n % speed_keys.size()];
                const unsigned times = (reader_.u16() & max_repeat_mask) + 1u;
                for (unsigned i = 0; i < times; ++i) handlers.KeyPress(code);
                check_state("repeated keys");
                break;
            }
            case sequence_op::pointer_bits: {
                const float x = reader_.f32();
                handlers.MouseMove(0, 0, x, reader_.f32());
                check_state("pointer");
                break;
            }
            case sequence_op::pointer_notable: {
                const std::uint8_t pick = reader_.byte();
                handlers.MouseMove(0, 0, notable_positions[pick & 15u], notable_positions[pick >> 4u]);
                check_state("pointer");
                break;
            }
            case sequence_op::pointer_64ths: {
                const float x = static_cast<std::int16_t>(reader_.u16()) / 64.0f;
                handlers.MouseMove(0, 0, x, static_cast<std::int16_t>(reader_.u16()) / 64.0f);
                check_state("pointer");
                break;
            }
            case sequence_op::double_click:
                handlers.DblClick();
                break;
            case sequence_op::escape:
                handlers.KeyPress(key::escape);
                break;
            }
        }
    }

    // Before the start-up the state is still all zeros and has no rules.
    void check_state(const char* after) {
        if (!started_ || !platform_.fault().empty()) return;
        const std::string fault = state_fault(form_.state(), pass_);
        if (fault.empty()) return;
        platform_.report(*after ? fault + " (after " + after + ")" : fault);
    }

    ByteReader reader_;
    CheckingPlatform platform_{max_sequence_passes};
    Form1 form_{platform_};
    bool started_ = false;
    bool draining_ = false;
    std::int64_t pass_ = 0;
    unsigned idle_passes_ = 0;
};

}  // namespace

SequenceOutcome run_input_sequence(std::span<const std::uint8_t> bytes) { return SequenceRun(bytes).run(); }

std::string state_fault(const AnimationState& s, std::int64_t pass) {
    char text[160];
    const auto at = static_cast<long long>(pass);
    if (s.m != pass) {
        std::snprintf(text, sizeof text, "pass %lld: m is %lld", at, static_cast<long long>(s.m));
    } else if (s.stopp != 0 && s.stopp != 1) {
        std::snprintf(text, sizeof text, "pass %lld: stopp is %d", at, s.stopp);
    } else if (!(s.stepe >= DBL_MIN) || !std::isfinite(s.stepe)) {
        std::snprintf(text, sizeof text, "pass %lld: stepe is %.17g", at, s.stepe);
    } else if (!std::isfinite(s.j) || !std::isfinite(s.j1)) {
        std::snprintf(text, sizeof text, "pass %lld: j is %.17g, j1 is %.17g", at, s.j, s.j1);
    } else if (s.e != std::round(s.e) || s.e < figure::least_e || s.e > figure::greatest_e) {
        std::snprintf(text, sizeof text, "pass %lld: e is %.17g", at, s.e);
    } else {
        return {};
    }
    return text;
}
