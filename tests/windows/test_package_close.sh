#!/usr/bin/env bash
# Ctrl+C in the console ends the game cleanly with status 0. Wine turns a
# SIGINT into the console's Ctrl+C event, which reaches the game's console
# control handler as on Windows.
source "$(dirname "$0")/lib.sh"
unpack_game

start_game
wait_for_window VELTRA 120
# Past start-up: the window is drawing frames, which the game counts aloud.
waited=0
until unix_stdout | grep -q '^FPS: '; do
    [ "$waited" -lt $((1200 * ${VELTRA_TIME_FACTOR:-1})) ] || fail "no FPS line within 120 s"
    sleep 0.1
    waited=$((waited + 1))
done
press_ctrl_c
wait_for_exit 60
[ "$GAME_STATUS" -eq 0 ] || fail "status $GAME_STATUS after Ctrl+C"
grep -q '^Framework was initialized' <(unix_stdout) || fail "the game did not get through start-up"
echo "PASS"
