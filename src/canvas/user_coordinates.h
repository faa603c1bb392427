// The window's user coordinate system: the left edge is x = -117, the top
// edge y = -100, x grows to the right and y downward, about 4.04 pixels per
// unit at 96 dpi. At other densities the client area and the unit scale
// together, so user coordinates of the edges stay fixed.
#pragma once

#include <algorithm>

#include "canvas/rounding.h"

namespace user_space {
inline constexpr double left = -117;
inline constexpr double top = -100;
// Twips per user unit along each axis, as the window stores them (32-bit).
inline constexpr float unit_x_twips = 60.636337f;
inline constexpr float unit_y_twips = 60.636314f;
inline constexpr double twips_per_pixel = 15;  // at 96 dpi
inline constexpr int client_width = 975;       // pixels at 96 dpi
inline constexpr int client_height = 741;
}  // namespace user_space

struct PixelPoint {
    int x;
    int y;
};

struct UserPoint {
    float x;
    float y;
};

class UserCoordinates {
public:
    // `scale` is the display density relative to 96 dpi (1 at 96 dpi).
    explicit UserCoordinates(double scale = 1.0) : scale_(scale) {}

    double scale() const { return scale_; }
    int width() const;
    int height() const;

    // The pixel whose corner is nearest to the user point; the exact inverse
    // of to_user for every pixel of the client area.
    // Inline: the frame converts thousands of points.
    PixelPoint to_pixel(float x, float y) const {
        const double px = (x - user_space::left) * pixels_per_unit_x();
        const double py = (y - user_space::top) * pixels_per_unit_y();
        // Far-off points are clamped well outside the client area, so the
        // conversion to int never overflows; clipping does the rest.
        constexpr double far = 1 << 20;
        return {static_cast<int>(round_half_away(std::clamp(px, -far, far))),
                static_cast<int>(round_half_away(std::clamp(py, -far, far)))};
    }
    // Pixel lengths of one user unit along x and y.
    double pixels_per_unit_x() const { return user_space::unit_x_twips / user_space::twips_per_pixel * scale_; }
    double pixels_per_unit_y() const { return user_space::unit_y_twips / user_space::twips_per_pixel * scale_; }
    UserPoint to_user(int px, int py) const;

private:
    double scale_;
};

// Rounds a display density to quarter steps of 96 dpi, so a display that
// reports 100 dpi keeps the 96 dpi size; an unknown density counts as 96 dpi.
double density_scale(float dpi);
