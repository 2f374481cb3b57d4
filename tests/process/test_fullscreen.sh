#!/usr/bin/env bash
# Enter released once covers the primary monitor; released again, the same
# window comes back as an 800 by 600 window at (100, 100), not at its
# start-up size.
source "$(dirname "$0")/lib.sh"

geometry() {
    xdotool getwindowgeometry "$WINDOW_ID" | awk '
        /Position:/ { split($2, p, ","); x = p[1]; y = p[2] }
        /Geometry:/ { size = $2 }
        END { print x "," y " " size }'
}

wait_for_geometry() {
    local expected=$1 waited=0
    until [ "$(geometry)" = "$expected" ]; do
        [ "$waited" -lt 100 ] || fail "window geometry $(geometry), expected $expected"
        sleep 0.1
        waited=$((waited + 1))
    done
}

start_game
wait_for_window VELTRA
screen=$(xdpyinfo | awk '/dimensions:/ { print $2; exit }')
[ "$(geometry | cut -d' ' -f2)" = "1080x720" ] || fail "start-up size $(geometry)"

send_key "$WINDOW_ID" Return
wait_for_geometry "0,0 $screen"
send_key "$WINDOW_ID" Return
wait_for_geometry "100,100 800x600"

kill -TERM "$GAME_PID"
wait_for_exit
[ "$GAME_STATUS" -eq 0 ] || fail "status $GAME_STATUS"
echo "PASS"
