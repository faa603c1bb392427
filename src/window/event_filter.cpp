#include "window/event_filter.h"

#include <SDL.h>

#include <memory>

namespace {

// The forms runtime's button and shift masks, which the handlers receive.
constexpr std::uint8_t left_button = 1, right_button = 2, middle_button = 4;
constexpr std::uint8_t shift_key = 1, ctrl_key = 2, alt_key = 4;

std::uint8_t button_mask(Uint32 state) {
    return static_cast<std::uint8_t>(((state & SDL_BUTTON_LMASK) ? left_button : 0) |
                                     ((state & SDL_BUTTON_RMASK) ? right_button : 0) |
                                     ((state & SDL_BUTTON_MMASK) ? middle_button : 0));
}

std::uint8_t shift_mask(SDL_Keymod mod) {
    return static_cast<std::uint8_t>(((mod & KMOD_SHIFT) ? shift_key : 0) | ((mod & KMOD_CTRL) ? ctrl_key : 0) |
                                     ((mod & KMOD_ALT) ? alt_key : 0));
}

// Takes a latch: whether it was set, leaving it clear.
bool take(bool& latch) {
    const bool was = latch;
    latch = false;
    return was;
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

EventFilter::EventFilter() { SDL_SetEventFilter(&EventFilter::filter, this); }

EventFilter::~EventFilter() { SDL_SetEventFilter(nullptr, nullptr); }

bool EventFilter::take_close() { return take(close_); }
bool EventFilter::take_escape() { return take(escape_); }
bool EventFilter::take_double_click() { return take(double_click_); }
bool EventFilter::take_exposed() { return take(exposed_); }
bool EventFilter::take_resized() { return take(resized_); }

InputEvent EventFilter::next_input() {
    const InputEvent input = inputs_.front();
    inputs_.pop_front();
    return input;
}

void EventFilter::pumped() {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    woken_ = false;
    if (arrived_ > burst_events) after_burst_ = true;
    arrived_ = 0;
}

bool EventFilter::burst_worked_through() {
    if (!after_burst_ || has_input()) return false;
    after_burst_ = false;
    return true;
}

int EventFilter::filter(void* self, SDL_Event* event) {
    EventFilter& events = *static_cast<EventFilter*>(self);
    ++events.arrived_;
    if (!events.sort(*event) || events.woken_) return 0;
    events.woken_ = true;
    return 1;
}

// Latches or queues what the program uses and reports whether it did.
bool EventFilter::sort(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:  // the last window closed
        close_ = true;
        return true;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
            close_ = true;
            return true;
        }
        // Uncovered or restored: the kept image is shown again.
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
            exposed_ = true;
            return true;
        }
        // SDL replaces the window surface the image is shown from.
        if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            resized_ = true;
            return true;
        }
        return false;
    case SDL_KEYDOWN:
        // Escape never arrives as text; every other key the program uses does.
        if (event.key.keysym.sym != SDLK_ESCAPE) return false;
        escape_ = true;
        return true;
    case SDL_TEXTINPUT:
        // Typed characters after keyboard translation, one input each.
        for (const std::uint16_t code : typed_character_codes(event.text.text))
            add({.kind = InputEvent::Kind::key, .code = code});
        return true;
    case SDL_MOUSEMOTION:
        add({.kind = InputEvent::Kind::pointer,
             .button = button_mask(event.motion.state),
             .shift = shift_mask(SDL_GetModState()),
             .x = event.motion.x,
             .y = event.motion.y});
        return true;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button != SDL_BUTTON_LEFT || event.button.clicks != 2) return false;
        double_click_ = true;
        return true;
    default:
        return false;
    }
}

void EventFilter::add(const InputEvent& input) {
    if (inputs_.size() < max_waiting_inputs) inputs_.push_back(input);
}
