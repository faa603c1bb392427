// The program's window on SDL: shows the backing image, paces presentation to
// the display's refresh, and delivers what the event filter sorted out to the
// window's handlers, requests to end first.
#pragma once

#include <cstdint>
#include <span>

#include "window/event_filter.h"
#include "window/frame_pacer.h"
#include "window/image_platform.h"
#include "window/sdl_handles.h"

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

class SdlWindow final : public ImagePlatform {
public:
    // Opens and shows the window; throws SdlError when SDL cannot.
    SdlWindow(const SdlVideo& video, std::span<const std::uint8_t> picture_bmp);

    // Collects the events the window system sent on showing the window (the
    // resting pointer among them), so the first pass's pump delivers them.
    void settle();

    bool pump_events(FormEvents& handlers) override;
    void end() override { ended_ = true; }

    // Shows the backing image in the window now, without pacing; public for
    // the benchmark.
    void present();

private:
    void dispatch(const InputEvent& input, FormEvents& handlers);

    // Installed before the window exists, removed after it is gone.
    EventFilter events_;
    WindowPtr window_;
    FramePacer pacer_;
    bool ended_ = false;
};
