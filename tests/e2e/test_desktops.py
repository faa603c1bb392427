#!/usr/bin/python3
"""The program on real desktops: under window managers from Debian (openbox;
fluxbox, whose toolbar at the bottom the window's frame must keep clear of;
openbox stopped before it maps the window, when a signal must still end the
program); under weston 10 nested in Xvfb, on Wayland at output scale 1
and, beside Xwayland, at scale 2, where it must draw at the output's
density; on the second of two monitors (Xorg's dummy driver); on displays
refreshing at 144 and 30 Hz, where it keeps the pace of 60 passes a second;
with its window destroyed by another client, with no window manager and
under two (status 0, no X error); and with its X server or its Wayland
compositor gone (status 1, one line). On each desktop the window shows at
its size, a key acts and the program ends with status 0."""

import os
import re
import signal
import time

import harness
import pixels
from desktops import START_TIMEOUT_S, WESTON_OUTPUT, Weston, XorgDummy, openbox, window_manager
from facts import CAPTION, CLIENT_SIZE
from harness import check
from Xlib import Xatom
from test_window import check_circles, check_eccentricity_ends

APP_ID = "io.github.rotary_envelope.RotaryEnvelope"
# Runs of the window destroyed under each window manager: SDL's wait for a
# gone window's unmap blocked in about half of them.
DESTROYED_RUNS = 5
# How long the program waits for a stopped window manager to map the window
# before a signal asks it to end.
UNMAPPED_S = 0.5
# The screen where fluxbox's toolbar leaves less height than the window and
# its frame need at 96 dpi.
FLUXBOX_SCREEN = (1366, 768)
# Two monitors side by side: the primary too small for the window at
# 96 dpi, the second large enough.
SMALL_MONITOR, LARGE_MONITOR = (1280, 720), (1920, 1080)
# The turn of 60 passes a second at the start-up speed, 15 steps of 2 pi /
# 1000 radians a pass.
PACE_DEGREES_A_SECOND = 60 * 15 * 360 / 1000


def frame_extents(program):
    """The frame the window manager reported: left, right, top, bottom."""
    frame = program.window.get_full_property(program.server.display.intern_atom("_NET_FRAME_EXTENTS"),
                                             Xatom.CARDINAL)
    check(frame is not None, "the window manager reported no frame")
    return tuple(frame.value)


def under_openbox(exe):
    with harness.XServer() as server, openbox(server), harness.running(exe, server) as program:
        program.wait_for_place(CLIENT_SIZE, "under openbox")
        check(frame_extents(program)[2] > 0, "openbox put no title bar on the window")
        pixels.wait_for_red(program)
        program.key("space")
        pixels.wait_still(program, "after the space bar")
        program.key("Escape")
        program.check_ends("Escape under openbox")


def fits_the_work_area(exe):
    """Under fluxbox, whose toolbar at the bottom leaves less height than the
    window takes at 96 dpi, the window with the frame fluxbox reports after
    mapping it lies wholly in the work area, at the largest density that
    fits."""
    with harness.XServer(size=FLUXBOX_SCREEN) as server, window_manager(server, "fluxbox"), \
            harness.running(exe, server) as program:
        pixels.wait_for_red(program)
        area = server.display.screen().root.get_full_property(server.display.intern_atom("_NET_WORKAREA"),
                                                              Xatom.CARDINAL)
        check(area is not None, "fluxbox reported no work area")
        work_area, frame = area.value[:4], frame_extents(program)
        # 0.95 of the size at 96 dpi; 1.0 would not fit with the frame.
        rect = program.wait_for_place((926, 704), "under fluxbox", [work_area], frame)
        print(f"work area {work_area}, the client area {rect} in the frame {frame}")
        # fluxbox gives a new window no focus, so no key: closed from its frame.
        program.request_close()
        program.check_ends("closed under fluxbox")


def signals_while_unmapped(exe):
    """With openbox stopped, the window is never mapped: SIGTERM, SIGINT and
    SIGHUP still end the program at once with status 0."""
    with harness.XServer() as server, openbox(server) as wm:
        os.kill(wm.pid, signal.SIGSTOP)
        try:
            for signal_number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
                server.move_pointer(0, 0)
                with harness.Program(server, exe) as program:
                    harness.wait_until(lambda: program.check_running() or
                                       server.viewable_windows(CAPTION, unmapped_too=True),
                                       "the program made no window", harness.WINDOW_TIMEOUT_S)
                    time.sleep(UNMAPPED_S)
                    check(not server.viewable_windows(CAPTION), "the stopped openbox mapped the window")
                    os.kill(program.pid, signal_number)
                    program.check_ends(f"{signal.Signals(signal_number).name} before the map")
        finally:
            os.kill(wm.pid, signal.SIGCONT)


