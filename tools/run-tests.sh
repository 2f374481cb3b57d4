#!/usr/bin/env bash
# Builds VELTRA with warnings as errors and runs every test under a virtual
# X display. Every test runs once: a test that fails now and then is a fault
# to find, not to run again. Usage: tools/run-tests.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRA_WERROR=ON
cmake --build "$build" -j"$(nproc)"
# The display is there: a GL test without a context fails, never skips.
export VELTRA_REQUIRE_GL=1
xvfb-run -a -s "-screen 0 1280x800x24 -noreset" ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
