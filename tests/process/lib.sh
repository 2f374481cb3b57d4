# Helpers shared by the process-level tests. Sourced, not run.
# Each test is called as: bash test_x.sh <veltra-binary> <source-dir>, from
# the build directory, with DISPLAY set by xvfb-run.

set -u

VELTRA=${1:?usage: test_x.sh <veltra-binary> <source-dir>}
SOURCE_DIR=${2:?usage: test_x.sh <veltra-binary> <source-dir>}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/veltra-process.XXXXXX")
# F12 saves into the player's pictures folder: here, one of the test's own.
export XDG_PICTURES_DIR="$WORK/pictures"
mkdir -p "$XDG_PICTURES_DIR"
# Best runs are kept in the player's data folder: here, the test's own, so
# that no one's records show on a test's start screen.
export XDG_DATA_HOME="$WORK/data"
GAME_PID=""

HOLDER_PID=""

# A limit in seconds (or polling steps) stretched by VELTRA_TIME_FACTOR, a
# whole number set for slow builds such as the sanitized one.
scaled() { echo $(($1 * ${VELTRA_TIME_FACTOR:-1})); }

cleanup() {
    if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then
        kill -KILL "$GAME_PID" 2>/dev/null
    fi
    if [ -n "$HOLDER_PID" ]; then
        kill "$HOLDER_PID" 2>/dev/null
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT

# Xvfb resets itself whenever its last client disconnects, and a client that
# connects during the reset is refused. Keeping one idle client connected for
# the whole test means the game's own connections never meet a reset.
hold_display() {
    [ -n "${DISPLAY:-}" ] || return 0
    local tries=0
    while [ "$tries" -lt 50 ]; do
        xdotool search --sync --name '^veltra-display-holder-never-matches$' >/dev/null 2>&1 &
        HOLDER_PID=$!
        sleep 0.2
        if kill -0 "$HOLDER_PID" 2>/dev/null && xdpyinfo >/dev/null 2>&1; then
            return 0
        fi
        kill "$HOLDER_PID" 2>/dev/null
        HOLDER_PID=""
        tries=$((tries + 1))
    done
    echo "FAIL: the X display $DISPLAY does not answer" >&2
    exit 1
}
hold_display

fail() {
    {
        echo "FAIL: $*"
        if [ -f "$WORK/stdout" ]; then
            echo "--- standard output"; cat "$WORK/stdout"
        fi
        if [ -f "$WORK/stderr" ]; then
            echo "--- standard error"; cat "$WORK/stderr"
        fi
    } >&2
    exit 1
}

# Starts the game in the background with the given arguments; standard input
# is a FIFO held open by this shell so the game never sees end of input.
start_game() {
    rm -f "$WORK/stdin"
    mkfifo "$WORK/stdin"
    "$VELTRA" "$@" <"$WORK/stdin" >"$WORK/stdout" 2>"$WORK/stderr" &
    GAME_PID=$!
    exec 9>"$WORK/stdin"
}

# Waits until the game's window carries the given title; sets WINDOW_ID.
wait_for_window() {
    local title=$1 limit=$(( ${2:-60} * ${VELTRA_TIME_FACTOR:-1} )) waited=0
    WINDOW_ID=""
    while [ "$waited" -lt $((limit * 10)) ]; do
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before its window showed '$title'"
        # A failed start-up waits for a character on standard input.
        grep -q '^ERROR: Failed to init' "$WORK/stdout" && fail "start-up failed"
        # Only this test's own game: other process tests may share the display.
        WINDOW_ID=$(xdotool search --all --pid "$GAME_PID" --name "^${title}\$" 2>/dev/null | head -n 1)
        if [ -n "$WINDOW_ID" ]; then
            return 0
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    fail "no window titled '$title' within ${limit}s"
}

# Waits for the game to end; sets GAME_STATUS. Fails after the limit. Both
# limits stretch by VELTRA_TIME_FACTOR (a whole number, set for sanitized builds).
# Waits up to 60 s (times VELTRA_TIME_FACTOR) for a headless run's frame
# file to appear; fails when the game ends first.
wait_for_frame_file() {
    local file=$1 limit=$(( 60 * ${VELTRA_TIME_FACTOR:-1} )) waited=0
    until [ -s "$file" ]; do
        [ "$waited" -lt $((limit * 10)) ] || fail "no $(basename "$file") within ${limit}s"
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before writing $(basename "$file")"
        sleep 0.1
        waited=$((waited + 1))
    done
}

wait_for_exit() {
    local limit=$(( ${1:-30} * ${VELTRA_TIME_FACTOR:-1} )) waited=0
    while kill -0 "$GAME_PID" 2>/dev/null; do
        if [ "$waited" -ge $((limit * 10)) ]; then
            fail "the game did not end within ${limit}s"
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    wait "$GAME_PID"
    GAME_STATUS=$?
    GAME_PID=""
}

# Presses and releases a key in the game's window as real X events.
send_key() {
    local window=$1 key=$2
    xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
    xdotool keydown --window "$window" "$key"
    sleep 0.1
    xdotool keyup --window "$window" "$key"
}

# The n-th line (1-based) of standard output.
# A private copy of the game's tree in $TREE (top CMakeLists.txt, assets,
# build/veltra), so files the game writes land nowhere else.
make_private_tree() {
    TREE="$WORK/tree"
    mkdir -p "$TREE/build"
    cp "$SOURCE_DIR/CMakeLists.txt" "$TREE/"
    cp -r "$SOURCE_DIR/assets" "$TREE/"
    cp "$VELTRA" "$TREE/build/veltra"
}

stdout_line() { sed -n "${1}p" "$WORK/stdout"; }
