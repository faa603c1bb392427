// Which video drivers SDL is asked for, and what the program says when it
// finds no display, from the variables that say where the displays are. No
// SDL: the caller passes the variables and SDL's drivers in.
#pragma once

#include <span>
#include <string>

// Whether an environment variable (as std::getenv gives it) has a value.
inline bool is_set(const char* variable) { return variable != nullptr && *variable != '\0'; }

// As std::getenv gives them: null when unset.
struct DisplayVariables {
    const char* display = nullptr;          // DISPLAY
    const char* wayland_display = nullptr;  // WAYLAND_DISPLAY
    const char* runtime_dir = nullptr;      // XDG_RUNTIME_DIR, where Wayland displays are found by name
};

#ifdef _WIN32
// Windows has one video driver, so there is nothing to choose. A DISPLAY
// variable there belongs to Wine, which runs the program on X11 beneath it.
inline std::string preferred_video_drivers(const DisplayVariables&, std::span<const std::string>) { return ""; }
inline std::string no_display_message(const DisplayVariables&) { return "no display"; }
#else
// In a Wayland session its own driver, with X11 (Xwayland) behind it: only
// Wayland draws at a scaled output's density (the window prefers Xwayland
// on unscaled ones). "x11" where only DISPLAY is set, so that no other
// driver is tried (or complains, as the Wayland client library does without
// XDG_RUNTIME_DIR) when the X display cannot be opened. Without either,
// SDL's own order, less Wayland where it cannot be reached, and less the
// drivers that show nothing. Empty for SDL's own order.
std::string preferred_video_drivers(const DisplayVariables& variables, std::span<const std::string> drivers);

// One line naming the displays that were tried.
std::string no_display_message(const DisplayVariables& variables);
#endif
