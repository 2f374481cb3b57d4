#!/usr/bin/env bash
# --run_headless saves the first frame as a plain PPM in text mode (CRLF line
# ends on Windows), under a name given on the command line in any letters,
# that image readers still open: 1080 by 720, 720 pixel
# rows, and the same picture as the Linux build's first frame within the
# rounding two builds of one renderer may differ by.
source "$(dirname "$0")/lib.sh"
[ -n "$LINUX_VELTRA" ] && [ -x "$LINUX_VELTRA" ] || fail "needs the Linux build's veltra as third argument"
unpack_game

start_game --run_headless --filename "erstes Bild Λ"
shot="$GAME_BIN/erstes Bild Λ.ppm"
wait_for_file "$shot" 120
# Escape ends it, as the window's key: headless runs build one level after
# another, and a Ctrl+C under wine may hang a game that is building one
# (see press_ctrl_c).
wait_for_window 'VELTRA.*' 120
send_key "$WINDOW_ID" Escape
wait_for_exit 60
[ "$GAME_STATUS" -eq 0 ] || fail "status $GAME_STATUS"

cmp -s -n 19 "$shot" <(printf 'P3\r\n1080 720\r\n255\r\n') ||
    fail "header is not 'P3', '1080 720', '255' on CRLF lines"
rows=$(($(tr -cd '\n' <"$shot" | wc -c) - 3))
[ "$rows" -eq 720 ] || fail "$rows rows instead of 720"
[ "$(tr -cd '\r' <"$shot" | wc -c)" -eq 723 ] || fail "not every line ends with CRLF"
# An image reader opens it as the same picture. (ImageMagick: Pillow 9.4's
# plain-PPM reader misreads any file whose lines end in CRLF.)
convert "$shot" "$WORK/shot.png" 2>/dev/null || fail "ImageMagick does not read the screenshot"
"$PYTHON" "$SOURCE_DIR/tests/process/screen_checks.py" same-frame "$WORK/shot.png" "$shot" >/dev/null ||
    fail "ImageMagick reads other pixels than the file holds"

# The Linux build's first frame, from a private tree of its own.
linux_tree="$WORK/linux"
mkdir -p "$linux_tree/build"
cp "$SOURCE_DIR/CMakeLists.txt" "$linux_tree/"
cp -r "$SOURCE_DIR/assets" "$linux_tree/"
cp "$LINUX_VELTRA" "$linux_tree/build/veltra"
(cd "$linux_tree/build" && exec ./veltra --run_headless --filename linux </dev/zero >"$WORK/linux.out" 2>&1) &
linux_pid=$!
waited=0
until [ -s "$linux_tree/build/linux.ppm" ] && [ "$(tr -cd '\n' <"$linux_tree/build/linux.ppm" | wc -c)" -ge 723 ]; do
    [ "$waited" -lt 1200 ] || { kill -KILL "$linux_pid"; fail "the Linux build wrote no first frame"; }
    sleep 0.1
    waited=$((waited + 1))
done
kill -TERM "$linux_pid"
wait "$linux_pid" || true

"$PYTHON" "$SOURCE_DIR/tests/process/screen_checks.py" same-frame "$shot" "$linux_tree/build/linux.ppm" ||
    fail "the Windows build's first frame differs from the Linux build's"
echo "PASS"
