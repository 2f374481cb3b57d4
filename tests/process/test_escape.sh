#!/usr/bin/env bash
# Escape, sent as a real key press and release, closes the game with status 0.
source "$(dirname "$0")/lib.sh"

start_game
wait_for_window VELTRA
send_key "$WINDOW_ID" Escape
wait_for_exit
[ "$GAME_STATUS" -eq 0 ] || fail "status $GAME_STATUS after Escape"
echo "PASS"
