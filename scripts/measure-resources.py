#!/usr/bin/python3
"""Measures what the real program costs: it runs the executable in its own
Xvfb and reports the time from launch to the first frame on screen, processor
use while running and while held (percent of one core, from /proc), and peak
resident memory. A measuring tool, not a test: it asserts nothing.

    scripts/measure-resources.py [EXECUTABLE] [--seconds N]

EXECUTABLE defaults to build/app/src/window/rotary-envelope (`cmake --preset app &&
cmake --build --preset app` builds it). Needs xvfb, xdotool and python3-xlib
(scripts/install-deps.sh test). Call it with /usr/bin/python3.
"""

import argparse
import os
import platform
import subprocess
import sys
import time

from Xlib import X, display as xdisplay

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_EXECUTABLE = os.path.join(ROOT, "build", "app", "src", "window", "rotary-envelope")
SCREEN = (1280, 1024)
WINDOW_NAME = "Rotary Envelope"
# Red as the program draws it, in the X server's 32-bit pixels (B, G, R, x).
RED_BGR = b"\x00\x00\xff"
# Rows about the origin (y = 0 lies about 404 pixels below the window's top):
# every figure crosses them, so the first red frame shows there.
BAND_TOP, BAND_ROWS = 380, 48
TARGETS = {"first_frame_ms": 200, "running_pct": 15, "held_pct": 3, "peak_rss_mb": 40}


def free_display():
    for n in range(90, 200):
        if not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"):
            return f":{n}"
    sys.exit("measure-resources: no free X display number")


def start_xvfb(name):
    server = subprocess.Popen(
        ["Xvfb", name, "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24", "-noreset", "-nolisten", "tcp", "-dpi", "96"],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        try:
            return server, xdisplay.Display(name)
        except Exception:
            time.sleep(0.05)
    server.kill()
    sys.exit("measure-resources: Xvfb did not start")


def find_window(d):
    """The program's top-level window, or None."""
    for child in d.screen().root.query_tree().children:
        try:
            name = child.get_wm_name()
        except Exception:
            continue
        if name and WINDOW_NAME in name:
            return child
    return None


def shows_red(window):
    try:
        geometry = window.get_geometry()
        image = window.get_image(0, BAND_TOP, geometry.width, BAND_ROWS, X.ZPixmap, 0xFFFFFFFF)
    except Exception:
        return False  # not mapped yet
    data = image.data
    at = data.find(RED_BGR)
    while at >= 0:
        if at % 4 == 0:
            return True
        at = data.find(RED_BGR, at + 1)
    return False


def still_changing(window, wait=0.3):
    """Whether the window's pixels change within `wait` seconds."""
    def shot():
        g = window.get_geometry()
        return window.get_image(0, 0, g.width, g.height, X.ZPixmap, 0xFFFFFFFF).data
    before = shot()
    time.sleep(wait)
    return shot() != before


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    # utime and stime, fields 14 and 15 of the line, cover all the threads.
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def percent_of_core(pid, seconds):
    start_cpu, start = cpu_seconds(pid), time.monotonic()
    time.sleep(seconds)
    return 100 * (cpu_seconds(pid) - start_cpu) / (time.monotonic() - start)


def status_kb(pid, key):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


def cpu_model():
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                return line.split(":", 1)[1].strip()
    return platform.processor() or "unknown"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("executable", nargs="?", default=DEFAULT_EXECUTABLE)
    parser.add_argument("--seconds", type=float, default=4, help="length of each processor measurement")
    args = parser.parse_args()
    if not os.access(args.executable, os.X_OK):
        sys.exit(f"measure-resources: {args.executable} is not built (cmake --preset app && cmake --build --preset app)")

    name = free_display()
    server, d = start_xvfb(name)
    env = dict(os.environ, DISPLAY=name)
    program = None
    try:
        # A pointer resting over the new window would hold the animation.
        subprocess.run(["xdotool", "mousemove", str(SCREEN[0] - 1), str(SCREEN[1] - 1)], env=env, check=True)
        start = time.monotonic()
        program = subprocess.Popen([args.executable], env=env)
        window = None
        first_frame_ms = None
        while time.monotonic() - start < 10 and program.poll() is None:
            window = window or find_window(d)
            if window is not None and shows_red(window):
                first_frame_ms = 1000 * (time.monotonic() - start)
                break
        if first_frame_ms is None:
            sys.exit("measure-resources: no red frame within 10 s")

        time.sleep(0.5)  # past start-up
        running = percent_of_core(program.pid, args.seconds)
        subprocess.run(["xdotool", "key", "space"], env=env, check=True)
        time.sleep(0.5)
        if still_changing(window):
            sys.exit("measure-resources: the space bar did not hold the animation")
        held = percent_of_core(program.pid, args.seconds)
        peak_rss_mb = status_kb(program.pid, "VmHWM") / 1024
        threads = status_kb(program.pid, "Threads")

        figures = {"first_frame_ms": first_frame_ms, "running_pct": running, "held_pct": held,
                   "peak_rss_mb": peak_rss_mb}
        print(f"machine: {os.cpu_count()} cores, {cpu_model()}")
        print(f"program: {args.executable} ({threads} threads)")
        labels = {"first_frame_ms": ("first frame on screen", "ms after launch"),
                  "running_pct": ("processor while running", "% of one core"),
                  "held_pct": ("processor while held", "% of one core"),
                  "peak_rss_mb": ("peak resident memory", "MB (VmHWM)")}
        for key, (label, unit) in labels.items():
            verdict = "within" if figures[key] <= TARGETS[key] else "OVER"
            print(f"{label:26} {figures[key]:7.1f} {unit:16} target {TARGETS[key]}: {verdict}")

        # The window has the input focus (no window manager): escape quits.
        subprocess.run(["xdotool", "key", "Escape"], env=env, check=False)
        try:
            program.wait(timeout=5)
        except subprocess.TimeoutExpired:
            pass
    finally:
        if program is not None and program.poll() is None:
            program.kill()
            program.wait()
        d.close()
        server.terminate()
        server.wait()


if __name__ == "__main__":
    main()
