#include "web/web_platform.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "animation/keys.h"
#include "background_picture.h"

namespace {

constexpr const char* canvas_element = "#canvas";

// The page's side, in JavaScript (clang-format would break it).
// clang-format off

// Yields to the browser until it paints the next frame. A hidden tab paints
// none, so the program then waits without using the processor.
EM_ASYNC_JS(void, wait_for_animation_frame, (), {
    await new Promise(resolve => requestAnimationFrame(resolve));
});

// ImageData takes the canvas's bytes as they lie in memory: red, green, blue,
// 255 for each pixel.
EM_JS(void, put_pixels, (const std::uint32_t* pixels, int width, int height), {
    const bytes = new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4);
    document.getElementById('canvas').getContext('2d').putImageData(new ImageData(bytes, width, height), 0, 0);
});

// How many passes the page has shown; tests wait on it.
EM_JS(void, publish_passes_shown, (double passes), { Module.passesShown = passes; });

EM_JS(void, focus_canvas, (), { document.getElementById('canvas').focus({ preventScroll: true }); });

// clang-format on

void check(EMSCRIPTEN_RESULT result, const char* call) {
    if (result != EMSCRIPTEN_RESULT_SUCCESS) std::fprintf(stderr, "rotary-envelope: %s failed: %d\n", call, result);
}

// The characters the program acts on, by KeyboardEvent.key.
struct TypedKey {
    const char* key;
    std::uint16_t code;
};
constexpr TypedKey typed_keys[] = {
    {" ", key::hold_or_run}, {",", key::slower}, {".", key::faster}, {"/", key::slow}, {"Escape", key::escape}};

// Returning true stops the browser's own use of the key (space would scroll).
EM_BOOL on_key_down(int, const EmscriptenKeyboardEvent* event, void* platform) {
    if (event->ctrlKey || event->altKey || event->metaKey) return EM_FALSE;  // the browser's shortcuts
    for (const TypedKey& typed : typed_keys) {
        if (std::strcmp(event->key, typed.key) == 0) {
            static_cast<WebPlatform*>(platform)->queue({WebPlatform::Input::Kind::key, typed.code});
            return EM_TRUE;
        }
    }
    return EM_FALSE;
}

EM_BOOL on_mouse_move(int, const EmscriptenMouseEvent* event, void* data) {
    auto* platform = static_cast<WebPlatform*>(data);
    const UserPoint p = platform->to_user(event->targetX, event->targetY);
    platform->queue({WebPlatform::Input::Kind::pointer, 0, p.x, p.y});
    return EM_FALSE;
}

EM_BOOL on_double_click(int, const EmscriptenMouseEvent*, void* platform) {
    static_cast<WebPlatform*>(platform)->queue({WebPlatform::Input::Kind::double_click});
    return EM_TRUE;
}

UserCoordinates page_coordinates() {
    constexpr float css_pixels_per_inch = 96;
    const double scale = density_scale(static_cast<float>(emscripten_get_device_pixel_ratio() * css_pixels_per_inch));
    return UserCoordinates(scale);
}

}  // namespace

WebPlatform::WebPlatform(std::int64_t pass_limit)
    : CanvasPlatform(page_coordinates(), draw_background_picture), pass_limit_(pass_limit) {
    // The backing store has the canvas's pixels; the page gives the element
    // its size in CSS pixels, so on a dense screen each CSS pixel holds several.
    check(emscripten_set_canvas_element_size(canvas_element, canvas_.width(), canvas_.height()),
          "emscripten_set_canvas_element_size");
    listen(true);
    focus_canvas();
}

WebPlatform::~WebPlatform() { listen(false); }

void WebPlatform::listen(bool on) {
    void* data = on ? this : nullptr;
    check(emscripten_set_keydown_callback(canvas_element, data, EM_FALSE, on ? on_key_down : nullptr),
          "emscripten_set_keydown_callback");
    check(emscripten_set_mousemove_callback(canvas_element, data, EM_FALSE, on ? on_mouse_move : nullptr),
          "emscripten_set_mousemove_callback");
    check(emscripten_set_dblclick_callback(canvas_element, data, EM_FALSE, on ? on_double_click : nullptr),
          "emscripten_set_dblclick_callback");
}

UserPoint WebPlatform::to_user(long css_x, long css_y) const {
    const double pixels_per_css_pixel = static_cast<double>(canvas_.width()) / user_space::client_width;
    return canvas_.coordinates().to_user(static_cast<int>(std::lround(css_x * pixels_per_css_pixel)),
                                         static_cast<int>(std::lround(css_y * pixels_per_css_pixel)));
}

bool WebPlatform::pump_events(FormEvents& handlers) {
    show();
    publish_passes_shown(static_cast<double>(pumped_ + 1));
    wait_for_animation_frame();
    for (const Input& input : queued_) {
        if (ended_) break;
        switch (input.kind) {
        case Input::Kind::key:
            handlers.KeyPress(input.code);
            break;
        case Input::Kind::pointer:
            handlers.MouseMove(0, 0, input.x, input.y);
            break;
        case Input::Kind::double_click:
            handlers.DblClick();
            break;
        }
    }
    queued_.clear();
    ++pumped_;
    if (pass_limit_ > 0 && pumped_ >= pass_limit_) end();
    return !ended_;
}

void WebPlatform::show() {
    if (!canvas_.touched()) return;
    canvas_.take_touched();
    put_pixels(canvas_.pixels(), canvas_.width(), canvas_.height());
}
