#!/usr/bin/python3
"""The window on screen: its exact title, size and icon, what it shows a
second after start, its size at 192 dpi and on screens too small for it,
repainting after being covered or unmapped, the parts each frame sends adding
up to the whole image, and being resized."""

import os
import signal
import time

import harness
import pixels
from facts import CAPTION, CLIENT_SIZE, PIXELS_PER_UNIT_X
from harness import check
from Xlib import Xatom

RUNNING_S = 1.0  # long enough for a trail
# In the icon: how far a channel leads the others in a pixel that leans to
# red or blue, and below what all channels lie in a black one.
ICON_LEAN = 48
ICON_DARK = 32


def title_and_size(exe):
    with harness.running(exe) as program:
        net_name, wm_name = program.title()
        for kind, title in (("_NET_WM_NAME", net_name), ("WM_NAME", wm_name)):
            check(title is not None, f"the window has no {kind}")
            first = next((i for i, (a, b) in enumerate(zip(title, CAPTION)) if a != b), min(len(title), len(CAPTION)))
            check(title == CAPTION, f"{kind} is {len(title)} characters {title!r}; first difference at {first}")
        program.wait_for_place(CLIENT_SIZE, "at 96 dpi")
        check_icon(program)


def icon_pictures(program):
    """The square pictures of the window's _NET_WM_ICON by size, each a list
    of ARGB pixels."""
    d = program.server.display
    prop = program.window.get_full_property(d.intern_atom("_NET_WM_ICON"), Xatom.CARDINAL)
    check(prop is not None, "the window has no _NET_WM_ICON")
    items, pictures, at = list(prop.value), {}, 0
    while at + 2 <= len(items):
        width, height = items[at], items[at + 1]
        check(width == height and at + 2 + width * height <= len(items), f"a malformed {width} x {height} icon")
        pictures[width] = items[at + 2:at + 2 + width * height]
        at += 2 + width * height
    return pictures


def check_icon(program):
    """_NET_WM_ICON holds square pictures at a few sizes, each the grey tile
    with the program's colours on it and its rounded corners mostly
    transparent."""
    pictures = icon_pictures(program)
    check(16 in pictures and 64 in pictures and len(pictures) >= 3, f"icon sizes {sorted(pictures)}")
    for size, argb in pictures.items():
        check(argb[0] >> 24 < 0x80, f"the {size} px icon's corner is opaque")
        opaque = [(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF) for p in argb if p >> 24 == 0xFF]
        # Thin strokes blend with the grey at small sizes: colours lean, the
        # red curve and circle outweigh the blue circle.
        reddish = sum(1 for r, g, b in opaque if r >= max(g, b) + ICON_LEAN)
        bluish = sum(1 for r, g, b in opaque if b >= max(r, g) + ICON_LEAN)
        check(pixels.GREY in opaque, f"the {size} px icon has no grey tile")
        check(reddish > bluish > 0, f"the {size} px icon has {reddish} reddish and {bluish} bluish pixels")
        check(any(max(p) < ICON_DARK for p in opaque), f"the {size} px icon has no black trail")
    print(f"icon sizes {sorted(pictures)}")


def check_circles(shot, scale, name):
    """The red centre circle at 12 units from the origin and the blue circle
    about the origin, both the right size."""
    ox, oy = pixels.origin(scale)
    unit = PIXELS_PER_UNIT_X * scale
    circle = pixels.centre_circle(shot, scale)
    if circle is None:
        raise harness.Failure(f"no red centre circle near the origin; see {harness.save(shot, name)}")
    cx, cy, width, height = circle
    travel = ((cx - ox) ** 2 + (cy - oy) ** 2) ** 0.5 / unit
    diameter = 2 * pixels.CENTRE_RADIUS * unit
    check(abs(width - diameter) <= 3 * scale and abs(height - diameter) <= 3 * scale,
          f"red centre circle is {width} x {height} pixels, expected about {diameter:.0f};"
          f" see {harness.save(shot, name)}")
    check(abs(travel - pixels.CENTRE_TRAVEL) < 0.5,
          f"red centre circle at ({cx}, {cy}) lies {travel:.2f} units from the origin, expected 12")

    check_origin_circle(shot, scale, pixels.START_E, name)


