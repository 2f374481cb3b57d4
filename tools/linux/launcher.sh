#!/bin/sh
# Starts the installed VELTRA from its own folder, where the game finds
# "../assets", passing every argument on. A relative --filename still names
# a file in the folder the player started from.
here=$(dirname "$(readlink -f "$0")")
game_dir="$here/@VELTRA_GAME_FROM_LAUNCHER@"
start_dir=$(pwd)

count=$#
after_filename=false
while [ "$count" -gt 0 ]; do
    argument=$1
    shift
    count=$((count - 1))
    if [ "$after_filename" = true ]; then
        case "$argument" in
            /* | --*) ;;
            *) argument="$start_dir/$argument" ;;
        esac
    fi
    after_filename=false
    [ "$argument" = "--filename" ] && after_filename=true
    set -- "$@" "$argument"
done

cd "$game_dir" || exit 1
exec ./veltra "$@"
