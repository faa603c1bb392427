#include "window/user_coordinates.h"

#include <algorithm>
#include <cmath>

using namespace user_space;

int UserCoordinates::width() const { return static_cast<int>(std::lround(client_width * scale_)); }
int UserCoordinates::height() const { return static_cast<int>(std::lround(client_height * scale_)); }

double UserCoordinates::pixels_per_unit_x() const { return unit_x_twips / twips_per_pixel * scale_; }
double UserCoordinates::pixels_per_unit_y() const { return unit_y_twips / twips_per_pixel * scale_; }

PixelPoint UserCoordinates::to_pixel(float x, float y) const {
    const double px = (x - left) * pixels_per_unit_x();
    const double py = (y - top) * pixels_per_unit_y();
    // Far-off points are clamped well outside the client area, so the
    // conversion to int never overflows; clipping does the rest.
    constexpr double far = 1 << 20;
    return {static_cast<int>(std::lround(std::clamp(px, -far, far))),
            static_cast<int>(std::lround(std::clamp(py, -far, far)))};
}

UserPoint UserCoordinates::to_user(int px, int py) const {
    return {static_cast<float>(left + px / pixels_per_unit_x()),
            static_cast<float>(top + py / pixels_per_unit_y())};
}

double density_scale(float dpi) {
    if (!(dpi > 0)) return 1.0;
    return std::max(0.25, std::round(dpi / 96.0 * 4) / 4);
}
