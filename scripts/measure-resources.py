#!/usr/bin/python3
"""Measures what the real program costs at several display densities: it runs
the executable in an Xvfb of its own at each density and reports the time from
launch to the first red frame on screen, processor use while running and while
held (percent of one core, from /proc) and peak resident memory, each the
median of several launches. A measuring tool, not a test: it asserts nothing.

    scripts/measure-resources.py [EXECUTABLE] [--dpi 96 192 288] [--screen WxH]
                                 [--launches 3] [--seconds 4]

EXECUTABLE defaults to build/app/src/window/rotary-envelope (`cmake --preset app &&
cmake --build --preset app` builds it). The screen defaults to 1280x1024, or
larger where the window would not fit. Needs xvfb, xdotool and python3-xlib
(scripts/install-deps.sh test). Call it with /usr/bin/python3.
"""

import argparse
import os
import platform
import statistics
import subprocess
import sys
import time

from Xlib import X

# The end-to-end tests' X server: a free display found by Xvfb itself.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_EXECUTABLE = os.path.join(ROOT, "build", "app", "src", "window", "rotary-envelope")
SMALLEST_SCREEN = (1280, 1024)
CLIENT_AT_96_DPI = (975, 741)
WINDOW_NAME = "Rotary Envelope"
# Red as the program draws it, in the X server's 32-bit pixels (B, G, R, x).
RED_BGR = b"\x00\x00\xff"
# The row of the origin, 404 pixels below the window's top at 96 dpi: every
# figure and the centre circle cross it, so the first red frame shows there.
ORIGIN_ROW, BAND_HALF_ROWS = 404, 8
# What the figures should come to at each density: running and held in % of
# a core, peak memory in MB, first red frame in ms on an idle machine.
TARGETS = {96: (1, 0.5, 16, 100), 192: (1.5, 0.5, 30, 150), 288: (2.5, 0.5, 50, 250)}


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


