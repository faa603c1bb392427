#!/usr/bin/python3
"""The Windows program under Wine, in an X server of its own and a fresh Wine
prefix: its version information carries the copyright; --version answers
on standard output; started without a console, as from a shortcut, /? shows
the help and an unknown argument the error in a message box, and the box's
button ends it with the status of either; then at 96 and at 192 dpi (Wine's
LogPixels) the window, found by its caption, has the client area of that
density and the icon of the executable's resources, shows the red figure,
the red centre circle and the blue circle, holds on the space bar and, held
down past the keyboard's repeat delay, acts once each time, the
eccentricity's keys keep their range, and Escape ends it with status 0."""

import os
import shutil
import subprocess
import tempfile
import time

from PIL import Image
from Xlib import X

import harness
import pixels
import test_window
from facts import CLIENT_SIZE
from harness import check

WINE = os.environ.get("ROTARY_WINE", "/usr/lib/wine/wine64")
# The icon file the executable's resources were made from.
ICON_FILE = os.environ.get("ROTARY_ICON_FILE", "rotary-envelope.ico")
# Bounds that mean "it hangs": a fresh prefix takes Wine some seconds to make.
WINE_COMMAND_TIMEOUT_S = 120
WINDOW_TIMEOUT_S = 30
# Wine 8.0 without a window manager waits 2 s for one to withdraw a closing
# window (wait_for_withdrawn_state).
ENDING_S = 5.0
DENSITIES = ((96, 1.0), (192, 2.0))
COPYRIGHT = "Copyright (c) 2026 the rotary-envelope developers"
MESSAGE_BOX_TITLE = "Rotary Envelope"
# Darker than this is text (or the box's icon and button).
DARK = 80


class WinePrefix:
    """A Wine prefix of its own in a temporary folder, made on `server`
    without the Mono and Gecko prompts; its server is ended on the way out."""

    def __init__(self, server):
        self.server = server
        self.folder = None
        self.env = None

    def __enter__(self):
        self.folder = tempfile.mkdtemp(prefix="rotary-wine-")
        self.env = dict(self.server.env(), WINEPREFIX=self.folder, WINEDLLOVERRIDES="mscoree,mshtml=",
                        WINEDEBUG="-all")
        start = time.monotonic()
        self.run("wineboot", "-i")
        print(f"Wine prefix made in {time.monotonic() - start:.1f} s")
        return self

    def __exit__(self, *exc):
        wineserver = shutil.which("wineserver64", path=os.path.dirname(WINE)) or "wineserver"
        subprocess.run([wineserver, "-k"], env=self.env, capture_output=True, timeout=WINE_COMMAND_TIMEOUT_S)
        shutil.rmtree(self.folder, ignore_errors=True)
        return False

    def run(self, *args):
        """Runs a Windows program under Wine; returns what it printed."""
        result = subprocess.run([WINE, *map(str, args)], env=self.env, capture_output=True, text=True,
                                timeout=WINE_COMMAND_TIMEOUT_S)
        check(result.returncode == 0, f"wine {' '.join(map(str, args))} ended with status {result.returncode};"
                                      f" stderr: {result.stderr.strip()!r}")
        return result.stdout

    def set_dpi(self, dpi):
        """The density Wine reports to programs started from now on."""
        self.run("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d", dpi, "/f")


class WineProgram(harness.Program):
    def __init__(self, server, exe, wine):
        super().__init__(server, exe)
        self.command = [WINE, str(exe)]
        self.env = wine.env

    def find_window(self, timeout=WINDOW_TIMEOUT_S):
        """Also gives the window the keyboard focus, as a window manager or a
        click would: Wine does not take it by itself."""
        found = super().find_window(timeout)
        self.window.set_input_focus(X.RevertToParent, X.CurrentTime)
        self.server.display.sync()
        return found


def check_icon(program):
    """The window's largest icon is the picture of that size in the icon
    file, pixel for pixel."""
    pictures = test_window.icon_pictures(program)
    size = max(pictures, default=0)
    with Image.open(ICON_FILE) as icon:
        check((size, size) in icon.info["sizes"], f"the window's icons are {sorted(pictures)} pixels, the file's"
                                                 f" {sorted(icon.info['sizes'])}")
        icon.size = (size, size)
        expected = [a << 24 | r << 16 | g << 8 | b for r, g, b, a in icon.convert("RGBA").getdata()]
    differing = sum(1 for p, q in zip(pictures[size], expected) if p != q)
    check(differing == 0, f"{differing} pixels of the {size} px icon differ from the icon file's")
    print(f"icon sizes {sorted(pictures)}")


