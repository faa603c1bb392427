#include "window/display_choice.h"

namespace {

// The Wayland client library finds a display named by a relative name in
// the runtime directory only. Wayland client library 1.21: asked without
// one, it prints a complaint of its own.
bool wayland_reachable(const DisplayVariables& variables) {
    return is_set(variables.runtime_dir) || (is_set(variables.wayland_display) && *variables.wayland_display == '/');
}

}  // namespace

std::string preferred_video_drivers(const DisplayVariables& variables, std::span<const std::string> drivers) {
    if (is_set(variables.wayland_display) && wayland_reachable(variables)) return "wayland,x11";
    if (is_set(variables.display)) return "x11";
    if (wayland_reachable(variables)) return "";
    std::string list;
    for (const std::string& driver : drivers) {
        if (driver == "wayland" || driver == "offscreen" || driver == "dummy") continue;
        list += (list.empty() ? "" : ",") + driver;
    }
    return list;
}

std::string no_display_message(const DisplayVariables& variables) {
    std::string message = "no display: ";
    message += is_set(variables.display)
                   ? "the X display \"" + std::string(variables.display) + "\" (DISPLAY) cannot be opened"
                   : std::string("DISPLAY is not set");
    if (is_set(variables.wayland_display)) {
        message += ", and the Wayland display \"" + std::string(variables.wayland_display) +
                   "\" (WAYLAND_DISPLAY) cannot be opened";
        if (!wayland_reachable(variables)) message += " without XDG_RUNTIME_DIR";
    }
    return message;
}
