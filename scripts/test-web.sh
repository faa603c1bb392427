#!/usr/bin/env bash
# Builds the page and runs its tests in headless Chromium (tests/web/): real key
# presses, pointer moves and double-clicks, judged by the canvas's pixels.
# A skipped test fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-web.sh
npm ci --no-audit --no-fund
report=build/web/test-report.tap
node --test --test-reporter=tap tests/web/*.test.mjs | tee "$report"
if ! grep -qx '# skipped 0' "$report" || ! grep -qx '# todo 0' "$report"; then
  echo "test-web.sh: a browser test was skipped" >&2
  exit 1
fi
