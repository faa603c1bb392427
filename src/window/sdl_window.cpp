#include "window/sdl_window.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "animation/keys.h"
#include "animation/main_window.h"
#include "window/display_choice.h"
#include "window/end_signals.h"
#include "window/wayland_connection.h"
#include "window/window_fit.h"
#include "window/x11_desktop.h"

namespace {

// Inputs handled per pass: a backlog is worked through over several passes
// while the window goes on presenting and answering.
constexpr int max_inputs_per_pass = 1000;
// How long a window manager may take to map the window and report its frame
// before the window goes on with the frame expected: far longer than one that
// answers at all takes.
constexpr std::chrono::milliseconds window_manager_bound{2000};
constexpr std::chrono::milliseconds window_manager_poll{5};

// Sets a hint the program depends on so that the environment cannot undo it.
void insist_on_hint(const char* name, const char* value) {
    if (!SDL_SetHintWithPriority(name, value, SDL_HINT_OVERRIDE)) throw SdlError("SDL_SetHintWithPriority");
}

// Whether a display's pixels outnumber its points: SDL 2.26 lists a scaled
// Wayland output's own mode above the desktop's.
bool scaled_display() {
    for (int display = 0; display < SDL_GetNumVideoDisplays(); ++display) {
        SDL_DisplayMode desktop{}, largest{};
        if (SDL_GetDesktopDisplayMode(display, &desktop) == 0 && SDL_GetDisplayMode(display, 0, &largest) == 0 &&
            largest.w > desktop.w) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> video_drivers() {
    std::vector<std::string> drivers;
    for (int n = 0; n < SDL_GetNumVideoDrivers(); ++n) drivers.emplace_back(SDL_GetVideoDriver(n));
    return drivers;
}

}  // namespace

SdlVideo::SdlVideo() {
    // The program answers the signals that ask it to end itself (main
    // catches them), however much input is waiting.
    insist_on_hint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    x11_catch_window_errors();
    // SDL 2.26 takes the Wayland app id from this variable or the executable's
    // name; the compositor finds the icon by the desktop entry's id.
    SDL_setenv("SDL_VIDEO_WAYLAND_WMCLASS", ROTARY_APP_ID, 0);
    const DisplayVariables variables{std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                                     std::getenv("XDG_RUNTIME_DIR")};
    const bool driver_chosen = SDL_GetHint(SDL_HINT_VIDEODRIVER) != nullptr;
    if (const std::string drivers = preferred_video_drivers(variables, video_drivers());
        !drivers.empty() && !driver_chosen) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    }
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        if (driver_chosen) throw SdlError("SDL_Init");
        throw std::runtime_error(no_display_message(variables) + " (SDL_Init failed: " + SDL_GetError() + ")");
    }
    std::string driver = SDL_GetCurrentVideoDriver();
    // On unscaled outputs Xwayland shows the same window for a small part of
    // the processor time: SDL 2.26 draws Wayland windows through OpenGL.
    if (driver == "wayland" && !driver_chosen && is_set(variables.display) && !scaled_display()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11,wayland");
        checked(SDL_InitSubSystem(SDL_INIT_VIDEO), "SDL_InitSubSystem");
        driver = SDL_GetCurrentVideoDriver();
    }
    // With no display SDL may fall back to a driver that shows nothing, and
    // the program would run unseen forever; only an explicit choice may have it.
    if ((driver == "offscreen" || driver == "dummy") && !driver_chosen) {
        SDL_Quit();
        throw std::runtime_error(no_display_message(variables));
    }
    // SDL 2.26 on X11 backs the window surface with OpenGL (threads and processor
    // time for a software image); on Wayland the hint leaves no surface at all.
    if (driver == "x11") insist_on_hint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    events_.emplace();
}

SdlVideo::~SdlVideo() {
    events_.reset();
    SDL_Quit();
}

namespace {

int display_of(SDL_Window* window) { return std::max(0, SDL_GetWindowDisplayIndex(window)); }

ScreenArea usable_area(int display) {
    SDL_Rect usable{};
    checked(SDL_GetDisplayUsableBounds(display, &usable), "SDL_GetDisplayUsableBounds");
    return {usable.x, usable.y, usable.w, usable.h};
}

// The window's frame as the window system reports it, or a typical one
// where it does not: SDL 2.26 on Wayland, a window manager that reports
// none, or not in time.
FrameExtents frame_of(SDL_Window* window, double scale) {
    int top = 0, left = 0, bottom = 0, right = 0;
    if (x11_frame_report(window) != FrameReport::reported ||
        SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) < 0) {
        return scaled_frame(typical_frame_96dpi, scale);
    }
    return {left, right, top, bottom};
}

ScreenPoint position_of(SDL_Window* window) {
    if (const std::optional<ScreenPoint> client = x11_client_position(window)) return *client;
    ScreenPoint client;
    SDL_GetWindowPosition(window, &client.x, &client.y);
    return client;
}

