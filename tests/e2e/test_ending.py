#!/usr/bin/python3
"""How the program ends: a window manager's close request, SIGTERM, SIGINT
and SIGHUP (the terminal closed) each end it at once with status 0, and so do
Escape and a close request while the animation is held, run after run; with
no display it says why on one line and exits with status 1; arguments end it
before it opens a window, with status 1 where its answer cannot be written."""

import os
import re
import signal
import subprocess
import tempfile
import time
from pathlib import Path

import harness
import pixels
from harness import check

RUNNING_S = 0.5  # let the animation run before ending it
# Held, the program sleeps until input arrives; an ending that arrives then
# once lost about one run in three to an X error. Runs of each ending:
HELD_RUNS = 20
HELD_START_S = 0.2  # running before it is held
HELD_S = 0.2        # held before it is ended
NO_DISPLAY_TIMEOUT_S = 10


def close_request(exe):
    with harness.running(exe) as program:
        time.sleep(RUNNING_S)
        program.check_running()
        program.request_close()
        program.check_ends("WM_DELETE_WINDOW")


def held_endings(exe):
    """Escape and a close request in turn, each while held by the space bar
    or by the pointer, HELD_RUNS times each, in one X server."""
    with harness.XServer() as server:
        for run in range(2 * HELD_RUNS):
            with harness.running(exe, server) as program:
                time.sleep(HELD_START_S)
                if run % 4 < 2:
                    held_by = "the space bar"
                    program.key("space")
                else:
                    held_by = "the pointer"
                    ox, oy = pixels.origin()
                    program.point_at(round(ox) + 150, round(oy))
                time.sleep(HELD_S)
                program.check_running()
                if run % 2 == 0:
                    ending = "Escape"
                    program.key("Escape")
                else:
                    ending = "WM_DELETE_WINDOW"
                    program.request_close()
                program.check_ends(f"run {run + 1}: {ending} while held by {held_by}")


def ended_by_signal(signal_number):
    def case(exe):
        with harness.running(exe) as program:
            time.sleep(RUNNING_S)
            program.check_running()
            os.kill(program.pid, signal_number)
            program.check_ends(signal.Signals(signal_number).name)
    case.__name__ = signal.Signals(signal_number).name.lower()
    return case


def run_without_window(exe, env, args=()):
    """Runs the program where it cannot, or need not, open a window."""
    try:
        return subprocess.run([str(exe), *args], env=env, capture_output=True, text=True,
                              timeout=NO_DISPLAY_TIMEOUT_S)
    except subprocess.TimeoutExpired:
        raise harness.Failure(f"{' '.join(args) or 'with no display'}: the program was still running"
                              f" {NO_DISPLAY_TIMEOUT_S} s later") from None


def without_displays():
    return {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}


def check_one_line_error(result, naming, case):
    check(result.returncode == 1, f"{case}: the status is {result.returncode}, expected 1; stderr: {result.stderr!r}")
    lines = result.stderr.splitlines()
    check(len(lines) == 1 and result.stderr.endswith("\n"), f"{case}: stderr should be one line, it is {result.stderr!r}")
    check(naming in lines[0], f"{case}: the message does not say {naming!r}: {lines[0]!r}")
    check(result.stdout == "", f"{case}: stdout is {result.stdout!r}")
    print(f"{case}: {lines[0]}")


def no_display(exe):
    """One line, with or without the runtime directory where a Wayland display
    would be: without it the Wayland client library is not asked, and adds
    no complaint of its own."""
    with tempfile.TemporaryDirectory() as runtime_dir:
        env = dict(without_displays(), XDG_RUNTIME_DIR=runtime_dir)
        check_one_line_error(run_without_window(exe, env), "DISPLAY is not set", "no display")
    env = without_displays()
    env.pop("XDG_RUNTIME_DIR", None)
    check_one_line_error(run_without_window(exe, env), "DISPLAY is not set", "no display, no runtime directory")


def unreachable_display(exe):
    """DISPLAY names an X server that is not there, and there is no runtime
    directory: one line, naming that display, and nothing from Wayland."""
    listening = Path("/proc/net/unix").read_text()
    number = next(n for n in range(7321, 8000) if f"X11-unix/X{n}\n" not in listening)
    env = dict(without_displays(), DISPLAY=f":{number}")
    env.pop("XDG_RUNTIME_DIR", None)
    check_one_line_error(run_without_window(exe, env), f'":{number}"', "unreachable display")


def arguments(exe):
    """--help, -h and --version answer on standard output with status 0, or
    with status 1 and one line on standard error where that cannot be written
    (a full device), and any other argument is refused on one line with status
    2, all before any display is needed."""
    env = without_displays()
    for args in (["--help"], ["-h"]):
        result = run_without_window(exe, env, args)
        check(result.returncode == 0 and result.stderr == "", f"{args}: status {result.returncode},"
                                                              f" stderr {result.stderr!r}")
        for part in ("Usage: rotary-envelope", "Space", "[ ", "] ", "Escape", "--version", "Exit status"):
            check(part in result.stdout, f"{args}: the usage does not mention {part!r}: {result.stdout!r}")
    result = run_without_window(exe, env, ["--version"])
    check(result.returncode == 0 and re.fullmatch(r"rotary-envelope \d+\.\d+\.\d+\n", result.stdout),
          f"--version: status {result.returncode}, stdout {result.stdout!r}")
    for args in (["--help"], ["--version"]):
        with open("/dev/full", "w") as full:
            result = subprocess.run([str(exe), *args], env=env, stdout=full, stderr=subprocess.PIPE, text=True,
                                    timeout=NO_DISPLAY_TIMEOUT_S)
        check(result.returncode == 1 and len(result.stderr.splitlines()) == 1 and "cannot write" in result.stderr,
              f"{args} to a full device: status {result.returncode}, stderr {result.stderr!r}")
    for args in (["--bogus"], ["--help", "-x"]):
        result = run_without_window(exe, env, args)
        lines = result.stderr.splitlines()
        check(result.returncode == 2 and result.stdout == "", f"{args}: status {result.returncode},"
                                                              f" stdout {result.stdout!r}")
        check(len(lines) == 1 and args[-1] in lines[0] and "--help" in lines[0],
              f"{args}: stderr should be one line naming {args[-1]} and --help: {result.stderr!r}")
    print(f"refused: {lines[0]}")


CASES = {f.__name__: f for f in (close_request, held_endings, ended_by_signal(signal.SIGTERM),
                                 ended_by_signal(signal.SIGINT), ended_by_signal(signal.SIGHUP), no_display,
                                 unreachable_display, arguments)}

if __name__ == "__main__":
    raise SystemExit(harness.main(CASES))
