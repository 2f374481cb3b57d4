#!/usr/bin/env bash
# The player and the goal cannot exist without a mesh: a model file that
# yields none (empty, not a model at all, or a valid glTF binary without
# meshes) stops the game while the level is built, with a line naming the
# file; it waits for one character and ends with status 1.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/play_lib.sh"

PLAYER_MODEL=../assets/models/radiva_textured_mesh.glb
GOAL_MODEL=../assets/models/smaller_goal_textured_mesh.glb

# A glTF binary whose JSON holds an asset record and nothing else.
write_glb_without_meshes() {
    "$PYTHON" - "$1" <<'EOF'
import struct, sys
json = b'{"asset":{"version":"2.0"},"scenes":[{"nodes":[]}],"scene":0}'
json += b" " * (-len(json) % 4)
chunk = struct.pack("<I4s", len(json), b"JSON") + json
with open(sys.argv[1], "wb") as f:
    f.write(struct.pack("<4sII", b"glTF", 2, 12 + len(chunk)) + chunk)
EOF
}

# expect_stop MODEL: the game run in the layout stops on MODEL.
expect_stop() {
    local model=$1
    : >"$WORK/stdout"
    start_game
    wait_for_output "^Model file yields no mesh: ${model//./\\.}\$" 60
    sleep 0.5
    kill -0 "$GAME_PID" 2>/dev/null || fail "ended without waiting for a character"
    echo >&9
    wait_for_exit 20
    [ "$GAME_STATUS" -eq 1 ] || fail "status $GAME_STATUS instead of 1 for $model"
    [ "$(tail -n 1 "$WORK/stdout")" = "Model file yields no mesh: $model" ] ||
        fail "the message is not the last line for $model"
    exec 9>&-
    rm -f "$WORK/stdin"
}

mkdir -p "$WORK/layout/run"
cp -rs "$SOURCE_DIR/assets" "$WORK/layout/assets"
cd "$WORK/layout/run" || fail "no layout"

# An empty player model.
rm "$PLAYER_MODEL"
: >"$PLAYER_MODEL"
expect_stop "$PLAYER_MODEL"

# Bytes that are no model at all, in the goal's file.
ln -sf "$SOURCE_DIR/assets/models/radiva_textured_mesh.glb" "$PLAYER_MODEL"
rm "$GOAL_MODEL"
head -c 4096 /dev/urandom >"$GOAL_MODEL"
expect_stop "$GOAL_MODEL"
grep -q '^Loaded model: \.\./assets/models/radiva_textured_mesh\.glb with 1 mesh(es)\.$' "$WORK/stdout" ||
    fail "the player model was not loaded before the goal's"

# A well-formed glTF binary without a mesh, in the goal's file.
write_glb_without_meshes "$GOAL_MODEL"
expect_stop "$GOAL_MODEL"
echo "PASS"
