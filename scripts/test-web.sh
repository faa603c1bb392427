#!/usr/bin/env bash
# Builds the page and runs its tests (tests/web/) in the three browser engines:
# headless Chromium, Firefox ESR and WebKitGTK's MiniBrowser, with
# real key presses, pointer moves, clicks and touches, judged by the canvas's
# pixels. A second release of the site, built beside the first (site-next),
# serves the deployment test. A skipped test fails the run.
#   test-web.sh          build what changed, then test
#   test-web.sh build    build only (both sites and the test's npm packages)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-web.sh -DROTARY_WEB_SECOND_RELEASE=next
# The drivers from the lockfile, once for each change of it.
[ node_modules/.package-lock.json -nt package-lock.json ] || PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund
[ "${1:-}" = build ] && exit 0
# Chromium and Firefox side by side, then WebKit, which fell far behind its
# pace in its Xvfb when it shared the processor with the other two.
report=build/web/test-report.tap
status=0
node --test --test-concurrency=2 --test-reporter=tap tests/web/chromium.test.mjs tests/web/firefox.test.mjs |
  tee "$report" || status=1
node --test --test-reporter=tap tests/web/webkit.test.mjs | tee -a "$report" || status=1
if [ "$(grep -cx '# skipped 0' "$report")" -ne 2 ] || [ "$(grep -cx '# todo 0' "$report")" -ne 2 ]; then
  echo "test-web.sh: a browser test was skipped" >&2
  status=1
fi
exit "$status"
