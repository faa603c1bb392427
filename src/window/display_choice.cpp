#include "window/display_choice.h"

const char* preferred_video_drivers(const char* display, const char* wayland_display) {
    if (is_set(wayland_display)) return "wayland,x11";
    return is_set(display) ? "x11" : nullptr;
}

std::string no_display_message(const char* display, const char* wayland_display) {
    std::string message = "no display: ";
    message += is_set(display) ? "the X display \"" + std::string(display) + "\" (DISPLAY) cannot be opened"
                               : std::string("DISPLAY is not set");
    if (is_set(wayland_display)) {
        message +=
            ", and the Wayland display \"" + std::string(wayland_display) + "\" (WAYLAND_DISPLAY) cannot be opened";
    }
    return message;
}
