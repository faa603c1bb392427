// The program's window on SDL: opens it fitted to the monitor it shows on,
// shows the canvas on the display's refresh at the animation's pace, and
// delivers what the event filter sorted out to the window's handlers,
// requests to end first. It draws nothing itself.
#pragma once

#include <optional>
#include <span>

#include "animation/pass_pace.h"
#include "canvas/canvas_platform.h"
#include "icon/icon_image.h"
#include "window/event_filter.h"
#include "window/presenter.h"
#include "window/sdl_handles.h"

// SDL's video subsystem from initialisation to SDL_Quit, with the event
// filter every event passes through in between. Throws std::runtime_error.
class SdlVideo {
public:
    SdlVideo();
    ~SdlVideo();
    SdlVideo(const SdlVideo&) = delete;
    SdlVideo& operator=(const SdlVideo&) = delete;

    EventFilter& events() { return *events_; }

private:
    std::optional<EventFilter> events_;  // set once SDL is initialised
};

// A window opened and shown, and the canvas it takes.
struct OpenWindow {
    WindowPtr window;
    WindowCanvas canvas;
};

class SdlWindow final : public CanvasPlatform {
public:
    // Opens and shows the window with `icons`; throws std::runtime_error.
    SdlWindow(SdlVideo& video, CanvasPlatform::Picture picture, std::span<const IconImage> icons = {});
    ~SdlWindow() override;
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    bool pump_events(FormEvents& handlers) override;
    void end() override { ended_ = true; }

    // Shows what the canvas touched since the last present, now, without
    // pacing; public for the benchmark.
    void present() { presenter_.present(false); }

private:
    SdlWindow(SdlVideo& video, OpenWindow opened, CanvasPlatform::Picture picture);
    void wait_for_frame();
    void dispatch(const InputEvent& input, FormEvents& handlers);

    EventFilter& events_;
    WindowPtr window_;
    double pixels_per_point_;  // pointer positions come in points
    Presenter presenter_;
    PassPace pace_;
    bool showing_ = false;  // anything presented yet
    bool idle_ = false;     // the last pump had nothing to show
    bool ended_ = false;
};
