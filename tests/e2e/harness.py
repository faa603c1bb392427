"""Runs the real program in an X server of its own (Xvfb) and drives it with
real X input: xdotool for keys and the pointer, python-xlib for screenshots
and close requests. Every process started here is ended on the way out, and
dies with the test if the test itself is killed.

A test case is a function taking the program's path; `main` runs the one
named on the command line and fails loudly: there is no skipping. Every
wait for something to show polls with `wait_until`."""

import ctypes
import os
import select
import signal
import subprocess
import sys
import tempfile
import time
import traceback
from contextlib import contextmanager, nullcontext
from pathlib import Path

from PIL import Image
from Xlib import X, XK, Xatom
from Xlib import display as xdisplay
from Xlib.error import XError
from Xlib.ext import xtest
from Xlib.protocol import event as xevent

import facts

SCREEN_SIZE = (2560, 1600)
# Bounds on waits that mean "it hangs" when they run out, not speed limits.
SERVER_START_TIMEOUT_S = 10
WINDOW_TIMEOUT_S = 10
# The program's processor time within which its window shows: some fifty
# times what that takes.
WINDOW_PROCESSOR_S = 2
XDOTOOL_TIMEOUT_S = 30
# A wait bounded by the progress of what it waits for (as the program's
# processor time) still ends here on the wall clock, where nothing runs.
HANG_S = 60
# "At once": an ending that takes longer than this counts as hanging, with
# room for a busy machine. A sanitizer build checks for leaks at exit, which
# takes a good part of a second alone and several on a loaded machine.
SANITIZED_SLOWER = 4
ENDING_S = 2.0 * (SANITIZED_SLOWER if os.environ.get("E2E_SANITIZED") else 1)

ARTIFACTS = Path(os.environ.get("E2E_ARTIFACTS", Path(tempfile.gettempdir()) / "rotary-e2e-artifacts"))


class Failure(Exception):
    """A check on the running program failed."""


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(condition, what, timeout, clock=time.monotonic, pause=0.02):
    """Calls `condition` every `pause` seconds until it returns something
    true, and returns that. Fails with `what` (a text, or a function giving
    it) once `timeout` seconds have passed on `clock`: the wall clock, or one
    of the awaited work's progress, which a loaded machine slows as much as
    the work; HANG_S on the wall clock bounds every wait."""
    start, wall_start = clock(), time.monotonic()
    while not (result := condition()):
        if clock() - start > timeout or time.monotonic() - wall_start > HANG_S:
            raise Failure(f"{what() if callable(what) else what} (waited {time.monotonic() - wall_start:.1f} s)")
        time.sleep(pause)
    return result


def _die_with_parent():
    # PR_SET_PDEATHSIG: a test killed by CTest's timeout takes its X server
    # and program along instead of leaving them running.
    ctypes.CDLL("libc.so.6").prctl(1, signal.SIGKILL)


def spawn(command, env, stderr=subprocess.DEVNULL, **options):
    """Starts a process that dies with the test; `stop` ends it."""
    return subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=stderr,
                            preexec_fn=_die_with_parent, **options)


def stop(process):
    """Ends a process: SIGTERM, then SIGKILL if it lingers."""
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


