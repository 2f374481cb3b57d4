#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (in build-fuzz) and runs each one on
# its committed corpus for a while. Usage:
#   tools/fuzz.sh [seconds-per-target] [target...]
# The default is 30 seconds each, as in CI; a longer search is for example
#   tools/fuzz.sh 900
# Targets: texture_container command_line asset_path settings glb_header image
# model sound.
# New inputs that widen coverage go to build-fuzz/corpus/<target>; an input
# that crashes is saved under tests/fuzz/artifacts/ and ends the script with
# status 1 (turn it into a regression test, then add it to the corpus).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(texture_container command_line asset_path settings glb_header image model sound saved_runs)
build=${VELTRA_FUZZ_BUILD:-build-fuzz}

launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
generator=()
if command -v ninja >/dev/null; then
    generator=(-G Ninja)
fi
CC=clang CXX=clang++ cmake -S . -B "$build" "${generator[@]}" "${launcher[@]}" -DVELTRA_FUZZ=ON \
    -DVELTRA_TESTS=OFF -DVELTRA_BENCH=OFF -DVELTRA_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    >/dev/null
cmake --build "$build" --target veltra_fuzzers -j"$(nproc)"

mkdir -p tests/fuzz/artifacts
status=0
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    log="$build/fuzz/$target.log"
    # The suite's own leak check runs elsewhere; here a leak would stop the
    # search at the first input, so only crashes and sanitizer errors count.
    if "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="tests/fuzz/artifacts/$target-" \
        "$corpus" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
        result="ok"
    else
        result="FAILED (see $log and tests/fuzz/artifacts/)"
        status=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    echo "fuzz_$target: ${runs:-?} executions in ${seconds}s: $result"
    if [ "$result" != "ok" ]; then
        grep -m 20 -A 12 'ERROR\|==ERROR\|deadly signal\|runtime error' "$log" || tail -n 30 "$log"
    fi
done
exit $status
