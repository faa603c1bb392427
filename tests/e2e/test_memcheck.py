#!/usr/bin/python3
"""The real program under valgrind's memcheck in its own X server, with
keys and pointer moves, ended by Escape: no invalid read or write, no use of
uninitialised values, no definite leak outside the display libraries' known
blocks (tests/e2e/valgrind.supp)."""

import re
import tempfile
import time
from pathlib import Path

import harness
import pixels
from harness import check

SUPPRESSIONS = Path(__file__).resolve().parent / "valgrind.supp"
ERROR_STATUS = 99
# Under valgrind everything is some ten times slower.
WINDOW_TIMEOUT_S = 60
ENDING_TIMEOUT_S = 30
RUN_S = 2.0


def memcheck(exe):
    with tempfile.TemporaryDirectory() as logs:
        log_pattern = Path(logs) / "memcheck.%p.log"
        wrapper = ["valgrind", "--tool=memcheck", f"--error-exitcode={ERROR_STATUS}", "--leak-check=full",
                   "--show-leak-kinds=definite", "--errors-for-leak-kinds=definite", "--track-origins=yes",
                   "--child-silent-after-fork=yes", f"--suppressions={SUPPRESSIONS}", "--num-callers=30",
                   f"--log-file={log_pattern}"]
        with harness.running(exe, wrapper=wrapper, window_timeout=WINDOW_TIMEOUT_S) as program:
            time.sleep(RUN_S)
            first = program.screenshot()
            program.key("comma", "period", "period", "slash")
            time.sleep(RUN_S)
            check(program.screenshot().tobytes() != first.tobytes(), "under valgrind the figure does not turn")
            program.key("space")
            ox, oy = pixels.origin()
            for dx, dy in ((150, 0), (0, 150), (-150, 0), (0, -150), (100, 100)):
                program.point_at(round(ox) + dx, round(oy) + dy)
                time.sleep(0.2)
            program.key("space")
            time.sleep(RUN_S)
            program.key("Escape")
            status, took = program.wait_exit(timeout=ENDING_TIMEOUT_S)
            log_path = Path(logs) / f"memcheck.{program.pid}.log"
            check(log_path.exists(), f"valgrind wrote no log for the program (pid {program.pid})")
            log = log_path.read_text()
            artifact = harness.ARTIFACTS / "memcheck.log"
            artifact.parent.mkdir(parents=True, exist_ok=True)
            artifact.write_text(log)

    problems = [kind for kind in ("Invalid read", "Invalid write", "Invalid free", "uninitialised",
                                  "definitely lost in loss record", "Mismatched free") if kind in log]
    check(not problems, f"memcheck found: {', '.join(problems)}; see {artifact}")
    summary = re.search(r"ERROR SUMMARY: (\d+) errors", log)
    check(summary is not None, f"valgrind's log has no error summary; see {artifact}")
    check(summary.group(1) == "0", f"memcheck reports {summary.group(1)} errors; see {artifact}")
    check(status == 0, f"under valgrind Escape ended the program with status {status}"
                       f"{' (memcheck errors)' if status == ERROR_STATUS else ''}; see {artifact}")
    leaks = re.search(r"definitely lost: ([\d,]+) bytes", log)
    print(f"memcheck: 0 errors, definitely lost {leaks.group(1) if leaks else 0} bytes outside the suppressed blocks,"
          f" Escape took {took:.2f} s under valgrind")


CASES = {"memcheck": memcheck}

if __name__ == "__main__":
    raise SystemExit(harness.main(CASES))
