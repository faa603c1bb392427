#include "window/sdl_window.h"

#include <SDL.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include "animation/keys.h"
#include "canvas/main_window.h"
#include "window/desktop.h"
#include "window/display_choice.h"
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
    // The program answers the signals that ask it to end itself, however
    // much input is waiting.
    insist_on_hint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    catch_end_signals();
    const char* const display = std::getenv("DISPLAY");
    const char* const wayland_display = std::getenv("WAYLAND_DISPLAY");
    const bool driver_chosen = SDL_GetHint(SDL_HINT_VIDEODRIVER) != nullptr;
    if (const char* driver = preferred_video_driver(display, wayland_display); driver && !driver_chosen) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
    }
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        if (driver_chosen) throw SdlError("SDL_Init");
        throw std::runtime_error(no_display_message(display, wayland_display) + " (SDL_Init failed: " + SDL_GetError() +
                                 ")");
    }
    // With no display SDL may fall back to a driver that shows nothing, and
    // the program would run unseen forever; only an explicit choice may have it.
    const char* const current = SDL_GetCurrentVideoDriver();
    const std::string driver = current != nullptr ? current : "";
    if ((driver == "offscreen" || driver == "dummy") && !driver_chosen) {
        SDL_Quit();
        throw std::runtime_error(no_display_message(display, wayland_display));
    }

    const DesktopFacts desktop = read_desktop();
    window_manager_ = desktop.window_manager;
    const double desktop_scale = ::density_scale(static_cast<float>(desktop.dpi));
    frame_ =
        desktop.frame.value_or(window_manager_ ? scaled_frame(typical_frame_96dpi, desktop_scale) : FrameExtents{});
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) < 0) {
        const SdlError error("SDL_GetDisplayUsableBounds");
        SDL_Quit();
        throw error;
    }
    usable_ = {usable.x, usable.y, usable.w, usable.h};
    density_ = fitted_density(desktop_scale, usable_, frame_);
    events_.emplace();
}

SdlVideo::~SdlVideo() {
    events_.reset();
    SDL_Quit();
}

ScreenPoint SdlVideo::window_position(int width, int height) const {
    if (window_manager_) return {SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED};
    return centred_client(usable_, frame_, width, height);
}

int SdlVideo::refresh_hz() const {
    SDL_DisplayMode mode{};
    if (SDL_GetCurrentDisplayMode(0, &mode) < 0) return main_window::default_refresh_hz;
    return presentation_hz(mode.refresh_rate);
}

namespace {

// Hidden until the window manager may place it and its icons are set.
WindowPtr open_window(const SdlVideo& video, UserCoordinates coords, std::span<const IconImage> icons) {
    const std::string title(main_window::caption);
    const ScreenPoint at = video.window_position(coords.width(), coords.height());
    WindowPtr window(
        checked(SDL_CreateWindow(title.c_str(), at.x, at.y, coords.width(), coords.height(), SDL_WINDOW_HIDDEN),
                "SDL_CreateWindow"));
    if (video.window_manager()) leave_placement_to_window_manager(window.get());
    set_window_icons(window.get(), icons);
    SDL_ShowWindow(window.get());
    return window;
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

SdlWindow::SdlWindow(SdlVideo& video, Canvas::Picture picture, std::span<const IconImage> icons)
    : SdlWindow(video, UserCoordinates(video.density_scale()), std::move(picture), icons) {}

SdlWindow::SdlWindow(SdlVideo& video, UserCoordinates coords, Canvas::Picture picture, std::span<const IconImage> icons)
    : SdlWindow(video, coords, open_window(video, coords, icons), std::move(picture)) {}

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
        wait_for_input(window_.get(), static_cast<int>(std::max<long long>(1, period.count())));
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
