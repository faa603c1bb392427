#include "window/display_choice.h"

namespace {

bool set(const char* variable) { return variable != nullptr && *variable != '\0'; }

}  // namespace

const char* preferred_video_drivers(const char* display, const char* wayland_display) {
    if (set(wayland_display)) return "wayland,x11";
    return set(display) ? "x11" : nullptr;
}

std::string no_display_message(const char* display, const char* wayland_display) {
    std::string message = "no display: ";
    message += set(display) ? "the X display \"" + std::string(display) + "\" (DISPLAY) cannot be opened"
                            : std::string("DISPLAY is not set");
    if (set(wayland_display)) {
        message +=
            ", and the Wayland display \"" + std::string(wayland_display) + "\" (WAYLAND_DISPLAY) cannot be opened";
    }
    return message;
}
