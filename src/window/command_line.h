// What the program's arguments ask for. With none it opens its window; it
// also answers --help (-h) and --version, and refuses anything else. Pure:
// main prints the texts and exits with the status.
#pragma once

#include <span>
#include <string>

struct CommandLine {
    bool open_window = false;
    int exit_status = 0;  // when not opening the window
    std::string out;      // for standard output
    std::string err;      // for standard error
};

// `arguments` are those after the program's name.
CommandLine read_command_line(std::span<const char* const> arguments);
