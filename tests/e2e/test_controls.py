#!/usr/bin/python3
"""The operator's controls with real keys and pointer: the space bar holds
and resumes, the pointer steers the figure's centre, Escape and a
double-click quit, a window opening under a resting pointer still turns,
',', '.' and '/' change the speed, a held space bar acts once while a held
'.' repeats, and '[' and ']' change the eccentricity within its range,
starting the drawing afresh."""

import time

import harness
import pixels
import test_window
from harness import check

# Enough "," presses to make the step vanish next to the angle (about 650),
# so the advance no longer changes it: the figure stands still while running.
STALLING_PRESSES = 900
# Xvfb's keyboard repeats a held key after 660 ms, 25 times a second: these
# give from 6 to 20 repeats.
HELD_S = (0.9, 1.2, 1.45)


def hold_point_resume_escape(exe):
    with harness.running(exe) as program:
        pixels.wait_for_red(program)
        pixels.check_moves(program, "at start-up")

        program.key("space")
        held = pixels.wait_still(program, "after the space bar")
        pixels.check_stays(program, held, "held,")

        # Right of the origin, level with it: the centre goes to user (12, 0).
        ox, oy = pixels.origin()
        program.point_at(round(ox) + 200, round(oy))
        expected = pixels.to_pixel(pixels.CENTRE_TRAVEL, 0)
        circle, shot = pixels.wait_for_centre_circle(program, expected, "pointer_right_of_origin")
        print(f"pointer right of the origin: red centre circle at ({circle[0]}, {circle[1]})")
        pixels.check_stays(program, shot, "after the pointer move")

        program.key("space")
        pixels.check_moves(program, "after the space bar resumed,")
        program.key("Escape")
        program.check_ends("Escape")


def double_click(exe):
    with harness.running(exe) as program:
        pixels.wait_for_red(program)
        ox, oy = pixels.origin()
        program.point_at(round(ox), round(oy) - 250)
        program.server.xdotool("click", 1)
        time.sleep(1.0)  # longer than a double-click's interval
        program.check_running()
        program.server.xdotool("click", "--repeat", 2, "--delay", 80, 1)
        program.check_ends("a left double-click")


def resting_pointer(exe):
    """The window opens centred, under a pointer resting in the middle of the
    screen, and still turns."""
    middle = (harness.SCREEN_SIZE[0] // 2, harness.SCREEN_SIZE[1] // 2)
    with harness.running(exe, pointer=middle) as program:
        left, top, width, height = program.client_rect()
        check(left <= middle[0] < left + width and top <= middle[1] < top + height,
              f"the window ({left}, {top}, {width} x {height}) did not open under the pointer {middle}")
        pixels.wait_for_red(program)
        pixels.check_moves(program, "with the pointer resting over the new window,")
        program.key("Escape")
        program.check_ends("Escape")


def speed_keys(exe):
    with harness.running(exe) as program:
        pixels.wait_for_red(program)
        pixels.check_moves(program, "at start-up")
        # Not held (no space bar, the pointer is away in a corner): only the
        # speed keys can stop the figure and start it again. XTEST types the
        # hundreds of presses at once.
        display = program.server.display

        def press(name, count=1):
            harness.send_fake_input(display, harness.key_presses(display, name, count))

        press("comma", STALLING_PRESSES)
        pixels.wait_still(program, f"after {STALLING_PRESSES} ',' presses")
        press("slash")
        pixels.check_moves(program, "after '/' following the stall,")
        press("comma", STALLING_PRESSES)
        pixels.wait_still(program, f"after {STALLING_PRESSES} more ',' presses")
        press("period", STALLING_PRESSES)
        pixels.check_moves(program, f"after {STALLING_PRESSES} '.' presses following the stall,")
        program.key("Escape")
        program.check_ends("Escape")


def held_keys(exe):
    with harness.running(exe) as program:
        pixels.wait_for_red(program)
        before = pixels.turn_rate(program, 1.0)
        program.hold_key("period", HELD_S[1])
        faster = pixels.turn_rate(program, 1.0) / before
        print(f"'.' held {HELD_S[1]} s: {faster:.2f} times as fast")
        # However many times the keyboard repeated it (fewer on a busy machine),
        # more than a press and a repeat or two.
        check(faster > 1.15, f"'.' held {HELD_S[1]} s made the figure turn {faster:.2f} times as fast; a press gives 1.05")
        for n, seconds in enumerate(HELD_S):
            program.hold_key("space", seconds)
            if n % 2 == 0:
                pixels.wait_still(program, f"after the space bar held {seconds} s")
            else:
                pixels.check_moves(program, f"after the space bar held {seconds} s,")
        program.key("Escape")
        program.check_ends("Escape")


def eccentricity_keys(exe):
    """Held, the keys take the eccentricity to each end of its range and no
    further; at the last, the window shows that eccentricity's background
    picture under the red figure and the circles, nothing of the trail
    before; the space bar then resumes."""
    with harness.running(exe) as program:
        pixels.wait_for_red(program)
        test_window.hold(program)
        shot = test_window.check_eccentricity_ends(program, 1.0, "x11")
        picture = pixels.background_picture(pixels.LEAST_E)
        stray = [p for p, q in zip(shot.getdata(), picture.getdata()) if p != q and p not in (pixels.RED, pixels.BLUE)]
        check(not stray, f"{len(stray)} pixels are neither the picture's nor the figure's or circles';"
                         f" see {harness.save(shot, 'eccentricity_restart')}")
        program.key("space")
        pixels.check_moves(program, "after the space bar resumed at the least eccentricity,")
        program.key("Escape")
        program.check_ends("Escape")


CASES = {f.__name__: f for f in (hold_point_resume_escape, double_click, resting_pointer, speed_keys, held_keys,
                                 eccentricity_keys)}

if __name__ == "__main__":
    raise SystemExit(harness.main(CASES))
