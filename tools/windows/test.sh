#!/usr/bin/env bash
# Tests the Windows build under wine, in a real window on a virtual X display:
# the unit, GL and integration suites cross-built and run through ctest, and
# the packaged game (zip and installer, made by tools/windows/build.sh) run
# as a player runs it. The first-frame comparison runs the Linux build too.
# Usage: tools/windows/test.sh [build-dir] [linux-veltra]
#        (defaults build-win and build/veltra; run tools/windows/build.sh first)
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
build=${1:-build-win}
linux_veltra=$(realpath "${2:-build/veltra}")
[ -x "$linux_veltra" ] || { echo "test.sh: no Linux build at $linux_veltra (run tools/run-tests.sh first)" >&2; exit 1; }
[ -f dist/veltra-win64.zip ] || { echo "test.sh: no dist/veltra-win64.zip (run tools/windows/build.sh first)" >&2; exit 1; }

tools/install-packages.sh wine wine64 unzip xvfb xauth xdotool x11-utils imagemagick sox \
  python3-numpy python3-pil
tools/windows/deps.sh >/dev/null
cmake -S . -B "$build" -DVELTRA_LINUX_VELTRA="$linux_veltra" \
  -DVELTRA_PACKAGE_ZIP="$root/dist/veltra-win64.zip" >/dev/null
cmake --build "$build" -j"$(nproc)"

# One wine session inside the display, so that wine's desktop has it too.
# The display is there: a GL test without a context fails, never skips.
export VELTRA_REQUIRE_GL=1
xvfb-run -a -s "-screen 0 1280x800x24 -noreset" bash -c '
  set -e
  . tools/windows/wine-env.sh
  wine_session_begin
  trap wine_session_end EXIT
  ctest --test-dir "$1" --output-on-failure -j"$(nproc)"' run-under-wine "$build"
