"""Pixel facts about screenshots of the window: the colours the program
draws with, where its user coordinates fall on the screen, and finding the
circles it draws. Drawing is opaque and aliased, so colours are exact. Waits
for the picture are bounded by the program's processor time, so that a
loaded machine slows the bound as much as the program."""

import math
import os
import subprocess
import tempfile
import time
from pathlib import Path

from PIL import Image

import facts
import harness
from harness import check

BLACK = (0, 0, 0)
RED = (255, 0, 0)
BLUE = (0, 0, 255)
GREY = (192, 192, 192)

START_E = 12  # the eccentricity at start-up; "[" and "]" change it from 4 to 20
CENTRE_RADIUS = 2 * START_E  # the red circle about the figure's centre
CENTRE_TRAVEL = START_E  # the figure's centre from the origin
LEAST_E, GREATEST_E = 4, 20
# The figure's curve keeps more than 60 units from its centre, so red pixels
# within this distance of the origin belong to the red centre circle alone.
CENTRE_CIRCLE_REACH = CENTRE_TRAVEL + CENTRE_RADIUS + 8
APART_S = 0.5  # between two screenshots that should, or should not, match
# The program's processor time within which a picture awaited must show:
# some twenty times what its first frame takes at 192 dpi.
DRAWING_S = 2.0

# The tool that draws what the program draws, without a display.
RENDER_PASSES = os.environ.get("ROTARY_RENDER_PASSES", "render-passes")


def to_pixel(x, y, scale=1.0):
    """The (fractional) pixel position of user point (x, y)."""
    return ((x - facts.LEFT) * facts.PIXELS_PER_UNIT_X * scale,
            (y - facts.TOP) * facts.PIXELS_PER_UNIT_Y * scale)


def origin(scale=1.0):
    return to_pixel(0, 0, scale)


def has_colour(image, colour):
    return colour in (c for _, c in image.getcolors(image.width * image.height))


