#include "window/surface_presenter.h"

#include <SDL.h>

#include <bit>

#include "window/sdl_error.h"

namespace {

SDL_Surface* window_surface(SDL_Window* window) {
    return checked(SDL_GetWindowSurface(window), "SDL_GetWindowSurface");
}

int shift_of(Uint32 mask) { return mask == 0 ? 0 : std::countr_zero(mask); }

PixelFormat format_of(const SDL_PixelFormat* f) {
    if (f->BytesPerPixel != 4) return PixelFormat::rgba_bytes();
    return {shift_of(f->Rmask), shift_of(f->Gmask), shift_of(f->Bmask), f->Amask};
}

// Whether a canvas of this size and layout can live in the surface's pixels.
bool fits(const SDL_Surface* s, int width, int height, const PixelFormat& format) {
    const PixelFormat f = format_of(s->format);
    return s->format->BytesPerPixel == 4 && s->w == width && s->h == height && s->pitch == width * 4 &&
           f.red_shift == format.red_shift && f.green_shift == format.green_shift &&
           f.blue_shift == format.blue_shift && f.opaque == format.opaque;
}

}  // namespace

PixelFormat SurfacePresenter::format_for(SDL_Window* window) { return format_of(window_surface(window)->format); }

std::uint32_t* SurfacePresenter::memory_for(SDL_Window* window, int width, int height) {
    SDL_Surface* s = window_surface(window);
    return fits(s, width, height, format_for(window)) ? static_cast<std::uint32_t*>(s->pixels) : nullptr;
}

SurfacePresenter::SurfacePresenter(SDL_Window* window, Canvas& canvas)
    : window_(window), canvas_(canvas), surface_(window_surface(window)) {
    if (canvas_.pixels() != surface_->pixels) wrap_canvas();
}

SurfacePresenter::~SurfacePresenter() = default;

void SurfacePresenter::wrap_canvas() {
    const PixelFormat& f = canvas_.format();
    canvas_surface_.reset(
        checked(SDL_CreateRGBSurfaceFrom(const_cast<std::uint32_t*>(canvas_.pixels()), canvas_.width(),
                                         canvas_.height(), 32, canvas_.width() * 4, Uint32{0xFF} << f.red_shift,
                                         Uint32{0xFF} << f.green_shift, Uint32{0xFF} << f.blue_shift, f.opaque),
                "SDL_CreateRGBSurfaceFrom"));
    checked(SDL_SetSurfaceBlendMode(canvas_surface_.get(), SDL_BLENDMODE_NONE), "SDL_SetSurfaceBlendMode");
}

void SurfacePresenter::take_new_surface() {
    // SDL frees the old surface inside SDL_GetWindowSurface: the image moves
    // out of it first.
    canvas_surface_.reset();
    canvas_.move_pixels(nullptr);
    surface_ = window_surface(window_);
    if (fits(surface_, canvas_.width(), canvas_.height(), canvas_.format())) {
        canvas_.move_pixels(static_cast<std::uint32_t*>(surface_->pixels));
    } else {
        wrap_canvas();
    }
    stale_ = false;
}

void SurfacePresenter::present(bool everything) {
    int width = 0, height = 0;
    SDL_GetWindowSize(window_, &width, &height);
    if (stale_ || width != surface_->w || height != surface_->h) {
        take_new_surface();
        everything = true;
    }
    const SDL_Rect bounds{0, 0, surface_->w, surface_->h};
    rects_.clear();
    if (everything) {
        canvas_.take_touched();
        rects_.push_back(bounds);
    } else {
        for (const PixelRect& r : canvas_.take_touched()) {
            const SDL_Rect touched{r.x, r.y, r.width, r.height};
            SDL_Rect visible;
            if (SDL_IntersectRect(&touched, &bounds, &visible)) rects_.push_back(visible);
        }
    }
    if (rects_.empty()) return;
    if (canvas_surface_) copy_canvas(everything);
    checked(SDL_UpdateWindowSurfaceRects(window_, rects_.data(), static_cast<int>(rects_.size())),
            "SDL_UpdateWindowSurfaceRects");
}

void SurfacePresenter::copy_canvas(bool everything) {
    if (everything) {
        // A window larger than the canvas shows the background colour
        // beyond it.
        const Colour back = canvas_.back_color();
        checked(
            SDL_FillRect(surface_, nullptr, SDL_MapRGB(surface_->format, red_of(back), green_of(back), blue_of(back))),
            "SDL_FillRect");
    }
    for (const SDL_Rect& rect : rects_) {
        SDL_Rect from = rect, to = rect;
        checked(SDL_BlitSurface(canvas_surface_.get(), &from, surface_, &to), "SDL_BlitSurface");
    }
}
