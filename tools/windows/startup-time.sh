#!/usr/bin/env bash
# Start-up time of the Windows game under wine against the Linux build, in
# alternating runs on one display: from launch to the first line of the
# console after start-up ("Framework was initialized.") and to the first
# frame saved by --run_headless. Prints each run and the medians.
# Usage (after tools/windows/build.sh and a Linux build):
#   xvfb-run -a -s "-screen 0 1280x800x24" tools/windows/startup-time.sh [runs] [linux-veltra]
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-5}
linux_veltra=$(realpath "${2:-build/veltra}")
[ -n "${DISPLAY:-}" ] || { echo "startup-time.sh: needs a display (run under xvfb-run)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q dist/veltra-win64.zip -d "$work/windows"
mkdir -p "$work/linux/build"
cp CMakeLists.txt "$work/linux/"
cp -r assets "$work/linux/"
cp "$linux_veltra" "$work/linux/build/veltra"

. tools/windows/wine-env.sh
wine_session_begin

now() { date +%s.%N; }

# One start: prints the seconds to the start-up line and to the first frame.
measure() {
  local dir=$1
  shift
  rm -f "$dir/first.ppm" "$work/out"
  local start ready="" framed=""
  start=$(now)
  (cd "$dir" && exec "$@" --run_headless --filename first </dev/zero >"$work/out" 2>/dev/null) &
  local pid=$!
  while [ -z "$framed" ]; do
    if [ -z "$ready" ] && grep -q 'Framework was initialized' "$work/out" 2>/dev/null; then
      ready=$(now)
    fi
    if [ -f "$dir/first.ppm" ] && [ "$(tr -cd '\n' <"$dir/first.ppm" | wc -l)" -ge 723 ]; then
      framed=$(now)
    fi
    kill -0 "$pid" 2>/dev/null || { echo "startup-time.sh: the game ended early" >&2; exit 1; }
    sleep 0.02
  done
  kill -INT "$pid"
  wait "$pid" || true
  awk -v s="$start" -v r="${ready:-$framed}" -v f="$framed" 'BEGIN { printf "%.3f %.3f\n", r - s, f - s }'
}

: >"$work/linux.times"
: >"$work/windows.times"
for i in $(seq "$runs"); do
  measure "$work/linux/build" ./veltra >>"$work/linux.times"
  measure "$work/windows/VELTRA/bin" wine veltra.exe >>"$work/windows.times"
  echo "run $i: Linux $(tail -n 1 "$work/linux.times"), wine $(tail -n 1 "$work/windows.times") (s to start-up line, to first frame)"
done
wine_session_end

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
for side in linux windows; do
  printf '%-8s median to start-up line %s s, to first frame %s s\n' "$side" \
    "$(cut -d' ' -f1 "$work/$side.times" | median)" "$(cut -d' ' -f2 "$work/$side.times" | median)"
done
