#!/usr/bin/env bash
# Installs what is missing, builds the program and opens its window.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
cmake --preset app >/dev/null
cmake --build --preset app
exec build/app/src/window/rotary-envelope
