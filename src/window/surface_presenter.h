// Shows a canvas through an SDL window's surface. Where the surface has the
// canvas's size and a 32-bit layout, the canvas draws straight into it, so
// the image exists once and showing it is only telling the display which
// parts changed. Otherwise (a window manager gave the window another size)
// the canvas keeps pixels of its own and the touched parts are copied across.
#pragma once

#include <cstdint>
#include <vector>

#include "canvas/canvas.h"
#include "window/sdl_handles.h"

struct SDL_Rect;

class SurfacePresenter {
public:
    // The pixel layout for a canvas shown in `window`: the surface's own
    // where it has 32 bits, so that showing is a plain copy at most.
    static PixelFormat format_for(SDL_Window* window);
    // The memory a canvas of the given size can draw in: the surface's
    // pixels where they fit it exactly, else null.
    static std::uint32_t* memory_for(SDL_Window* window, int width, int height);

    // `canvas` was made with the layout and memory above.
    SurfacePresenter(SDL_Window* window, Canvas& canvas);
    ~SurfacePresenter();
    SurfacePresenter(const SurfacePresenter&) = delete;
    SurfacePresenter& operator=(const SurfacePresenter&) = delete;

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

    SDL_Window* window_;
    Canvas& canvas_;
    SDL_Surface* surface_;       // the window's, freed by SDL
    SurfacePtr canvas_surface_;  // the canvas's own pixels, when it has them
    bool stale_ = false;
    std::vector<SDL_Rect> rects_;
};
