// Sorts SDL's events as they arrive, before they enter SDL's queue, which
// keeps none of them. SDL 2.26: that queue holds at most 65,535 events, drops
// what comes beyond, and keeps the memory of every entry it ever held.
// - Requests to end (the window closed or destroyed, Escape, a double-click)
//   and the window being uncovered or resized are latched: no amount of input
//   delays or drops them.
// - Typed characters and pointer moves go, in order, to a compact queue of
//   the program's own that the event pump drains a bounded number at a time.
//   A full queue takes no more; the newest pointer position that came
//   meanwhile is kept, and follows the queue, as it decides where the
//   figure rests.
// - The space bar acts on its press: the space its auto-repeats type is
//   dropped. Other keys repeat.
// SDL calls the filter from SDL_PumpEvents, on the program's one thread.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

union SDL_Event;

// The characters of an SDL text input event (UTF-8) as the 16-bit codes the
// key handler takes; characters beyond 16 bits are dropped.
std::vector<std::uint16_t> typed_character_codes(const char* utf8);

struct InputEvent {
    enum class Kind : std::uint8_t { key, pointer };
    Kind kind;
    std::uint16_t code = 0;     // key: the typed character
    std::int32_t x = 0, y = 0;  // pointer: window points
};

// What arrived since the last take_latched().
struct Latched {
    bool close = false;  // the window closed or destroyed, or SDL_QUIT
    bool escape = false;
    bool double_click = false;
    bool exposed = false;
    bool resized = false;  // the window's size changed, and with it its surface
};

class EventFilter {
public:
    // Past this many waiting inputs, new ones are dropped but for the newest
    // pointer position; the pump takes them far faster than the window
    // system can send them.
    static constexpr std::size_t max_waiting_inputs = 65536;

    EventFilter();   // becomes SDL's event filter
    ~EventFilter();  // stops being it
    EventFilter(const EventFilter&) = delete;
    EventFilter& operator=(const EventFilter&) = delete;

    Latched take_latched();
    // Whether the window closed or was destroyed, without taking that.
    bool close_latched() const { return latched_.close; }
    // Exposures and size changes so far are behind a presenter that starts now.
    void forget_window_changes() { latched_.exposed = latched_.resized = false; }
    bool has_input() const { return !inputs_.empty() || pointer_beyond_.has_value(); }
    // The oldest waiting input; only when has_input().
    InputEvent next_input();

private:
    static int filter(void* self, SDL_Event* event);
    void sort(const SDL_Event& event);
    void add(const InputEvent& input);

    std::deque<InputEvent> inputs_;
    std::optional<InputEvent> pointer_beyond_;  // came while the queue was full
    Latched latched_;
    bool typed_by_repeat_ = false;    // the key-down whose text comes next repeats
    std::optional<bool> x11_repeat_;  // the X server's say on that key-down
};
