# Helpers for the tests that play the real game with real key events.
# Sourced after lib.sh, not run.
#
# The game runs from a copy of the asset tree (links to the real files) in
# which the height map is a named pipe: each level build waits at it until
# the test feeds it, so the test, not the machine's speed, decides when a
# build ends. That makes the loading screen and the gaps between headless
# runs as long as a check needs.

VELTRA=$(realpath "$VELTRA")
SOURCE_DIR=$(realpath "$SOURCE_DIR")
HEIGHT_MAP="$SOURCE_DIR/assets/textures/Heightmaps/Heightmap3.png"
SHOT="$WORK/shot"
GATE_PID=""

# The first Python that can read images.
PYTHON=""
for candidate in python3 /usr/bin/python3; do
    if command -v "$candidate" >/dev/null 2>&1 &&
        "$candidate" -c 'import numpy, PIL' >/dev/null 2>&1; then
        PYTHON=$candidate
        break
    fi
done
[ -n "$PYTHON" ] || fail "no python3 with numpy and PIL for the screenshot checks"

play_cleanup() {
    if [ -n "$GATE_PID" ]; then
        kill "$GATE_PID" 2>/dev/null
    fi
    cleanup
}
trap play_cleanup EXIT

# Makes $WORK/layout with the gated height map and enters $WORK/layout/run,
# from where the game's "../assets" paths lead into the copy.
enter_gated_layout() {
    mkdir -p "$WORK/layout/run"
    cp -rs "$SOURCE_DIR/assets" "$WORK/layout/assets"
    rm "$WORK/layout/assets/textures/Heightmaps/Heightmap3.png"
    mkfifo "$WORK/layout/assets/textures/Heightmaps/Heightmap3.png"
    cd "$WORK/layout/run" || fail "no layout"
}

# Lets one level build read the height map.
open_gate() {
    timeout 120 cat "$HEIGHT_MAP" >"$WORK/layout/assets/textures/Heightmaps/Heightmap3.png" &
    GATE_PID=$!
}

# Number of level builds begun so far (each prints its water line first).
builds() { grep -c '^Water vertices: 2500$' "$WORK/stdout"; }

wait_for_builds() {
    local count=$1 limit=$(scaled "${2:-30}") waited=0
    until [ "$(builds)" -ge "$count" ]; do
        [ "$waited" -lt $((limit * 10)) ] || fail "fewer than $count level builds within ${limit}s"
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended during build $count"
        sleep 0.1
        waited=$((waited + 1))
    done
}

wait_for_output() {
    local pattern=$1 limit=$(scaled "${2:-30}") waited=0
    until grep -q "$pattern" "$WORK/stdout"; do
        [ "$waited" -lt $((limit * 10)) ] || fail "no line '$pattern' within ${limit}s"
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before printing '$pattern'"
        sleep 0.1
        waited=$((waited + 1))
    done
}

# Waits until standard output holds COUNT more lines matching PATTERN than
# it does now.
wait_for_more_output() {
    local pattern=$1 count=$2 limit=$(scaled "${3:-30}") waited=0 target
    target=$(($(grep -c "$pattern" "$WORK/stdout") + count))
    until [ "$(grep -c "$pattern" "$WORK/stdout")" -ge "$target" ]; do
        [ "$waited" -lt $((limit * 10)) ] || fail "fewer than $count new lines '$pattern' within ${limit}s"
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before printing '$pattern'"
        sleep 0.1
        waited=$((waited + 1))
    done
}

window_title() { xdotool getwindowname "$WINDOW_ID" 2>/dev/null; }

wait_for_title() {
    local title=$1 limit=$(scaled "${2:-30}") waited=0
    until [ "$(window_title)" = "$title" ]; do
        [ "$waited" -lt $((limit * 20)) ] || fail "title '$(window_title)', expected '$title'"
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before its title became '$title'"
        sleep 0.05
        waited=$((waited + 1))
    done
}

# A whole screenshot file: 3 header lines and 720 rows.
shot_complete() {
    [ -s "$1" ] && [ "$(wc -l <"$1")" -ge 723 ] && [ "$(tail -c 1 "$1" | od -An -c | tr -d ' ')" = '\n' ]
}


# Number of "Saved screenshot" lines so far, and the file the last one names
# (relative to the game's working directory, which is ours).
saved_shots() { grep -c "^Saved screenshot '" "$WORK/stdout"; }
last_saved_shot() {
    grep "^Saved screenshot '" "$WORK/stdout" | tail -n 1 | sed "s/^Saved screenshot '\(.*\)'\.\$/\1/"
}

# F12 saves the next frame as a new PNG and names it on standard output;
# the frame is kept as $WORK/NAME.ppm and the PNG removed.
snap() {
    local before waited=0
    before=$(saved_shots)
    send_key "$WINDOW_ID" F12
    until [ "$(saved_shots)" -gt "$before" ]; do
        [ "$waited" -lt "$(scaled 400)" ] || fail "no screenshot within $(scaled 20)s"
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before its screenshot"
        sleep 0.05
        waited=$((waited + 1))
    done
    local saved
    saved=$(last_saved_shot)
    "$PYTHON" -c 'import sys; from PIL import Image; Image.open(sys.argv[1]).convert("RGB").save(sys.argv[2])' \
        "$saved" "$WORK/$1.ppm" || fail "screenshot $saved is not a readable picture"
    rm -f "$saved"
}

# screen CHECK NAME [ARGS...]: a check of screen_checks.py on $WORK/NAME.ppm.
screen() {
    local check=$1 name=$2
    shift 2
    local result
    result=$("$PYTHON" "$SOURCE_DIR/tests/process/screen_checks.py" "$check" "$WORK/$name.ppm" "$@") ||
        fail "$name: $result"
    echo "$result"
}

hold_key() {
    xdotool windowfocus --sync "$WINDOW_ID" 2>/dev/null || xdotool windowfocus "$WINDOW_ID"
    xdotool keydown --window "$WINDOW_ID" "$1"
}

let_go() { xdotool keyup --window "$WINDOW_ID" "$1"; }

# Holds KEY down until standard output has a line matching PATTERN. GLFW
# lets go of every key when its window loses the focus, so the key is
# pressed again now and then.
hold_key_until_output() {
    local key=$1 pattern=$2 limit=$(scaled "${3:-30}") waited=0
    hold_key "$key"
    until grep -q "$pattern" "$WORK/stdout"; do
        [ "$waited" -lt $((limit * 10)) ] || fail "no line '$pattern' within ${limit}s of holding $key"
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before printing '$pattern'"
        sleep 0.1
        waited=$((waited + 1))
        [ $((waited % 10)) -ne 0 ] || hold_key "$key"
    done
    let_go "$key"
}
