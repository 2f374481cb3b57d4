#!/usr/bin/env bash
# Builds VELTRA with AddressSanitizer (with LeakSanitizer) and
# UndefinedBehaviorSanitizer and runs the whole test suite, process-level
# tests included (but for the three slowest, see below), under a virtual X
# display. Any sanitizer report fails the test that caused it. The sanitized
# programs keep shared libraries loaded until the leak check, so the GL
# driver's one-time allocations stay reachable; tools/sanitizers/ holds the
# suppression files, with the reason for each entry (none for our code).
# Usage: tools/run-sanitized-tests.sh [build-dir [ctest options]]  (default build-asan)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-asan}
shift || true  # anything further goes to ctest, e.g. -L process
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# -O1 with line tables only: quicker to build, and still names file and line
# in every report.
cmake -S . -B "$build" "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRA_WERROR=ON \
    -DVELTRA_SANITIZE=ON -DVELTRA_BENCH=OFF -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1"
cmake --build "$build" -j"$(nproc)"

supp="$PWD/tools/sanitizers"
# A sanitizer report ends the process with status 86, which no test expects
# (the game's own fatal ending is 1).
# intercept_tls_get_addr=0: the runtime of GCC 12 takes a dynamic TLS block
# that happens to start 16 bytes into a page for one with the header of a
# glibc older than 2.25 and reads the words before it; LeakSanitizer's
# tracer then dies with "Tracer caught signal 11" after a passing test. Every
# thread the driver or the game starts makes such blocks.
export ASAN_OPTIONS="exitcode=86:detect_leaks=1:strict_string_checks=1:check_initialization_order=1:intercept_tls_get_addr=0"
export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$supp/ubsan.supp"
# The process tests wait longer for an instrumented game, and the bad-input
# matrix runs every case for one file of each kind instead of for every file
# (the full matrix runs in the normal build).
export VELTRA_TIME_FACTOR=4
# Mesa writes its shader cache from a thread of its own, which may still be
# at work when a program ends; LeakSanitizer, stopping every thread for its
# check at exit, then crashes in its own tracer ("Tracer caught signal 11")
# and fails a test that did nothing wrong. Without the cache there is no
# such thread.
export MESA_SHADER_CACHE_DISABLE=true
export VELTRA_MATRIX_SAMPLE=1
# The key-driven play sessions are the slowest process tests and exercise the
# same code as the rest; they run in the normal build only, which keeps CI
# within its half hour. VELTRA_SANITIZE_ALL=1 runs them here too.
skip=()
if [ -z "${VELTRA_SANITIZE_ALL:-}" ]; then
    skip=(-E '^process\.test_(play_through|play_headless|driver_diagnostics)$')
fi
# The display is there: a GL test without a context fails, never skips.
export VELTRA_REQUIRE_GL=1
xvfb-run -a -s "-screen 0 1280x800x24 -noreset" \
    ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "${skip[@]}" "$@"
