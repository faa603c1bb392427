#include "window/sdl_window.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "canvas/main_window.h"
#include "window/sdl_error.h"

namespace {

constexpr std::uint16_t escape_code = 27;
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
    // Without XRandR, SDL reads the display density from the X server.
    SDL_SetHint(SDL_HINT_VIDEO_X11_XRANDR, "0");
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
}

SdlVideo::~SdlVideo() { SDL_Quit(); }

double SdlVideo::density_scale() const {
    float ddpi = 0, hdpi = 0, vdpi = 0;
    if (SDL_GetDisplayDPI(0, &ddpi, &hdpi, &vdpi) < 0) return 1.0;
    return ::density_scale(hdpi);
}

int SdlVideo::refresh_hz() const {
    SDL_DisplayMode mode{};
    if (SDL_GetCurrentDisplayMode(0, &mode) < 0 || mode.refresh_rate <= 0) return main_window::default_refresh_hz;
    return mode.refresh_rate;
}

namespace {

WindowPtr open_window(UserCoordinates coords) {
    const std::string title(main_window::caption);
    return WindowPtr(checked(SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                              coords.width(), coords.height(), SDL_WINDOW_SHOWN),
                             "SDL_CreateWindow"));
}

}  // namespace

SdlWindow::SdlWindow(const SdlVideo& video, Canvas::Picture picture)
    : SdlWindow(video, UserCoordinates(video.density_scale()), std::move(picture)) {}

SdlWindow::SdlWindow(const SdlVideo& video, UserCoordinates coords, Canvas::Picture picture)
    : SdlWindow(video, coords, open_window(coords), std::move(picture)) {}

// The window opens first: the canvas takes its pixel layout and, where it
// fits, draws in its surface. The first pump shows it.
SdlWindow::SdlWindow(const SdlVideo& video, UserCoordinates coords, WindowPtr window, Canvas::Picture picture)
    : CanvasPlatform(coords, std::move(picture), SurfacePresenter::format_for(window.get()),
                     SurfacePresenter::memory_for(window.get(), coords.width(), coords.height())),
      window_(std::move(window)),
      presenter_(window_.get(), canvas_),
      pacer_(video.refresh_hz()) {}

void SdlWindow::settle() {
    // Showing the window maps it synchronously; one more pump reads what the
    // X server sent with the map (exposure, the pointer entering).
    SDL_PumpEvents();
}

bool SdlWindow::pump_events(FormEvents& handlers) {
    SDL_Event event;
    if (canvas_.touched()) {
        // The background the window opens with is no frame of the
        // animation: it starts no frame schedule.
        if (showing_) pacer_.wait();
        present();
        showing_ = true;
        idle_ = false;
    } else if (std::exchange(idle_, true)) {
        // Nothing new to show for two pumps: sleep until input arrives, for
        // at most one refresh, so a held animation leaves the processor
        // idle. Not on the first pump after a present: the loop's two
        // warm-up passes draw nothing, and waiting there would hold back the
        // first frame.
        const auto period = std::chrono::duration_cast<std::chrono::milliseconds>(pacer_.period());
        if (SDL_WaitEventTimeout(&event, static_cast<int>(std::max<long long>(1, period.count())))) {
            dispatch(event, handlers);
        }
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
        if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) presenter_.size_changed();
        // Uncovered, restored or resized: show the whole kept image again.
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED || event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            presenter_.present(true);
        }
        break;
    case SDL_KEYDOWN:
        // Escape never arrives as text.
        if (event.key.keysym.sym == SDLK_ESCAPE) handlers.KeyPress(escape_code);
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
