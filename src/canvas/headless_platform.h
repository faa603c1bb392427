// Runs the animation without a display for a fixed number of passes, drawing
// into a Canvas. Input can be injected at each pass's event pump. Used
// by tests, benchmarks and the image tools.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "canvas/canvas_platform.h"

class HeadlessPlatform final : public CanvasPlatform {
public:
    // Called in each pass's event pump with the pass number (from 0).
    using Input = std::function<void(FormEvents& handlers, std::int64_t pass)>;

    explicit HeadlessPlatform(std::int64_t passes, UserCoordinates coords = UserCoordinates{},
                              Canvas::Picture picture = {})
        : CanvasPlatform(coords, std::move(picture)), passes_(passes) {}

    void on_pump(Input input) { input_ = std::move(input); }

    bool pump_events(FormEvents& handlers) override {
        if (!ended_ && input_) input_(handlers, pumped_);
        if (++pumped_ >= passes_) ended_ = true;
        return !ended_;
    }
    void end() override { ended_ = true; }
    bool ended() const { return ended_; }

private:
    std::int64_t passes_;
    std::int64_t pumped_ = 0;
    bool ended_ = false;
    Input input_;
};
