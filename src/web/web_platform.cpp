#include "web/web_platform.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "animation/keys.h"
#include "background/background_picture.h"

namespace {

constexpr const char* canvas_element = "#canvas";
// The pass that shows the first frame: the warm-up's frame is cleared at the
// end of pass 2.
constexpr std::int64_t first_visible_pass = 3;

// What the page's listeners put in the queue, as its first number.
enum class InputKind { key = 0, pointer = 1, double_click = 2, eccentricity = 3, start_again = 4 };

// The page's side, in JavaScript (clang-format would break it).
// clang-format off

// Queues the page's input until the next pump takes it. Keys count where the
// focus is on the page, so a click anywhere leaves them working; buttons press
// the key they name, and the eccentricity's control asks for its value. The
// picture takes every drag for steering (its CSS has touch-action: none), and
// a finger or pen that touches down points where it touches. A new size or
// density of the picture is noted for the next pump.
EM_JS(void, listen_to_page, (const char* typed_keys, int escape), {
    const canvas = document.getElementById('canvas');
    const input = Module.input = { queue: [], wake: null, resized: false, stop: new AbortController() };
    const on = { signal: input.stop.signal };
    const typed = UTF8ToString(typed_keys);
    const wake = () => {
        if (input.wake) input.wake(), input.wake = null;
    };
    const push = event => {
        input.queue.push(event);
        wake();
    };
    const press = key => push([0, key === 'Escape' ? escape : key.charCodeAt(0)]);
    document.addEventListener('keydown', event => {
        if (event.ctrlKey || event.altKey || event.metaKey) return;  // the browser's shortcuts
        if (event.key !== 'Escape' && !(event.key.length === 1 && typed.includes(event.key))) return;
        if (event.key === ' ' && event.target.closest('button')) return;  // presses the focused button
        event.preventDefault();  // space would scroll
        if (event.repeat && event.key === ' ') return;  // the space bar acts on its press
        press(event.key);
    }, on);
    for (const button of document.querySelectorAll('#controls button')) {
        button.addEventListener('click', () => press(button.dataset.key), on);
        // A click leaves the focus where it was, so the keys act as before it.
        button.addEventListener('mousedown', event => event.preventDefault(), on);
        // A tap acts when the finger lifts over the button, with the click it would make cancelled:
        // Chromium 156 makes no click of a tap soon after a quick drag (it stops a fling).
        button.addEventListener('touchend', event => {
            event.preventDefault();
            const touch = event.changedTouches[0], box = button.getBoundingClientRect();
            if (touch && touch.clientX >= box.left && touch.clientX <= box.right && touch.clientY >= box.top &&
                touch.clientY <= box.bottom) press(button.dataset.key);
        }, on);
    }
    const eccentricity = document.getElementById('eccentricity');
    eccentricity.addEventListener('input', () => push([3, Number(eccentricity.value)]), on);
    document.getElementById('again').addEventListener('click', () => {
        canvas.focus({ preventScroll: true });  // the button goes away
        push([4]);
    }, on);
    const steer = event => {
        const box = canvas.getBoundingClientRect();
        push([1, event.clientX - box.left, event.clientY - box.top, box.width]);
    };
    canvas.addEventListener('pointermove', steer, on);
    // Two quick taps of a finger or pen close together end the run as a
    // double-click does; where the browser makes a dblclick of them too, that
    // is not a second end. A mouse's double-click is its own.
    // Firefox ESR 153: two taps make two clicks of detail 1 and no dblclick.
    const tapTravel = 12, tapReach = 40, tapTime = 500;  // CSS pixels, milliseconds
    let down = null, lastTap = null, doubleTapped = -Infinity;
    canvas.addEventListener('pointerdown', event => {
        if (event.pointerType === 'mouse') return;
        steer(event);
        down = { id: event.pointerId, x: event.clientX, y: event.clientY, time: event.timeStamp };
    }, on);
    canvas.addEventListener('pointerup', event => {
        if (!down || event.pointerId !== down.id) return;
        const tap = Math.hypot(event.clientX - down.x, event.clientY - down.y) <= tapTravel &&
                    event.timeStamp - down.time <= tapTime;
        if (tap && lastTap && down.time - lastTap.time <= tapTime &&
            Math.hypot(down.x - lastTap.x, down.y - lastTap.y) <= tapReach) {
            lastTap = null;
            doubleTapped = event.timeStamp;
            push([2]);
        } else {
            lastTap = tap ? { x: down.x, y: down.y, time: event.timeStamp } : null;
        }
        down = null;
    }, on);
    canvas.addEventListener('pointercancel', () => { down = lastTap = null; }, on);
    canvas.addEventListener('dblclick', event => event.timeStamp - doubleTapped > tapTime && push([2]), on);
    // The shown size changes with the window; the density with the zoom or
    // another screen, which the window's resize or the resolution media
    // query tells.
    const resized = () => {
        input.resized = true;
        wake();
    };
    const sizes = new ResizeObserver(resized);
    sizes.observe(canvas);
    input.stop.signal.addEventListener('abort', () => sizes.disconnect());
    addEventListener('resize', resized, on);
    const watchDensity = () => matchMedia('(resolution: ' + devicePixelRatio + 'dppx)').addEventListener('change', () => {
        resized();
        watchDensity();
    }, { once: true, signal: input.stop.signal });
    watchDensity();
});

// Whether the page's size or density changed since the last call.
EM_JS(bool, take_resized, (), {
    const resized = Module.input.resized;
    Module.input.resized = false;
    return resized;
});

EM_JS(void, stop_listening, (), { Module.input.stop.abort(); });

EM_JS(bool, input_waiting, (), { return Module.input.queue.length > 0 || Module.input.resized; });

// Takes the oldest queued input into `event` (four numbers); false when none.
EM_JS(bool, take_input, (double* event), {
    const next = Module.input.queue.shift();
    if (!next) return false;
    HEAPF64.set(next, event >> 3);
    return true;
});

// Returns the frame's time in milliseconds.
EM_ASYNC_JS(double, wait_for_animation_frame, (), {
    return await new Promise(resolve => requestAnimationFrame(resolve));
});

EM_ASYNC_JS(void, wait_for_input, (), {
    await new Promise(resolve => { Module.input.wake = resolve; });
});

// Puts the rectangles (x, y, width, height) of the canvas on the page. The
// ImageData lies over the canvas's bytes in memory (red, green, blue, 255 a
// pixel) and is made again only for a new canvas or when memory grew and
// moved them.
EM_JS(void, put_rects, (const std::uint32_t* pixels, int width, int height, const int* rects, int count), {
    const image = Module.image;
    if (!image || image.data.length === 0 || image.data.byteOffset !== pixels || image.width !== width ||
        image.height !== height) {
        Module.image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4), width, height);
        Module.context = document.getElementById('canvas').getContext('2d', { alpha: false });
    }
    for (let i = 0, r = rects >> 2; i < count; i++, r += 4) {
        Module.context.putImageData(Module.image, 0, 0, HEAP32[r], HEAP32[r + 1], HEAP32[r + 2], HEAP32[r + 3]);
    }
});

