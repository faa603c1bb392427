#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: unit tests
# and the end-to-end tests that drive the real program under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

cmake --preset release
cmake --build --preset release
ctest --preset release -j2
