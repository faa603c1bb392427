"""Desktops beyond a bare Xvfb, for the program to run on: a window manager
on an X server, Xorg with the dummy driver (monitors side by side, refresh
rates), weston nested in an X server (Wayland, and Xwayland beside it).
Each is a context manager that ends what it started on the way out."""

import os
import shutil
import subprocess
import tempfile
from contextlib import contextmanager
from pathlib import Path

import harness
from Xlib import Xatom

# A bound that means "it hangs": software OpenGL on a loaded machine is slow.
START_TIMEOUT_S = 30
# Weston's output in its own (logical) pixels: room for the window, its
# title bar and weston's panel.
WESTON_OUTPUT = (1100, 850)
XORG_DUMMY_CONFIG = """Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 65536
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual {0} {1}
  EndSubSection
EndSection
"""


@contextmanager
def window_manager(server, name):
    """The window manager `name` (openbox, fluxbox, icewm) managing `server`'s
    screen, once it has said so on the root; with a home of its own for what
    it writes there."""
    home = tempfile.mkdtemp(prefix=f"rotary-{name}-")
    process = harness.spawn([name], dict(server.env(), HOME=home))
    check_atom = server.display.intern_atom("_NET_SUPPORTING_WM_CHECK")
    try:
        harness.wait_until(lambda: server.display.screen().root.get_full_property(check_atom, Xatom.WINDOW),
                           f"{name} did not start", START_TIMEOUT_S)
        yield process
    finally:
        harness.stop(process)
        shutil.rmtree(home, ignore_errors=True)


def openbox(server):
    return window_manager(server, "openbox")


class Weston:
    """weston nested in `server` (its x11 backend, pixman), optionally with
    Xwayland; env() is what a client of it gets."""

    def __init__(self, server, scale, xwayland):
        self.server, self.scale, self.xwayland = server, scale, xwayland
        self.runtime_dir = self.process = self.log = None
        self.x_display = None

    def __enter__(self):
        self.runtime_dir = tempfile.mkdtemp(prefix="rotary-weston-")  # 0700, as the protocol asks
        self.log = Path(self.runtime_dir) / "weston.log"
        width, height = WESTON_OUTPUT
        command = ["weston", "--backend=x11-backend.so", "--use-pixman", "--idle-time=0", "--socket=wayland-test",
                   f"--width={width}", f"--height={height}", f"--scale={self.scale}", f"--log={self.log}"]
        if self.xwayland:
            command.append("--xwayland")
        self.process = harness.spawn(command, dict(self.server.env(), XDG_RUNTIME_DIR=self.runtime_dir))
        socket = Path(self.runtime_dir) / "wayland-test"
        harness.wait_until(lambda: socket.exists() and self.process.poll() is None, "weston did not start",
                           START_TIMEOUT_S)
        if self.xwayland:
            marker = "xserver listening on display "
            harness.wait_until(lambda: marker in self.log.read_text(), "weston did not start Xwayland",
                               START_TIMEOUT_S)
            self.x_display = self.log.read_text().split(marker, 1)[1].split()[0]
        # Weston's pointer follows the X pointer over its window: parked on
        # its panel, it rests on no window.
        self.server.move_pointer(4, 4)
        return self

    def __exit__(self, *exc):
        harness.stop(self.process)
        shutil.rmtree(self.runtime_dir, ignore_errors=True)
        return False

    def env(self):
        env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime_dir, WAYLAND_DISPLAY="wayland-test",
                   WAYLAND_DEBUG="client")
        env.pop("SDL_VIDEODRIVER", None)
        env.pop("DISPLAY", None)
        if self.x_display:
            env["DISPLAY"] = self.x_display
        return env

    def screenshot(self):
        """What weston shows, in the outer X server."""
        return self.server.grab(0, 0, WESTON_OUTPUT[0] * self.scale, WESTON_OUTPUT[1] * self.scale)

    def xdotool(self, *args):
        return self.server.xdotool(*args)


class XorgDummy(harness.XServer):
    """Xorg with the dummy driver and RandR monitors side by side, the first
    primary: (width, height) in a mode of the driver's own, or (width,
    height, hz) in the one mode made for that refresh rate."""

    def __init__(self, *monitors):
        super().__init__(size=(sum(m[0] for m in monitors), max(m[1] for m in monitors)))
        self.monitors = monitors
        self.folder = tempfile.mkdtemp(prefix="rotary-xorg-")
        Path(self.folder, "xorg.conf").write_text(XORG_DUMMY_CONFIG.format(*self.size))

    def command(self, displayfd):
        return ["Xorg", "-displayfd", str(displayfd), "-config", f"{self.folder}/xorg.conf", "-configdir",
                self.folder, "-logfile", f"{self.folder}/xorg.log", "-noreset", "-nolisten", "tcp", "-dpi", "96"]

    def __enter__(self):
        super().__enter__()
        layout, left = [], 0
        for n, (width, height, *hz) in enumerate(self.monitors):
            mode = f"{width}x{height}"
            if hz:
                # Modeline "1280x1024_144.00" 284.64 1280 1384 ...
                modeline = subprocess.run(["gtf", str(width), str(height), str(hz[0])], check=True, timeout=10,
                                          capture_output=True, text=True).stdout.split("Modeline")[1].split()
                mode = modeline[0].strip('"')
                self.xrandr("--newmode", mode, *modeline[1:])
            if n > 0 or hz:
                self.xrandr("--addmode", f"DUMMY{n}", mode)
            layout += ["--output", f"DUMMY{n}", "--mode", mode, "--pos", f"{left}x0", *(["--primary"] if n == 0 else [])]
            left += width
        self.xrandr(*layout)
        # The dummy outputs' state that other clients read changes on a probe.
        self.xrandr("--query")
        return self

    def xrandr(self, *args):
        return subprocess.run(["xrandr", *args], env=self.env(), check=True, timeout=10, capture_output=True,
                              text=True).stdout

    def __exit__(self, *exc):
        super().__exit__(*exc)
        shutil.rmtree(self.folder, ignore_errors=True)
        return False
