#!/usr/bin/env bash
# The frame rate a player sees while flying: starts the real game in a real
# window (under a virtual X display when none is set), presses Space as a
# player does, lets the three-second countdown pass and prints the game's
# own once-a-second FPS lines from the flight, then their median. The
# glider flies on untouched; lines after it hits anything are not counted.
# Usage: bench/game_fps.sh [build-dir] [lines] [extra game arguments...]
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x800x24 -noreset" "$0" "$@"
fi
build=$(realpath "${1:-build}")
lines=${2:-20}
shift $(($# < 2 ? $# : 2))
work=$(mktemp -d)
game=""
finish() {
    [ -z "$game" ] || kill -TERM "$game" 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT

mkfifo "$work/stdin"
(cd "$build" && exec ./veltra "$@" <"$work/stdin" >"$work/stdout" 2>&1) &
game=$!
exec 9>"$work/stdin"

window=$(timeout 120 xdotool search --sync --name '^VELTRA$' | head -n 1) ||
    { echo "no game window" >&2; cat "$work/stdout" >&2; exit 1; }
rate_lines() { grep -c '^FPS: ' "$work/stdout" || true; }
# The start screen's first rate line, so the window has drawn for a second.
waited=0
until [ "$(rate_lines)" -ge 1 ]; do
    kill -0 "$game" 2>/dev/null || { echo "the game ended" >&2; exit 1; }
    [ "$waited" -lt 600 ] || { echo "no rate line within 120 s" >&2; exit 1; }
    sleep 0.2
    waited=$((waited + 1))
done
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key --window "$window" space
# Three lines of countdown, then one more so the flight's first second is
# wholly flight.
skip=$(($(rate_lines) + 4))
waited=0
until [ "$(rate_lines)" -ge $((skip + lines)) ] || grep -q '^Player collided' "$work/stdout"; do
    kill -0 "$game" 2>/dev/null || { echo "the game ended" >&2; exit 1; }
    # A line a second: ten times what is asked for is a game that stalled.
    [ "$waited" -lt $((20 * (skip + lines))) ] || { echo "the rate lines stopped" >&2; exit 1; }
    waited=$((waited + 1))
    sleep 0.5
done
rates=$(grep -m $((skip + lines)) -e '^FPS: ' -e '^Player collided' "$work/stdout" |
    sed '/^Player collided/,$d' | sed -n "$((skip + 1)),\$s/^FPS: //p")
[ -n "$rates" ] || { echo "no rate line from the flight" >&2; exit 1; }
echo "flying FPS: $(echo "$rates" | tr '\n' ' ')"
echo "$rates" | sort -g | awk '{ v[NR] = $1 } END {
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "median FPS while flying: %.1f over %d seconds\n", m, NR }'
