#include "window/desktop.h"

#include <SDL.h>

#include <algorithm>
#include <string_view>

#include "window/sdl_error.h"
#include "window/sdl_handles.h"
#ifdef ROTARY_HAVE_X11
#include "window/x11_desktop.h"
#endif
#ifdef _WIN32
#include "window/windows_frame.h"
#endif

namespace {

[[maybe_unused]] bool on_x11() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && std::string_view(driver) == "x11";
}

}  // namespace

DesktopFacts read_desktop() {
#ifdef ROTARY_HAVE_X11
    if (on_x11()) {
        if (const std::optional<X11DesktopFacts> x11 = read_x11_desktop()) {
            return {desktop_dpi(x11->xft_dpi, x11->screen_dpi), x11->window_manager, x11->frame};
        }
    }
#endif
    // Elsewhere SDL knows the density, if anything does; the frame is unknown.
    float diagonal = 0, horizontal = 0, vertical = 0;
    std::optional<double> dpi;
    if (SDL_GetDisplayDPI(0, &diagonal, &horizontal, &vertical) == 0) dpi = horizontal;
#ifdef _WIN32
    // Windows opens a window where the program asks, as X does without a
    // window manager: centred in the work area, frame and all.
    const double windows_dpi = desktop_dpi(std::nullopt, dpi);
    return {windows_dpi, false, windows_frame(windows_dpi)};
#else
    return {desktop_dpi(std::nullopt, dpi), true, std::nullopt};
#endif
}

void leave_placement_to_window_manager([[maybe_unused]] SDL_Window* window) {
#ifdef ROTARY_HAVE_X11
    x11_leave_placement_to_window_manager(window);
#endif
}

void set_window_icons(SDL_Window* window, std::span<const IconImage> icons) {
    if (icons.empty()) return;
#ifdef ROTARY_HAVE_X11
    if (x11_set_icons(window, icons)) return;
#endif
    // SDL takes one picture: the largest.
    const IconImage& icon = *std::max_element(icons.begin(), icons.end(),
                                              [](const IconImage& a, const IconImage& b) { return a.size < b.size; });
    const SurfacePtr surface(checked(SDL_CreateRGBSurfaceWithFormatFrom(
                                         const_cast<std::uint32_t*>(icon.argb.data()), icon.size, icon.size, 32,
                                         icon.size * static_cast<int>(sizeof(std::uint32_t)), SDL_PIXELFORMAT_ARGB8888),
                                     "SDL_CreateRGBSurfaceWithFormatFrom"));
    SDL_SetWindowIcon(window, surface.get());
}

void wait_for_input(SDL_Window* window, int timeout_ms) {
#ifdef ROTARY_HAVE_X11
    if (x11_wait_for_input(window, timeout_ms)) return;
#endif
    (void)window;
    SDL_WaitEventTimeout(nullptr, timeout_ms);
}
