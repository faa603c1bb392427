#include "window/command_line.h"

#include <string_view>

namespace {

constexpr std::string_view program = "rotary-envelope";
constexpr int bad_usage_status = 2;

// A term and what it means, in one of the help's lists; `spoken` names a
// term that is a lone character.
struct Entry {
    std::string_view term;
    std::string_view meaning;
    std::string_view spoken = {};
};

constexpr Entry controls[] = {
    {"Space", "hold the turning, or resume it"},
    {"mouse movement", "hold the turning; the figure's centre follows the pointer"},
    {",", "slower", "comma"},
    {".", "faster", "full stop"},
    {"/", "back to a slow speed", "slash"},
    {"[", "a rounder rotor: the eccentricity one less, down to 4", "left bracket"},
    {"]",
     "a thinner rotor: the eccentricity one more, up to 20;\n"
     "either starts the drawing afresh at the new eccentricity",
     "right bracket"},
    {"Escape, or a double-click", "quit"},
};

constexpr Entry posix_options[] = {
    {"-h, --help", "print this help and exit"},
    {"--version", "print the version and exit"},
};
constexpr Entry windows_options[] = {
    {"/?, -h, --help", "show this help"},
    {"--version", "show the version"},
};

constexpr Entry posix_statuses[] = {
    {"0",
     "the window was quit, closed or destroyed, or a signal asked the program\n"
     "to end (SIGHUP, SIGINT or SIGTERM); also after --help and --version"},
    {"1",
     "the window could not be opened (for example with no display), its\n"
     "display was lost, or the help or the version could not be written"},
    {"2", "an argument it does not know"},
};
constexpr Entry windows_statuses[] = {
    {"0", "the window was quit or closed; also after /?, --help and --version"},
    {"1", "the window could not be opened, or the help could not be written"},
    {"2", "an argument it does not know"},
};

constexpr std::string_view description = R"(
Opens a window that animates the housing curve of a rotary engine: the red
two-lobed curve turns about a fixed origin (blue circle) while its centre (red
circle) travels around it, and every earlier position stays behind in black.
The inner boundary of that black trail is the profile of the engine's rotor.
The window opens at the desktop's scale, or smaller where it would not fit the
screen with its frame.

Controls (keys act by the character typed, whatever the keyboard layout):
)";

// In a terminal, terms in a column (a long one on a line of its own); in a
// message box's proportional type, where columns do not line up, a term and
// its meaning on one line, a lone character named.
std::string list(std::span<const Entry> entries, Conventions conventions, std::size_t column) {
    const bool windows = conventions == Conventions::windows;
    const std::size_t indent = windows ? 4 : column;
    std::string text;
    for (const Entry& entry : entries) {
        const std::size_t start = text.size();
        text.append("  ").append(entry.term);
        if (windows) {
            if (!entry.spoken.empty()) text.append(" (").append(entry.spoken).append(")");
            text.append(": ");
        } else if (text.size() - start + 1 < column) {
            text.append(column - (text.size() - start), ' ');
        } else {
            text.append("\n").append(column, ' ');
        }
        for (const char c : entry.meaning) {
            text.push_back(c);
            if (c == '\n') text.append(indent, ' ');
        }
        text.push_back('\n');
    }
    return text;
}

std::string usage_text(Conventions conventions) {
    const bool windows = conventions == Conventions::windows;
    constexpr std::size_t term_column = 20, status_column = 5;
    std::string text("Usage: ");
    text.append(program).append(windows ? " [/? | --help | --version]\n" : " [--help | --version]\n");
    text.append(description).append(list(controls, conventions, term_column));
    text.append("\nOptions:\n").append(list(windows ? windows_options : posix_options, conventions, term_column));
    text.append("\nExit status:\n")
        .append(list(windows ? windows_statuses : posix_statuses, conventions, status_column));
    return text;
}

}  // namespace

CommandLine read_command_line(std::span<const std::string> arguments, Conventions conventions) {
    bool help = false, version = false;
    for (const std::string_view argument : arguments) {
        if (argument == "--help" || argument == "-h" || (conventions == Conventions::windows && argument == "/?")) {
            help = true;
        } else if (argument == "--version") {
            version = true;
        } else {
            return {false, bad_usage_status, "",
                    std::string(program) + ": unknown argument '" + std::string(argument) + "' (try '" +
                        std::string(program) + " --help')\n"};
        }
    }
    if (help) return {false, 0, usage_text(conventions), ""};
    if (version) return {false, 0, std::string(program) + " " + ROTARY_VERSION + "\n", ""};
    return {true, 0, "", ""};
}
