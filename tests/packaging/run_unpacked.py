#!/usr/bin/python3
"""Runs an unpacked program as a desktop would: its window carries the class
the menu entry names, it draws the red figure, and Escape ends it with status
0. Uses the end-to-end tests' X server and program harness.
    run_unpacked.py PROGRAM WM_CLASS"""

import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))

import harness  # noqa: E402
import pixels  # noqa: E402
from harness import check  # noqa: E402


def main(program_path, wm_class):
    with harness.running(program_path) as program:
        classes = program.window.get_wm_class() or ()
        check(wm_class in classes, f"the window's class is {classes}, the menu entry names {wm_class!r}")
        pixels.wait_for_red(program)
        program.key("Escape")
        program.check_ends("Escape")
    print("PASS")


if __name__ == "__main__":
    try:
        main(*sys.argv[1:])
    except harness.Failure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        sys.exit(1)
