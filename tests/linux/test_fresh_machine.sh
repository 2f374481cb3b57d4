#!/usr/bin/env bash
# Checks README's two set-up commands as a newcomer meets them: in a clean
# Debian root (debootstrap, variant minbase) holding a copy of this checkout,
# each command runs as root, word for word as README gives it, in one
# checkout as a newcomer would. The run command must install what it needs,
# build the game and start it in a virtual display: its start-up lines and a
# headless frame (its arguments, appended to the command, are the only
# addition) are checked, and SIGTERM must end it with status 0. The test
# command must then pass. Any package that tools/install-deps.sh forgets
# fails one of the two, however well stocked this machine is.
# Run as root. Usage: tests/linux/test_fresh_machine.sh
set -euo pipefail
source_dir=$(realpath "$(dirname "$0")/../..")
"$source_dir/tools/install-packages.sh" git python3-numpy python3-pil

work=$(mktemp -d /var/tmp/veltra-fresh.XXXXXX)
# shellcheck source=../../tools/linux/debian-root.sh
source "$source_dir/tools/linux/debian-root.sh"
cleanup() {
  debian_root_cleanup
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
started=$(date +%s)
step() { echo "--- $* (at $(($(date +%s) - started)) s)"; }

# The indented lines of README's set-up section, in order: run, then test.
mapfile -t commands < <(awk '/^## Set-up on a fresh Debian 12 machine/ { on = 1; next }
  on && /^## / { exit }
  on && /^    [^ ]/ { sub(/^    /, ""); print }' "$source_dir/README.md")
[ ${#commands[@]} -eq 2 ] || fail "README's set-up section gives ${#commands[@]} commands, not two"
run_command=${commands[0]}
test_command=${commands[1]}
[[ "$run_command" == *" ./veltra" ]] || fail "README's run command does not end by starting ./veltra: $run_command"

step "a clean Debian root holding this checkout"
debian_root_make "$work/root"
root=$debian_root
checkout="$root/root/veltra"
mkdir -p "$checkout"
# What a clone holds: the files git tracks, with this checkout's changes and
# new files not ignored, so the check also sees work not yet committed.
(cd "$source_dir" && git ls-files -z -c -o --exclude-standard |
  while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
  tar -c --null -T - -f -) | tar -x -C "$checkout"
debian_root_display

step "the run command: $run_command"
in_root sh -c "cd veltra && $run_command --run_headless --filename /root/fresh-frame" \
  >"$work/run.out" 2>"$work/run.err" &
shell_pid=$!
# Installing and building take most of an hour at worst on two cores.
for ((waited = 0; ; waited++)); do
  [ -s "$root/root/fresh-frame.ppm" ] && break
  kill -0 "$shell_pid" 2>/dev/null || fail "the run command ended: $(tail -n 20 "$work/run.out" "$work/run.err")"
  [ "$waited" -lt 36000 ] || fail "no headless frame within an hour: $(tail -n 20 "$work/run.out")"
  sleep 0.1
done
game_pid=""
for pid in $(pgrep -x veltra); do
  [ "$(readlink "/proc/$pid/root")" = "$root" ] && game_pid=$pid
done
[ -n "$game_pid" ] || fail "a frame but no game process in the root"
kill -TERM "$game_pid"
status=0
wait "$shell_pid" || status=$?
[ "$status" -eq 0 ] || fail "the game ended with status $status on SIGTERM: $(tail -n 20 "$work/run.out" "$work/run.err")"
expected=$':::::: WELCOME TO VELTRA ::::::\nWindowManager was initialized.\nGLEW was initialized.\nFramework was initialized.'
startup=$(sed -n '/^:::::: WELCOME TO VELTRA ::::::$/,$p' "$work/run.out" | grep -v '^OpenGL Error: ' | head -n 4)
[ "$startup" = "$expected" ] || fail "start-up lines: $startup"
/usr/bin/python3 "$source_dir/tests/process/screen_checks.py" tutorial "$root/root/fresh-frame.ppm" \
  "$checkout/assets/tutorial/Veltra_TutorialSTART.png"

step "the test command: $test_command"
in_root sh -c "cd veltra && $test_command" >"$work/test.log" 2>&1 ||
  fail "the test command failed: $(tail -n 40 "$work/test.log")"
summary=$(grep -E '^[0-9]+% tests passed' "$work/test.log") || fail "no test summary: $(tail -n 20 "$work/test.log")"
# Downloads the archive no longer offers are dropped from the kept ones.
in_root apt-get autoclean -qq >/dev/null 2>&1 || true
step "PASS: both commands on a fresh root; $summary"
