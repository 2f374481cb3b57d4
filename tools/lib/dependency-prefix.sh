#!/usr/bin/env bash
# The frame of a dependency build (tools/windows/deps.sh, tools/web/deps.sh):
# a prefix named by a key, built in a work folder under a lock and renamed
# into place only when complete, with a log per library. Sourced, not run;
# the caller sets DEPS_NAME, the name its messages start with.
#
#   deps_open CACHE NAME   NAME is the prefix's folder in CACHE. Prints it and
#                          exits when it is complete; else takes the lock and
#                          sets prefix, work, stage, logs, srcroot and bld
#   run LOG COMMAND...     runs COMMAND with its output in logs/LOG.log
#   licence LIBRARY FILE...
#   trim_bullet SOURCE     Bullet's build reduced to the three libraries linked

log() { printf '%s: %s\n' "$DEPS_NAME" "$*" >&2; }
die() { printf '%s: error: %s\n' "$DEPS_NAME" "$*" >&2; exit 1; }

deps_stamp=.veltra-deps-complete

deps_open() {
  local cache=$1 name=$2 old
  prefix=$cache/$name
  if [ -f "$prefix/$deps_stamp" ]; then
    log "up to date: $prefix"
    printf '%s\n' "$prefix"
    exit 0
  fi
  mkdir -p "$cache"
  # One build at a time; a second caller waits, then finds the prefix done.
  exec 9>"$cache/.lock"
  flock 9
  if [ -f "$prefix/$deps_stamp" ]; then
    log "built meanwhile: $prefix"
    printf '%s\n' "$prefix"
    exit 0
  fi
  [ ! -e "$prefix" ] || { log "removing incomplete $prefix"; rm -rf "$prefix"; }
  # Under the lock, any build directory left is from an interrupted or failed run.
  for old in "$cache"/build-*; do
    [ -e "$old" ] || continue
    log "removing old build directory $old"
    rm -rf "$old"
  done
  deps_started=$SECONDS
  work=$(mktemp -d "$cache/build-$name.XXXXXX")
  stage=$work/prefix            # becomes $prefix by one rename at the end
  logs=$work/logs
  srcroot=$work/src
  bld=$work/build
  mkdir -p "$stage" "$logs" "$srcroot" "$bld"
  trap 'rc=$?; [ "$rc" -eq 0 ] || log "failed; build directory and logs kept in $work"' EXIT
  log "building $prefix (in $work, $(nproc) jobs)"
}

# The logs go into the prefix, then the stamp, then the finished stage takes
# the prefix's name in one rename. VELTRA_DEPS_KEEP_BUILD=1 keeps the build
# trees.
deps_close() {
  mv "$logs" "$stage/build-logs"
  logs=$stage/build-logs
  date -u +%FT%TZ >"$stage/$deps_stamp"    # written last: its presence means complete
  mv -T "$stage" "$prefix"
  if [ "${VELTRA_DEPS_KEEP_BUILD:-0}" = 1 ]; then log "build trees kept in $work"; else rm -rf "$work"; fi
  log "done in $((SECONDS - deps_started)) s: $prefix"
  printf '%s\n' "$prefix"
}

run() {
  local name=$1; shift
  if ! "$@" >>"$logs/$name.log" 2>&1; then
    # With parallel jobs the error is often above the last lines.
    printf '\n---- error lines of %s ----\n' "$logs/$name.log" >&2
    grep -iE 'error|undefined|cannot|not found' "$logs/$name.log" | tail -n 15 >&2 || true
    printf -- '---- last lines ----\n' >&2
    tail -n 25 "$logs/$name.log" >&2
    die "$name: '$*' failed (log: $logs/$name.log)"
  fi
}

licence() {
  mkdir -p "$stage/share/licenses/$1"
  local lib=$1; shift
  cp -L "$@" "$stage/share/licenses/$lib/"
}

# Its src/CMakeLists.txt always adds every library; the game links three.
trim_bullet() {
  sed -i 's/^SUBDIRS( *BulletInverseDynamics .*/SUBDIRS( BulletCollision BulletDynamics LinearMath )/' \
    "$1/src/CMakeLists.txt"
  grep -q '^SUBDIRS( BulletCollision BulletDynamics LinearMath )' "$1/src/CMakeLists.txt" \
    || die "bullet: src/CMakeLists.txt no longer has the SUBDIRS line this script trims"
}