class XServer:
    """An Xvfb on a free display number, without a window manager; with
    `xft_dpi`, the desktop scale that X11 desktops set as the Xft.dpi
    resource."""

    def __init__(self, dpi=96, size=SCREEN_SIZE, xft_dpi=None):
        self.dpi = dpi
        self.size = size
        self.xft_dpi = xft_dpi
        self.process = None
        self.name = None
        self.display = None

    def command(self, displayfd):
        """The server's command line, reporting its display on `displayfd`."""
        width, height = self.size
        # -noreset: the pointer would jump back to the middle when the last
        # client disconnects. Plain Xvfb reports 100 dpi, so pass it.
        return ["Xvfb", "-displayfd", str(displayfd), "-noreset", "-nolisten", "tcp",
                "-dpi", str(self.dpi), "-screen", "0", f"{width}x{height}x24"]

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.process = spawn(self.command(write_end), os.environ, pass_fds=(write_end,))
        os.close(write_end)
        try:
            number = self._read_display_number(read_end)
        finally:
            os.close(read_end)
        self.name = f":{number}"
        self.display = xdisplay.Display(self.name)
        if self.xft_dpi is not None:
            # What xrdb would store: the resources in one string on the root.
            self.display.screen().root.change_property(Xatom.RESOURCE_MANAGER, Xatom.STRING, 8,
                                                       f"Xft.dpi:\t{self.xft_dpi}\n".encode())
            self.display.sync()
        return self

    def _read_display_number(self, fd):
        deadline = time.monotonic() + SERVER_START_TIMEOUT_S
        text = b""
        while not text.endswith(b"\n"):
            left = deadline - time.monotonic()
            ready, _, _ = select.select([fd], [], [], max(0.0, left))
            if not ready:
                self.__exit__(None, None, None)
                raise Failure(f"Xvfb did not report a display within {SERVER_START_TIMEOUT_S} s")
            chunk = os.read(fd, 64)
            if not chunk:
                raise Failure(f"Xvfb ended before reporting a display (status {self.process.wait()})")
            text += chunk
        return int(text.strip())

    def __exit__(self, *exc):
        if self.display is not None:
            self.display.close()
            self.display = None
        if self.process is not None:
            stop(self.process)
            self.process = None
        return False

    def env(self):
        env = dict(os.environ, DISPLAY=self.name)
        env.pop("WAYLAND_DISPLAY", None)
        env.pop("SDL_VIDEODRIVER", None)
        return env

    def grab(self, left, top, width, height):
        """What the screen shows in a rectangle, as an RGB image."""
        reply = self.display.screen().root.get_image(left, top, width, height, X.ZPixmap, 0xFFFFFFFF)
        return Image.frombytes("RGB", (width, height), reply.data, "raw", "BGRX")

    def xdotool(self, *args):
        result = subprocess.run(["xdotool", *map(str, args)], env=self.env(), capture_output=True,
                                text=True, timeout=XDOTOOL_TIMEOUT_S)
        check(result.returncode == 0, f"xdotool {' '.join(map(str, args[:6]))} failed: {result.stderr.strip()}")
        return result.stdout

    def move_pointer(self, x, y):
        # Not "mousemove --sync": it waits for a movement, and there is none
        # when the pointer is already there (as in the middle at start).
        self.xdotool("mousemove", x, y)
        wait_until(lambda: self.pointer() == (x, y), f"the pointer did not reach ({x}, {y})", XDOTOOL_TIMEOUT_S)

    def viewable_windows(self, title, unmapped_too=False):
        """Ids of the mapped windows whose WM_NAME contains `title`:
        top-level ones, or up to two levels down under a window manager's
        frames; with `unmapped_too`, top-level ones not mapped as well. Each
        once: read while a window manager reparents a window, the tree can
        show it both on the root and in its frame."""
        found = {}

        def visit(window, depth):
            try:
                children = window.query_tree().children
            except XError:
                return
            for child in children:
                try:
                    viewable = child.get_attributes().map_state == X.IsViewable
                    name = child.get_full_property(Xatom.WM_NAME, X.AnyPropertyType)
                except XError:  # gone in the meantime
                    continue
                if (viewable or unmapped_too and depth == 0) and name and title in name.value.decode("latin-1"):
                    found[child.id] = True
                elif viewable and depth < 2:
                    visit(child, depth + 1)

        visit(self.display.screen().root, 0)
        return list(found)

    def pointer(self):
        reply = self.display.screen().root.query_pointer()
        return reply.root_x, reply.root_y


