// Owning handles for SDL objects. Declares the SDL types only, so headers can
// hold these handles without including SDL.
#pragma once

#include <memory>

struct SDL_Surface;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Window;

struct SdlDeleter {
    void operator()(SDL_Surface* p) const;
    void operator()(SDL_Renderer* p) const;
    void operator()(SDL_Texture* p) const;
    void operator()(SDL_Window* p) const;
};

using SurfacePtr = std::unique_ptr<SDL_Surface, SdlDeleter>;
using RendererPtr = std::unique_ptr<SDL_Renderer, SdlDeleter>;
using TexturePtr = std::unique_ptr<SDL_Texture, SdlDeleter>;
using WindowPtr = std::unique_ptr<SDL_Window, SdlDeleter>;
