#include "window/display_choice.h"

// Windows has one video driver, so there is nothing to choose. A DISPLAY
// variable there belongs to Wine, which runs the program on X11 beneath it.
const char* preferred_video_drivers(const char*, const char*) { return nullptr; }

std::string no_display_message(const char*, const char*) { return "no display"; }
