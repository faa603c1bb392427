#include "window/presenter.h"

#include <SDL.h>

#include <bit>

namespace {

// The layout of SDL_PIXELFORMAT_ARGB8888, which every renderer takes.
constexpr PixelFormat argb8888{16, 8, 0, 0xFF000000u};

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

// SDL 2.26 on Wayland: the window surface holds the window's points, so a
// renderer fills a window of more pixels.
WindowCanvas window_canvas(SDL_Window* window, double density) {
    int points = 0, pixels = 0, height = 0;
    SDL_GetWindowSize(window, &points, &height);
    SDL_GetWindowSizeInPixels(window, &pixels, &height);
    if (points > 0 && pixels > 0 && pixels != points) {
        const double per_point = static_cast<double>(pixels) / points;
        return {UserCoordinates(density * per_point), per_point, argb8888, nullptr};
    }
    const UserCoordinates coordinates(density);
    SDL_Surface* s = window_surface(window);
    const PixelFormat format = format_of(s->format);
    const bool lives_in_surface = fits(s, coordinates.width(), coordinates.height(), format);
    return {coordinates, 1.0, format, lives_in_surface ? static_cast<std::uint32_t*>(s->pixels) : nullptr};
}

Presenter::Presenter(SDL_Window* window, Canvas& canvas, const WindowCanvas& layout)
    : window_(window), canvas_(canvas) {
    if (layout.through_renderer()) {
        renderer_.reset(checked(SDL_CreateRenderer(window, -1, 0), "SDL_CreateRenderer"));
        texture_.reset(checked(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                                 canvas.width(), canvas.height()),
                               "SDL_CreateTexture"));
        return;
    }
    surface_ = window_surface(window);
    if (canvas_.pixels() != surface_->pixels) wrap_canvas();
}

Presenter::~Presenter() = default;

void Presenter::wrap_canvas() {
    const PixelFormat& f = canvas_.format();
    canvas_surface_.reset(
        checked(SDL_CreateRGBSurfaceFrom(const_cast<std::uint32_t*>(canvas_.pixels()), canvas_.width(),
                                         canvas_.height(), 32, canvas_.width() * 4, Uint32{0xFF} << f.red_shift,
                                         Uint32{0xFF} << f.green_shift, Uint32{0xFF} << f.blue_shift, f.opaque),
                "SDL_CreateRGBSurfaceFrom"));
    checked(SDL_SetSurfaceBlendMode(canvas_surface_.get(), SDL_BLENDMODE_NONE), "SDL_SetSurfaceBlendMode");
}

void Presenter::take_new_surface() {
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

void Presenter::present(bool everything) {
    SDL_Rect bounds{0, 0, canvas_.width(), canvas_.height()};
    if (!renderer_) {
        int width = 0, height = 0;
        SDL_GetWindowSize(window_, &width, &height);
        if (stale_ || width != surface_->w || height != surface_->h) {
            take_new_surface();
            everything = true;
        }
        bounds = {0, 0, surface_->w, surface_->h};
    }
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
    if (renderer_) {
        render();
        return;
    }
    if (canvas_surface_) copy_canvas(everything);
    checked(SDL_UpdateWindowSurfaceRects(window_, rects_.data(), static_cast<int>(rects_.size())),
            "SDL_UpdateWindowSurfaceRects");
}

void Presenter::copy_canvas(bool everything) {
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

// The texture takes the touched parts; the renderer then draws the whole
// window, on the background colour where it is larger than the canvas.
void Presenter::render() {
    const int width = canvas_.width();
    for (const SDL_Rect& r : rects_) {
        checked(SDL_UpdateTexture(texture_.get(), &r, canvas_.pixels() + r.y * width + r.x, width * 4),
                "SDL_UpdateTexture");
    }
    const Colour back = canvas_.back_color();
    SDL_Renderer* const renderer = renderer_.get();
    checked(SDL_SetRenderDrawColor(renderer, red_of(back), green_of(back), blue_of(back), SDL_ALPHA_OPAQUE),
            "SDL_SetRenderDrawColor");
    checked(SDL_RenderClear(renderer), "SDL_RenderClear");
    const SDL_Rect whole{0, 0, width, canvas_.height()};
    checked(SDL_RenderCopy(renderer, texture_.get(), nullptr, &whole), "SDL_RenderCopy");
    SDL_RenderPresent(renderer);
}
