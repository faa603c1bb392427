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
#include "window/sdl_error.h"

namespace {

// The forms runtime's button and shift masks, which the handlers receive.
constexpr int left_button = 1, right_button = 2, middle_button = 4;
constexpr int shift_key = 1, ctrl_key = 2, alt_key = 4;

int button_mask(Uint32 state) {
    return ((state & SDL_BUTTON_LMASK) ? left_button : 0) | ((state & SDL_BUTTON_RMASK) ? right_button : 0) |
           ((state & SDL_BUTTON_MMASK) ? middle_button : 0);
}

int shift_mask(SDL_Keymod mod) {
    return ((mod & KMOD_SHIFT) ? shift_key : 0) | ((mod & KMOD_CTRL) ? ctrl_key : 0) | ((mod & KMOD_ALT) ? alt_key : 0);
}

}  // namespace

std::vector<std::uint16_t> typed_character_codes(const char* utf8) {
    // SDL_iconv_utf8_ucs4 asks for "UCS-4-INTERNAL", which glibc's iconv
    // lacks: it returns null there. UTF-32 in the machine's byte order works
    // with both SDL's own iconv and the system's.
    const char* utf32 = SDL_BYTEORDER == SDL_LIL_ENDIAN ? "UTF-32LE" : "UTF-32BE";
    const std::unique_ptr<char, decltype(&SDL_free)> converted(
        SDL_iconv_string(utf32, "UTF-8", utf8, SDL_strlen(utf8) + 1), SDL_free);
    std::vector<std::uint16_t> codes;
    if (!converted) return codes;
    for (const char* p = converted.get();; p += sizeof(Uint32)) {
        Uint32 c;
        SDL_memcpy(&c, p, sizeof c);
        if (c == 0) break;
        if (c <= 0xFFFF) codes.push_back(static_cast<std::uint16_t>(c));
    }
    return codes;
}

SdlVideo::SdlVideo() {
    // A plain shared-memory window surface: an OpenGL-backed one buys nothing
    // for a software image and costs threads and processor time.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
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
}

SdlVideo::~SdlVideo() { SDL_Quit(); }

ScreenPoint SdlVideo::window_position(int width, int height) const {
    if (window_manager_) return {SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED};
    return centred_client(usable_, frame_, width, height);
}

int SdlVideo::refresh_hz() const {
    SDL_DisplayMode mode{};
    if (SDL_GetCurrentDisplayMode(0, &mode) < 0 || mode.refresh_rate <= 0) return main_window::default_refresh_hz;
    return mode.refresh_rate;
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

SdlWindow::SdlWindow(const SdlVideo& video, Canvas::Picture picture, std::span<const IconImage> icons)
    : SdlWindow(video, UserCoordinates(video.density_scale()), std::move(picture), icons) {}

SdlWindow::SdlWindow(const SdlVideo& video, UserCoordinates coords, Canvas::Picture picture,
                     std::span<const IconImage> icons)
    : SdlWindow(video, coords, open_window(video, coords, icons), std::move(picture)) {}

// The window opens first: the canvas takes its pixel layout.
SdlWindow::SdlWindow(const SdlVideo& video, UserCoordinates coords, WindowPtr window, Canvas::Picture picture)
    : CanvasPlatform(coords, std::move(picture), pixel_format_of(window.get())),
      window_(std::move(window)),
      pacer_(video.refresh_hz()) {
    const PixelFormat& f = canvas_.format();
    canvas_surface_.reset(
        checked(SDL_CreateRGBSurfaceFrom(const_cast<std::uint32_t*>(canvas_.pixels()), canvas_.width(),
                                         canvas_.height(), 32, canvas_.width() * 4, Uint32{0xFF} << f.red_shift,
                                         Uint32{0xFF} << f.green_shift, Uint32{0xFF} << f.blue_shift, f.opaque),
                "SDL_CreateRGBSurfaceFrom"));
    checked(SDL_SetSurfaceBlendMode(canvas_surface_.get(), SDL_BLENDMODE_NONE), "SDL_SetSurfaceBlendMode");
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
    SDL_Event event;
    if (canvas_.take_changes()) {
        pacer_.wait();
        present();
    } else {
        // Nothing new to show: sleep until input arrives, for at most one
        // refresh, so a held animation leaves the processor idle.
        const auto period = std::chrono::duration_cast<std::chrono::milliseconds>(pacer_.period());
        wait_for_input(window_.get(), static_cast<int>(std::max<long long>(1, period.count())));
    }
    while (!ended_ && SDL_PollEvent(&event)) dispatch(event, handlers);
    return !ended_;
}

void SdlWindow::dispatch(const SDL_Event& event, FormEvents& handlers) {
    if (ended_) return;
    switch (event.type) {
    case SDL_QUIT:  // the window closed, or SIGINT / SIGTERM
        end();
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) end();
        // Uncovered or restored: show the kept image again.
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED) present();
        break;
    case SDL_KEYDOWN:
        // Escape never arrives as text.
        if (event.key.keysym.sym == SDLK_ESCAPE) handlers.KeyPress(key::escape);
        break;
    case SDL_TEXTINPUT:
        // Typed characters after keyboard translation, one call each.
        for (const std::uint16_t code : typed_character_codes(event.text.text)) {
            if (ended_) break;
            handlers.KeyPress(code);
        }
        break;
    case SDL_MOUSEMOTION: {
        const UserPoint p = canvas_.coordinates().to_user(event.motion.x, event.motion.y);
        handlers.MouseMove(button_mask(event.motion.state), shift_mask(SDL_GetModState()), p.x, p.y);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT && event.button.clicks == 2) handlers.DblClick();
        break;
    default:
        break;
    }
}
