#include "window/sdl_window.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

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

}  // namespace

SdlWindow::SdlWindow(SdlVideo& video, Canvas::Picture picture, std::span<const IconImage> icons)
    : SdlWindow(video, UserCoordinates(video.density_scale()), std::move(picture), icons) {}

SdlWindow::SdlWindow(SdlVideo& video, UserCoordinates coords, Canvas::Picture picture, std::span<const IconImage> icons)
    : SdlWindow(video, coords, open_window(video, coords, icons), std::move(picture)) {}

// The window opens first: the canvas takes its pixel layout and, where it
// fits, draws in its surface. The first pump shows it.
SdlWindow::SdlWindow(SdlVideo& video, UserCoordinates coords, WindowPtr window, Canvas::Picture picture)
    : CanvasPlatform(coords, std::move(picture), SurfacePresenter::format_for(window.get()),
                     SurfacePresenter::memory_for(window.get(), coords.width(), coords.height())),
      events_(video.events()),
      window_(std::move(window)),
      presenter_(window_.get(), canvas_),
      pacer_(video.refresh_hz()) {
    stop_unused_x11_events(window_.get());
}

void SdlWindow::settle() {
    // Showing the window maps it synchronously; one more pump reads what the
    // X server sent with the map (exposure, the pointer entering).
    SDL_PumpEvents();
}

bool SdlWindow::pump_events(FormEvents& handlers) {
    if (canvas_.touched()) {
        // The background the window opens with is no frame of the
        // animation: it starts no frame schedule.
        if (showing_) pacer_.wait();
        present();
        showing_ = true;
        idle_ = false;
    } else if (std::exchange(idle_, true) && !events_.has_input()) {
        // Nothing new to show for two pumps: sleep until input arrives, for
        // at most one refresh, so a held animation leaves the processor
        // idle. Not on the first pump after a present: the loop's two
        // warm-up passes draw nothing, and waiting there would hold back the
        // first frame.
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
    // Uncovered, restored or resized: the whole kept image again.
    const bool resized = events_.take_resized();
    if (resized) presenter_.size_changed();
    if ((events_.take_exposed() || resized) && !ended_) presenter_.present(true);
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