void resize(SDL_Window* window, double density) {
    const UserCoordinates client(density);
    SDL_SetWindowSize(window, client.width(), client.height());
}

// Centres the window of `density`, frame included, in `usable`.
void centre(SDL_Window* window, double density, ScreenArea usable, FrameExtents frame) {
    const UserCoordinates client(density);
    const ScreenPoint at = centred_client(usable, frame, client.width(), client.height());
    SDL_SetWindowPosition(window, at.x, at.y);
}

// Sizes `window` at the largest density up to `desktop_scale` at which it
// fits, with `frame`, the display it is on, and centres it there when that
// changes its size. Returns the density in the window's points.
double fit(SDL_Window* window, double desktop_scale, FrameExtents frame) {
    const ScreenArea usable = usable_area(display_of(window));
    const double density = fitted_density(desktop_scale, usable, frame);
    const UserCoordinates client(density);
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    if (width != client.width() || height != client.height()) {
        resize(window, density);
        centre(window, density, usable, frame);
    }
    return density;
}

// Fits the shown window again, in the frame it got, where the window manager
// put it: centred where its frame does not lie in the usable area there, and
// smaller where the window manager keeps it in its place (weston's for
// Xwayland keeps windows below a panel it does not report).
double refit(SDL_Window* window, double desktop_scale, FrameExtents frame) {
    const double density = fit(window, desktop_scale, frame);
    const ScreenArea usable = usable_area(display_of(window));
    const auto fitted_in_place = [&] {
        return fitted_density(density, room_from(usable, frame, position_of(window)), frame);
    };
    if (fitted_in_place() == density) return density;
    centre(window, density, usable, frame);
    const double in_room = fitted_in_place();
    if (in_room != density) resize(window, in_room);
    return in_room;
}

// SDL takes one picture: the largest.
void set_icon(SDL_Window* window, std::span<const IconImage> icons) {
    if (icons.empty()) return;
    const IconImage& icon = *std::max_element(icons.begin(), icons.end(),
                                              [](const IconImage& a, const IconImage& b) { return a.size < b.size; });
    const SurfacePtr surface(checked(SDL_CreateRGBSurfaceWithFormatFrom(
                                         const_cast<std::uint32_t*>(icon.argb.data()), icon.size, icon.size, 32,
                                         icon.size * static_cast<int>(sizeof(std::uint32_t)), SDL_PIXELFORMAT_ARGB8888),
                                     "SDL_CreateRGBSurfaceWithFormatFrom"));
    SDL_SetWindowIcon(window, surface.get());
}

// The desktop's dots per inch where the window's pixels are the display's
// own; where SDL scales the window itself (Wayland), points are the desktop's.
double desktop_dpi(SDL_Window* window) {
    if (const std::optional<double> dpi = x11_desktop_dpi(window)) return *dpi;
    // Windows: the monitor's scale, the program being aware of it per monitor.
    float diagonal = 0, horizontal = 0, vertical = 0;
    if (std::string_view(SDL_GetCurrentVideoDriver()) == "windows" &&
        SDL_GetDisplayDPI(display_of(window), &diagonal, &horizontal, &vertical) == 0) {
        return horizontal;
    }
    return 96;
}

bool asked_to_end(const EventFilter& events) { return events.close_latched() || end_signal_received(); }

// Shows the window. Without a window manager it is mapped at once; one maps
// it and reports its frame when it gets to it, or never (stopped), so the
// wait for that has a bound and ends when the program is asked to end.
void show(SDL_Window* window, const EventFilter& events) {
    if (!x11_map_window(window)) {
        SDL_ShowWindow(window);
        // What came with the map: the frame, the place, exposure, the pointer.
        SDL_PumpEvents();
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + window_manager_bound;
    while (true) {
        SDL_PumpEvents();
        if (asked_to_end(events) || std::chrono::steady_clock::now() > deadline) return;
        if ((SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN) != 0 && x11_frame_report(window) != FrameReport::awaited) {
            SDL_PumpEvents();  // the frame's notice, which SDL places the window by
            return;
        }
        std::this_thread::sleep_for(window_manager_poll);
    }
}

// Opens on the display under the pointer, where a window manager may not
// leave it: shown, it is fitted again to the display it is on, in the frame
// it got.
OpenWindow open_window(const EventFilter& events, std::span<const IconImage> icons) {
    SDL_Point pointer{};
    SDL_GetGlobalMouseState(&pointer.x, &pointer.y);
    const int display = std::max(0, SDL_GetPointDisplayIndex(&pointer));
    const std::string title(main_window::caption);
    WindowPtr window(checked(SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                                              SDL_WINDOWPOS_CENTERED_DISPLAY(display), user_space::client_width,
                                              user_space::client_height, SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI),
                             "SDL_CreateWindow"));
    const double desktop_scale = density_scale(static_cast<float>(desktop_dpi(window.get())));
    // The frame as known before the map: none where no window manager runs,
    // so that the window shows at its size at once.
    double density = fit(window.get(), desktop_scale, frame_of(window.get(), desktop_scale));
    if (!x11_prepare_window(window.get(), icons)) set_icon(window.get(), icons);
    show(window.get(), events);
    // Gone, or about to end, it is not worth a request.
    if (!asked_to_end(events)) density = refit(window.get(), desktop_scale, frame_of(window.get(), desktop_scale));
    const WindowCanvas canvas = window_canvas(window.get(), density);
    return {std::move(window), canvas};
}

