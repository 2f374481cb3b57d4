#!/usr/bin/env bash
# SIGINT (Ctrl+C) and SIGTERM are close requests: the game shuts down
# normally and ends with status 0.
source "$(dirname "$0")/lib.sh"

for signal in INT TERM; do
    start_game
    wait_for_window VELTRA
    kill -"$signal" "$GAME_PID"
    wait_for_exit
    [ "$GAME_STATUS" -eq 0 ] || fail "status $GAME_STATUS after SIG$signal"
    exec 9>&-
    rm -f "$WORK/stdin"
done
echo "PASS"
