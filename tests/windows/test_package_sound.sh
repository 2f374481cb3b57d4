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
# The mixer writes as it plays, slower than real time on a busy machine: the
# game runs until the file holds 2.5 s of sound (its header's byte rate, at
# offset 28, tells how many bytes that is), not for a fixed time.
mixed_seconds() {
    local rate size
    rate=$(od -An -tu4 -j28 -N4 "$WORK/mix.wav" 2>/dev/null | tr -d ' ')
    size=$(stat -c %s "$WORK/mix.wav" 2>/dev/null || echo 0)
    awk -v r="${rate:-0}" -v s="$size" 'BEGIN { printf "%.2f\n", (r > 0 ? (s - 80) / r : 0) }'
}
waited=0
until awk -v m="$(mixed_seconds)" 'BEGIN { exit !(m >= 2.5) }'; do
    [ "$waited" -lt $((1200 * ${VELTRA_TIME_FACTOR:-1})) ] || fail "the mix reached only $(mixed_seconds) s"
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended while mixing"
    sleep 0.1
    waited=$((waited + 1))
done
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
