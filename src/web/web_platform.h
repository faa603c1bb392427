// The program's platform in a browser page: the canvas is shown in the page's
// <canvas> element, and the page's keys, pointer (mouse, pen and touch),
// double-clicks, double-taps, buttons and the eccentricity's control reach
// the window's handlers. The only code, with main.cpp, that knows the
// browser.
//
// The browser delivers events only while the program has yielded to it, so
// each pump puts on the page what the pass drew, yields, and then hands the
// input that arrived meanwhile to the handlers: the loop stays one endless
// loop. A pump that showed a frame yields until the next animation frame at
// which a pass is due, so a running loop keeps the pace of 60 passes a
// second on any display (a slower one's frames carry several) and stands
// still in a hidden tab; after two passes that drew nothing the loop waits
// for input and asks for no frames at all.
//
// The canvas has the element's shown size at the page's density. When either
// changes (a phone turned, the window resized, the zoom changed), the next
// pump starts the canvas afresh at the new size and the window's logic draws
// its picture there anew, trail and all.
#pragma once

#include <cstdint>

#include "animation/form1.h"
#include "animation/pass_pace.h"
#include "canvas/canvas_platform.h"

class WebPlatform final : public CanvasPlatform {
public:
    // A `pass_limit` above 0 ends the run after that many pumps through end(),
    // as quitting does but without clearing, so a test can read the canvas
    // after exactly that many passes. With `hold_at_start` the run is held
    // after its first visible frame (for readers who ask for reduced motion).
    WebPlatform(std::int64_t pass_limit, bool hold_at_start);
    ~WebPlatform() override;
    WebPlatform(const WebPlatform&) = delete;
    WebPlatform& operator=(const WebPlatform&) = delete;

    // The window whose hold the page's hold button names, whose eccentricity
    // its control shows and whose picture is drawn anew at a new size.
    void show_window(Form1& form) { form_ = &form; }

    bool pump_events(FormEvents& handlers) override;
    void end() override { ended_ = true; }

    // Once the run has ended: says so and keeps the picture fitted to the
    // page until the operator asks for a new run.
    void wait_for_start_again();

private:
    // Puts on the page the parts drawn since the last call; false when there
    // were none.
    bool show();
    void fit_to_page();
    void wait_for_frame();
    // Hands the waiting input to the handlers, space bars left out if asked.
    void deliver(FormEvents& handlers, bool without_hold_keys);
    void label_hold_button();
    void label_eccentricity();
    // A position in CSS pixels from the element's top-left corner, with the
    // element `shown_width` CSS pixels wide, in user units.
    static UserPoint to_user(double css_x, double css_y, double shown_width);

    std::int64_t pass_limit_;
    bool hold_at_start_;
    bool held_from_start_;
    Form1* form_ = nullptr;
    std::int64_t pass_ = 0;  // the pass whose pump runs: the loop's count
    PassPace pace_;
    bool shown_before_ = true;
    enum class HoldLabel { none, hold, resume, start } hold_label_ = HoldLabel::none;
    double shown_e_ = 0;  // none yet: the page may show an earlier run's
    bool ended_ = false;
};
