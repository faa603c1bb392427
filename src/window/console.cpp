#include "window/console.h"

#ifndef _WIN32
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

#else
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <memory>
#include <utility>

namespace {

std::string utf8(std::wstring_view text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string converted(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), converted.data(), size, nullptr,
                        nullptr);
    return converted;
}

std::wstring utf16(std::string_view text) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring converted(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), converted.data(), size);
    return converted;
}

// A GUI program's standard handles are unset unless the one who started it
// redirected them (to a file or a pipe), and then they are kept. Otherwise
// the console of the process that started it (a command prompt,
// PowerShell) takes the text, if there is one.
HANDLE destination(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    if (GetFileType(handle) != FILE_TYPE_UNKNOWN) return handle;
    static const HANDLE console = [] {
        if (!AttachConsole(ATTACH_PARENT_PROCESS)) return INVALID_HANDLE_VALUE;
        return CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    }();
    return console;
}

// A console shows UTF-16 whatever its code page; a file or a pipe gets
// UTF-8 with Windows' line ends.
bool write(HANDLE handle, std::string_view text) {
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(handle, &mode)) {
        const std::wstring wide = utf16(text);
        return WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) &&
               written == wide.size();
    }
    std::string lines;
    for (const char c : text) lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return WriteFile(handle, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr) &&
           written == lines.size();
}

// A message box wraps lines itself: the lines of a paragraph are joined,
// blank lines and indented ones (lists) kept.
std::string unwrapped(std::string_view text) {
    std::string joined(text);
    for (std::size_t n = 1; n + 1 < joined.size(); ++n) {
        if (joined[n] == '\n' && joined[n - 1] != '\n' && joined[n + 1] != '\n' && joined[n + 1] != ' ')
            joined[n] = ' ';
    }
    return joined;
}

}  // namespace

std::vector<std::string> program_arguments(int, char**) {
    // main's arguments are in the ANSI code page, which cannot hold every name.
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&LocalFree)> arguments(CommandLineToArgvW(GetCommandLineW(), &count),
                                                                  LocalFree);
    std::vector<std::string> converted;
    for (int n = 1; arguments && n < count; ++n) converted.push_back(utf8(arguments.get()[n]));
    return converted;
}

bool tell_user(std::string_view out, std::string_view err) {
    bool written = true;
    std::string unseen;
    for (const auto& [text, which] : {std::pair(err, STD_ERROR_HANDLE), std::pair(out, STD_OUTPUT_HANDLE)}) {
        if (text.empty()) continue;
        const HANDLE handle = destination(which);
        if (handle == INVALID_HANDLE_VALUE || handle == nullptr) {
            unseen += text;
        } else if (!write(handle, text) && which == STD_OUTPUT_HANDLE) {
            written = false;
            write(destination(STD_ERROR_HANDLE), "rotary-envelope: cannot write to standard output\n");
        }
    }
    if (!unseen.empty()) {
        MessageBoxW(nullptr, utf16(unwrapped(unseen)).c_str(), L"Rotary Envelope",
                    (err.empty() ? MB_ICONINFORMATION : MB_ICONERROR) | MB_OK | MB_SETFOREGROUND);
    }
    return written;
}
#endif
