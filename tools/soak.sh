#!/usr/bin/env bash
# Soak run: 300 consecutive headless runs of the game (each rebuilds the
# whole level) under a virtual X display, with resident memory and the live
# OpenGL objects sampled at the same point of every run. Fails when memory
# still grows over the last 100 runs (more than 5 %) or any OpenGL object
# count changes from run to run. Takes a few minutes on two cores.
# Usage: tools/soak.sh [build-dir] [runs]    (defaults: build, 300)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-300}
[ -x "$build/veltra" ] || { echo "no $build/veltra: build the game first" >&2; exit 1; }
counter="$build/soak/gl_live_counter.so"
mkdir -p "$build/soak"
cc -O2 -Wall -Wextra -shared -fPIC -o "$counter" tools/soak/gl_live_counter.c -ldl
# glibc's sliding mmap threshold lets freed level data (images, meshes,
# textures in the software renderer) fragment the heap, so resident memory
# swings by a tenth from run to run without growing. A fixed threshold gives
# large blocks back when they are freed and RSS follows live memory. Set
# VELTRA_SOAK_DEFAULT_MALLOC=1 to measure with glibc's default behaviour.
if [ -z "${VELTRA_SOAK_DEFAULT_MALLOC:-}" ]; then
    export MALLOC_MMAP_THRESHOLD_=131072
fi
python=/usr/bin/python3
[ -x "$python" ] || python=python3
xvfb-run -a -s "-screen 0 1280x800x24 -noreset" \
    "$python" tools/soak/soak.py --binary "$build/veltra" --source . --counter "$counter" --runs "$runs" \
    --series "$build/soak/rss.txt"