def client_area(shot, density):
    """The program's client area in a screenshot, found by the blue circle
    about the origin: (left, top, width, height)."""
    blue = pixels.pixels_of(shot, pixels.BLUE)
    check(blue, f"no blue circle on weston's screen; see {harness.save(shot, 'weston')}")
    xs, ys = [x for x, _ in blue], [y for _, y in blue]
    ox, oy = pixels.origin(density)
    left, top = round((min(xs) + max(xs)) / 2 - ox), round((min(ys) + max(ys)) / 2 - oy)
    return left, top, round(CLIENT_SIZE[0] * density), round(CLIENT_SIZE[1] * density)


def uniform_blocks(image, dx, dy):
    """Whether every 2 x 2 block from (dx, dy) on is one colour, as in an
    image enlarged twice."""
    w, h = image.size
    data = image.load()
    return all(data[x, y] == data[x + 1, y] == data[x, y + 1] == data[x + 1, y + 1]
               for y in range(dy, h - 1, 2) for x in range(dx, w - 1, 2))


# Buffers a Wayland client makes: in shared memory (width and height after
# the offset) or from a dmabuf.
BUFFER = re.compile(r"(?:create_buffer\(new id wl_buffer@\d+, \d+|create_immed\(new id wl_buffer@\d+), (\d+), (\d+)")


def on_weston(exe, scale, xwayland, wayland):
    """Shows sharp at its size; a key holds it and Escape ends it with status
    0. On Wayland (`wayland`) with the desktop entry's app id and the
    caption, and the eccentricity's keys keep their range; otherwise through
    Xwayland."""
    with harness.XServer(size=(WESTON_OUTPUT[0] * scale, WESTON_OUTPUT[1] * scale)) as server, \
            Weston(server, scale, xwayland) as weston, harness.Program(weston, exe) as program:
        name = f"weston_scale_{scale}{'_xwayland' if xwayland else ''}"

        def has_red():
            program.check_running()
            return pixels.has_colour(weston.screenshot(), pixels.RED)
        harness.wait_until(has_red, "no red frame on weston's screen", START_TIMEOUT_S)
        program.key("space")
        shot = pixels.wait_still(program, "after the space bar", weston)
        left, top, width, height = client_area(shot, scale)
        window = shot.crop((left, top, left + width, top + height))
        check_circles(window, scale, name)
        if scale > 1:
            check(not uniform_blocks(window, 0, 0) and not uniform_blocks(window, 1, 1),
                  f"the window is enlarged from a lower density; see {harness.save(window, name)}")
        if wayland:
            check_eccentricity_ends(program, scale, name, weston,
                                    lambda shot: shot.crop((left, top, left + width, top + height)))
        program.key("Escape")
        status, took = program.wait_exit(harness.ENDING_S)
        log = program.stderr()
        check(status == 0, f"{name}: Escape ended the program with status {status}; stderr ends {log[-300:]!r}")
        if wayland:
            check(f'set_app_id("{APP_ID}")' in log, f"the app id is not {APP_ID}")
            check(f'set_title("{CAPTION}")' in log, "the title is not the caption")
            sizes = {(int(w), int(h)) for w, h in BUFFER.findall(log)}
            check((width, height) in sizes, f"no buffer of {width} x {height} pixels among {sorted(sizes)}")
        else:
            check("xdg_toplevel" not in log, "the program made a Wayland window where Xwayland was to serve")
        print(f"{name}: client area {width} x {height} at ({left}, {top}), ended after {took * 1000:.0f} ms")


def wayland_scale_1(exe):
    on_weston(exe, 1, xwayland=False, wayland=True)


def xwayland_scale_1(exe):
    on_weston(exe, 1, xwayland=True, wayland=False)


def wayland_beside_xwayland_scale_2(exe):
    on_weston(exe, 2, xwayland=True, wayland=True)


def wayland_display_lost(exe):
    """Weston killed under the program on Wayland: status 1 and one line
    naming the display."""
    with harness.XServer(size=WESTON_OUTPUT) as server, Weston(server, 1, xwayland=False) as weston:
        program = harness.Program(weston, exe)
        del program.env["WAYLAND_DEBUG"]
        with program:
            harness.wait_until(lambda: program.check_running() or pixels.has_colour(weston.screenshot(), pixels.RED),
                               "no red frame on weston's screen", START_TIMEOUT_S)
            weston.process.kill()
            status, _ = program.wait_exit(harness.ENDING_S)
            lines = program.stderr().splitlines()
            check(status == 1 and len(lines) == 1 and '"wayland-test"' in lines[0],
                  f"with weston gone the program ended with status {status}, stderr {lines}")
            print(f"weston gone: {lines[0]}")


