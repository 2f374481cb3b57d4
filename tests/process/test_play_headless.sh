#!/usr/bin/env bash
# Headless mode: every run is one frame long and writes its screenshot (the
# start screen with the tutorial picture) after that frame, and new runs
# follow until the window is asked to close. An Escape released while a
# level is being built ends the program after that run's one frame, with
# its screenshot, and status 0.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/play_lib.sh"

TUTORIAL="$SOURCE_DIR/assets/tutorial/Veltra_TutorialSTART.png"

enter_gated_layout
start_game --run_headless --filename "$SHOT"

# The first build waits at the gate: no frame yet, so no screenshot.
wait_for_builds 1
WINDOW_ID=""
for attempt in $(seq "$(scaled 100)"); do
    WINDOW_ID=$(xdotool search --all --pid "$GAME_PID" --name '^VELTRA' 2>/dev/null | head -n 1)
    [ -n "$WINDOW_ID" ] && break
    sleep 0.1
done
[ -n "$WINDOW_ID" ] || fail "no game window"
sleep 0.5
[ -e "$SHOT.ppm" ] && fail "a screenshot before the first frame"

# Run 1: its frame, its screenshot, then run 2 begins and waits.
open_gate
wait_for_builds 2
shot_complete "$SHOT.ppm" || fail "no whole screenshot after run 1"
mv "$SHOT.ppm" "$WORK/run1.ppm"
screen tutorial run1 "$TUTORIAL"
sleep 0.5
[ -e "$SHOT.ppm" ] && fail "a screenshot while run 2 is being built"
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended after one run"

# Run 2 writes the file again.
open_gate
wait_for_builds 3
shot_complete "$SHOT.ppm" || fail "no whole screenshot after run 2"
mv "$SHOT.ppm" "$WORK/run2.ppm"
screen tutorial run2 "$TUTORIAL"

# Escape while run 3 is built: its frame still runs and is saved, then the
# program ends.
# xdotool syncs with the server before it exits, so the Escape is queued for
# the game before the gate opens.
send_key "$WINDOW_ID" Escape
open_gate
wait_for_exit 30
[ "$GAME_STATUS" -eq 0 ] || fail "status $GAME_STATUS after Escape"
shot_complete "$SHOT.ppm" || fail "no screenshot of the last run"
mv "$SHOT.ppm" "$WORK/run3.ppm"
screen tutorial run3 "$TUTORIAL"
[ "$(builds)" -eq 3 ] || fail "$(builds) level builds instead of 3"
echo "PASS"
