#!/usr/bin/env bash
# Sound under wine, measured: OpenAL Soft's wave writer (configured by a
# Windows path in ALSOFT_CONF, as a player's alsoft.conf would be) captures
# the mix of the start screen, where the background music plays.
source "$(dirname "$0")/lib.sh"
unpack_game

printf '[general]\r\ndrivers=wave\r\n[wave]\r\nfile=%s\r\n' "$(windows_path "$WORK/mix.wav")" >"$WORK/alsoft.conf"
export ALSOFT_CONF
ALSOFT_CONF=$(windows_path "$WORK/alsoft.conf")

start_game
wait_for_window VELTRA 120
sleep 4
send_key "$WINDOW_ID" Escape
wait_for_exit 60
[ "$GAME_STATUS" -eq 0 ] || fail "status $GAME_STATUS"
grep -q 'Failed to create irrKlang sound engine' "$WORK/stderr" && fail "no sound engine with the wave writer"
[ -s "$WORK/mix.wav" ] || fail "OpenAL Soft wrote no mix"

seconds=$(soxi -D "$WORK/mix.wav")
rms=$(sox "$WORK/mix.wav" -n stat 2>&1 | sed -n 's/^RMS\s*amplitude:\s*//p')
echo "captured ${seconds}s, RMS $rms"
awk -v s="$seconds" 'BEGIN { exit !(s >= 2.0) }' || fail "only ${seconds}s of sound captured"
awk -v r="$rms" 'BEGIN { exit !(r > 0.01) }' || fail "the captured mix is silent (RMS $rms)"
echo "PASS"
