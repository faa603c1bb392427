#include "window/event_filter.h"

#include <SDL.h>

#include <memory>
#include <utility>

#include "animation/keys.h"
#include "window/x11_desktop.h"

std::vector<std::uint16_t> typed_character_codes(const char* utf8) {
    // SDL 2.26: SDL_iconv_utf8_ucs4 asks for "UCS-4-INTERNAL", which glibc's
    // iconv lacks; UTF-32 in the machine's byte order works with both.
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

EventFilter::EventFilter() { SDL_SetEventFilter(&EventFilter::filter, this); }

EventFilter::~EventFilter() { SDL_SetEventFilter(nullptr, nullptr); }

Latched EventFilter::take_latched() { return std::exchange(latched_, {}); }

InputEvent EventFilter::next_input() {
    if (inputs_.empty()) return *std::exchange(pointer_beyond_, std::nullopt);
    const InputEvent input = inputs_.front();
    inputs_.pop_front();
    return input;
}

int EventFilter::filter(void* self, SDL_Event* event) {
    static_cast<EventFilter*>(self)->sort(*event);
    return 0;
}

void EventFilter::sort(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:  // the last window closed
        latched_.close = true;
        break;
    case SDL_SYSWMEVENT:
        if (x11_window_destroyed(event)) latched_.close = true;
        if (const std::optional<bool> repeat = x11_key_press_repeats(event)) x11_repeat_ = repeat;
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) latched_.close = true;
        // Uncovered or restored: the kept image is shown again.
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED) latched_.exposed = true;
        // SDL replaces the window surface the image is shown from.
        if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) latched_.resized = true;
        break;
    case SDL_KEYDOWN:
        // Escape never arrives as text; every other key the program uses does.
        if (event.key.keysym.sym == SDLK_ESCAPE) latched_.escape = true;
        // SDL 2.26 on X11, which sends the window no key releases here,
        // marks every press of a key after its first a repeat: the X
        // server's notice of the press, just before, tells instead.
        typed_by_repeat_ = x11_repeat_.value_or(event.key.repeat != 0);
        x11_repeat_.reset();
        break;
    case SDL_TEXTINPUT:
        // Typed characters after keyboard translation, one input each.
        for (const std::uint16_t code : typed_character_codes(event.text.text)) {
            if (!(typed_by_repeat_ && code == key::hold_or_run)) add({.kind = InputEvent::Kind::key, .code = code});
        }
        typed_by_repeat_ = false;
        break;
    case SDL_MOUSEMOTION:
        add({.kind = InputEvent::Kind::pointer, .x = event.motion.x, .y = event.motion.y});
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT && event.button.clicks == 2) latched_.double_click = true;
        break;
    default:
        break;
    }
}

void EventFilter::add(const InputEvent& input) {
    if (pointer_beyond_ && inputs_.size() < max_waiting_inputs) inputs_.push_back(*std::exchange(pointer_beyond_, {}));
    if (inputs_.size() < max_waiting_inputs) {
        inputs_.push_back(input);
    } else if (input.kind == InputEvent::Kind::pointer) {
        pointer_beyond_ = input;
    }
}
