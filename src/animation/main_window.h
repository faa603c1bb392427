// The description of the program's one window that every front end shows:
// its caption.
#pragma once

#include <string_view>

namespace main_window {

// Runs of spaces spread the three phrases across the title bar.
inline constexpr std::string_view caption =
    "                                 Dusmar Rotary Envelope etc"
    "                                Use:  SpaceBar and Mouse"
    "                        ESC or DoubleClick to Quit";
static_assert(caption.size() == 165);

}  // namespace main_window
