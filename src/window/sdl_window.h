// The program's window on SDL: shows the canvas, paces presentation to the
// display's refresh, and turns SDL events into calls of the window's
// handlers. It draws nothing itself.
#pragma once

#include <cstdint>
#include <vector>

#include "canvas/canvas_platform.h"
#include "window/frame_pacer.h"
#include "window/sdl_handles.h"
#include "window/surface_presenter.h"

union SDL_Event;

// The characters of an SDL text input event (UTF-8) as the 16-bit codes the
// key handler takes; characters beyond 16 bits are dropped.
std::vector<std::uint16_t> typed_character_codes(const char* utf8);

// SDL's video subsystem, from initialisation to SDL_Quit.
class SdlVideo {
public:
    SdlVideo();  // throws SdlError
    ~SdlVideo();
    SdlVideo(const SdlVideo&) = delete;
    SdlVideo& operator=(const SdlVideo&) = delete;

    // The main display's density relative to 96 dpi, in quarter steps.
    double density_scale() const;
    int refresh_hz() const;
};

class SdlWindow final : public CanvasPlatform {
public:
    // Opens and shows the window; throws SdlError when SDL cannot.
    SdlWindow(const SdlVideo& video, Canvas::Picture picture);

    // Collects the events the window system sent on showing the window (the
    // resting pointer among them), so the first pass's pump delivers them.
    void settle();

    bool pump_events(FormEvents& handlers) override;
    void end() override { ended_ = true; }

    // Shows what the canvas touched since the last present, now, without
    // pacing; public for the benchmark.
    void present() { presenter_.present(false); }

private:
    SdlWindow(const SdlVideo& video, UserCoordinates coords, Canvas::Picture picture);
    SdlWindow(const SdlVideo& video, UserCoordinates coords, WindowPtr window, Canvas::Picture picture);
    void dispatch(const SDL_Event& event, FormEvents& handlers);

    WindowPtr window_;
    SurfacePresenter presenter_;
    FramePacer pacer_;
    bool showing_ = false;  // anything presented yet
    bool idle_ = false;     // the last pump had nothing to show
    bool ended_ = false;
};
