#!/usr/bin/env bash
# The installer, run silently into a fresh folder, installs the zip's tree,
# a Start-menu entry that starts the game in bin\ and an uninstaller
# registered with Windows; the game starts from the entry's working folder;
# the uninstaller removes every file it installed and its registration.
source "$(dirname "$0")/lib.sh"
SETUP=$(dirname "$ZIP")/veltra-win64-setup.exe
[ -f "$SETUP" ] || fail "no installer beside $ZIP"
unpack_game
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VELTRA'
start_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/VELTRA"

install_dir="$WORK/Installed $WORLDLY_NAME/VELTRA"
# NSIS takes /D= last and unquoted, spaces and all, which only a command
# line given whole can say: cmd passes it on as written, and start /wait
# waits for the installer's window to close. The installer is copied to a
# path without spaces so that it needs no quotes either.
cp "$SETUP" "$WORK/setup.exe"
wine cmd /c "start /wait $(windows_path "$WORK/setup.exe") /S /D=$(windows_path "$install_dir")" \
    </dev/null >/dev/null 2>&1 || fail "the installer failed"

# The same tree as the zip, plus the uninstaller.
(cd "$GAME_DIR" && find . | LC_ALL=C sort) >"$WORK/zip-tree"
(cd "$install_dir" && find . ! -name Uninstall.exe | LC_ALL=C sort) >"$WORK/installed-tree"
diff "$WORK/zip-tree" "$WORK/installed-tree" >"$WORK/tree-diff" || fail "installed tree differs: $(head -n 5 "$WORK/tree-diff")"
[ -f "$install_dir/Uninstall.exe" ] || fail "no uninstaller"
cmp -s "$GAME_DIR/bin/veltra.exe" "$install_dir/bin/veltra.exe" || fail "installed veltra.exe differs from the zip's"

wine reg query "$key" /v UninstallString >"$WORK/reg" 2>/dev/null || fail "no uninstall registration"
grep -q 'Uninstall.exe' "$WORK/reg" || fail "the registration names no uninstaller"
[ -f "$start_menu/VELTRA.lnk" ] || fail "no Start-menu entry"

# The entry's working folder, as written in the shortcut.
working=$("$PYTHON" "$(dirname "$0")/shortcut_working_dir.py" "$start_menu/VELTRA.lnk") ||
    fail "the Start-menu entry cannot be read"
echo "Start-menu entry starts in: $working"
expected=$(windows_path "$install_dir/bin")
[ "${working,,}" = "${expected,,}" ] || fail "the Start-menu entry starts in '$working', not in $expected"
use_game_bin "$install_dir/bin"
start_game --run_headless
wait_for_file "$install_dir/bin/screenshot.ppm" 120
# Escape, not Ctrl+C: see test_package_headless.sh.
wait_for_window 'VELTRA.*' 120
send_key "$WINDOW_ID" Escape
wait_for_exit 60
[ "$GAME_STATUS" -eq 0 ] || fail "the installed game ended with status $GAME_STATUS"
unix_stdout | grep -q '^Framework was initialized' || fail "the installed game did not start"
# The screenshot is the player's, not ours: out of the way before uninstalling.
rm "$install_dir/bin/screenshot.ppm"

# The uninstaller copies itself away and runs from there, so the first
# process ends at once: wait for the folder to go.
wine "$install_dir/Uninstall.exe" /S </dev/null >/dev/null 2>&1 || fail "the uninstaller failed"
registered() { wine reg query "$key" </dev/null >/dev/null 2>&1; }
waited=0
while { [ -e "$install_dir" ] || registered; } && [ "$waited" -lt $((120 * ${VELTRA_TIME_FACTOR:-1})) ]; do
    sleep 0.5
    waited=$((waited + 1))
done
[ ! -e "$install_dir" ] || fail "left behind: $(cd "$install_dir" && find . | head -n 5 | tr '\n' ' ')"
[ ! -e "$start_menu" ] || fail "the Start-menu folder is left behind"
registered && fail "the uninstall registration is left behind"
echo "PASS"
