// A platform that checks every call the animation makes as it is made and
// keeps only counts and the first broken rule, so runs of millions of passes
// cost no memory. Rules: every coordinate and radius is finite; nothing is
// drawn or cleared, and no pass runs, after the end; the end comes right after
// a clear; optionally, everything apart from the first frame lies inside the
// window's client area (above the start-up eccentricity, within the figure's
// reach of the origin).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "animation/animation_state.h"
#include "animation/platform.h"
#include "support/pass_script.h"

class CheckingPlatform final : public Platform {
public:
    using Input = PassScript::Input;

    explicit CheckingPlatform(std::int64_t passes) : script_(passes) {}

    void on_pump(Input input) { script_.on_pump(std::move(input)); }
    // The run stops after `passes` event pumps in all (never before the
    // current one).
    void limit_passes(std::int64_t passes) { script_.limit_passes(passes); }
    // Lines and circles must lie wholly inside the client area, apart from
    // those of the first pass that draws. That first frame uses the unset
    // centres (0, 0): on pass 2 it is cleared at once, but when the loop was
    // held before pass 2 it comes later and stays, reaching below the bottom
    // edge, as the loop is defined.
    void require_inside_client_area() { area_checked_ = true; }

    void line(float x1, float y1, float x2, float y2, Colour colour) override;
    void circle(float x, float y, float radius, Colour colour) override;
    void clear() override;
    void picture_eccentricity(double e) override { e_ = e; }
    Colour back_color() const override { return colours::light_grey; }
    bool pump_events(FormEvents& handlers) override;
    void end() override;

    // Records a broken rule found by the caller; only the first one is kept.
    void report(const std::string& fault);
    const std::string& fault() const { return fault_; }

    bool ended() const { return script_.ended(); }
    bool ended_by_end() const { return end_called_; }
    std::int64_t pumps() const { return script_.pumps(); }
    std::int64_t lines() const { return lines_; }
    std::int64_t circles() const { return circles_; }
    std::int64_t clears() const { return clears_; }

private:
    void check_drawing(bool is_circle, float x1, float y1, float x2, float y2);

    PassScript script_;
    bool refused_ = false;  // a pump has returned false
    bool end_called_ = false;
    bool last_was_clear_ = false;
    bool area_checked_ = false;
    double e_ = figure::start_e;
    std::int64_t first_drawing_pass_ = -1;
    std::int64_t lines_ = 0, circles_ = 0, clears_ = 0;
    std::string fault_;
};

// The client area in user units: x from -117 to about 124.19, y from -100 to
// about 83.31.
struct ClientArea {
    double left, top, right, bottom;
};
ClientArea client_area();
