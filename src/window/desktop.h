// What the window needs of the desktop it opens on, and the few things it
// does with its window beyond SDL: the X11 way where SDL runs on X11
// (x11_desktop.h), SDL's own way elsewhere. Call after SDL_Init.
#pragma once

#include <optional>
#include <span>

#include "icon/icon_image.h"
#include "window/window_fit.h"

struct SDL_Window;

struct DesktopFacts {
    double dpi = 96;
    bool window_manager = true;
    std::optional<FrameExtents> frame;  // as the window manager reports it
};

DesktopFacts read_desktop();

// Lets the window manager choose where `window` opens; before it is shown.
void leave_placement_to_window_manager(SDL_Window* window);
void set_window_icons(SDL_Window* window, std::span<const IconImage> icons);
// Sleeps until input is waiting or `timeout_ms` has passed; the input stays
// for the event pump to take.
void wait_for_input(SDL_Window* window, int timeout_ms);
