// Sorts SDL's events as they arrive, before they enter SDL's queue. That
// queue holds at most 65,535 events, drops what comes beyond, and keeps the
// memory of every entry it ever held; a burst of input must neither push out
// a request to end nor leave the program large.
// - Requests to end (the window closed, Escape, a double-click) and the
//   window being uncovered or resized are latched: no amount of input delays
//   or drops them.
// - Typed characters and pointer moves go, in order, to a compact queue of
//   the program's own that the event pump drains a bounded number at a time.
// - Everything else is dropped: the program never uses it.
// SDL calls the filter from SDL_PumpEvents and SDL_WaitEventTimeout, on the
// one thread the program has.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

union SDL_Event;

// The characters of an SDL text input event (UTF-8) as the 16-bit codes the
// key handler takes; characters beyond 16 bits are dropped.
std::vector<std::uint16_t> typed_character_codes(const char* utf8);

struct InputEvent {
    enum class Kind : std::uint8_t { key, pointer };
    Kind kind;
    std::uint8_t button = 0;  // pointer: the forms runtime's button and shift masks
    std::uint8_t shift = 0;
    std::uint16_t code = 0;     // key: the typed character
    std::int32_t x = 0, y = 0;  // pointer: window pixels
};

class EventFilter {
public:
    // Past this many waiting inputs, new ones are dropped; the pump takes
    // them far faster than the window system can send them.
    static constexpr std::size_t max_waiting_inputs = 65536;

    EventFilter();   // becomes SDL's event filter
    ~EventFilter();  // stops being it
    EventFilter(const EventFilter&) = delete;
    EventFilter& operator=(const EventFilter&) = delete;

    // Each returns whether its request arrived since the last call.
    bool take_close();  // the window's close request, or SDL_QUIT
    bool take_escape();
    bool take_double_click();
    bool take_exposed();
    bool take_resized();  // the window's size changed, and with it its surface

    bool has_input() const { return !inputs_.empty(); }
    // The oldest waiting input; only when has_input().
    InputEvent next_input();

    // Call after each SDL_PumpEvents. Empties SDL's queue: anything the
    // filter keeps or latches lets one event into it, so that
    // SDL_WaitEventTimeout wakes for it, and once the pump has looked, that
    // event has served.
    void pumped();

    // True once after a burst of events (more than the window system sends
    // in ordinary use between two pumps) when every input from it has been
    // handled: the moment to give back the memory the burst took.
    bool burst_worked_through();

private:
    static constexpr int burst_events = 4096;

    static int filter(void* self, SDL_Event* event);
    bool sort(const SDL_Event& event);
    void add(const InputEvent& input);

    std::deque<InputEvent> inputs_;
    bool close_ = false, escape_ = false, double_click_ = false, exposed_ = false, resized_ = false;
    bool woken_ = false;
    int arrived_ = 0;  // events seen since the last pump, used or not
    bool after_burst_ = false;
};