def check_origin_circle(shot, scale, e, name):
    """The blue circle about the origin, whole, of radius 3e and as wide as
    the pen."""
    ox, oy = pixels.origin(scale)
    unit = PIXELS_PER_UNIT_X * scale
    blue = pixels.pixels_of(shot, pixels.BLUE)
    radius = 3 * e * unit
    check(len(blue) > 5 * radius, f"only {len(blue)} blue pixels; see {harness.save(shot, name)}")
    nearest, farthest, sectors = pixels.ring_facts(blue, (ox, oy))
    check(radius - 1.5 * scale <= nearest and farthest <= radius + 1.5 * scale,
          f"blue pixels lie {nearest:.1f} to {farthest:.1f} pixels from the origin ({ox:.1f}, {oy:.1f}),"
          f" expected {radius:.1f}; see {harness.save(shot, name)}")
    check(sectors == 36, f"the blue circle covers only {sectors} of 36 sectors; see {harness.save(shot, name)}")
    # The pen is as wide as the density: at the circle's right, where it runs
    # upright, each row crosses it in that many pixels.
    pen = max(1, round(scale))
    thickness = pixels.ring_thickness(shot, pixels.BLUE, (ox, oy), radius)
    check(thickness == pen, f"the blue circle is {thickness} pixels wide, expected {pen}; see {harness.save(shot, name)}")


def check_eccentricity_ends(program, scale, name, screen=None, crop=lambda shot: shot):
    """On a held program: ']' pressed past the top of the range, then '['
    past the bottom; at each end the picture stands still (held still) and
    the blue circle has that end's radius, 3e. Screenshots come from `screen`
    (the program's window by default), cut down to the window by `crop`;
    returns the last one."""
    for key, presses, e in (("bracketright", 10, pixels.GREATEST_E), ("bracketleft", 20, pixels.LEAST_E)):
        program.key(*[key] * presses)
        when = f"{name}: after {presses} '{key}'"
        radius = 3 * e * PIXELS_PER_UNIT_X * scale
        shots = []

        # Each press draws the picture anew, which can take a busy program
        # longer than the screenshots that find a picture still are apart.
        def still_at_the_end():
            shots[:] = [crop(pixels.wait_still(program, when, screen))]
            return abs(pixels.radius_of(shots[0], pixels.BLUE) - radius) <= 1.5 * scale and shots[0]
        shot = harness.wait_until(still_at_the_end, lambda: f"{when} the blue circle's radius is"
                                  f" {pixels.radius_of(shots[0], pixels.BLUE)}, expected {radius:.1f}",
                                  pixels.DRAWING_S, program.processor_s, pause=0)
        check_origin_circle(shot, scale, e, f"{name}_{key}")
    print(f"{name}: the eccentricity's keys stop at {pixels.GREATEST_E} and {pixels.LEAST_E}")
    return shot


