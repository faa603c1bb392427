// The desktop through Xlib, where SDL runs on X11: what SDL does not report
// (the Xft.dpi resource, the screen's own density, whether a window manager
// runs and the frame it puts around a window) and what SDL does not do for
// the window (leave its placement to the window manager, icons at several
// sizes, a wait for input without SDL's wake-up message). Built only where
// Xlib is available; desktop.h chooses between this and SDL's own ways.
#pragma once

#include <optional>
#include <span>

#include "icon/icon_image.h"
#include "window/window_fit.h"

struct SDL_Window;

struct X11DesktopFacts {
    std::optional<double> xft_dpi;
    std::optional<double> screen_dpi;
    bool window_manager = false;
    // What the window manager says it will put around a new window.
    std::optional<FrameExtents> frame;
};

// Asks the X display that DISPLAY names, on a connection of its own;
// nothing when it cannot be opened.
std::optional<X11DesktopFacts> read_x11_desktop();

// Each of these returns false, doing nothing, when `window` is no X11 window.

// Drops the position SDL gives every new window as the user's choice, so
// that a window manager places it; call before the window is shown.
bool x11_leave_placement_to_window_manager(SDL_Window* window);
// Sets _NET_WM_ICON to all of `icons`.
bool x11_set_icons(SDL_Window* window, std::span<const IconImage> icons);
// Sleeps until input is waiting or `timeout_ms` has passed.
bool x11_wait_for_input(SDL_Window* window, int timeout_ms);
