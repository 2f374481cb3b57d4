#!/usr/bin/env bash
# Serves the browser build on this machine for a player to open:
#   tools/web/serve.sh [port]     (default 8080), then open
#   http://localhost:8080/
# Builds it first (tools/web/build.sh) where dist/veltra-web is missing.
set -euo pipefail
cd "$(dirname "$0")/../.."
port=${1:-8080}
site=dist/veltra-web

[ -f "$site/index.html" ] || tools/web/build.sh >/dev/null
echo "VELTRA is served at http://localhost:$port/ (Ctrl+C stops it)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site"
