#include "canvas/user_coordinates.h"

#include <algorithm>
#include <cmath>

using namespace user_space;

int UserCoordinates::width() const { return static_cast<int>(std::lround(client_width * scale_)); }
int UserCoordinates::height() const { return static_cast<int>(std::lround(client_height * scale_)); }

UserPoint UserCoordinates::to_user(int px, int py) const {
    return {static_cast<float>(left + px / pixels_per_unit_x()), static_cast<float>(top + py / pixels_per_unit_y())};
}

double density_scale(float dpi) {
    if (!(dpi > 0)) return 1.0;
    return std::max(0.25, std::round(dpi / 96.0 * 4) / 4);
}
