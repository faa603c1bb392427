// What the program asks of X beyond what SDL does, so that a flood of input
// costs neither time nor memory for good. Built where libX11 and libXi are
// found (ROTARY_X11_EVENTS); elsewhere these do nothing.
#pragma once

struct SDL_Window;

// Keeps X events the program never uses from being sent to it at all; SDL
// asks for them.
// - Key releases: for each one it reads, SDL's X11 code looks through every
//   event X has queued for the program (to tell a held key's auto-repeat from
//   a real release), so a backlog of n key presses took time in n squared:
//   40,000 kept the program busy for 11 s, ahead of any request to end.
// - XInput2 raw pointer and touch events on the root window, which SDL uses
//   only in relative mouse mode: each pointer move came twice, the second
//   time with a buffer of its own.
// Does nothing on video drivers other than X11. Throws SdlError when SDL
// cannot describe the window.
#if ROTARY_X11_EVENTS
void stop_unused_x11_events(SDL_Window* window);
#else
inline void stop_unused_x11_events(SDL_Window*) {}
#endif

// Gives the memory a backlog of events took back to the system. libX11 keeps
// the entry of every event it ever queued (224 bytes each) for reuse, and
// reads all that is waiting at once: after 50,000 events that was 11 MB, and
// the memory freed between those entries could not be returned either. Call
// when a backlog has been worked through.
#if ROTARY_X11_EVENTS
void give_back_event_memory(SDL_Window* window);
#else
inline void give_back_event_memory(SDL_Window*) {}
#endif
