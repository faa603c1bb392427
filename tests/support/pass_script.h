// The event pump of the platforms that run the animation without a window:
// a fixed number of passes, with input from a script at each pass's pump.
// Tests, the fuzzer and the tools share it.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "animation/platform.h"

class PassScript {
public:
    // Called in each pass's event pump with the pass number (from 0).
    using Input = std::function<void(FormEvents& handlers, std::int64_t pass)>;

    explicit PassScript(std::int64_t passes) : passes_(passes) {}

    void on_pump(Input input) { input_ = std::move(input); }
    // The run stops after `passes` pumps in all (never before the current one).
    void limit_passes(std::int64_t passes) { passes_ = passes; }

    // One pass's pump: the script's input, then whether the loop goes on.
    bool pump(FormEvents& handlers) {
        if (!ended_ && input_) input_(handlers, pumped_);
        if (++pumped_ >= passes_) ended_ = true;
        return !ended_;
    }
    void end() { ended_ = true; }

    bool ended() const { return ended_; }
    std::int64_t pumps() const { return pumped_; }

private:
    std::int64_t passes_;
    std::int64_t pumped_ = 0;
    bool ended_ = false;
    Input input_;
};
