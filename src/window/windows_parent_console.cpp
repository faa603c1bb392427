#include "window/parent_console.h"

#include <windows.h>

#include <cstdio>

namespace {

// A GUI program's standard handles are unset unless the one who started it
// redirected them (to a file or a pipe), and then they are to stay.
bool unset(DWORD which) { return GetFileType(GetStdHandle(which)) == FILE_TYPE_UNKNOWN; }

}  // namespace

void use_parent_console() {
    const bool out = unset(STD_OUTPUT_HANDLE), err = unset(STD_ERROR_HANDLE);
    if (!(out || err) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (out) std::freopen("CONOUT$", "w", stdout);
    if (err) std::freopen("CONOUT$", "w", stderr);
}
