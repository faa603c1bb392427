#include "window/console.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

std::vector<std::string> program_arguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

bool tell_user(std::string_view out, std::string_view err) {
    std::fwrite(err.data(), 1, err.size(), stderr);
    if (out.empty()) return true;
    // A full disk shows only once the text leaves the buffer.
    errno = 0;
    if (std::fwrite(out.data(), 1, out.size(), stdout) == out.size() && std::fflush(stdout) == 0) return true;
    std::fprintf(stderr, "rotary-envelope: cannot write to standard output: %s\n", std::strerror(errno));
    return false;
}
