#!/usr/bin/env bash
# SIGINT (Ctrl+C) and SIGTERM are close requests: the game shuts down
# normally and ends with status 0, also when one arrives while a level is
# being built, which then stops at its next step.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/play_lib.sh"

for signal in INT TERM; do
    start_game
    wait_for_window VELTRA
    kill -"$signal" "$GAME_PID"
    wait_for_exit
    [ "$GAME_STATUS" -eq 0 ] || fail "status $GAME_STATUS after SIG$signal"
    exec 9>&-
    rm -f "$WORK/stdin"
done

# The build waits at the height map until the gate opens; the request is
# already there when the terrain is done, so the models are never loaded.
enter_gated_layout
start_game
wait_for_builds 1
kill -TERM "$GAME_PID"
open_gate
wait_for_exit
[ "$GAME_STATUS" -eq 0 ] || fail "status $GAME_STATUS after SIGTERM during the build"
! grep -q '^Loaded model:' "$WORK/stdout" || fail "the build went on after the close request"
echo "PASS"
