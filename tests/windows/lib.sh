# shellcheck shell=bash
# Helpers for the tests of the packaged Windows game under wine. Sourced.
# Each test is called as
#   bash test_x.sh <veltra-win64.zip> <source-dir> [<Linux veltra binary>]
# with DISPLAY set by xvfb-run and the wine environment of
# tools/windows/wine-env.sh. The process tests' helpers (start_game,
# wait_for_window, send_key, fail...) drive the game as they drive the Linux
# build; the game is the zip's veltra.exe, unpacked afresh for each test into
# a folder whose name has spaces and letters outside any ANSI code page, and
# started from its bin folder as Explorer starts it.

ZIP=${1:?usage: test_x.sh <veltra-win64.zip> <source-dir> [<linux-binary>]}
LINUX_VELTRA=${3:-}
[ -f "$ZIP" ] || { echo "FAIL: no package at $ZIP" >&2; exit 1; }
ZIP=$(realpath "$ZIP")

# The process tests' library takes the program to start and the source tree.
source "$(dirname "${BASH_SOURCE[0]}")/../process/lib.sh" "wine" "$2"

# The screenshot checks need numpy and PIL, which Debian's own Python has.
PYTHON=python3
[ -x /usr/bin/python3 ] && PYTHON=/usr/bin/python3

# Spaces, Greek, Japanese and an accented letter.
WORLDLY_NAME="Spiele und Λούπ ゲーム café"

# Unpacks the zip into $WORK/<worldly name>/ and points the helpers at it:
# GAME_DIR is the VELTRA folder, GAME_BIN its bin folder.
unpack_game() {
    local target="$WORK/$WORLDLY_NAME"
    mkdir -p "$target"
    unzip -q "$ZIP" -d "$target" || fail "the zip does not unpack"
    GAME_DIR="$target/VELTRA"
    use_game_bin "$GAME_DIR/bin"
}

# Makes start_game run <dir>/veltra.exe with <dir> as its working folder.
use_game_bin() {
    GAME_BIN=$1
    [ -f "$GAME_BIN/veltra.exe" ] || fail "no veltra.exe in $GAME_BIN"
    export GAME_BIN
    VELTRA="$WORK/veltra-under-wine"
    # exec keeps the process id, so signals and window searches reach the game.
    printf '#!/usr/bin/env bash\ncd "$GAME_BIN" && exec wine veltra.exe "$@"\n' >"$VELTRA"
    chmod +x "$VELTRA"
}

# A Windows path (Z:\...) for a path of this machine.
windows_path() {
    local unix
    unix=$(realpath -m "$1")
    printf 'Z:%s' "${unix//\//\\}"
}

# Standard output without the carriage returns of Windows' text mode.
unix_stdout() { tr -d '\r' <"$WORK/stdout"; }

# Waits until <file> exists and is not empty; fails after <seconds>.
wait_for_file() {
    local file=$1 limit=$(( ${2:-60} * ${VELTRA_TIME_FACTOR:-1} )) waited=0
    until [ -s "$file" ]; do
        [ "$waited" -lt $((limit * 10)) ] || fail "no $(basename "$file") within ${limit}s"
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before writing $(basename "$file")"
        sleep 0.1
        waited=$((waited + 1))
    done
    # The file is written row by row: wait until it stops growing.
    local size=-1
    while [ "$(stat -c %s "$file")" != "$size" ]; do
        size=$(stat -c %s "$file")
        sleep 0.5
    done
}

# Ctrl+C as a player presses it: wine turns a SIGINT into the console's
# Ctrl+C event, but only on a thread of its own. A signal sent to the
# process goes to any one of its threads, and one that lands on a thread
# the graphics driver started itself is lost. So it goes to the main thread
# alone (tgkill, which the shell's kill cannot do), where wine always takes
# it: pressed once, like a player does.
# Wine 8.0 starts the Ctrl+C thread from inside its signal handler, and
# starting a thread allocates: a SIGINT that lands while the main thread is
# inside malloc deadlocks the game on malloc's own lock (gdb showed exactly
# that, about one time in twenty while a level was being built). So tests
# press it only while the game draws frames, where its main thread seldom
# allocates; a headless game, always building, is ended with Escape.
press_ctrl_c() {
    "$PYTHON" -c '
import ctypes, signal, sys
pid = int(sys.argv[1])
SYS_tgkill = 234  # x86_64
sys.exit(ctypes.CDLL(None).syscall(SYS_tgkill, pid, pid, signal.SIGINT.value) != 0)' "$GAME_PID" ||
        fail "could not send Ctrl+C to the game's main thread"
}
