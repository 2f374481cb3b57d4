# shellcheck shell=bash
# Sourced, not run: the environment in which the Windows build's programs run
# under wine.
#   . tools/windows/wine-env.sh
#   wine_session_begin ... wine_session_end
# A private wine prefix outside the checkout, made once (about 10 s) and then
# reused; no Mono or Gecko download prompts; wine's own chatter off.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=${VELTRA_WINEPREFIX:-${VELTRA_DEPS_CACHE:-/var/cache/veltra}/wine64}
export WINEARCH=win64
# Mesa's shader-cache thread may still be writing when a program ends; in a
# wine process that ends in a page fault after the program has finished
# (the same thread trips LeakSanitizer on Linux). The cache only saves
# compile time on a second start.
export MESA_SHADER_CACHE_DISABLE=true
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot --init </dev/null >/dev/null 2>&1 || true
  wineserver --wait || true
fi

# The first wine program of a session starts wine's own services, which
# inherit its output and hold it open: a test runner reading that output
# would wait for them until its time-out. One idle program, started here
# with nothing to inherit, keeps the services up for the whole session.
WINE_KEEPER_PID=""
WINE_KEEPER_DIR=""
wine_session_begin() {
  # The keeper reads a FIFO that this shell holds open, so it idles.
  WINE_KEEPER_DIR=$(mktemp -d)
  mkfifo "$WINE_KEEPER_DIR/input"
  wine cmd <"$WINE_KEEPER_DIR/input" >/dev/null 2>&1 &
  WINE_KEEPER_PID=$!
  exec {WINE_KEEPER_FD}>"$WINE_KEEPER_DIR/input"
  # The services are up once a program can run to its end.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  # A program that crashes gets wine's debugger, which prints a backtrace;
  # its crash dialog would wait for a click that never comes.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    </dev/null >/dev/null 2>&1 || true
}
wine_session_end() {
  if [ -n "$WINE_KEEPER_PID" ]; then
    exec {WINE_KEEPER_FD}>&-
    # wine's cmd does not end at the end of its input: end the session's
    # programs, keeper included.
    wineserver -k 2>/dev/null || true
    wait "$WINE_KEEPER_PID" 2>/dev/null || true
    rm -rf "$WINE_KEEPER_DIR"
    WINE_KEEPER_PID=""
  fi
}
