#include "window/sdl_window.h"

#include <SDL.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>

#include "animation/keys.h"
#include "canvas/main_window.h"
#include "window/end_signals.h"
#include "window/refresh_rate.h"
#include "window/sdl_error.h"
#include "window/x11_events.h"

namespace {

// Inputs handled per pass: a backlog is worked through over several passes
// while the window goes on presenting and answering.
constexpr int max_inputs_per_pass = 1000;

// Sets a hint the program depends on so that the environment cannot undo it.
void insist_on_hint(const char* name, const char* value) {
    if (!SDL_SetHintWithPriority(name, value, SDL_HINT_OVERRIDE)) throw SdlError("SDL_SetHintWithPriority");
}

}  // namespace

SdlVideo::SdlVideo() {
    // A plain shared-memory window surface: an OpenGL-backed one buys nothing
    // for a software image and costs threads and processor time.
    insist_on_hint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Without XRandR, SDL reads the display density from the X server.
    insist_on_hint(SDL_HINT_VIDEO_X11_XRANDR, "0");
    // The program answers the signals that ask it to end itself, however
    // much input is waiting.
    insist_on_hint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    catch_end_signals();
    checked(SDL_Init(SDL_INIT_VIDEO), "SDL_Init");
    // With no display SDL falls back to a driver that shows nothing, and the
    // program would run unseen forever; only an explicit choice may have it.
    const char* const current = SDL_GetCurrentVideoDriver();
    const std::string driver = current != nullptr ? current : "";
    if ((driver == "offscreen" || driver == "dummy") && SDL_GetHint(SDL_HINT_VIDEODRIVER) == nullptr) {
        SDL_Quit();
        throw std::runtime_error(
            "no display: SDL found none to show a window on (DISPLAY and WAYLAND_DISPLAY unusable)");
    }
    events_.emplace();
}

SdlVideo::~SdlVideo() {
    events_.reset();
    SDL_Quit();
}

double SdlVideo::density_scale() const {
    float ddpi = 0, hdpi = 0, vdpi = 0;
    if (SDL_GetDisplayDPI(0, &ddpi, &hdpi, &vdpi) < 0) return 1.0;
    return ::density_scale(hdpi);
}

int SdlVideo::refresh_hz() const {
    SDL_DisplayMode mode{};
    if (SDL_GetCurrentDisplayMode(0, &mode) < 0) return main_window::default_refresh_hz;
    return presentation_hz(mode.refresh_rate);
}

namespace {

WindowPtr open_window(UserCoordinates coords) {
    const std::string title(main_window::caption);
    return WindowPtr(checked(SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                              coords.width(), coords.height(), SDL_WINDOW_SHOWN),
                             "SDL_CreateWindow"));
}

int shift_of(Uint32 mask) { return mask == 0 ? 0 : std::countr_zero(mask); }

// The canvas draws in the window surface's own pixel layout where it has
// one of 32 bits, so showing it is a plain copy.
PixelFormat pixel_format_of(SDL_Window* window) {
    const SDL_PixelFormat* f = checked(SDL_GetWindowSurface(window), "SDL_GetWindowSurface")->format;
    if (f->BytesPerPixel != 4) return PixelFormat::rgba_bytes();
    return {shift_of(f->Rmask), shift_of(f->Gmask), shift_of(f->Bmask), f->Amask};
}

}  // namespace

SdlWindow::SdlWindow(SdlVideo& video, Canvas::Picture picture)
    : SdlWindow(video, UserCoordinates(video.density_scale()), std::move(picture)) {}

SdlWindow::SdlWindow(SdlVideo& video, UserCoordinates coords, Canvas::Picture picture)
    : SdlWindow(video, coords, open_window(coords), std::move(picture)) {}

// The window opens first: the canvas takes its pixel layout.
SdlWindow::SdlWindow(SdlVideo& video, UserCoordinates coords, WindowPtr window, Canvas::Picture picture)
    : CanvasPlatform(coords, std::move(picture), pixel_format_of(window.get())),
      events_(video.events()),
      window_(std::move(window)),
      pacer_(video.refresh_hz()) {
    const PixelFormat& f = canvas_.format();
    canvas_surface_.reset(
        checked(SDL_CreateRGBSurfaceFrom(const_cast<std::uint32_t*>(canvas_.pixels()), canvas_.width(),
                                         canvas_.height(), 32, canvas_.width() * 4, Uint32{0xFF} << f.red_shift,
                                         Uint32{0xFF} << f.green_shift, Uint32{0xFF} << f.blue_shift, f.opaque),
                "SDL_CreateRGBSurfaceFrom"));
    checked(SDL_SetSurfaceBlendMode(canvas_surface_.get(), SDL_BLENDMODE_NONE), "SDL_SetSurfaceBlendMode");
    stop_unused_x11_events(window_.get());
    present();
}

void SdlWindow::settle() {
    // Showing the window maps it synchronously; one more pump reads what the
    // X server sent with the map (exposure, the pointer entering).
    SDL_PumpEvents();
}

void SdlWindow::present() {
    SDL_Surface* target = checked(SDL_GetWindowSurface(window_.get()), "SDL_GetWindowSurface");
    checked(SDL_BlitSurface(canvas_surface_.get(), nullptr, target, nullptr), "SDL_BlitSurface");
    checked(SDL_UpdateWindowSurface(window_.get()), "SDL_UpdateWindowSurface");
}

bool SdlWindow::pump_events(FormEvents& handlers) {
    if (canvas_.take_changes()) {
        pacer_.wait();
        present();
    } else if (!events_.has_input()) {
        // Nothing new to show: sleep until input arrives, for at most one
        // refresh, so a held animation leaves the processor idle.
        const auto period = std::chrono::duration_cast<std::chrono::milliseconds>(pacer_.period());
        SDL_WaitEventTimeout(nullptr, static_cast<int>(std::max<long long>(1, period.count())));
    }
    SDL_PumpEvents();
    events_.pumped();
    // Requests to end come first, whatever input waits before them.
    if (end_signal_received() || events_.take_close()) {
        end();
    } else if (events_.take_escape()) {
        handlers.KeyPress(key::escape);
    } else if (events_.take_double_click()) {
        handlers.DblClick();
    }
    if (events_.take_exposed() && !ended_) present();
    for (int n = 0; n < max_inputs_per_pass && !ended_ && events_.has_input(); ++n) {
        dispatch(events_.next_input(), handlers);
    }
    if (events_.burst_worked_through()) give_back_event_memory(window_.get());
    return !ended_;
}

void SdlWindow::dispatch(const InputEvent& input, FormEvents& handlers) {
    switch (input.kind) {
    case InputEvent::Kind::key:
        handlers.KeyPress(input.code);
        break;
    case InputEvent::Kind::pointer: {
        const UserPoint p = canvas_.coordinates().to_user(input.x, input.y);
        handlers.MouseMove(input.button, input.shift, p.x, p.y);
        break;
    }
    }
}
