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

# Waits until FILE holds COUNT lines matching PATTERN, as they are written,
# for at most LIMIT seconds (times VELTRA_TIME_FACTOR).
wait_for_lines() {
  local file=$1 pattern=$2 count=$3 limit=$(($4 * ${VELTRA_TIME_FACTOR:-1})) fd tailer found
  exec {fd}< <(exec timeout "$limit" tail -n +1 -F "$file" 2>/dev/null)
  tailer=$!
  found=$(grep -m "$count" -c -- "$pattern" <&"$fd" || true)
  kill "$tailer" 2>/dev/null || true
  exec {fd}<&-
  [ "$found" -ge "$count" ]
}

# The Linux build's first frame, headless, from its own folder's assets. A
# second level build begins once the first run's frame is saved; the game
# then ends between frames on TERM, so the file it leaves is whole (the
# header's three lines and 720 rows).
(cd "$(dirname "$game")" &&
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$game" --run_headless \
    --filename "$work/linux-first-frame") >"$work/linux.log" 2>&1 &
linux=$!
wait_for_lines "$work/linux.log" '^Water vertices: 2500$' 2 120 || {
  cat "$work/linux.log" >&2
  echo "run.sh: the Linux build saved no first frame" >&2
  exit 1
}
pkill -TERM -xf -- "$game --run_headless --filename $work/linux-first-frame" || true
wait "$linux" || { cat "$work/linux.log" >&2; echo "run.sh: the Linux build failed" >&2; exit 1; }
[ "$(wc -l <"$work/linux-first-frame.ppm")" -eq 723 ] || { echo "run.sh: a broken Linux frame" >&2; exit 1; }

# A free port, then the site on it, once the server says it listens.
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -u -m http.server "$port" --bind 127.0.0.1 --directory "$site" >"$work/server.log" 2>&1 &
server=$!
wait_for_lines "$work/server.log" '^Serving HTTP' 1 30 || { echo "run.sh: the server did not start" >&2; exit 1; }

VELTRA_SITE_URL="http://127.0.0.1:$port/" \
VELTRA_LINUX_FRAME="$work/linux-first-frame.ppm" \
VELTRA_SOURCE_DIR="$source_dir" \
VELTRA_WORK="${VELTRA_WEB_FRAMES:-$work/frames}" \
VELTRA_PYTHON=/usr/bin/python3 \
  node --test --test-reporter=spec "$here/browser.test.js"
