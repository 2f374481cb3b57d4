#!/usr/bin/env bash
# The best run and its ghost as a returning player meets them. With what a
# won run leaves in the records folder (the best run and its flight), the
# start screen shows the best run under the tutorial picture; once the
# flight begins, the ghost glider flies the best flight beside the player,
# G hides it and shows it again. The run that made the records is the
# integration test FullLevel.SteeringThroughRingsAndIntoTheGoal...
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/play_lib.sh"

FONT="$SOURCE_DIR/assets/textures/fonts/greek_outlined.tga"
records="$WORK/records"
mkdir -p "$records"
printf 'VELTRA BEST RUNS 1\n# points, seconds left, date\n12 65.4 2026-12-10\n3 9.0 2026-12-09\n' \
    >"$records/best-runs.txt"
# A straight flight at the player's speed, 20 units ahead of its start and a
# little to the right and above, so that it flies in view ahead of the glider.
/usr/bin/python3 - "$records/best-flight.ghost" <<'PY'
import struct, sys
count = 30 * 60
data = b"VGHOST" + struct.pack("<HHI", 1, 30, count)
for i in range(count):
    data += struct.pack("<7f", -97.0, 24.0, -220.0 - 10.0 * i / 30.0, 1.0, 0.0, 0.0, 0.0)
open(sys.argv[1], "wb").write(data)
PY

start_game --records_folder "$records"
wait_for_window VELTRA
snap start
screen tutorial start "$SOURCE_DIR/assets/tutorial/Veltra_TutorialSTART.png" best-run
screen shows start "$FONT" best "BEST: 0012 POINTS 01:05 LEFT"

# Space, the countdown's three seconds and about two of flight, then a
# pause so that the frames with and without the ghost differ by it alone.
send_key "$WINDOW_ID" space
wait_for_more_output '^FPS: ' 5
send_key "$WINDOW_ID" space
snap paused_with_ghost
screen shows paused_with_ghost "$FONT" subtitle PAUSED
send_key "$WINDOW_ID" g
snap paused_without_ghost
screen added-light paused_with_ghost "$WORK/paused_without_ghost.ppm" 80
send_key "$WINDOW_ID" g
snap paused_ghost_again
screen added-light paused_ghost_again "$WORK/paused_without_ghost.ppm" 80

send_key "$WINDOW_ID" Escape
wait_for_exit
[ "$GAME_STATUS" -eq 0 ] || fail "status $GAME_STATUS"
# The records are as they were: nothing was won.
[ "$(sed -n 3p "$records/best-runs.txt")" = "12 65.4 2026-12-10" ] || fail "the records changed"
grep -q "Ghost file" "$WORK/stderr" && fail "the ghost file was refused"
echo "PASS"
