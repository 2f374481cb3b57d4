#!/usr/bin/env bash
# Command-line abuse: options without their value, repeated, in capitals,
# unknown words, values that are options themselves, empty and 100 kB long
# arguments. The game never fails over its command line: it ignores what it
# does not know, reports settings files it cannot load and goes on.
source "$(dirname "$0")/lib.sh"

# A private tree, so screenshots with odd names land nowhere else.
make_private_tree
printf '[camera]\nfov = 75\n' >"$WORK/absolute_camera.ini"

LONG=$(head -c 102400 /dev/zero | tr '\0' 'x')
SECOND_RUN='Read shader: assets/shaders/texture.vert'

# Runs the game headless with the given arguments until its second run has
# begun (the first run's screenshot is then written), closes it with SIGTERM
# and checks that it closed cleanly. Leaves the output in $WORK/stdout.
headless_case() {
    local label=$1
    shift
    # The old output goes first: the game's redirection truncates it only
    # once the new process runs, and this loop must not read the old lines.
    rm -f "$TREE"/build/*.ppm "$TREE"/build/.ppm "$WORK/stdout" "$WORK/stderr"
    (cd "$TREE/build" && exec ./veltra "$@" </dev/null >"$WORK/stdout" 2>"$WORK/stderr") &
    GAME_PID=$!
    local waited=0
    until [ "$(grep -c "^$SECOND_RUN\$" "$WORK/stdout" 2>/dev/null)" -ge 2 ]; do
        kill -0 "$GAME_PID" 2>/dev/null || { wait "$GAME_PID"; fail "$label: ended by itself, status $?"; }
        [ "$waited" -lt "$(scaled 1200)" ] || fail "$label: no second run within $(scaled 120)s"
        sleep 0.1
        waited=$((waited + 1))
    done
    kill -TERM "$GAME_PID"
    wait_for_exit 60
    [ "$GAME_STATUS" -eq 0 ] || fail "$label: status $GAME_STATUS after SIGTERM"
    grep -q 'AddressSanitizer\|LeakSanitizer\|runtime error:' "$WORK/stderr" &&
        fail "$label: sanitizer report"
    return 0
}

expect_line() {
    grep -qxF -- "$2" "$WORK/stdout" || fail "$1: no line '$(echo "$2" | cut -c1-120)'"
}

headless_case "value missing at the end" --run_headless --filename
[ -s "$TREE/build/screenshot.ppm" ] || fail "--filename without a value: no screenshot.ppm"

headless_case "repeated option" --filename first --run_headless --filename second --run_headless
[ -s "$TREE/build/second.ppm" ] || fail "repeated --filename: the last value is not used"
[ ! -e "$TREE/build/first.ppm" ] || fail "repeated --filename: the first value was used"

headless_case "an option as a value" --filename --run_headless
[ -s "$TREE/build/--run_headless.ppm" ] || fail "'--filename --run_headless': no --run_headless.ppm"

headless_case "unknown words" play --fast -x --run_headless=1 -- --run_headless --init
[ -s "$TREE/build/screenshot.ppm" ] || fail "unknown words stopped headless mode"
grep -q '^ERROR' "$WORK/stdout" && fail "unknown words: an error line"

headless_case "settings options naming options" --init_camera --init_renderer --run_headless
expect_line "camera file '--init_renderer'" \
    "ERROR: Failed to load '--init_renderer'. Using default values instead."
expect_line "renderer file '--run_headless'" \
    "ERROR: Failed to load '--run_headless'. Using default values instead."

headless_case "empty arguments" "" --init_camera "" --run_headless ""
expect_line "empty camera name" "ERROR: Failed to load ''. Using default values instead."

headless_case "absolute settings path" --init_camera "$WORK/absolute_camera.ini" --run_headless \
    --init_renderer no/such/dir/renderer.ini
grep -q "Failed to load '$WORK" "$WORK/stdout" && fail "an absolute settings path was not found"
expect_line "missing renderer file" \
    "ERROR: Failed to load 'no/such/dir/renderer.ini'. Using default values instead."

headless_case "100 kB arguments" "$LONG" --run_headless --init_camera "$LONG" \
    --init_renderer "assets/$LONG" --filename "$LONG"
expect_line "long camera name" "ERROR: Failed to load '$LONG'. Using default values instead."
expect_line "long renderer name" "ERROR: Failed to load 'assets/$LONG'. Using default values instead."
expect_line "long screenshot name" "Unable to create screenshot file '$LONG.ppm'."

headless_case "screenshot in a missing directory" --run_headless --filename no/such/dir/shot
expect_line "screenshot directory" "Unable to create screenshot file 'no/such/dir/shot.ppm'."

# Options are matched case-sensitively: in capitals the game is interactive
# and F12 saves a time-stamped PNG, not the named headless file.
rm -f "$TREE"/build/*.ppm "$TREE"/build/*.png "$WORK/stdout" "$WORK/stderr"
mkfifo "$WORK/stdin"
(cd "$TREE/build" && exec ./veltra --RUN_HEADLESS --Filename caps <"$WORK/stdin" >"$WORK/stdout" \
    2>"$WORK/stderr") &
GAME_PID=$!
exec 9>"$WORK/stdin"
wait_for_window VELTRA 120
send_key "$WINDOW_ID" F12
waited=0
until grep -q "^Saved screenshot '$XDG_PICTURES_DIR/veltra-.*\.png'\.\$" "$WORK/stdout"; do
    [ "$waited" -lt "$(scaled 600)" ] || fail "capitals: F12 saved no screenshot within $(scaled 60)s"
    sleep 0.1
    waited=$((waited + 1))
done
[ ! -e "$TREE/build/caps.ppm" ] || fail "capitals: --Filename was taken"
[ "$(grep -c "^$SECOND_RUN\$" "$WORK/stdout")" -eq 1 ] || fail "capitals: runs ended as if headless"
send_key "$WINDOW_ID" Escape
wait_for_exit 60
[ "$GAME_STATUS" -eq 0 ] || fail "capitals: status $GAME_STATUS after Escape"
echo "PASS"
