// The presentation rate, from the refresh rate the display reports.
#pragma once

#include "canvas/main_window.h"

// Presentation and the held wait are paced by this rate. A report outside
// what displays run at (a driver saying 1 Hz would show one frame a second)
// or none at all (0) gives the usual rate instead.
constexpr int presentation_hz(int reported_hz) {
    constexpr int slowest = 30, fastest = 240;
    return reported_hz >= slowest && reported_hz <= fastest ? reported_hz : main_window::default_refresh_hz;
}