def check_window(program, dpi, scale):
    name = f"wine_{dpi}dpi"
    expected = (round(CLIENT_SIZE[0] * scale), round(CLIENT_SIZE[1] * scale))
    left, top, width, height = program.wait_for_place(expected, name)
    print(f"{name}: client area {width} x {height} at ({left}, {top})")
    check_icon(program)

    pixels.wait_for_red(program)
    time.sleep(pixels.APART_S)  # a few frames: the trail and both circles
    shot = program.screenshot()
    harness.save(shot, name)
    test_window.check_circles(shot, scale, name)
    figure = pixels.figure_pixels(shot, scale)
    check(len(figure) > 1000 * scale, f"{name}: only {len(figure)} pixels of the red figure;"
                                      f" see {harness.save(shot, name)}")

    held = test_window.hold(program)
    pixels.check_stays(program, held, f"{name}: held,")
    # Held past the repeat delay, the space bar resumes once, then holds once.
    program.hold_key("space", 0.9)
    pixels.check_moves(program, f"{name}: after the space bar held 0.9 s,")
    program.hold_key("space", 1.2)
    pixels.wait_still(program, f"{name}: after the space bar held 1.2 s")
    test_window.check_eccentricity_ends(program, scale, name)

    program.key("Escape")
    program.check_ends(f"{name}: Escape", timeout=ENDING_S)


def text_lines(image):
    """Bands of rows with dark pixels: the lines of text in a message box."""
    grey = image.convert("L")
    dark_rows = [any(grey.getpixel((x, y)) < DARK for x in range(grey.width)) for y in range(grey.height)]
    return sum(1 for y, dark in enumerate(dark_rows) if dark and (y == 0 or not dark_rows[y - 1]))


def check_message_box(server, wine, exe, args, status, lines):
    """Started without a console (`start` gives it none), the program shows
    `lines` (a range) lines of text in a message box; Return on its button
    ends it with `status`."""
    process = harness.spawn([WINE, "start", "/wait", "/unix", str(exe), *args], wine.env)

    def shown():
        check(process.poll() is None, f"{args}: the program ended with status {process.poll()}")
        return server.viewable_windows(MESSAGE_BOX_TITLE)
    try:
        found = harness.wait_until(shown, f"{args}: no message box titled {MESSAGE_BOX_TITLE!r}", WINDOW_TIMEOUT_S)
        box = server.display.create_resource_object("window", found[0])
        geometry = box.get_geometry()
        origin = server.display.screen().root.translate_coords(box, 0, 0)
        name = f"message_box_{args[0].strip('-/?') or 'help'}"
        shots = []

        def painted():
            # Wine maps the box before it paints the text.
            shots[:] = [server.grab(origin.x, origin.y, geometry.width, geometry.height)]
            return text_lines(shots[0]) in lines
        harness.wait_until(painted, lambda: f"{args}: {text_lines(shots[0])} lines in the message box, expected"
                           f" {lines.start} to {lines.stop - 1}; see {harness.save(shots[0], name)}", WINDOW_TIMEOUT_S)
        shot = shots[0]
        box.set_input_focus(X.RevertToParent, X.CurrentTime)
        server.display.sync()
        server.xdotool("key", "Return")
        try:
            ended = process.wait(timeout=ENDING_S)
        except subprocess.TimeoutExpired:
            raise harness.Failure(f"{args}: the program still ran {ENDING_S} s after Return on the message"
                                  " box") from None
        check(ended == status, f"{args}: the message box's button ended the program with status {ended}")
        print(f"{args}: {text_lines(shot)} lines in a message box, then status {ended}")
    finally:
        harness.stop(process)


def windows_program(exe):
    check(f"LegalCopyright\0{COPYRIGHT}".encode("utf-16-le") in exe.read_bytes(),
          f"the version information does not carry {COPYRIGHT!r}")
    with harness.XServer() as server:
        server.move_pointer(0, 0)
        with WinePrefix(server) as wine:
            version = wine.run(exe, "--version")
            check(version.startswith("rotary-envelope "), f"--version printed {version!r}")
            check_message_box(server, wine, exe, ["/?"], 0, range(25, 60))
            check_message_box(server, wine, exe, ["--bogus-\u00fc\u20ac"], 2, range(1, 4))
            for dpi, scale in DENSITIES:
                wine.set_dpi(dpi)
                with WineProgram(server, exe, wine) as program:
                    program.find_window()
                    check_window(program, dpi, scale)


if __name__ == "__main__":
    raise SystemExit(harness.main({"windows_program": windows_program}))
