#!/usr/bin/env bash
# Plays the browser build in Debian's headless Chromium, driven by
# Playwright (tests/web/browser.test.js), and compares its first frame with
# the Linux build's.
# Usage: tests/web/run.sh SITE_DIR LINUX_GAME
#   SITE_DIR    the built site (dist/veltra-web from tools/web/build.sh)
#   LINUX_GAME  this machine's game (build/veltra), for the reference frame
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
site=$(realpath "$1")
game=$(realpath "$2")
[ -f "$site/index.html" ] || { echo "run.sh: no site at $site" >&2; exit 1; }

"$source_dir/tools/install-packages.sh" chromium python3-numpy python3-pil xvfb xauth
# Playwright's driver only, from the lock file; it drives Debian's chromium
# and downloads no browser of its own.
(cd "$here" && npm ci --no-audit --no-fund --loglevel=error)

work=$(mktemp -d)
server=""
cleanup() {
  [ -z "$server" ] || kill "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The Linux build's first frame, headless, from its own folder's assets. The
# game writes it again for every run, so a copy is taken once it is whole
# (the header's three lines and 720 rows).
whole() { [ -f "$1" ] && [ "$(wc -l <"$1")" -eq 723 ] && [ "$(tail -c 1 "$1" | od -An -c | tr -d ' ')" = '\n' ]; }
(cd "$(dirname "$game")" &&
  exec xvfb-run -a -s "-screen 0 1280x800x24" timeout 120 "$game" --run_headless \
    --filename "$work/linux-run") >"$work/linux.log" 2>&1 &
linux=$!
for _ in $(seq 1200); do
  if whole "$work/linux-run.ppm"; then
    cp "$work/linux-run.ppm" "$work/linux-first-frame.ppm"
    whole "$work/linux-first-frame.ppm" && break
  fi
  sleep 0.1
done
pkill -TERM -P "$linux" 2>/dev/null || true
kill -TERM "$linux" 2>/dev/null || true
wait "$linux" 2>/dev/null || true
whole "$work/linux-first-frame.ppm" || { cat "$work/linux.log" >&2; echo "run.sh: no Linux frame" >&2; exit 1; }

# A free port, then the site on it.
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 100); do
  python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/index.html')" 2>/dev/null && break
  sleep 0.1
done

VELTRA_SITE_URL="http://127.0.0.1:$port/" \
VELTRA_LINUX_FRAME="$work/linux-first-frame.ppm" \
VELTRA_SOURCE_DIR="$source_dir" \
VELTRA_WORK="${VELTRA_WEB_FRAMES:-$work/frames}" \
VELTRA_PYTHON=/usr/bin/python3 \
  node --test --test-reporter=spec "$here/browser.test.js"
