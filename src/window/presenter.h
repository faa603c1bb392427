// Shows a canvas in an SDL window. Where the window's pixels are its points
// (X11, Wayland at scale 1), through the window surface: where that has the
// canvas's size and a 32-bit layout, the canvas draws straight into it, so
// the image exists once and showing it is only telling the display which
// parts changed; otherwise (a window manager gave the window another size)
// the canvas keeps pixels of its own and the touched parts are copied across.
// Where the pixels outnumber the points (a scaled Wayland output), whose
// surface would hold the points only, through a renderer's texture.
#pragma once

#include <cstdint>
#include <vector>

#include "canvas/canvas.h"
#include "window/sdl_handles.h"

struct SDL_Rect;

// The canvas a shown window takes, worked out once from the window.
struct WindowCanvas {
    UserCoordinates coordinates;  // in the window's pixels
    double pixels_per_point = 1;  // more than 1 where SDL scales the window itself
    PixelFormat format;
    std::uint32_t* memory = nullptr;  // the window surface's pixels, where they fit the canvas exactly

    bool through_renderer() const { return pixels_per_point != 1; }
};

// For `window` shown at `density` in its points.
WindowCanvas window_canvas(SDL_Window* window, double density);

class Presenter {
public:
    // `canvas` was made from `layout`.
    Presenter(SDL_Window* window, Canvas& canvas, const WindowCanvas& layout);
    ~Presenter();
    Presenter(const Presenter&) = delete;
    Presenter& operator=(const Presenter&) = delete;

    // Sends what the canvas touched since the last present to the display,
    // or the whole window.
    void present(bool everything);
    // The window's size changed: SDL frees its surface at the next
    // SDL_GetWindowSurface, so the canvas moves out before that.
    void size_changed() { stale_ = true; }

private:
    void wrap_canvas();
    void take_new_surface();
    void copy_canvas(bool everything);
    void render();

    SDL_Window* window_;
    Canvas& canvas_;
    RendererPtr renderer_;  // where the pixels outnumber the points
    TexturePtr texture_;
    SDL_Surface* surface_ = nullptr;  // the window's, freed by SDL
    SurfacePtr canvas_surface_;       // the canvas's own pixels, when it has them
    bool stale_ = false;
    std::vector<SDL_Rect> rects_;
};
