#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: unit tests,
# the end-to-end tests that drive the real program under Xvfb and the web
# page's tests in headless Chromium; then the unit and end-to-end tests again
# under AddressSanitizer and UndefinedBehaviorSanitizer, and a short run of the
# input-sequence fuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

cmake --preset release
cmake --build --preset release
ctest --preset release -j2

# The web page, built with emscripten, in headless Chromium.
scripts/test-web.sh

# The unit tests and the real program's end-to-end tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer: any report fails a test.
cmake --preset asan-ubsan
cmake --build --preset asan-ubsan
ctest --preset asan-ubsan -j2 -LE slow

# Thirty seconds of libFuzzer (clang) from the committed seeds.
cmake --preset fuzz
cmake --build --preset fuzz
ctest --preset fuzz
