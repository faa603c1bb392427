// The rate at which the desktop front end times the display's frames: the
// one SDL reports, where it is one that displays run at.
#pragma once

// The rate where the display does not report its own.
inline constexpr int default_refresh_hz = 60;

// The rate from the display's report: one outside what displays run at (a
// driver saying 1 Hz would show one frame a second) or none (0) gives the
// usual rate instead.
constexpr int presentation_hz(int reported_hz) {
    constexpr int slowest = 30, fastest = 240;
    return reported_hz >= slowest && reported_hz <= fastest ? reported_hz : default_refresh_hz;
}
