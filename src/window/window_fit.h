// How large the window opens: the desktop's density, made smaller where the
// window with its frame would not fit the usable area of its display. Pure
// arithmetic on what the window system reports; no SDL.
#pragma once

#include <optional>

// Pixels a window manager's frame adds on each side of the client area.
struct FrameExtents {
    int left = 0, right = 0, top = 0, bottom = 0;
};

// Where a frame is expected but the window manager does not report it: a
// common title bar and thin borders, in pixels at 96 dpi.
inline constexpr FrameExtents typical_frame_96dpi{4, 4, 32, 4};

// A rectangle of the screen in pixels.
struct ScreenArea {
    int x = 0, y = 0, width = 0, height = 0;
};

// The desktop's dots per inch: its Xft.dpi resource where set, otherwise the
// screen's own density, otherwise 96.
double desktop_dpi(std::optional<double> xft_dpi, std::optional<double> screen_dpi);

// `frame` (at 96 dpi) at the desktop's density `scale`.
FrameExtents scaled_frame(FrameExtents frame, double scale);

// The density to open the window at: `desktop_scale` where the client area
// together with `frame` fits in `usable`, otherwise the largest multiple of
// 0.05 below it at which it fits, and 0.05 where nothing does.
double fitted_density(double desktop_scale, ScreenArea usable, FrameExtents frame);

struct ScreenPoint {
    int x = 0, y = 0;
};

// The client area's top-left corner for a window of `width` x `height`
// pixels centred, frame included, in `usable`; the frame never lies above or
// left of it.
ScreenPoint centred_client(ScreenArea usable, FrameExtents frame, int width, int height);

// The part of `usable` from the frame's top-left corner on, for a client area
// whose top-left corner is at `client`: the room a window manager that keeps
// the window where it put it leaves the window.
ScreenArea room_from(ScreenArea usable, FrameExtents frame, ScreenPoint client);
