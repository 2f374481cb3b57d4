#!/usr/bin/env bash
# Enter released once covers the primary monitor; released again, the same
# window comes back as an 800 by 600 window at (100, 100), not at its
# start-up size. F12 saves the frame at the size the window has at the time,
# each press under a name of its own.
source "$(dirname "$0")/lib.sh"

# "WIDTHxHEIGHT SPREAD" of a picture: its size and the standard deviation of
# its grey values (a frame the game drew is far from uniform).
picture_facts() {
    /usr/bin/python3 -c '
import sys
from PIL import Image, ImageStat
picture = Image.open(sys.argv[1])
picture.load()
print("%dx%d %d" % (picture.size[0], picture.size[1], ImageStat.Stat(picture.convert("L")).stddev[0]))
' "$1"
}

saved_shots() { grep -c "^Saved screenshot '" "$WORK/stdout"; }

# Presses F12 and prints the name of the file it saved.
press_f12() {
    local before waited=0
    before=$(saved_shots)
    send_key "$WINDOW_ID" F12
    until [ "$(saved_shots)" -gt "$before" ]; do
        [ "$waited" -lt "$(scaled 200)" ] || fail "F12 saved nothing within $(scaled 20)s"
        sleep 0.1
        waited=$((waited + 1))
    done
    grep "^Saved screenshot '" "$WORK/stdout" | tail -n 1 | sed "s/^Saved screenshot '\(.*\)'\.\$/\1/"
}

# A frame taken in the same frame as a resize may still be drawn at the old
# size: one taken and removed lets the next start wholly after it.
settle_after_resize() {
    rm -f "$(press_f12)"
}

# The game runs from a folder of our own, from which "../assets" still
# leads to its files; screenshots go to the pictures folder, not there.
mkdir "$WORK/run" && ln -s "$SOURCE_DIR/assets" "$WORK/assets" && cd "$WORK/run" ||
    fail "no work directory"

geometry() {
    xdotool getwindowgeometry "$WINDOW_ID" | awk '
        /Position:/ { split($2, p, ","); x = p[1]; y = p[2] }
        /Geometry:/ { size = $2 }
        END { print x "," y " " size }'
}

wait_for_geometry() {
    local expected=$1 waited=0
    until [ "$(geometry)" = "$expected" ]; do
        [ "$waited" -lt "$(scaled 100)" ] || fail "window geometry $(geometry), expected $expected"
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
# F12 reaches the game after the resize does; the frame that saves the
# next one is drawn wholly at the new size.
settle_after_resize
full=$(press_f12)
case "$full" in "$XDG_PICTURES_DIR"/veltra-*.png) ;; *) fail "screenshot saved as '$full'" ;; esac
facts=$(picture_facts "$full") || fail "$full is not a whole PNG"
[ "${facts% *}" = "$screen" ] || fail "fullscreen screenshot $facts, expected $screen"
[ "${facts#* }" -gt 10 ] || fail "fullscreen screenshot is nearly uniform: $facts"

send_key "$WINDOW_ID" Return
wait_for_geometry "100,100 800x600"
settle_after_resize
windowed=$(press_f12)
again=$(press_f12)
[ "$windowed" != "$full" ] && [ "$again" != "$windowed" ] || fail "F12 reused a name: $full $windowed $again"
for shot in "$windowed" "$again"; do
    facts=$(picture_facts "$shot") || fail "$shot is not a whole PNG"
    [ "${facts% *}" = "800x600" ] || fail "windowed screenshot $facts, expected 800x600"
done
[ "$(find "$XDG_PICTURES_DIR" -name 'veltra-*.png' | wc -l)" -eq 3 ] ||
    fail "expected three PNG files: $(ls "$XDG_PICTURES_DIR")"
[ -z "$(find "$XDG_PICTURES_DIR" -name '*.part')" ] || fail "a half-written screenshot was left"
[ -z "$(ls -A)" ] || fail "F12 wrote into the working folder: $(ls -A)"

kill -TERM "$GAME_PID"
wait_for_exit
[ "$GAME_STATUS" -eq 0 ] || fail "status $GAME_STATUS"
echo "PASS"
