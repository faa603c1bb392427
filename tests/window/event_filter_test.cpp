// The event filter: requests to end are latched however much input comes
// before them, input keeps its order in the program's own queue, a full one
// still keeps the newest pointer position, a held space bar types one space,
// and SDL's queue keeps nothing.
#include "window/event_filter.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct EventsOnly : ::testing::Test {
    void SetUp() override { ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError(); }
    void TearDown() override { SDL_QuitSubSystem(SDL_INIT_EVENTS); }

    static void push(SDL_Event event) { ASSERT_GE(SDL_PushEvent(&event), 0) << SDL_GetError(); }
    static void key(Uint32 type, SDL_Keycode sym, bool repeat = false) {
        SDL_Event e{};
        e.type = type;
        e.key.keysym.sym = sym;
        e.key.repeat = repeat;
        push(e);
    }
    static void text(const char* utf8) {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
        push(e);
    }
    static void motion(int x, int y) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.x = x;
        e.motion.y = y;
        push(e);
    }
    static int sdl_queued() { return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT); }
    // A key pressed and its character typed, as SDL reports a press or an
    // auto-repeat.
    static void typed(SDL_Keycode sym, const char* text, bool repeat) {
        key(SDL_KEYDOWN, sym, repeat);
        EventsOnly::text(text);
    }
};

std::vector<InputEvent> drain(EventFilter& events) {
    std::vector<InputEvent> got;
    while (events.has_input()) got.push_back(events.next_input());
    return got;
}

std::string codes_of(const std::vector<InputEvent>& inputs) {
    std::string codes;
    for (const InputEvent& input : inputs) codes += input.kind == InputEvent::Kind::key ? char(input.code) : '@';
    return codes;
}

TEST_F(EventsOnly, InputKeepsItsOrderAndUnusedEventsAreDropped) {
    EventFilter events;
    key(SDL_KEYDOWN, SDLK_PERIOD);  // its text follows
    text(",.");
    key(SDL_KEYUP, SDLK_PERIOD);
    motion(10, 20);
    text("/");
    EXPECT_EQ(sdl_queued(), 0);

    const std::vector<InputEvent> got = drain(events);
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0].code, ',');
    EXPECT_EQ(got[1].code, '.');
    EXPECT_EQ(got[2].kind, InputEvent::Kind::pointer);
    EXPECT_EQ(got[2].x, 10);
    EXPECT_EQ(got[2].y, 20);
    EXPECT_EQ(got[3].code, '/');
    const Latched latched = events.take_latched();
    EXPECT_FALSE(latched.escape || latched.close || latched.double_click);
}

TEST_F(EventsOnly, RequestsToEndAreLatchedBehindAnyFlood) {
    EventFilter events;
    for (int i = 0; i < 100000; ++i) text("a");
    SDL_Event click{};
    click.type = SDL_MOUSEBUTTONDOWN;
    click.button.button = SDL_BUTTON_LEFT;
    click.button.clicks = 1;
    push(click);
    EXPECT_FALSE(events.take_latched().double_click) << "a single click is not one";
    key(SDL_KEYDOWN, SDLK_ESCAPE);
    click.button.clicks = 2;
    push(click);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    push(quit);

    EXPECT_EQ(sdl_queued(), 0);
    const Latched latched = events.take_latched();
    EXPECT_TRUE(latched.escape && latched.double_click && latched.close);
    EXPECT_FALSE(events.take_latched().close) << "taken once";

    // Input beyond the limit is dropped.
    EXPECT_EQ(drain(events).size(), EventFilter::max_waiting_inputs);
}

TEST_F(EventsOnly, AFullQueueKeepsTheNewestPointerPositionAfterItsInput) {
    EventFilter events;
    const auto fill = [] {
        for (std::size_t i = 0; i < EventFilter::max_waiting_inputs; ++i) text(",");
    };
    fill();
    motion(1, 2);
    text(".");  // dropped
    motion(30, 40);
    std::vector<InputEvent> got = drain(events);
    ASSERT_EQ(got.size(), EventFilter::max_waiting_inputs + 1);
    EXPECT_EQ(got.back().kind, InputEvent::Kind::pointer);
    EXPECT_EQ(got.back().x, 30);
    EXPECT_EQ(got.back().y, 40);

    fill();
    motion(5, 6);
    for (int taken = 0; taken < 2; ++taken) EXPECT_EQ(events.next_input().code, ',');
    text("/");  // room again: it follows the kept position
    got = drain(events);
    ASSERT_EQ(got.size(), EventFilter::max_waiting_inputs);
    EXPECT_EQ(codes_of(got).substr(got.size() - 3), ",@/");
}

TEST_F(EventsOnly, AHeldSpaceBarTypesOneSpaceOtherKeysRepeat) {
    EventFilter events;
    for (const bool repeat : {false, true, true}) typed(SDLK_SPACE, " ", repeat);
    for (const bool repeat : {false, true, true}) typed(SDLK_PERIOD, ".", repeat);
    typed(SDLK_SPACE, " ", false);  // pressed again
    text(" ");                      // typed with no key-down, as through an input method
    EXPECT_EQ(codes_of(drain(events)), " ...  ");
}

}  // namespace
