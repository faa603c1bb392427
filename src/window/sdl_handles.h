// Owning handles for SDL objects. Declares the SDL types only, so headers can
// hold these handles without including SDL.
#pragma once

#include <memory>

struct SDL_Surface;
struct SDL_Window;

struct SdlDeleter {
    void operator()(SDL_Surface* p) const;
    void operator()(SDL_Window* p) const;
};

using SurfacePtr = std::unique_ptr<SDL_Surface, SdlDeleter>;
using WindowPtr = std::unique_ptr<SDL_Window, SdlDeleter>;
