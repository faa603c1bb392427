#!/usr/bin/python3
"""A flood of input: 5,000 key and pointer events injected through XTEST in
well under a second. The program must handle them all (the last pointer
position decides where the figure stands), stay responsive (the space bar
resumes it) and still end with status 0 on Escape."""

import random
import time

import harness
import pixels
from harness import check
from Xlib import X, XK
from Xlib.ext import xtest

EVENTS = 5000
KEY_PRESSES = 1000  # each a press and a release
SETTLE_S = 1.0
HANDLED_TIMEOUT_S = 10.0
APART_S = 0.5


def flood_events(program):
    """(event type, detail, x, y) in sending order; the last pointer move is
    right of the origin, level with it, and the last key is '/'."""
    display = program.server.display
    codes = [display.keysym_to_keycode(XK.string_to_keysym(name)) for name in ("comma", "period", "a", "less")]
    check(all(codes), "the X server's keyboard lacks ',', '.', 'a' or '<'")
    slash = display.keysym_to_keycode(XK.string_to_keysym("slash"))
    left, top, width, height = program.client_rect()
    ox, oy = pixels.origin()
    rng = random.Random(20240607)
    moves = EVENTS - 2 * KEY_PRESSES - 1
    events = []
    for i in range(KEY_PRESSES - 1):
        code = codes[i % len(codes)]
        events += [(X.KeyPress, code, 0, 0), (X.KeyRelease, code, 0, 0)]
    for _ in range(moves):
        # Keep off the origin's own pixel, where the angle is left unchanged.
        events.insert(rng.randrange(len(events) + 1),
                      (X.MotionNotify, 0, left + rng.randrange(width), top + rng.randrange(height)))
    events += [(X.MotionNotify, 0, left + round(ox) + 200, top + round(oy)),
               (X.KeyPress, slash, 0, 0), (X.KeyRelease, slash, 0, 0)]
    assert len(events) == EVENTS
    return events


def flood(exe):
    with harness.running(exe) as program:
        time.sleep(SETTLE_S)
        display = program.server.display
        root = display.screen().root
        events = flood_events(program)
        start = time.monotonic()
        for kind, detail, x, y in events:
            if kind == X.MotionNotify:
                xtest.fake_input(display, kind, detail=0, root=root, x=x, y=y)
            else:
                xtest.fake_input(display, kind, detail=detail)
        display.sync()
        sent = time.monotonic() - start
        print(f"sent {len(events)} events in {sent:.2f} s")

        # The last pointer move puts the centre at user (12, 0), and the
        # pointer holds the figure there.
        expected = pixels.to_pixel(pixels.CENTRE_TRAVEL, 0)
        circle, shot = pixels.wait_for_centre_circle(program, expected, HANDLED_TIMEOUT_S, "after_flood")
        print(f"the last pointer move took effect {time.monotonic() - start:.2f} s after the flood began")
        time.sleep(APART_S)
        check(program.screenshot().tobytes() == shot.tobytes(), "after the flood the held picture kept changing")

        program.key("space")
        first = program.screenshot()
        time.sleep(APART_S)
        check(program.screenshot().tobytes() != first.tobytes(),
              "after the flood the space bar does not resume the turning")

        program.key("Escape")
        program.check_ends("Escape after the flood")


CASES = {"flood": flood}

if __name__ == "__main__":
    raise SystemExit(harness.main(CASES))
