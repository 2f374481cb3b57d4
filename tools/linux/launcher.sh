#!/bin/sh
# Starts the installed VELTRA from its own folder, where the game finds
# "../assets", passing every argument on. The game is told the folder the
# player started from: a headless frame with a relative --filename (or none)
# lands there, or in the player's pictures folder where that is not
# writable.
here=$(dirname "$(readlink -f "$0")")
game_dir="$here/@VELTRA_GAME_FROM_LAUNCHER@"
VELTRA_START_DIR=$(pwd)
export VELTRA_START_DIR

cd "$game_dir" || exit 1
exec ./veltra "$@"
