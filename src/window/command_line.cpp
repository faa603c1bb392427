#include "window/command_line.h"

#include <string_view>

namespace {

constexpr std::string_view program = "rotary-envelope";
constexpr int bad_usage_status = 2;

std::string usage_text() {
    return R"(Usage: rotary-envelope [--help | --version]

Opens a window that animates the housing curve of a rotary engine: the red
two-lobed curve turns about a fixed origin (blue circle) while its centre (red
circle) travels around it, and every earlier position stays behind in black.
The inner boundary of that black trail is the profile of the engine's rotor.
The window opens at the desktop's scale, or smaller where it would not fit the
screen with its frame.

Controls (keys act by the character typed, whatever the keyboard layout):
  Space             hold the turning, or resume it
  mouse movement    hold the turning; the figure's centre follows the pointer
  ,                 slower
  .                 faster
  /                 back to a slow speed
  [                 a rounder rotor: the eccentricity one less, down to 4
  ]                 a thinner rotor: the eccentricity one more, up to 20;
                    either starts the drawing afresh at the new eccentricity
  Escape, or a double-click
                    quit

Options:
  -h, --help        print this help and exit
  --version         print the version and exit

Exit status:
  0  the window was quit or closed (also on SIGINT or SIGTERM)
  1  the window could not be opened, for example with no display
  2  an argument it does not know
)";
}

}  // namespace

CommandLine read_command_line(std::span<const char* const> arguments) {
    bool help = false, version = false;
    for (const std::string_view argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            help = true;
        } else if (argument == "--version") {
            version = true;
        } else {
            return {false, bad_usage_status, "",
                    std::string(program) + ": unknown argument '" + std::string(argument) + "' (try '" +
                        std::string(program) + " --help')\n"};
        }
    }
    if (help) return {false, 0, usage_text(), ""};
    if (version) return {false, 0, std::string(program) + " " + ROTARY_VERSION + "\n", ""};
    return {true, 0, "", ""};
}
