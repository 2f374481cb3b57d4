#!/usr/bin/env bash
# On a machine without a sound device the game says so in its one line and
# plays on silently: the window comes up, Escape ends it with status 0, and
# nothing else reaches standard error. Wine's sound drivers are switched off
# for this, as a Windows machine without a sound card has none.
source "$(dirname "$0")/lib.sh"
unpack_game

export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winealsa.drv,winepulse.drv,wineoss.drv,winecoreaudio.drv=d"
unset ALSOFT_CONF
start_game
wait_for_window VELTRA 120
sleep 2
send_key "$WINDOW_ID" Escape
wait_for_exit 60
[ "$GAME_STATUS" -eq 0 ] || fail "status $GAME_STATUS without a sound device"

tr -d '\r' <"$WORK/stderr" >"$WORK/errors"
grep -qx 'Failed to create irrKlang sound engine!' "$WORK/errors" || fail "no line saying that sound is off"
other=$(grep -vx 'Failed to create irrKlang sound engine!' "$WORK/errors" || true)
[ -z "$other" ] || fail "other lines on standard error: $(head -n 3 <<<"$other")"
echo "PASS"
