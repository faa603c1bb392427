// What the program's arguments ask for. With none it opens its window; it
// also answers --help (-h, and /? on Windows) and --version, and refuses
// anything else. Pure: main shows the texts and exits with the status.
#pragma once

#include <span>
#include <string>

// Whose conventions the help follows: the words for how a program is asked
// to end, and how options are written.
enum class Conventions { posix, windows };

#ifdef _WIN32
inline constexpr Conventions native_conventions = Conventions::windows;
#else
inline constexpr Conventions native_conventions = Conventions::posix;
#endif

// The status when the help or the version cannot be written.
inline constexpr int unwritten_status = 1;

struct CommandLine {
    bool open_window = false;
    int exit_status = 0;  // when not opening the window
    std::string out;      // for standard output
    std::string err;      // for standard error
};

// `arguments`, in UTF-8, are those after the program's name.
CommandLine read_command_line(std::span<const std::string> arguments, Conventions conventions = native_conventions);
