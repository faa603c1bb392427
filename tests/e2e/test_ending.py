#!/usr/bin/python3
"""How the program ends: a window manager's close request, SIGTERM, SIGINT
and SIGHUP (the terminal closed) each end it at once with status 0; with no
display it says why on one line and exits with status 1."""

import os
import signal
import subprocess
import tempfile
import time

import harness
from harness import check

RUNNING_S = 0.5  # let the animation run before ending it
NO_DISPLAY_TIMEOUT_S = 10


def close_request(exe):
    with harness.running(exe) as program:
        time.sleep(RUNNING_S)
        program.check_running()
        program.request_close()
        program.check_ends("WM_DELETE_WINDOW")


def ended_by_signal(signal_number):
    def case(exe):
        with harness.running(exe) as program:
            time.sleep(RUNNING_S)
            program.check_running()
            os.kill(program.pid, signal_number)
            program.check_ends(signal.Signals(signal_number).name)
    case.__name__ = signal.Signals(signal_number).name.lower()
    return case


def no_display(exe):
    # A session without a display still has its runtime directory; without
    # one the Wayland client library adds a complaint of its own.
    with tempfile.TemporaryDirectory() as runtime_dir:
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}
        env["XDG_RUNTIME_DIR"] = runtime_dir
        try:
            result = subprocess.run([str(exe)], env=env, capture_output=True, text=True, timeout=NO_DISPLAY_TIMEOUT_S)
        except subprocess.TimeoutExpired:
            raise harness.Failure(f"with no display the program was still running {NO_DISPLAY_TIMEOUT_S} s later")
    check(result.returncode == 1, f"with no display the status is {result.returncode}, expected 1;"
                                  f" stderr: {result.stderr!r}")
    lines = result.stderr.splitlines()
    check(len(lines) == 1 and lines[0].strip() and result.stderr.endswith("\n"),
          f"with no display stderr should be one line, it is {result.stderr!r}")
    check("display" in lines[0].lower(), f"the message does not name the missing display: {lines[0]!r}")
    check(result.stdout == "", f"with no display stdout is {result.stdout!r}")
    print(f"no display: {lines[0]}")


CASES = {f.__name__: f for f in (close_request, ended_by_signal(signal.SIGTERM), ended_by_signal(signal.SIGINT),
                                 ended_by_signal(signal.SIGHUP), no_display)}

if __name__ == "__main__":
    raise SystemExit(harness.main(CASES))
