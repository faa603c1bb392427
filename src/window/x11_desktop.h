// What the window does through Xlib where SDL runs on X11, beyond SDL: the
// desktop's density, icons at several sizes, placement left to the window
// manager, no events the program never uses, a held key's repeats told from
// new presses, and a quiet end when another client destroys the window. Built where Xlib is found (ROTARY_HAVE_X11);
// elsewhere, and on SDL's other video drivers, each does nothing.
#pragma once

#include <optional>
#include <span>

#include "icon/icon_image.h"

struct SDL_Window;
union SDL_Event;

#if ROTARY_HAVE_X11
// Before SDL_Init: X errors about the window, once another client destroyed
// it, are ignored; any other X error still ends the program as Xlib does.
void x11_catch_window_errors();
// The desktop's dots per inch (the Xft.dpi resource, else the screen's
// density); nothing off X11.
std::optional<double> x11_desktop_dpi(SDL_Window* window);
// Before the window is shown. Returns false off X11, having done nothing.
bool x11_prepare_window(SDL_Window* window, std::span<const IconImage> icons);
// Where `event` is the X server's notice of a key press: whether the key
// was held down since its last press (an auto-repeat). Notices of releases
// are noted and give nothing.
std::optional<bool> x11_key_press_repeats(const SDL_Event& event);
// Whether `event` is the X server's notice that the window was destroyed.
bool x11_window_destroyed(const SDL_Event& event);
#else
inline void x11_catch_window_errors() {}
inline std::optional<double> x11_desktop_dpi(SDL_Window*) { return std::nullopt; }
inline bool x11_prepare_window(SDL_Window*, std::span<const IconImage>) { return false; }
inline std::optional<bool> x11_key_press_repeats(const SDL_Event&) { return std::nullopt; }
inline bool x11_window_destroyed(const SDL_Event&) { return false; }
#endif
