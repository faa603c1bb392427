#!/usr/bin/python3
"""Floods of input through XTEST. 5,000 key and pointer events in well under
a second: the program handles them all (the last pointer position decides
where the figure stands), stays responsive (the space bar resumes it) and
still ends with status 0 on Escape. 40,000 key presses piled up while the
program was stopped: SIGTERM, or an Escape queued after them, still ends it
at once. 50,000 pointer moves piled up the same way: the last one takes
effect, the program keeps no more memory than libX11 does for such a burst,
and a second burst adds nothing."""

import math
import os
import random
import signal
import threading
import time

import harness
import pixels
from harness import check
from Xlib import X, XK

EVENTS = 5000
KEY_PRESSES = 1000  # each a press and a release
# The program's processor time within which it handles a flood or a burst.
HANDLED_S = 10.0
LAST_DIRECTION_APART = 0.2  # radians
BACKLOG_PRESSES = 40000
BURST_MOVES = 50000
# Ending after a backlog of input is as prompt as ever, or nearly.
BACKLOG_ENDING_S = 2.0
WORKING_THROUGH_S = 0.3  # SIGTERM comes while the backlog is being read
MEMORY_SETTLE_S = 1.0
MEMORY_MARGIN_MB = 1.0
# libX11 keeps a 224-byte entry, 240 with malloc's header, for each event it
# ever held queued at once: at most one for each move of a burst.
LIBX11_KEEPS_MB = BURST_MOVES * 240 / 2**20


def moves_then_the_last(program, rng, count):
    """`count` pointer moves (event tuples as sent) to random points of the
    client area, then the last one, right of the origin and level with it. The
    others keep well away from that direction, so that only the last move can
    put the centre circle where it does, however many frames the program shows
    on its way through them."""
    left, top, width, height = program.client_rect()
    ox, oy = pixels.origin()
    moves = []
    while len(moves) < count:
        x, y = rng.randrange(width), rng.randrange(height)
        if abs(math.atan2(y - oy, x - ox)) > LAST_DIRECTION_APART:
            moves.append((X.MotionNotify, 0, left + x, top + y))
    return moves, (X.MotionNotify, 0, left + round(ox) + 200, top + round(oy))


def flood_events(program):
    """(event type, detail, x, y) in sending order; the last pointer move is
    right of the origin, level with it, and the last key is '/'."""
    display = program.server.display
    codes = [display.keysym_to_keycode(XK.string_to_keysym(name)) for name in ("comma", "period", "a", "less")]
    check(all(codes), "the X server's keyboard lacks ',', '.', 'a' or '<'")
    slash = display.keysym_to_keycode(XK.string_to_keysym("slash"))
    rng = random.Random(20240607)
    moves, last = moves_then_the_last(program, rng, EVENTS - 2 * KEY_PRESSES - 1)
    events = []
    for i in range(KEY_PRESSES - 1):
        code = codes[i % len(codes)]
        events += [(X.KeyPress, code, 0, 0), (X.KeyRelease, code, 0, 0)]
    for move in moves:
        events.insert(rng.randrange(len(events) + 1), move)
    events += [last, (X.KeyPress, slash, 0, 0), (X.KeyRelease, slash, 0, 0)]
    assert len(events) == EVENTS
    return events


def flood(exe):
    with harness.running(exe) as program:
        pixels.wait_for_red(program)
        display = program.server.display
        events = flood_events(program)
        start = time.monotonic()
        harness.send_fake_input(display, events)
        sent = time.monotonic() - start
        print(f"sent {len(events)} events in {sent:.2f} s")

        # The last pointer move puts the centre at user (12, 0), and the
        # pointer holds the figure there.
        expected = pixels.to_pixel(pixels.CENTRE_TRAVEL, 0)
        circle, shot = pixels.wait_for_centre_circle(program, expected, "after_flood", HANDLED_S)
        print(f"the last pointer move took effect {time.monotonic() - start:.2f} s after the flood began")
        pixels.check_stays(program, shot, "after the flood, held,")

        program.key("space")
        pixels.check_moves(program, "after the flood the space bar does not resume the turning:")

        program.key("Escape")
        program.check_ends("Escape after the flood")


def backlog_then_sigterm(exe):
    with harness.running(exe) as program:
        pixels.wait_for_red(program)
        with program.stopped():
            harness.send_fake_input(program.server.display,
                                    harness.key_presses(program.server.display, "period", BACKLOG_PRESSES))
        time.sleep(WORKING_THROUGH_S)
        os.kill(program.pid, signal.SIGTERM)
        program.check_ends(f"SIGTERM after {BACKLOG_PRESSES} queued key presses", BACKLOG_ENDING_S)


def backlog_then_escape(exe):
    with harness.running(exe) as program:
        pixels.wait_for_red(program)
        display = program.server.display
        with program.stopped():
            harness.send_fake_input(display, harness.key_presses(display, "a", BACKLOG_PRESSES) +
                                    harness.key_presses(display, "Escape", 1))
        program.check_ends(f"Escape queued after {BACKLOG_PRESSES} key presses", BACKLOG_ENDING_S)


def burst(program, seed):
    """BURST_MOVES pointer moves piled up while the program was stopped;
    returns the resident memory once the last has taken effect and the peak
    on the way."""
    moves, last = moves_then_the_last(program, random.Random(seed), BURST_MOVES - 1)
    with program.stopped():
        harness.send_fake_input(program.server.display, moves + [last])
    continued = time.monotonic()
    peak = [program.resident_mb()]
    sampling = threading.Event()

    def sample():
        while not sampling.wait(0.02):
            peak[0] = max(peak[0], program.resident_mb())
    sampler = threading.Thread(target=sample)
    sampler.start()
    try:
        # Every move is handled in order: the figure ends at the last one.
        expected = pixels.to_pixel(pixels.CENTRE_TRAVEL, 0)
        pixels.wait_for_centre_circle(program, expected, "after_burst", HANDLED_S)
        print(f"{BURST_MOVES} pointer moves handled {time.monotonic() - continued:.2f} s after SIGCONT")
        time.sleep(MEMORY_SETTLE_S)
    finally:
        sampling.set()
        sampler.join()
    return program.resident_mb(), peak[0]


def burst_memory(exe):
    """After a burst the program keeps what libX11 keeps: the entry of every
    event it held queued at once, for reuse. A second burst reuses them."""
    with harness.running(exe) as program:
        pixels.wait_for_red(program)
        resting = program.resident_mb()
        first, first_peak = burst(program, 20240611)
        second, second_peak = burst(program, 20240612)
        print(f"resident memory: {resting:.1f} MB resting; after a burst {first:.1f} MB (at most {first_peak:.1f});"
              f" after another {second:.1f} MB (at most {second_peak:.1f})")
        check(first - resting <= LIBX11_KEEPS_MB + MEMORY_MARGIN_MB,
              f"after the burst the program holds {first:.1f} MB, against {resting:.1f} MB at rest")
        check(second - first <= MEMORY_MARGIN_MB,
              f"a second burst took the program from {first:.1f} to {second:.1f} MB")
        program.key("Escape")
        program.check_ends("Escape after the bursts")


CASES = {f.__name__: f for f in (flood, backlog_then_sigterm, backlog_then_escape, burst_memory)}

if __name__ == "__main__":
    raise SystemExit(harness.main(CASES))
