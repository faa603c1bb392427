// The error that reports a failed SDL call by its name and SDL's reason.
#pragma once

#include <SDL.h>

#include <stdexcept>
#include <string>

class SdlError : public std::runtime_error {
public:
    explicit SdlError(const std::string& call) : std::runtime_error(call + " failed: " + SDL_GetError()) {}
};

// Returns `p`, or throws SdlError naming `call` when `p` is null.
template <typename T>
T* checked(T* p, const char* call) {
    if (p == nullptr) throw SdlError(call);
    return p;
}

// Throws SdlError naming `call` when an SDL status code reports failure.
inline void checked(int status, const char* call) {
    if (status < 0) throw SdlError(call);
}
