#include "window/window_fit.h"

#include <algorithm>
#include <cmath>

#include "canvas/user_coordinates.h"

namespace {

constexpr double default_dpi = 96;
// Densities step down by 0.05 until the window fits.
constexpr int steps_per_unit = 20;
// Far above any screen's density; bounds the search for absurd reports.
constexpr double max_density = 100;

bool known(std::optional<double> dpi) { return dpi && std::isfinite(*dpi) && *dpi > 0; }

int scaled(int pixels, double scale) { return static_cast<int>(std::lround(pixels * scale)); }

}  // namespace

double desktop_dpi(std::optional<double> xft_dpi, std::optional<double> screen_dpi) {
    if (known(xft_dpi)) return *xft_dpi;
    if (known(screen_dpi)) return *screen_dpi;
    return default_dpi;
}

FrameExtents scaled_frame(FrameExtents frame, double scale) {
    return {scaled(frame.left, scale), scaled(frame.right, scale), scaled(frame.top, scale),
            scaled(frame.bottom, scale)};
}

double fitted_density(double desktop_scale, ScreenArea usable, FrameExtents frame) {
    const auto fits = [&](double scale) {
        const UserCoordinates client(scale);
        return client.width() + frame.left + frame.right <= usable.width &&
               client.height() + frame.top + frame.bottom <= usable.height;
    };
    if (desktop_scale <= max_density && fits(desktop_scale)) return desktop_scale;
    // Counted in whole steps, so that every density tried is the double
    // nearest its multiple of the step.
    const double below = desktop_scale < max_density ? desktop_scale : max_density;
    for (int steps = static_cast<int>(std::ceil(below * steps_per_unit)) - 1; steps > 1; --steps) {
        const double scale = static_cast<double>(steps) / steps_per_unit;
        if (fits(scale)) return scale;
    }
    return 1.0 / steps_per_unit;
}

ScreenPoint centred_client(ScreenArea usable, FrameExtents frame, int width, int height) {
    const int outer_width = width + frame.left + frame.right;
    const int outer_height = height + frame.top + frame.bottom;
    return {usable.x + std::max(0, (usable.width - outer_width) / 2) + frame.left,
            usable.y + std::max(0, (usable.height - outer_height) / 2) + frame.top};
}

ScreenArea room_from(ScreenArea usable, FrameExtents frame, ScreenPoint client) {
    const int left = std::max(usable.x, client.x - frame.left), top = std::max(usable.y, client.y - frame.top);
    return {left, top, std::max(0, usable.x + usable.width - left), std::max(0, usable.y + usable.height - top)};
}