// How many passes the page has shown; tests wait on it.
EM_JS(void, publish_passes_shown, (double passes), { Module.passesShown = passes; });

// Running: the controls act and the loading line goes.
EM_JS(void, show_running, (), {
    document.getElementById('status').textContent = "";
    document.getElementById('again').hidden = true;
    for (const control of document.querySelectorAll('#controls button, #shape input')) control.disabled = false;
});

// Ended: the line is a live region, so a screen reader announces it, and
// the focus goes to the button that starts a new run.
EM_JS(void, show_ended, (), {
    for (const control of document.querySelectorAll('#controls button, #shape input')) control.disabled = true;
    const again = document.getElementById('again');
    again.hidden = false;
    document.getElementById('status').textContent = 'The animation has ended.';
    again.focus({ preventScroll: true });
});

EM_JS(void, set_hold_label, (const char* label), {
    document.querySelector('#hold span').textContent = UTF8ToString(label);
});

// The control and its line show the eccentricity e, with r/e to two places.
EM_JS(void, show_eccentricity, (double e, double r), {
    const control = document.getElementById('eccentricity');
    const value = e + ' (r/e ' + Number((r / e).toFixed(2)) + ')';
    control.value = e;
    control.setAttribute('aria-valuetext', value);
    document.getElementById('eccentricity-value').textContent = value;
});

// clang-format on

void check(EMSCRIPTEN_RESULT result, const char* call) {
    if (result != EMSCRIPTEN_RESULT_SUCCESS) std::fprintf(stderr, "rotary-envelope: %s failed: %d\n", call, result);
}

// The element's shown width in device pixels, over the natural width: the
// page's density, unrounded, so the picture is sharp at any size and zoom.
UserCoordinates page_coordinates() {
    double width = 0, height = 0;
    check(emscripten_get_element_css_size(canvas_element, &width, &height), "emscripten_get_element_css_size");
    if (!(width > 0)) width = user_space::client_width;
    return UserCoordinates(width * emscripten_get_device_pixel_ratio() / user_space::client_width);
}

// The element's backing store takes the canvas's size (which empties it).
void size_canvas_element(const Canvas& canvas) {
    check(emscripten_set_canvas_element_size(canvas_element, canvas.width(), canvas.height()),
          "emscripten_set_canvas_element_size");
}

}  // namespace

WebPlatform::WebPlatform(std::int64_t pass_limit, bool hold_at_start)
    : CanvasPlatform(page_coordinates(), draw_background_picture),
      pass_limit_(pass_limit),
      hold_at_start_(hold_at_start),
      held_from_start_(hold_at_start) {
    size_canvas_element(canvas_);
    constexpr char typed_keys[] = {key::hold_or_run,    key::slower,         key::faster, key::slow,
                                   key::less_eccentric, key::more_eccentric, '\0'};
    listen_to_page(typed_keys, key::escape);
    show_running();
}

WebPlatform::~WebPlatform() { stop_listening(); }