def send_fake_input(display, events):
    """Sends XTEST input: (event type, key code, x, y) in order; x and y are
    root coordinates of pointer moves."""
    root = display.screen().root
    for n, (kind, detail, x, y) in enumerate(events, 1):
        if kind == X.MotionNotify:
            xtest.fake_input(display, kind, detail=0, root=root, x=x, y=y)
        else:
            xtest.fake_input(display, kind, detail=detail)
        # python-xlib 0.33 joins every unsent request into one buffer, in time quadratic in their number.
        if n % 256 == 0:
            display.flush()
    display.sync()


def key_presses(display, name, count):
    """`count` presses and releases of the key for keysym `name`, as events
    for send_fake_input."""
    code = display.keysym_to_keycode(XK.string_to_keysym(name))
    check(code, f"the X server's keyboard lacks '{name}'")
    return [(X.KeyPress, code, 0, 0), (X.KeyRelease, code, 0, 0)] * count


class Program:
    """The program under test, running on `server`."""

    def __init__(self, server, exe):
        self.server = server
        self.command = [str(exe)]
        self.env = server.env()
        self.process = None
        self.window = None
        self.stderr_file = None

    def __enter__(self):
        self.stderr_file = tempfile.TemporaryFile()
        self.process = spawn(self.command, self.env, stderr=self.stderr_file)
        return self

    def __exit__(self, *exc):
        if self.process is not None:
            if self.process.poll() is None:
                self.process.kill()
            self.process.wait()
        if self.stderr_file is not None:
            self.stderr_file.close()
        return False

    @property
    def pid(self):
        return self.process.pid

    def stderr(self):
        self.stderr_file.seek(0)
        return self.stderr_file.read().decode(errors="replace")

    def find_window(self, timeout=WINDOW_PROCESSOR_S):
        """Waits until the program's window is mapped and returns its id;
        `timeout` is in the program's processor time."""
        def found():
            self.check_running()
            return self.server.viewable_windows(facts.CAPTION)
        ids = wait_until(found, f"no visible window titled {facts.CAPTION!r}", timeout, self.processor_s)
        check(len(ids) == 1, f"expected one window, found {len(ids)}")
        self.window = self.server.display.create_resource_object("window", ids[0])
        return ids[0]

    def title(self):
        d = self.server.display
        net_name = self.window.get_full_property(d.intern_atom("_NET_WM_NAME"), d.intern_atom("UTF8_STRING"))
        wm_name = self.window.get_full_property(Xatom.WM_NAME, X.AnyPropertyType)
        return (net_name.value.decode("utf-8") if net_name else None,
                wm_name.value.decode("latin-1") if wm_name else None)

    def client_rect(self):
        """The client area on the screen: left, top, width, height."""
        geometry = self.window.get_geometry()
        root = self.server.display.screen().root
        origin = root.translate_coords(self.window, 0, 0)
        return origin.x, origin.y, geometry.width, geometry.height

    def wait_for_place(self, size, what, within=None, frame=(0, 0, 0, 0)):
        """Waits until the client area is `size` and the window with `frame`
        (left, right, top, bottom) lies wholly in one of the rectangles
        `within` (left, top, width, height; by default the screen); returns
        the client area. The program fits the window again once it is shown,
        and a window manager may apply that a little later."""
        within = within or [(0, 0, *self.server.size)]
        fl, fr, ft, fb = frame

        def placed():
            rect = left, top, width, height = self.client_rect()
            inside = any(x <= left - fl and y <= top - ft and left + width + fr <= x + w and top + height + fb <= y + h
                         for x, y, w, h in within)
            return (width, height) == size and inside and rect
        return wait_until(placed, lambda: f"{what}: the client area {self.client_rect()} is not {size} with the"
                                          f" frame {frame} wholly in one of {within}", WINDOW_TIMEOUT_S)

    def screenshot(self):
        """What the screen shows over the client area."""
        return self.server.grab(*self.client_rect())

    def screen_point(self, px, py):
        """The screen position of client pixel (px, py)."""
        left, top, _, _ = self.client_rect()
        return left + px, top + py

    def point_at(self, px, py):
        self.server.move_pointer(*self.screen_point(px, py))

    def key(self, *keys, delay_ms=12):
        self.server.xdotool("key", "--delay", delay_ms, *keys)

    def hold_key(self, key, seconds):
        """Holds `key` down for `seconds`: past the X server's repeat delay
        (660 ms in Xvfb), its keyboard repeats the key."""
        self.server.xdotool("keydown", key)
        time.sleep(seconds)
        self.server.xdotool("keyup", key)

    def request_close(self):
        """WM_DELETE_WINDOW, as a window manager's close button sends it."""
        d = self.server.display
        message = xevent.ClientMessage(
            window=self.window, client_type=d.intern_atom("WM_PROTOCOLS"),
            data=(32, [d.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]))
        self.window.send_event(message, event_mask=X.NoEventMask)
        # flush() alone loses about half of these under Xvfb.
        d.sync()

    def wait_exit(self, timeout):
        """Waits for the program to end; returns its status and the time it took."""
        start = time.monotonic()
        try:
            status = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"the program was still running {timeout} s later") from None
        return status, time.monotonic() - start

    def check_ends(self, how, timeout=ENDING_S):
        """Checks that the program ends within `timeout` with status 0 and
        nothing on standard error."""
        status, took = self.wait_exit(timeout=timeout)
        check(status == 0 and not self.stderr(),
              f"after {how} the program ended with status {status}; stderr: {self.stderr().strip()!r}")
        print(f"{how}: status 0 after {took * 1000:.0f} ms")

    def check_running(self):
        """Fails if the program has ended; a condition for `wait_until`."""
        status = self.process.poll()
        check(status is None, f"the program ended unexpectedly with status {status}; stderr: {self.stderr().strip()!r}")

    def processor_s(self):
        """The processor time the program has had: how far it got, however
        busy the machine."""
        utime, stime = Path(f"/proc/{self.pid}/stat").read_text().rsplit(")", 1)[1].split()[11:13]
        return (int(utime) + int(stime)) / os.sysconf("SC_CLK_TCK")

    def resident_mb(self):
        for line in Path(f"/proc/{self.pid}/status").read_text().splitlines():
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
        raise Failure("no VmRSS in /proc/PID/status")

    @contextmanager
    def stopped(self):
        """The program stopped by SIGSTOP for the duration, so that its
        input piles up; SIGCONT afterwards."""
        os.kill(self.pid, signal.SIGSTOP)
        try:
            wait_until(lambda: Path(f"/proc/{self.pid}/stat").read_text().rsplit(")", 1)[1].split()[0] == "T",
                       "the program did not stop on SIGSTOP", WINDOW_TIMEOUT_S)
            yield
        finally:
            os.kill(self.pid, signal.SIGCONT)


