#!/usr/bin/env bash
# Headless mode writes NAME.ppm after every run's first frame: a plain-text
# PPM of 1080 by 720 pixels. A close request ends it between frames, so the
# file left behind is whole. The player's records are neither read nor
# written.
source "$(dirname "$0")/lib.sh"

# Headless runs leave the player's records alone: not even a damaged file
# is read (and set aside).
mkdir -p "$XDG_DATA_HOME/veltra"
echo "not a records file" >"$XDG_DATA_HOME/veltra/best-runs.txt"

rm -f shot.ppm
start_game --run_headless --filename shot
wait_for_frame_file shot.ppm
kill -TERM "$GAME_PID"
wait_for_exit
[ "$GAME_STATUS" -eq 0 ] || fail "status $GAME_STATUS"
[ "$(cat "$XDG_DATA_HOME/veltra/best-runs.txt")" = "not a records file" ] ||
    fail "the headless run touched the records"
grep -q "Best runs" "$WORK/stderr" && fail "the headless run read the records"

mv shot.ppm "$WORK/shot.ppm"
[ "$(sed -n 1p "$WORK/shot.ppm")" = "P3" ] || fail "magic line"
[ "$(sed -n 2p "$WORK/shot.ppm")" = "1080 720" ] || fail "size line"
[ "$(sed -n 3p "$WORK/shot.ppm")" = "255" ] || fail "maximum line"
rows=$(($(wc -l <"$WORK/shot.ppm") - 3))
[ "$rows" -eq 720 ] || fail "$rows rows instead of 720"
# Every row holds 1080 pixels of three values, each in 0..255.
tail -n +4 "$WORK/shot.ppm" | awk '
    NF != 3240 { print "row " NR ": " NF " values"; bad = 1; exit }
    { for (i = 1; i <= NF; i++) if ($i !~ /^[0-9]+$/ || $i > 255) { print "row " NR ": bad value " $i; bad = 1; exit } }
    END { exit bad }' || fail "malformed pixel rows"
echo "PASS"
