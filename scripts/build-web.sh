#!/usr/bin/env bash
# Installs what is missing and builds the program as a web page with Debian's
# emscripten. The site (index.html, rotary-envelope.js and rotary-envelope.wasm)
# goes to build/web/site/; copy that folder to any static web server. Further
# arguments go to CMake's configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh web

# emscripten's JavaScript optimiser needs Debian's acorn, which a node from
# elsewhere does not find by itself; Debian's node ignores this.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B build/web -G Ninja -DCMAKE_BUILD_TYPE=Release -DROTARY_WERROR=ON "$@" >/dev/null
cmake --build build/web -j2
echo "The page is in build/web/site/"
