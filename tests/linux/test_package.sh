#!/usr/bin/env bash
# Checks the Debian package as a player's machine meets it. The installed
# files pass desktop-file-validate and appstreamcli validate, and lintian
# finds no error. On a clean Debian root (debootstrap, from the mirror this
# machine's apt uses) the package installs with dpkg -i once its computed
# dependencies are in, the menu entry's Exec line starts the game (its
# start-up lines and its first frame are checked), F12 saves into the
# player's folder, and dpkg -r leaves no file of the package behind.
# Run as root. Usage: tests/linux/test_package.sh dist/veltra_<version>_amd64.deb
set -euo pipefail
deb=$(realpath "${1:?usage: test_package.sh PACKAGE.deb}")
source_dir=$(realpath "$(dirname "$0")/../..")
"$source_dir/tools/install-packages.sh" lintian desktop-file-utils appstream xdotool python3-numpy python3-pil

work=$(mktemp -d /var/tmp/veltra-package.XXXXXX)
# shellcheck source=../../tools/linux/debian-root.sh
source "$source_dir/tools/linux/debian-root.sh"
cleanup() {
  debian_root_cleanup
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "--- $*"; }

step "the installed files validate"
dpkg-deb -x "$deb" "$work/files"
desktop-file-validate "$work/files/usr/share/applications/veltra.desktop"
appstreamcli validate --no-net "$work/files/usr/share/metainfo/org.veltra.Veltra.metainfo.xml"
lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v 'root privileges' | tee "$work/lintian.txt" || true
! grep -q '^E: ' "$work/lintian.txt" || fail "lintian reports errors"

step "a clean Debian root from this machine's own mirror"
debian_root_make "$work/root"
root=$debian_root

step "dpkg -i with the computed dependencies installed first"
depends=$(dpkg-deb --field "$deb" Depends | tr ',' '\n' | sed 's/|.*//; s/(.*)//; s/ //g' | grep .)
in_root apt-get update -qq
# shellcheck disable=SC2086
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $depends \
  >"$work/apt.log" 2>&1 || fail "the dependencies do not install: $(tail -n 5 "$work/apt.log")"
cp "$deb" "$root/tmp/veltra.deb"
in_root dpkg -i /tmp/veltra.deb || fail "dpkg -i failed"
in_root dpkg -L veltra | sort >"$work/files.txt"

step "the menu entry starts the game"
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/veltra.desktop")
debian_root_display
run_game() {  # arguments after the Exec line; output in $work/out, $work/err
  # shellcheck disable=SC2086
  chroot "$root" env -i HOME=/root PATH=/usr/local/bin:/usr/bin:/bin:/usr/games DISPLAY="$DISPLAY" \
    sh -c 'cd /root && exec '"$exec_line"' "$@"' veltra "$@" >"$work/out" 2>"$work/err" &
  game_pid=$!
}
wait_for() {  # test description seconds
  local waited=0
  until eval "$1"; do
    [ "$waited" -lt $(($3 * 10)) ] || fail "$2 within $3 s; output: $(cat "$work/out" "$work/err")"
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended: $(cat "$work/out" "$work/err")"
    sleep 0.1
    waited=$((waited + 1))
  done
}
# No --filename: the frame lands in the folder the player started from.
run_game --run_headless
wait_for '[ -s "$root/root/screenshot.ppm" ]' "no headless frame in /root" 120
kill -TERM "$game_pid"
wait "$game_pid" || fail "the game ended with status $? on SIGTERM"
expected=$':::::: WELCOME TO VELTRA ::::::\nWindowManager was initialized.\nGLEW was initialized.\nFramework was initialized.'
[ "$(grep -v '^OpenGL Error: ' "$work/out" | head -n 4)" = "$expected" ] || fail "start-up lines: $(head -n 4 "$work/out")"
if grep -vx 'Failed to create irrKlang sound engine!' "$work/err"; then fail "the installed game complained"; fi
/usr/bin/python3 "$source_dir/tests/process/screen_checks.py" tutorial "$root/root/screenshot.ppm" \
  "$root/usr/share/games/veltra/assets/tutorial/Veltra_TutorialSTART.png"

step "F12 saves into the player's folder"
run_game
# One search finds the window and keeps its id: the title changes while the
# level loads, so a second search can come up empty.
wait_for 'window=$(xdotool search --name "^VELTRA$" 2>/dev/null | head -n 1); [ -n "$window" ]' \
  "no game window" 120
# F12 is read by a running frame loop: wait until the game counts frames.
wait_for 'grep -q "^FPS: " "$work/out"' "no frame rate line" 60
xdotool key --window "$window" F12
wait_for 'ls "$root"/root/veltra-*.png >/dev/null 2>&1' "no screenshot in /root" 30
grep -q "^Saved screenshot '/root/veltra-.*\.png'\.$" "$work/out" || fail "no line naming the screenshot"
kill -TERM "$game_pid"
wait "$game_pid" || fail "the game ended with status $? on SIGTERM"

step "dpkg -r leaves nothing of the package"
in_root dpkg -r veltra >/dev/null
left=""
while read -r path; do
  if [ -e "$root$path" ] && [ ! -d "$root$path" ] || [ -L "$root$path" ]; then left="$left $path"; fi
done <"$work/files.txt"
for dir in /usr/lib/games/veltra /usr/share/games/veltra /usr/share/doc/veltra; do
  [ ! -e "$root$dir" ] || left="$left $dir"
done
[ -z "$left" ] || fail "left behind:$left"
echo "PASS: $(grep -c . "$work/files.txt") paths installed and removed; the player's screenshot stays in /root"
