#!/usr/bin/env bash
# "max_fps = 30" in the renderer settings holds the start screen at about 30
# frames a second (it runs at some hundreds uncapped on this machine), as
# the HUD's once-a-second rate line says, and the capped game sleeps instead
# of spinning: it uses well under one core. In flight, a cap of 10 (below
# what this machine draws) shows as the HUD's rate in the corner.
source "$(dirname "$0")/lib.sh"

PYTHON=/usr/bin/python3
FONT="$SOURCE_DIR/assets/textures/fonts/greek_outlined.tga"
make_private_tree
printf '[renderer]\nmax_fps = 30\n' >"$TREE/assets/settings/capped30.ini"
printf '[renderer]\nmax_fps = 10\n' >"$TREE/assets/settings/capped10.ini"

# CPU seconds the game has used so far (user and system).
cpu_seconds() {
    awk -v tick="$(getconf CLK_TCK)" '{ printf "%.2f\n", ($14 + $15) / tick }' "/proc/$GAME_PID/stat"
}

start_capped() {
    rm -f "$WORK/stdin"
    mkfifo "$WORK/stdin"
    (cd "$TREE/build" && exec ./veltra --init_renderer "assets/settings/capped$1.ini" \
        <"$WORK/stdin" >"$WORK/stdout" 2>"$WORK/stderr") &
    GAME_PID=$!
    exec 9>"$WORK/stdin"
    wait_for_window VELTRA 120
}

stop_game() {
    kill -TERM "$GAME_PID"
    wait_for_exit 30
    [ "$GAME_STATUS" -eq 0 ] || fail "status $GAME_STATUS"
    exec 9>&-
}

# The HUD prints its rate once a second; the first covers the start-up.
fps_lines() { grep -c '^FPS: ' "$WORK/stdout"; }
wait_for_fps_lines() {
    local waited=0 limit=$((60 * ${VELTRA_TIME_FACTOR:-1}))
    until [ "$(fps_lines)" -ge "$1" ]; do
        [ "$waited" -lt $((limit * 10)) ] || fail "fewer than $1 frame rates within $limit s"
        sleep 0.1
        waited=$((waited + 1))
    done
}

start_capped 30
wait_for_fps_lines 2
cpu_before=$(cpu_seconds)
started=$(date +%s.%N)
wait_for_fps_lines 5
cpu_after=$(cpu_seconds)
finished=$(date +%s.%N)
rates=$(grep '^FPS: ' "$WORK/stdout" | sed -n '3,5s/^FPS: //p' | tr '\n' ' ')
echo "start screen capped at 30: rates $rates"
for rate in $rates; do
    awk -v r="$rate" 'BEGIN { exit !(r >= 27 && r <= 31) }' || fail "a rate of $rate, expected about 30"
done
share=$(awk -v a="$cpu_before" -v b="$cpu_after" -v s="$started" -v f="$finished" \
    'BEGIN { printf "%.2f", (b - a) / (f - s) }')
echo "CPU time per second on the start screen: $share"
awk -v s="$share" 'BEGIN { exit !(s < 0.9) }' || fail "the capped game used $share of a core"
stop_game

# What the player sees in flight: the HUD's rate in its corner.
start_capped 10
send_key "$WINDOW_ID" space
# The countdown's three seconds, then a moment of flight: five more rates.
wait_for_fps_lines $(($(fps_lines) + 5))
rm -f "$XDG_PICTURES_DIR"/veltra-*.png
send_key "$WINDOW_ID" F12
waited=0
until ls "$XDG_PICTURES_DIR"/veltra-*.png >/dev/null 2>&1; do
    [ "$waited" -lt "$(scaled 200)" ] || fail "F12 saved no screenshot"
    sleep 0.1
    waited=$((waited + 1))
done
shot=$(ls "$XDG_PICTURES_DIR"/veltra-*.png | head -n 1)
check_fps() { "$PYTHON" "$SOURCE_DIR/tests/process/screen_checks.py" shows "$shot" "$FONT" fps "$1"; }
check_fps "FPS: 10" || fail "the HUD does not show the cap of 10; the console said: $(grep '^FPS: ' "$WORK/stdout" | tr '\n' ' ')"
stop_game
echo "PASS"
