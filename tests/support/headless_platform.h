// Runs the animation without a display for a fixed number of passes, drawing
// into a Canvas, with input from a script at each pass's event pump. Used by
// tests, benchmarks and the image tools.
#pragma once

#include <cstdint>
#include <utility>

#include "canvas/canvas_platform.h"
#include "support/pass_script.h"

class HeadlessPlatform final : public CanvasPlatform {
public:
    explicit HeadlessPlatform(std::int64_t passes, UserCoordinates coords = UserCoordinates{}, Picture picture = {})
        : CanvasPlatform(coords, std::move(picture)), script_(passes) {}

    void on_pump(PassScript::Input input) { script_.on_pump(std::move(input)); }
    bool pump_events(FormEvents& handlers) override { return script_.pump(handlers); }
    void end() override { script_.end(); }
    bool ended() const { return script_.ended(); }

private:
    PassScript script_;
};
