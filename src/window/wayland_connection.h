// A Wayland display that was lost: SDL 2.26 reports a failed connection (the
// compositor ended or closed it) as SDL_QUIT, as it does a closed window.
// Built where the Wayland client library is found (ROTARY_HAVE_WAYLAND);
// elsewhere, and on SDL's other video drivers, it does nothing.
#pragma once

struct SDL_Window;

#if ROTARY_HAVE_WAYLAND
// Throws std::runtime_error, naming the display, where the window's Wayland
// connection has failed.
void check_wayland_connection(SDL_Window* window);
#else
inline void check_wayland_connection(SDL_Window*) {}
#endif
