#!/usr/bin/env bash
# Without a sound device the game says so in its one line and plays on in
# silence: nothing of ALSA's or OpenAL Soft's own reaches the console. OpenAL
# is pointed at an ALSA device that exists nowhere, which makes ALSA complain
# on any machine, with a sound card or without.
source "$(dirname "$0")/lib.sh"

printf '[general]\ndrivers=alsa\n[alsa]\ndevice=veltra-no-such-device\n' >"$WORK/alsoft.conf"
export ALSOFT_CONF="$WORK/alsoft.conf"
unset ALSOFT_DRIVERS ALSOFT_LOGLEVEL

start_game --run_headless --filename "$WORK/shot"
wait_for_frame_file "$WORK/shot.ppm"
kill -TERM "$GAME_PID"
wait_for_exit
[ "$GAME_STATUS" -eq 0 ] || fail "status $GAME_STATUS"

grep -qx 'Failed to create irrKlang sound engine!' "$WORK/stderr" || fail "no word of the missing device"
others=$(grep -vx 'Failed to create irrKlang sound engine!' "$WORK/stderr")
[ -z "$others" ] || fail "the sound libraries spoke: $others"
echo "PASS"