def picture_after_a_second(exe):
    with harness.running(exe) as program:
        time.sleep(RUNNING_S)
        shot = program.screenshot()
    name = "picture_after_a_second"
    check(shot.size == CLIENT_SIZE, f"screenshot is {shot.size}")
    check_circles(shot, 1.0, name)

    figure_red = pixels.figure_pixels(shot)
    check(len(figure_red) > 1000, f"only {len(figure_red)} pixels of the red figure; see {harness.save(shot, name)}")

    picture = pixels.background_picture()
    check(picture.size == CLIENT_SIZE, f"the background picture is {picture.size}")
    trail = hidden = 0
    strange = []
    for i, (on_screen, in_picture) in enumerate(zip(shot.getdata(), picture.getdata())):
        if on_screen not in (pixels.BLACK, pixels.RED, pixels.BLUE, pixels.GREY):
            strange.append((i % shot.width, i // shot.width, on_screen))
        elif in_picture == pixels.GREY and on_screen == pixels.BLACK:
            trail += 1
        elif in_picture == pixels.BLACK and on_screen == pixels.GREY:
            hidden += 1
    check(not strange, f"{len(strange)} pixels in colours the program never draws, first {strange[:1]}")
    # The trail is black where the picture is grey, and the picture's own
    # black lines lie at angles the trail has not reached: only a picture
    # that shows keeps all of them black.
    check(trail > 20000, f"only {trail} pixels of black trail; see {harness.save(shot, name)}")
    check(hidden == 0, f"{hidden} pixels black in the background picture are grey on screen:"
                       f" the picture does not show; see {harness.save(shot, name)}")
    # Right of every figure's reach the screen is the picture itself.
    strip = (880, 0, *CLIENT_SIZE)
    check(shot.crop(strip).tobytes() == picture.crop(strip).tobytes(),
          f"the strip {strip} differs from the background picture; see {harness.save(shot, name)}")


def density_192(exe):
    with harness.XServer(dpi=192) as server, harness.running(exe, server) as program:
        program.wait_for_place((1950, 1482), "at 192 dpi")
        pixels.wait_for_red(program)
        check_circles(program.screenshot(), 2.0, "density_192")


def fits_the_screen(exe):
    """Where the window would not fit, it opens at the largest density, in
    steps of 0.05, at which it does, and draws at that density; where it
    fits, it keeps its size. No window manager: no frame."""
    for screen, dpi, xft_dpi, density, client in (((1280, 720), 96, None, 0.95, (926, 704)),
                                                  ((1920, 1080), 96, 144, 1.45, (1414, 1074)),
                                                  ((1920, 1080), 96, None, 1.0, CLIENT_SIZE)):
        name = f"fits_{screen[0]}x{screen[1]}_{xft_dpi or dpi}dpi"
        with harness.XServer(dpi=dpi, size=screen, xft_dpi=xft_dpi) as server, \
                harness.running(exe, server) as program:
            left, top, width, height = program.wait_for_place(client, name)
            print(f"{name}: client area {width} x {height} at ({left}, {top})")
            pixels.wait_for_red(program)
            check_circles(program.screenshot(), density, name)


def hold(program):
    """Once the figure shows, holds the animation with the space bar and
    returns the still picture."""
    pixels.wait_for_red(program)
    program.key("space")
    return pixels.wait_still(program, "after the space bar")


def wait_to_show(program, expected, what):
    """Waits until the window shows `expected` again."""
    pixels.wait_for_picture(program, lambda shot: shot.tobytes() == expected.tobytes(),
                            lambda shot: f"{what}: {pixels.differing_pixels(shot, expected)} pixels differ from"
                                         f" before, as in {harness.save(expected, 'expected')}", "actual")


def check_not_restored_by_server(program, before, what):
    shot = program.screenshot()
    check(shot.tobytes() != before.tobytes(),
          f"{what}: the X server restored the window by itself, so this test cannot see the program repaint")


def cover_and_uncover(program, before):
    """Covers the window and uncovers it while the program is stopped, so
    that what shows afterwards is the program's repaint of the whole window."""
    left, top, width, height = program.client_rect()
    display = program.server.display
    screen = display.screen()
    green = screen.default_colormap.alloc_color(0, 0xFFFF, 0).pixel
    cover = screen.root.create_window(left - 10, top - 10, width + 20, height + 20, 0, screen.root_depth,
                                      background_pixel=green, override_redirect=True)
    # Stopped, the program cannot repaint: what the screen shows then is
    # the server's doing alone.
    os.kill(program.pid, signal.SIGSTOP)
    try:
        cover.map()
        display.sync()
        covered = program.screenshot()
        check(covered.getcolors() == [(width * height, (0, 255, 0))], "the covering window does not show")
        cover.unmap()
        display.sync()
        check_not_restored_by_server(program, before, "uncovered while stopped")
    finally:
        os.kill(program.pid, signal.SIGCONT)
    cover.destroy()
    display.sync()


def covered_and_uncovered(exe):
    with harness.running(exe) as program:
        before = hold(program)
        cover_and_uncover(program, before)
        wait_to_show(program, before, "after being uncovered")
        program.check_running()


def unmapped_and_mapped(exe):
    """Without a window manager, minimising and restoring come down to
    unmapping and mapping the window."""
    with harness.running(exe) as program:
        before = hold(program)
        window_id = program.window.id
        os.kill(program.pid, signal.SIGSTOP)
        try:
            program.server.xdotool("windowunmap", "--sync", window_id)
            program.server.xdotool("windowmap", "--sync", window_id)
            check_not_restored_by_server(program, before, "mapped again while stopped")
        finally:
            os.kill(program.pid, signal.SIGCONT)
        wait_to_show(program, before, "after being unmapped and mapped again")
        program.check_running()


def check_shown_parts_add_up(exe, dpi):
    """Each frame sends only the parts it changed. Held after running and
    steering, the screen must be what a repaint of the whole image shows: a
    part that changed but was not sent would differ."""
    scale = dpi / 96
    with harness.XServer(dpi=dpi) as server, harness.running(exe, server) as program:
        hold(program)
        ox, oy = pixels.origin(scale)
        # Held, each pointer move draws one frame from the last angle.
        for dx, dy in ((150, 0), (0, 150), (-150, -20), (30, -150), (100, 100)):
            program.point_at(round(ox + dx * scale), round(oy + dy * scale))
            time.sleep(0.1)
        before = pixels.wait_still(program, "held")
        cover_and_uncover(program, before)
        wait_to_show(program, before, f"at {dpi} dpi, a repaint of the whole image")
        program.check_running()


def shown_parts_add_up_96(exe):
    check_shown_parts_add_up(exe, 96)


def shown_parts_add_up_192(exe):
    check_shown_parts_add_up(exe, 192)


def resized(exe):
    """A window manager may give the window another size; SDL then replaces
    the surface the image is shown from, and the image must survive that.
    Larger, the window shows the image at the top left on the background
    colour; smaller, its top-left part; back at its size, all of it."""
    with harness.running(exe) as program:
        before = hold(program)
        window_id = program.window.id
        width, height = CLIENT_SIZE
        for size in ((1200, 900), (600, 500), CLIENT_SIZE):
            program.server.xdotool("windowsize", "--sync", window_id, *size)
            shot = pixels.wait_still(program, "held")
            program.check_running()
            check(shot.size == size, f"the window is {shot.size} after resizing to {size}")
            shown = (0, 0, min(width, size[0]), min(height, size[1]))
            check(shot.crop(shown).tobytes() == before.crop(shown).tobytes(),
                  f"at {size} the window does not show the image it showed before;"
                  f" see {harness.save(shot, 'resized')} and {harness.save(before, 'before_resizing')}")
            if size[0] > width:
                margin = shot.crop((width, 0) + size).getcolors()
                check(margin == [((size[0] - width) * size[1], pixels.GREY)],
                      f"right of the image the window shows {margin and margin[:3]}, expected the background"
                      f" colour; see {harness.save(shot, 'resized')}")
        cover_and_uncover(program, before)
        wait_to_show(program, before, "back at its size, after being uncovered")
        program.check_running()


CASES = {f.__name__: f for f in (title_and_size, picture_after_a_second, density_192, fits_the_screen,
                                 covered_and_uncovered, unmapped_and_mapped, shown_parts_add_up_96,
                                 shown_parts_add_up_192, resized)}

if __name__ == "__main__":
    raise SystemExit(harness.main(CASES))
