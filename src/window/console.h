// The program's arguments and its words to the user, as each platform has
// them. On Windows the arguments arrive in UTF-16, and a program started
// without a console (from a shortcut, or with a file dropped on it) shows
// its words in a message box; elsewhere they go to standard output and
// standard error.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The arguments after the program's name, in UTF-8.
std::vector<std::string> program_arguments(int argc, char** argv);

// Writes `out` to standard output and `err` to standard error, or shows
// what would reach no one. Returns false where `out` could not be written (a
// full disk, a closed pipe), having said so on standard error.
bool tell_user(std::string_view out, std::string_view err);
