#include "fuzz/checking_platform.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "canvas/user_coordinates.h"

ClientArea client_area() {
    using namespace user_space;
    return {left, top, left + client_width * twips_per_pixel / unit_x_twips,
            top + client_height * twips_per_pixel / unit_y_twips};
}

namespace {

bool finite(float a, float b, float c, float d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

bool inside(const ClientArea& area, double x, double y) {
    return x >= area.left && x <= area.right && y >= area.top && y <= area.bottom;
}

// The farthest any figure of eccentricity e reaches from the origin: its
// centre e away, its curve r + e from that; the circles 3e.
double reach(double e) { return std::max(figure::r + 2 * e, figure::origin_radius(e)) + 1e-3; }

}  // namespace

void CheckingPlatform::report(const std::string& fault) {
    if (fault_.empty()) fault_ = fault;
}

// The cheap tests run on every call; the message is built only on a fault.
// A circle comes as centre (x1, y1) and radius x2.
void CheckingPlatform::check_drawing(bool is_circle, float x1, float y1, float x2, float y2) {
    if (first_drawing_pass_ < 0) first_drawing_pass_ = script_.pumps();
    const char* broken = nullptr;
    if (script_.ended()) {
        broken = "drawn after the end";
    } else if (!finite(x1, y1, x2, y2)) {
        broken = "not finite";
    } else if (area_checked_ && script_.pumps() != first_drawing_pass_) {
        static const ClientArea area = client_area();
        bool in = false;
        if (e_ <= figure::start_e) {
            in = is_circle ? inside(area, x1 - x2, y1 - x2) && inside(area, x1 + x2, y1 + x2)
                           : inside(area, x1, y1) && inside(area, x2, y2);
        } else {
            in = is_circle ? std::hypot(x1, y1) + x2 <= reach(e_)
                           : std::hypot(x1, y1) <= reach(e_) && std::hypot(x2, y2) <= reach(e_);
        }
        if (!in) broken = e_ <= figure::start_e ? "outside the client area" : "beyond the figure's reach";
    }
    if (broken == nullptr || !fault_.empty()) return;
    char text[200];
    const auto pass = static_cast<long long>(script_.pumps());
    if (is_circle) {
        std::snprintf(text, sizeof text, "pass %lld: circle(%.9g, %.9g, radius %.9g): %s", pass, x1, y1, x2, broken);
    } else {
        std::snprintf(text, sizeof text, "pass %lld: line(%.9g, %.9g, %.9g, %.9g): %s", pass, x1, y1, x2, y2, broken);
    }
    fault_ = text;
}

void CheckingPlatform::line(float x1, float y1, float x2, float y2, Colour) {
    ++lines_;
    last_was_clear_ = false;
    check_drawing(false, x1, y1, x2, y2);
}

void CheckingPlatform::circle(float x, float y, float radius, Colour) {
    ++circles_;
    last_was_clear_ = false;
    check_drawing(true, x, y, radius, radius);
}

void CheckingPlatform::clear() {
    ++clears_;
    last_was_clear_ = true;
    if (script_.ended()) report("pass " + std::to_string(script_.pumps()) + ": cleared after the end");
}

bool CheckingPlatform::pump_events(FormEvents& handlers) {
    if (refused_) {
        report("pass " + std::to_string(script_.pumps()) + ": the loop ran a pass after the end");
        return false;
    }
    refused_ = !script_.pump(handlers);
    return !refused_;
}

void CheckingPlatform::end() {
    if (!last_was_clear_) report("pass " + std::to_string(script_.pumps()) + ": ended without clearing first");
    script_.end();
    end_called_ = true;
}