def destroy(server, program, how):
    program.window.destroy()
    server.display.sync()
    program.check_ends(f"the window destroyed {how}")


def destroyed_window(exe):
    """Another client destroys the window, running and then held, and under
    openbox and icewm several times: the program ends at once with status 0
    and prints nothing. Its X server going away ends it with status 1 and
    one line."""
    with harness.XServer() as server:
        for held in (False, True):
            with harness.running(exe, server) as program:
                pixels.wait_for_red(program)
                if held:
                    program.key("space")
                    pixels.wait_still(program, "after the space bar")
                destroy(server, program, f"while {'held' if held else 'running'}")
        for name in ("openbox", "icewm"):
            with window_manager(server, name):
                for run in range(DESTROYED_RUNS):
                    with harness.running(exe, server) as program:
                        pixels.wait_for_red(program)
                        destroy(server, program, f"under {name}, run {run + 1}")
        with harness.running(exe, server) as program:
            pixels.wait_for_red(program)
            server.display.close()
            server.display = None
            harness.stop(server.process)
            status, _ = program.wait_exit(harness.ENDING_S)
            lines = program.stderr().splitlines()
            check(status == 1 and len(lines) == 1 and server.name in lines[0],
                  f"with its X server gone the program ended with status {status}, stderr {lines}")
            print(f"X server gone: {lines[0]}")


def check_on_one_monitor(program, frame, expected_size, what):
    pixels.wait_for_red(program)
    monitors = [(0, 0) + SMALL_MONITOR, (SMALL_MONITOR[0], 0) + LARGE_MONITOR]
    left, top, width, height = program.wait_for_place(expected_size, f"{what}, on one monitor", monitors, frame)
    print(f"{what}: client area {width} x {height} at ({left}, {top})")


def second_monitor(exe):
    """With the pointer on the large second monitor, the window opens there
    at full size where no window manager places it; openbox puts it on the
    small primary, where it fits with its frame."""
    with XorgDummy(SMALL_MONITOR, LARGE_MONITOR) as server:
        middle_of_large = (SMALL_MONITOR[0] + LARGE_MONITOR[0] // 2, LARGE_MONITOR[1] // 2 - 300)
        with harness.running(exe, server, middle_of_large) as program:
            check_on_one_monitor(program, (0, 0, 0, 0), CLIENT_SIZE, "no window manager")
            left, _, width, _ = program.client_rect()
            check(left >= SMALL_MONITOR[0], "without a window manager the window is not on the pointer's monitor")
            program.key("Escape")
            program.check_ends("Escape on the second monitor")
        with openbox(server), harness.running(exe, server, middle_of_large) as program:
            frame = frame_extents(program)
            # The density, in steps of 0.05, at which the client area and
            # openbox's frame fit 1280 x 720: 0.9.
            check_on_one_monitor(program, frame, (878, 667), "openbox")
            program.key("Escape")
            program.check_ends("Escape under openbox on the primary monitor")


def on_display_at(exe, hz):
    """On a display refreshing at `hz` the figure turns as 60 passes a second
    turn it, however many frames the display shows."""
    with XorgDummy((1280, 1024, hz)) as server:
        current = re.search(r"([\d.]+)\*", server.xrandr("--query"))
        check(current and round(float(current[1])) == hz, f"the display does not refresh at {hz} Hz: {current}")
        with harness.running(exe, server) as program:
            pixels.wait_for_red(program)
            pace = pixels.turn_rate(program) / PACE_DEGREES_A_SECOND
            print(f"at {hz} Hz the figure turns {pace:.2f} times as fast as 60 passes a second turn it")
            check(0.7 < pace < 1.3, f"at {hz} Hz the figure turns {pace:.2f} times as fast as 60 passes a second"
                                    " turn it")
            program.key("Escape")
            program.check_ends(f"Escape at {hz} Hz")


def refresh_144(exe):
    on_display_at(exe, 144)


def refresh_30(exe):
    on_display_at(exe, 30)


CASES = {f.__name__: f for f in (under_openbox, fits_the_work_area, signals_while_unmapped, wayland_scale_1,
                                 xwayland_scale_1, wayland_beside_xwayland_scale_2, wayland_display_lost,
                                 destroyed_window, second_monitor, refresh_144, refresh_30)}

if __name__ == "__main__":
    raise SystemExit(harness.main(CASES))
