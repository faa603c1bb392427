#include "window/display_choice.h"

// Windows has one video driver, so there is nothing to choose. A DISPLAY
// variable there belongs to Wine, which runs the program on X11 beneath it.
std::string preferred_video_drivers(const DisplayVariables&, std::span<const std::string>) { return ""; }

std::string no_display_message(const DisplayVariables&) { return "no display"; }
