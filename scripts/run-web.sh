#!/usr/bin/env bash
# Builds the page and serves it to this machine only: scripts/run-web.sh [PORT]
# (8000 unless given). Ctrl+C stops the server.
set -euo pipefail
cd "$(dirname "$0")/.."
port="${1:-8000}"
scripts/build-web.sh
echo "Serving the page at http://127.0.0.1:$port/"
exec /usr/bin/python3 -m http.server --bind 127.0.0.1 --directory build/web/site "$port"
