#include "window/wayland_connection.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <wayland-client.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "window/display_choice.h"

void check_wayland_connection(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_WAYLAND ||
        wl_display_get_error(info.info.wl.display) == 0) {
        return;
    }
    const char* const name = std::getenv("WAYLAND_DISPLAY");
    throw std::runtime_error("lost the Wayland display \"" + std::string(is_set(name) ? name : "wayland-0") +
                             "\": its compositor ended or closed the connection");
}
