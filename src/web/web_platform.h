// The program's platform in a browser page: the canvas is shown in the page's
// <canvas> element, and the element's keyboard, pointer and double-click
// events reach the window's handlers. The only code, with main.cpp, that
// knows the browser.
//
// The browser delivers events only while the program has yielded to it, so
// each pump shows the canvas, yields until the next animation frame and then
// hands the events that arrived meanwhile to the handlers: the loop stays one
// endless loop, at the display's rate, and stands still in a hidden tab.
#pragma once

#include <cstdint>
#include <vector>

#include "canvas/canvas_platform.h"

class WebPlatform final : public CanvasPlatform {
public:
    // Takes the density from the page. A `pass_limit` above 0 ends the run
    // after that many pumps through end(), as quitting does but without
    // clearing, so a test can read the canvas after exactly that many passes.
    explicit WebPlatform(std::int64_t pass_limit);
    ~WebPlatform() override;
    WebPlatform(const WebPlatform&) = delete;
    WebPlatform& operator=(const WebPlatform&) = delete;

    bool pump_events(FormEvents& handlers) override;
    void end() override { ended_ = true; }

    // Puts the canvas on the page if it changed since it was last shown.
    void show();

    // One event as it waits for the next pump.
    struct Input {
        enum class Kind { key, pointer, double_click } kind;
        std::uint16_t code = 0;  // key: the typed character
        float x = 0, y = 0;      // pointer: user units
    };
    void queue(const Input& input) { queued_.push_back(input); }
    // A pointer position in CSS pixels from the canvas's top-left corner, in
    // user units.
    UserPoint to_user(long css_x, long css_y) const;

private:
    void listen(bool on);

    std::vector<Input> queued_;
    std::int64_t pass_limit_;
    std::int64_t pumped_ = 0;
    bool ended_ = false;
};
