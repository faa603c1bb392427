// Which video drivers SDL is asked for, and what the program says when it
// finds no display, from the DISPLAY and WAYLAND_DISPLAY variables (null
// when unset). No SDL: the caller passes the variables in.
#pragma once

#include <string>

// Whether an environment variable (as std::getenv gives it) has a value.
inline bool is_set(const char* variable) { return variable != nullptr && *variable != '\0'; }

// In a Wayland session its own driver, with X11 (Xwayland) behind it: only
// Wayland draws at a scaled output's density (the window prefers Xwayland
// on unscaled ones). "x11" where only DISPLAY is set, so that no other
// driver is tried (or complains, as the Wayland client library does without
// XDG_RUNTIME_DIR) when the X display cannot be opened. Null elsewhere,
// leaving SDL's own order.
const char* preferred_video_drivers(const char* display, const char* wayland_display);

// One line naming the displays that were tried.
std::string no_display_message(const char* display, const char* wayland_display);
