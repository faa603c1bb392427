#include "window/x11_events.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <cstdlib>
#include <stdexcept>

#include "window/sdl_error.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

// Last: it defines min and max as macros.
#include <X11/Xlibint.h>
#include <X11/extensions/XInput2.h>

namespace {

// The X display and window behind `window`, or a null display on other video
// drivers.
SDL_SysWMinfo window_system_info(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info)) {
        // Drivers without a window system (offscreen) have nothing to tell.
        const char* const driver = SDL_GetCurrentVideoDriver();
        if (driver != nullptr && SDL_strcmp(driver, "x11") == 0) throw SdlError("SDL_GetWindowWMInfo");
        info.subsystem = SDL_SYSWM_UNKNOWN;
    }
    if (info.subsystem != SDL_SYSWM_X11) info.info.x11.display = nullptr;
    return info;
}

}  // namespace

void stop_unused_x11_events(SDL_Window* window) {
    const SDL_SysWMinfo info = window_system_info(window);
    Display* const display = info.info.x11.display;
    if (display == nullptr) return;
    const Window x_window = info.info.x11.window;

    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, x_window, &attributes) == 0)
        throw std::runtime_error("XGetWindowAttributes failed");
    XSelectInput(display, x_window, attributes.your_event_mask & ~KeyReleaseMask);

    // An empty mask clears the selection.
    int opcode = 0, first_event = 0, first_error = 0;
    if (XQueryExtension(display, "XInputExtension", &opcode, &first_event, &first_error)) {
        XIEventMask none{XIAllMasterDevices, 0, nullptr};
        XISelectEvents(display, DefaultRootWindow(display), &none, 1);
    }
}

void give_back_event_memory(SDL_Window* window) {
    // libX11 offers no call for this; its list of unused entries is part of
    // the display structure it publishes to extension libraries.
    if (Display* const display = window_system_info(window).info.x11.display) {
        LockDisplay(display);
        _XQEvent* unused = display->qfree;
        display->qfree = nullptr;
        UnlockDisplay(display);
        while (unused != nullptr) {
            _XQEvent* const next = unused->next;
            Xfree(unused);
            unused = next;
        }
    }
#ifdef __GLIBC__
    // What was freed lies in the middle of the heap; only this returns it.
    malloc_trim(0);
#endif
}