@contextmanager
def running(exe, server=None, pointer=(0, 0)):
    """The program with its window shown on `server` (an X server already
    running, by default a fresh Xvfb), started with the pointer at `pointer`
    (a corner by default, so the new window does not open under it)."""
    with nullcontext(server) if server else XServer() as server:
        server.move_pointer(*pointer)
        with Program(server, exe) as program:
            program.find_window()
            yield program


def save(image, name):
    ARTIFACTS.mkdir(parents=True, exist_ok=True)
    path = ARTIFACTS / f"{name}.png"
    image.save(path)
    return path


def main(cases):
    """Runs the case named by argv[2] on the program at argv[1]."""
    if len(sys.argv) != 3 or sys.argv[2] not in cases:
        print(f"usage: {sys.argv[0]} PROGRAM {'|'.join(cases)}", file=sys.stderr)
        return 2
    exe, name = Path(sys.argv[1]), sys.argv[2]
    if not os.access(exe, os.X_OK):
        print(f"FAIL: {exe} is not an executable program", file=sys.stderr)
        return 1
    try:
        cases[name](exe)
    except Failure as failure:
        print(f"FAIL {name}: {failure}", file=sys.stderr)
        return 1
    except Exception:
        traceback.print_exc()
        print(f"FAIL {name}: the test itself broke", file=sys.stderr)
        return 1
    print(f"PASS {name}")
    return 0
