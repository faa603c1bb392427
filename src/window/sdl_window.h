// The program's window on SDL: shows the canvas, paces presentation to the
// display's refresh, and delivers what the event filter sorted out to the
// window's handlers, requests to end first. It draws nothing itself.
#pragma once

#include <optional>
#include <span>

#include "canvas/canvas_platform.h"
#include "icon/icon_image.h"
#include "window/event_filter.h"
#include "window/frame_pacer.h"
#include "window/sdl_handles.h"
#include "window/surface_presenter.h"
#include "window/window_fit.h"

// SDL's video subsystem, from initialisation to SDL_Quit, and the event
// filter every event passes through in between, the window's first ones
// included.
class SdlVideo {
public:
    SdlVideo();  // throws SdlError
    ~SdlVideo();
    SdlVideo(const SdlVideo&) = delete;
    SdlVideo& operator=(const SdlVideo&) = delete;

    // The window's density relative to 96 dpi: the desktop's, in quarter
    // steps, or less where the window would not fit the main display.
    double density_scale() const { return density_; }
    int refresh_hz() const;
    // Where SDL is to open a window of `width` x `height` pixels: where the
    // window manager chooses, or centred where there is none.
    ScreenPoint window_position(int width, int height) const;
    bool window_manager() const { return window_manager_; }
    EventFilter& events() { return *events_; }

private:
    double density_ = 1;
    bool window_manager_ = true;
    ScreenArea usable_;
    FrameExtents frame_;
    std::optional<EventFilter> events_;  // set once SDL is initialised
};

class SdlWindow final : public CanvasPlatform {
public:
    // Opens and shows the window with `icons`; throws SdlError when SDL
    // cannot.
    SdlWindow(SdlVideo& video, Canvas::Picture picture, std::span<const IconImage> icons = {});

    // Collects the events the window system sent on showing the window (the
    // resting pointer among them), so the first pass's pump delivers them.
    void settle();

    bool pump_events(FormEvents& handlers) override;
    void end() override { ended_ = true; }

    // Shows what the canvas touched since the last present, now, without
    // pacing; public for the benchmark.
    void present() { presenter_.present(false); }

private:
    SdlWindow(SdlVideo& video, UserCoordinates coords, Canvas::Picture picture, std::span<const IconImage> icons);
    SdlWindow(SdlVideo& video, UserCoordinates coords, WindowPtr window, Canvas::Picture picture);
    void dispatch(const InputEvent& input, FormEvents& handlers);

    EventFilter& events_;
    WindowPtr window_;
    SurfacePresenter presenter_;
    FramePacer pacer_;
    bool showing_ = false;  // anything presented yet
    bool idle_ = false;     // the last pump had nothing to show
    bool ended_ = false;
};