UserPoint WebPlatform::to_user(double css_x, double css_y, double shown_width) {
    const UserCoordinates shown(shown_width / user_space::client_width);
    return {static_cast<float>(user_space::left + css_x / shown.pixels_per_unit_x()),
            static_cast<float>(user_space::top + css_y / shown.pixels_per_unit_y())};
}

bool WebPlatform::pump_events(FormEvents& handlers) {
    // Passes due at the same frame run back to back, and the page shows them
    // together.
    if (!pace_.next_pass_runs_at_once(take_drew())) {
        fit_to_page();
        const bool shown = show();
        publish_passes_shown(static_cast<double>(pass_ + 1));
        // The first pump shows the background picture and goes straight on, so
        // the first frame follows it at once.
        if (shown && pass_ > 0) {
            wait_for_frame();
        } else if (!shown) {
            pace_.pause();
            if (!shown_before_ && !input_waiting()) wait_for_input();
        }
        shown_before_ = shown;
    }
    // Asked for reduced motion, the run is held once its first frame shows.
    // Input that comes before waits until then, and a space bar among it
    // does not undo the hold.
    if (!hold_at_start_ || pass_ > first_visible_pass) {
        deliver(handlers, false);
    } else if (pass_ == first_visible_pass) {
        if (form_ != nullptr && form_->state().stopp == 1) handlers.KeyPress(key::hold_or_run);
        deliver(handlers, true);
    }
    label_hold_button();
    label_eccentricity();
    ++pass_;
    if (pass_limit_ > 0 && pass_ >= pass_limit_) end();
    return !ended_;
}

// Yields to the browser until its next animation frame at which a pass is
// due; where more are due there (a display slower than the pace, a page
// hidden a while), they run back to back.
void WebPlatform::wait_for_frame() {
    for (int due = 0; due == 0;) {
        const std::chrono::duration<double, std::milli> frame(wait_for_animation_frame());
        due = pace_.passes_due(PassPace::Time(std::chrono::duration_cast<PassPace::Duration>(frame)));
    }
}

void WebPlatform::wait_for_start_again() {
    show();
    publish_passes_shown(static_cast<double>(pass_));  // the last passes may have run at once, unpublished
    show_ended();
    for (;;) {
        fit_to_page();
        show();
        double event[4] = {};
        while (take_input(event)) {
            if (static_cast<InputKind>(event[0]) == InputKind::start_again) return;
        }
        wait_for_input();
    }
}

void WebPlatform::fit_to_page() {
    if (!take_resized()) return;
    const UserCoordinates coords = page_coordinates();
    if (coords.width() == canvas_.width() && coords.height() == canvas_.height()) return;
    canvas_.resize(coords);
    size_canvas_element(canvas_);
    if (form_ != nullptr) form_->Paint();
}

void WebPlatform::deliver(FormEvents& handlers, bool without_hold_keys) {
    double event[4] = {};
    while (!ended_ && take_input(event)) {
        switch (static_cast<InputKind>(event[0])) {
        case InputKind::key:
            if (const auto code = static_cast<std::uint16_t>(event[1]);
                !(without_hold_keys && code == key::hold_or_run))
                handlers.KeyPress(code);
            break;
        case InputKind::pointer: {
            const UserPoint p = to_user(event[1], event[2], event[3]);
            handlers.MouseMove(0, 0, p.x, p.y);
            break;
        }
        case InputKind::double_click:
            handlers.DblClick();
            break;
        case InputKind::eccentricity: {
            // The keys that take it there: one way to change it.
            const long steps = form_ == nullptr ? 0 : std::lround(event[1] - form_->state().e);
            for (long i = 0; i < std::labs(steps) && !ended_; ++i)
                handlers.KeyPress(steps > 0 ? key::more_eccentric : key::less_eccentric);
            break;
        }
        case InputKind::start_again:
            break;
        }
    }
}

void WebPlatform::label_hold_button() {
    if (form_ == nullptr) return;
    const bool held = form_->state().stopp == 0;
    // Held from the start, the button says how to start; once started, resume.
    if (!held && pass_ > first_visible_pass) held_from_start_ = false;
    const HoldLabel label = !held ? HoldLabel::hold : held_from_start_ ? HoldLabel::start : HoldLabel::resume;
    if (label == hold_label_) return;
    hold_label_ = label;
    constexpr const char* names[] = {"", "Hold", "Resume", "Start"};
    set_hold_label(names[static_cast<int>(label)]);
}

void WebPlatform::label_eccentricity() {
    if (form_ == nullptr || form_->state().e == shown_e_) return;
    shown_e_ = form_->state().e;
    show_eccentricity(shown_e_, figure::r);
}

bool WebPlatform::show() {
    if (!canvas_.touched()) return false;
    static_assert(sizeof(PixelRect) == 4 * sizeof(int));
    const std::vector<PixelRect>& rects = canvas_.take_touched();
    put_rects(canvas_.pixels(), canvas_.width(), canvas_.height(), &rects.data()->x, static_cast<int>(rects.size()));
    return true;
}
