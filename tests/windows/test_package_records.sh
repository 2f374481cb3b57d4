#!/usr/bin/env bash
# The Windows game keeps its records in %APPDATA%\VELTRA: a damaged records
# file there is named on the console and set aside beside itself, and the
# game plays on (Ctrl+C then ends it with status 0).
source "$(dirname "$0")/lib.sh"
unpack_game

appdata=$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')
roaming=$(winepath -u "$appdata" 2>/dev/null)
[ -n "$roaming" ] && [ -d "$roaming" ] || fail "no AppData folder in the wine prefix ('$appdata')"
folder="$roaming/VELTRA"
rm -rf "$folder"
mkdir -p "$folder"
echo "not a records file" >"$folder/best-runs.txt"

start_game
wait_for_window VELTRA 120
wait_for_file "$folder/best-runs.txt.set-aside-1" 60
press_ctrl_c
wait_for_exit 60
[ "$GAME_STATUS" -eq 0 ] || fail "status $GAME_STATUS after Ctrl+C"
tr -d '\r' <"$WORK/stderr" | grep -q "^Best runs file is damaged or not VELTRA's, set aside as: .*\\\\VELTRA\\\\best-runs.txt.set-aside-1$" ||
    fail "no line naming the set-aside file"
[ "$(cat "$folder/best-runs.txt.set-aside-1")" = "not a records file" ] || fail "the set-aside file changed"
[ ! -e "$folder/best-runs.txt" ] || fail "the damaged file is still in place"
rm -rf "$folder"
echo "PASS"