def shows_red(window, scale):
    try:
        geometry = window.get_geometry()
        top = round((ORIGIN_ROW - BAND_HALF_ROWS) * scale)
        image = window.get_image(0, top, geometry.width, round(2 * BAND_HALF_ROWS * scale), X.ZPixmap, 0xFFFFFFFF)
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
    """Processor time of all the process's threads so far, to the
    nanosecond (schedstat), where /proc/PID/stat counts in ticks of 10 ms."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                total += int(f.read().split()[0])
        except FileNotFoundError:
            pass  # the thread ended
    return total / 1e9


def percent_of_core(pids, seconds):
    """Processor use of each process over the same `seconds`."""
    start_cpu, start = [cpu_seconds(p) for p in pids], time.monotonic()
    time.sleep(seconds)
    took = time.monotonic() - start
    return [100 * (cpu_seconds(p) - c) / took for p, c in zip(pids, start_cpu)]


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


def launch(executable, server, d, env, scale, seconds):
    """One launch: its figures, or exits when the program misbehaves. With
    `seconds` 0, only until the first red frame, and no figures."""
    program = None
    try:
        start = time.monotonic()
        program = subprocess.Popen([executable], env=env)
        window = None
        first_frame_ms = None
        while time.monotonic() - start < 10 and program.poll() is None:
            window = window or find_window(d)
            if window is not None and shows_red(window, scale):
                first_frame_ms = 1000 * (time.monotonic() - start)
                break
            time.sleep(0.001)
        if first_frame_ms is None:
            sys.exit("measure-resources: no red frame within 10 s")
        if seconds == 0:
            return None

        time.sleep(0.5)  # past start-up
        running, server_running = percent_of_core([program.pid, server.pid], seconds)
        subprocess.run(["xdotool", "key", "space"], env=env, check=True)
        time.sleep(0.5)
        if still_changing(window):
            sys.exit("measure-resources: the space bar did not hold the animation")
        held, = percent_of_core([program.pid], seconds)
        figures = {"running": running, "held": held, "peak_mb": status_kb(program.pid, "VmHWM") / 1024,
                   "first_ms": first_frame_ms, "server": server_running,
                   "threads": status_kb(program.pid, "Threads")}
        # The window has the input focus (no window manager): escape quits.
        subprocess.run(["xdotool", "key", "Escape"], env=env, check=False)
        try:
            program.wait(timeout=5)
        except subprocess.TimeoutExpired:
            pass
        return figures
    finally:
        if program is not None and program.poll() is None:
            program.kill()
            program.wait()
        # The next launch must not find this one's window.
        deadline = time.monotonic() + 5
        while find_window(d) is not None and time.monotonic() < deadline:
            time.sleep(0.01)


def measure(executable, dpi, screen, launches, seconds):
    """The median of each figure over `launches` launches at `dpi`."""
    scale = dpi / 96
    size = (round(CLIENT_AT_96_DPI[0] * scale), round(CLIENT_AT_96_DPI[1] * scale))
    screen = screen or (max(SMALLEST_SCREEN[0], size[0] + 64), max(SMALLEST_SCREEN[1], size[1] + 64))
    with harness.XServer(dpi, screen) as x_server:
        server, d, env = x_server.process, x_server.display, x_server.env()
        # A pointer resting over the new window would hold the animation.
        x_server.move_pointer(screen[0] - 1, screen[1] - 1)
        # A new X server does work of its own for its first client's window:
        # one launch, not counted, takes it out of the figures.
        launch(executable, server, d, env, scale, 0)
        runs = []
        for n in range(launches):
            runs.append(launch(executable, server, d, env, scale, seconds))
            r = runs[-1]
            print(f"  {dpi} dpi, launch {n + 1}: running {r['running']:.1f} %, held {r['held']:.1f} %,"
                  f" peak {r['peak_mb']:.1f} MB, first red frame {r['first_ms']:.0f} ms,"
                  f" X server while running {r['server']:.1f} %, {r['threads']} threads", file=sys.stderr)
        median = {key: statistics.median(r[key] for r in runs) for key in runs[0]}
        return size, screen, median


def parse_screen(text):
    try:
        width, height = (int(v) for v in text.lower().split("x"))
        return width, height
    except ValueError:
        raise argparse.ArgumentTypeError(f"not WIDTHxHEIGHT: {text}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("executable", nargs="?", default=DEFAULT_EXECUTABLE)
    parser.add_argument("--dpi", type=int, nargs="+", default=[96, 192, 288], help="densities the X server reports")
    parser.add_argument("--screen", type=parse_screen, help="screen size WIDTHxHEIGHT for every density")
    parser.add_argument("--launches", type=int, default=3, help="launches per density; the table shows medians")
    parser.add_argument("--seconds", type=float, default=4, help="length of each processor measurement")
    args = parser.parse_args()
    if not os.access(args.executable, os.X_OK):
        sys.exit(f"measure-resources: {args.executable} is not built (cmake --preset app && cmake --build --preset app)")

    rows = [(dpi, *measure(args.executable, dpi, args.screen, args.launches, args.seconds)) for dpi in args.dpi]
    print(f"machine: {os.cpu_count()} cores, {cpu_model()}; load average {os.getloadavg()[0]:.2f} at the end")
    print(f"program: {args.executable}; median of {args.launches} launches, {args.seconds:g} s per processor figure")
    print()
    print("| density | running, % of a core | held | peak memory | first red frame | X server while running |")
    print("|---|---|---|---|---|---|")
    for dpi, size, screen, m in rows:
        target = TARGETS.get(dpi)
        def cell(value, unit, index, digits=1):
            text = f"{value:.{digits}f}{unit}"
            return f"{text} (≤ {target[index]:g}{unit})" if target else text
        print(f"| {dpi} dpi ({size[0]}×{size[1]} on {screen[0]}×{screen[1]}) | {cell(m['running'], ' %', 0)} |"
              f" {cell(m['held'], ' %', 1)} | {cell(m['peak_mb'], ' MB', 2)} | {cell(m['first_ms'], ' ms', 3, 0)} |"
              f" {m['server']:.1f} % |")
    print()
    print("In brackets: the targets. Processor figures are % of one core.")


if __name__ == "__main__":
    main()
