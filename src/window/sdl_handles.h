// Owning handles for SDL objects, and the error that reports a failed SDL
// call by its name and SDL's reason. Declares the SDL types only, so headers
// can hold these handles without including SDL.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

struct SDL_Renderer;
struct SDL_Surface;
struct SDL_Texture;
struct SDL_Window;

struct SdlDeleter {
    void operator()(SDL_Renderer* p) const;
    void operator()(SDL_Surface* p) const;
    void operator()(SDL_Texture* p) const;
    void operator()(SDL_Window* p) const;
};

using RendererPtr = std::unique_ptr<SDL_Renderer, SdlDeleter>;
using SurfacePtr = std::unique_ptr<SDL_Surface, SdlDeleter>;
using TexturePtr = std::unique_ptr<SDL_Texture, SdlDeleter>;
using WindowPtr = std::unique_ptr<SDL_Window, SdlDeleter>;

class SdlError : public std::runtime_error {
public:
    explicit SdlError(const std::string& call);
};

// Returns `p`, or throws SdlError naming `call` when `p` is null.
template <typename T>
T* checked(T* p, const char* call) {
    if (p == nullptr) throw SdlError(call);
    return p;
}

// Throws SdlError naming `call` when an SDL status code reports failure.
void checked(int status, const char* call);