def pixels_of(image, colour):
    width = image.width
    return [(i % width, i // width) for i, c in enumerate(image.getdata()) if c == colour]


def background_picture(e=START_E):
    """The background picture at 96 dpi and eccentricity `e`, as the program
    draws it."""
    with tempfile.TemporaryDirectory() as folder:
        path = Path(folder) / "picture.bmp"
        subprocess.run([RENDER_PASSES, "0", str(path), str(e)], check=True, stdout=subprocess.DEVNULL, timeout=30)
        return Image.open(path).convert("RGB")


def radius_of(image, colour):
    """Half the width of the pixels of `colour`: the radius of a circle
    drawn in it alone, 0 where there is none."""
    xs = [x for x, _ in pixels_of(image, colour)]
    return (max(xs) - min(xs) + 1) / 2 if xs else 0


def centre_circle(image, scale=1.0):
    """The red centre circle as the middle and size of its red pixels'
    bounding box: (cx, cy, width, height), or None when no red is there."""
    ox, oy = origin(scale)
    reach = CENTRE_CIRCLE_REACH * facts.PIXELS_PER_UNIT_X * scale
    near = [(x, y) for x, y in pixels_of(image, RED) if math.hypot(x - ox, y - oy) < reach]
    if not near:
        return None
    xs = [x for x, _ in near]
    ys = [y for _, y in near]
    return ((min(xs) + max(xs)) / 2, (min(ys) + max(ys)) / 2, max(xs) - min(xs) + 1, max(ys) - min(ys) + 1)


def centre_direction(program, rect):
    """The figure's centre's direction from the origin in degrees (0 below
    it, 90 to its right), from the red centre circle in a screenshot of the
    square about the origin that it stays in; `rect` is the client area's."""
    ox, oy = origin()
    reach = round(CENTRE_CIRCLE_REACH * facts.PIXELS_PER_UNIT_X)
    square = program.server.grab(rect[0] + round(ox) - reach, rect[1] + round(oy) - reach, 2 * reach, 2 * reach)
    near = [(x, y) for x, y in pixels_of(square, RED) if math.hypot(x - reach, y - reach) < reach]
    check(near, f"no red centre circle; see {harness.save(square, 'no_centre_circle')}")
    xs, ys = [x for x, _ in near], [y for _, y in near]
    return math.degrees(math.atan2((min(xs) + max(xs)) / 2 - reach, (min(ys) + max(ys)) / 2 - reach))


def turn_rate(program, duration_s=2.0):
    """Degrees a second the figure's centre turns about the origin, from
    screenshots taken one after the other for `duration_s`, each much less
    than half a turn after the one before."""
    rect = program.client_rect()
    start, last, turned = time.monotonic(), centre_direction(program, rect), 0.0
    while time.monotonic() - start < duration_s:
        now = centre_direction(program, rect)
        turned += (now - last + 180) % 360 - 180
        last = now
    return turned / (time.monotonic() - start)


def figure_pixels(image, scale=1.0):
    """The red pixels farther from the origin than the red centre circle
    reaches: the red figure's."""
    ox, oy = origin(scale)
    reach = CENTRE_CIRCLE_REACH * facts.PIXELS_PER_UNIT_X * scale
    return [(x, y) for x, y in pixels_of(image, RED) if math.hypot(x - ox, y - oy) > reach]


def ring_thickness(image, colour, centre, radius, rows=10):
    """The median count of `colour` pixels on the rows through a ring's
    rightmost part, within a few pixels of the ring."""
    cx, cy = centre
    counts = []
    for y in range(round(cy) - rows, round(cy) + rows + 1):
        span = range(round(cx + radius) - 6, round(cx + radius) + 7)
        counts.append(sum(1 for x in span if image.getpixel((x, y)) == colour))
    return sorted(counts)[len(counts) // 2]


def ring_facts(points, centre, sectors=36):
    """How far `points` lie from `centre` (least, greatest) and how many of
    `sectors` equal angular sectors hold at least one of them."""
    cx, cy = centre
    distances = [math.hypot(x - cx, y - cy) for x, y in points]
    covered = {int((math.atan2(y - cy, x - cx) + math.pi) / (2 * math.pi) * sectors) % sectors for x, y in points}
    return min(distances), max(distances), len(covered)


def differing_pixels(a, b):
    return sum(1 for p, q in zip(a.getdata(), b.getdata()) if p != q)


def wait_for_picture(program, shows, what, name, timeout=DRAWING_S):
    """Takes screenshots of the running program until `shows(shot)` gives
    something true, and returns that; fails saying `what(shot)` of the last
    one, saved as `name`."""
    last = []

    def shown():
        program.check_running()
        last[:] = [program.screenshot()]
        return shows(last[0])
    return harness.wait_until(shown, lambda: f"{what(last[0])}; see {harness.save(last[0], name)}", timeout,
                              program.processor_s, pause=0.1)


def wait_for_centre_circle(program, expected, name, timeout=DRAWING_S, tolerance=1.5):
    """Waits until the red centre circle's centre lies within `tolerance`
    pixels of `expected`; returns the circle and the screenshot showing it."""
    def there(shot):
        circle = centre_circle(shot)
        near = circle and abs(circle[0] - expected[0]) <= tolerance and abs(circle[1] - expected[1]) <= tolerance
        return near and (circle, shot)
    return wait_for_picture(program, there, lambda shot: f"the red centre circle is at"
                            f" {(circle := centre_circle(shot)) and circle[:2]}, expected about"
                            f" ({expected[0]:.1f}, {expected[1]:.1f})", name, timeout)


def wait_for_red(program):
    """Waits for the first red frame on screen: the animation has started."""
    wait_for_picture(program, lambda shot: has_colour(shot, RED), lambda _: "no red frame", "no_red")


def wait_still(program, when, screen=None):
    """Waits until two screenshots of `screen` (the program's window by
    default) APART_S apart are identical; returns the still picture."""
    screen = screen or program
    last = {"shot": screen.screenshot()}

    def still():
        time.sleep(APART_S)
        shot, last["shot"] = last["shot"], screen.screenshot()
        return shot.tobytes() == last["shot"].tobytes() and last["shot"]
    return harness.wait_until(still, f"{when} the picture kept changing", DRAWING_S, program.processor_s, pause=0)


def check_stays(program, shot, when):
    """The window still shows `shot` APART_S later."""
    time.sleep(APART_S)
    check(program.screenshot().tobytes() == shot.tobytes(), f"{when} the picture changed within {APART_S} s")


def check_moves(program, when):
    """The window shows another picture APART_S later."""
    first = program.screenshot()
    time.sleep(APART_S)
    check(program.screenshot().tobytes() != first.tobytes(), f"{when} two screenshots {APART_S} s apart are"
          f" identical: the figure does not turn; see {harness.save(first, 'not_moving')}")
