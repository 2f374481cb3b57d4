#!/usr/bin/env bash
# A shader missing from the unzipped tree ends the game with status 1 and
# the line naming it, once the waiting console gets its character.
source "$(dirname "$0")/lib.sh"
unpack_game
rm "$GAME_DIR/assets/shaders/texture.vert"

start_game
limit=$((120 * ${VELTRA_TIME_FACTOR:-1}))
waited=0
until grep -q 'Could not find shader file' "$WORK/stdout"; do
    [ "$waited" -lt $((limit * 10)) ] || fail "no message about the shader within ${limit}s"
    kill -0 "$GAME_PID" 2>/dev/null || break
    sleep 0.1
    waited=$((waited + 1))
done
# The console waits for one character before the game ends.
echo >&9
wait_for_exit 60
[ "$GAME_STATUS" -eq 1 ] || fail "status $GAME_STATUS instead of 1"
unix_stdout | grep -qx 'Could not find shader file: assets/shaders/texture.vert' ||
    fail "no line naming the missing shader"
echo "PASS"