// The display's frames at the rate SDL reports, where it is one displays run
// at: a driver saying 1 Hz would show one frame a second, and 0 is unknown.
PassPace::Duration refresh_interval(SDL_Window* window) {
    constexpr int slowest_hz = 30, fastest_hz = 240, usual_hz = 60;
    SDL_DisplayMode mode{};
    const bool reported = SDL_GetCurrentDisplayMode(display_of(window), &mode) == 0 &&
                          mode.refresh_rate >= slowest_hz && mode.refresh_rate <= fastest_hz;
    return std::chrono::nanoseconds(1'000'000'000 / (reported ? mode.refresh_rate : usual_hz));
}

}  // namespace

SdlWindow::SdlWindow(SdlVideo& video, CanvasPlatform::Picture picture, std::span<const IconImage> icons)
    : SdlWindow(video, open_window(video.events(), icons), std::move(picture)) {}

// The window opens first: the canvas takes its pixel layout and, where it
// fits, draws in its surface. The first pump shows it.
SdlWindow::SdlWindow(SdlVideo& video, OpenWindow opened, CanvasPlatform::Picture picture)
    : CanvasPlatform(opened.canvas.coordinates, std::move(picture), opened.canvas.format, opened.canvas.memory),
      events_(video.events()),
      window_(std::move(opened.window)),
      pixels_per_point_(opened.canvas.pixels_per_point),
      presenter_(window_.get(), canvas_, opened.canvas),
      pace_(refresh_interval(window_.get())) {
    events_.forget_window_changes();
}

SdlWindow::~SdlWindow() { x11_before_destroy(window_.get()); }

bool SdlWindow::pump_events(FormEvents& handlers) {
    // Passes due at one frame run back to back, and the frame after them
    // shows them together.
    if (!pace_.next_pass_runs_at_once(take_drew())) {
        if (canvas_.touched()) {
            // The background the window opens with is no frame of the
            // animation: it starts no schedule.
            if (showing_) wait_for_frame();
            present();
            showing_ = true;
            idle_ = false;
        } else {
            pace_.pause();
            // Nothing new to show for two pumps: sleep for a pass's time, so
            // a held animation leaves the processor idle. Not on the first
            // pump after a present: the loop's two warm-up passes draw
            // nothing, and waiting there would hold back the first frame.
            // SDL 2.26 on X11: SDL_WaitEventTimeout wakes the window over a
            // second connection, which fails once the window is gone.
            if (std::exchange(idle_, true) && !events_.has_input())
                std::this_thread::sleep_for(PassPace::pass_interval);
        }
    }
    SDL_PumpEvents();
    const Latched latched = events_.take_latched();
    // SDL 2.26 reports a failed Wayland connection as SDL_QUIT, as a closed window.
    if (latched.close) check_wayland_connection(window_.get());
    // Requests to end come first, whatever input waits before them.
    if (end_signal_received() || latched.close) {
        end();
    } else if (latched.escape) {
        handlers.KeyPress(key::escape);
    } else if (latched.double_click) {
        handlers.DblClick();
    }
    // Uncovered, restored or resized: the whole kept image again.
    if (latched.resized) presenter_.size_changed();
    if ((latched.exposed || latched.resized) && !ended_) presenter_.present(true);
    for (int n = 0; n < max_inputs_per_pass && !ended_ && events_.has_input(); ++n) {
        dispatch(events_.next_input(), handlers);
    }
    return !ended_;
}

// Sleeps until the display's next frame at which a pass is due; where more
// are due there (a display slower than the pace, a late machine), they run
// back to back and the frame after them shows them all.
void SdlWindow::wait_for_frame() {
    const PassPace::Time now = std::chrono::steady_clock::now();
    const PassPace::Time frame = pace_.next_frame();
    if (now < frame) std::this_thread::sleep_until(frame);
    pace_.passes_due(std::max(frame, now));
}

void SdlWindow::dispatch(const InputEvent& input, FormEvents& handlers) {
    switch (input.kind) {
    case InputEvent::Kind::key:
        handlers.KeyPress(input.code);
        break;
    case InputEvent::Kind::pointer: {
        const UserPoint p = canvas_.coordinates().to_user(static_cast<int>(std::lround(input.x * pixels_per_point_)),
                                                          static_cast<int>(std::lround(input.y * pixels_per_point_)));
        // The handler reads no buttons or shift keys.
        handlers.MouseMove(0, 0, p.x, p.y);
        break;
    }
    }
}
