// What the window does through Xlib where SDL runs on X11, beyond SDL: the
// desktop's density, icons at several sizes, placement left to the window
// manager, no events the program never uses, a held key's repeats told from
// new presses, a window manager that may map the window late or never, and a
// quiet end when another client destroys the window. Built where Xlib is
// found (ROTARY_HAVE_X11); elsewhere, and on SDL's other video drivers, each
// does nothing.
#pragma once

#include <optional>
#include <span>

#include "icon/icon_image.h"
#include "window/window_fit.h"

struct SDL_Window;
union SDL_Event;

// What the window manager has said of the window's frame.
enum class FrameReport {
    reported,  // what SDL reads: also where none runs (no frame) and off X11
    awaited,   // not yet, by one that says it reports frames
    never,     // by one that does not say so
};

#if ROTARY_HAVE_X11
// Before SDL_Init: X errors about the window, once another client destroyed
// it, are ignored; any other X error still ends the program as Xlib does.
void x11_catch_window_errors();
// The desktop's dots per inch (the Xft.dpi resource, else the screen's
// density); nothing off X11.
std::optional<double> x11_desktop_dpi(SDL_Window* window);
// Before the window is shown. Returns false off X11, having done nothing.
bool x11_prepare_window(SDL_Window* window, std::span<const IconImage> icons);
// Where a window manager runs, asks it to map the window without waiting for
// it and returns true; SDL learns of the map as an event. Returns false,
// having done nothing, where none runs (the map is then immediate) or off X11.
bool x11_map_window(SDL_Window* window);
FrameReport x11_frame_report(SDL_Window* window);
// Where the client area's top-left corner is on the screen now; nothing off
// X11.
std::optional<ScreenPoint> x11_client_position(SDL_Window* window);
// Where `event` is the X server's notice of a key press: whether the key
// was held down since its last press (an auto-repeat). Notices of releases
// are noted and give nothing.
std::optional<bool> x11_key_press_repeats(const SDL_Event& event);
// Whether `event` is the X server's notice that the window was destroyed.
bool x11_window_destroyed(const SDL_Event& event);
// Just before SDL_DestroyWindow, so that it returns where another client
// destroyed the window.
void x11_before_destroy(SDL_Window* window);
#else
inline void x11_catch_window_errors() {}
inline std::optional<double> x11_desktop_dpi(SDL_Window*) { return std::nullopt; }
inline bool x11_prepare_window(SDL_Window*, std::span<const IconImage>) { return false; }
inline bool x11_map_window(SDL_Window*) { return false; }
inline FrameReport x11_frame_report(SDL_Window*) { return FrameReport::reported; }
inline std::optional<ScreenPoint> x11_client_position(SDL_Window*) { return std::nullopt; }
inline std::optional<bool> x11_key_press_repeats(const SDL_Event&) { return std::nullopt; }
inline bool x11_window_destroyed(const SDL_Event&) { return false; }
inline void x11_before_destroy(SDL_Window*) {}
#endif
