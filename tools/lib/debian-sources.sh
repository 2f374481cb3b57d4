#!/usr/bin/env bash
# Debian source packages for the dependency builds (tools/windows/deps.sh,
# tools/web/deps.sh), fetched through apt and checked three times: against
# the archive's signed indexes by apt, against the .dsc by SHA-256 here, and
# by dpkg-source on extraction. Sourced, not run; the caller defines run,
# log and die (see tools/windows/deps.sh), $logs, and NEWER_SUITE, the suite
# whose source entries are added for packages only it still has.
#
#   debian_sources_setup CACHE        private apt state in CACHE/apt, downloads kept in CACHE/sources
#   debian_sources_fetch NAME=VERSION...
#   debian_sources_unpack SRCROOT NAME=VERSION...   unpacks into SRCROOT/NAME and sets SRC[NAME]

noepoch() { printf '%s' "${1#*:}"; }

# deb-src entries made from the machine's own deb entries (same URIs, suites,
# keys) plus the same entries for $NEWER_SUITE, in a private apt state so that
# the system's configuration and lists stay as they are.
debian_sources_setup() {
  local cache=$1
  apt_dir=$cache/apt
  src_cache=$cache/sources     # downloads are kept: apt re-verifies and skips them
  mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$src_cache"
  rm -f "$apt_dir"/parts/*
  : >"$apt_dir/sources.list"
  base_suite=$(. /etc/os-release && printf '%s' "${VERSION_CODENAME:-}")
  [ -n "$base_suite" ] || die "cannot read VERSION_CODENAME from /etc/os-release"

  derive_deb822() {   # <file.sources>: Deb822 paragraphs
    awk -v base="$base_suite" -v newer="$NEWER_SUITE" '
      function flush(   n, i, s, hit) {
        if (body != "" && isdeb && enabled) {
          printf "Types: deb-src\n%s\n", body
          n = split(suites, s, /[ \t]+/)
          for (i = 1; i <= n; i++) if (s[i] == base) hit = 1
          if (hit && base != newer) {
            out = body; sub(/Suites:[^\n]*/, "Suites: " newer, out)
            printf "Types: deb-src\n%s\n", out
          }
        }
        body = ""; suites = ""; isdeb = 0; enabled = 1
      }
      BEGIN { enabled = 1 }
      /^[ \t]*$/ { flush(); next }
      /^#/ { next }
      /^Types:/ { if ($0 ~ /[ \t]deb([ \t]|$)/) isdeb = 1; next }
      /^Enabled:/ { if (tolower($2) == "no") enabled = 0 }
      /^Suites:/ { suites = $0; sub(/^Suites:[ \t]*/, "", suites) }
      { body = body $0 "\n" }
      END { flush() }' "$1"
  }
  derive_oneline() {  # <sources.list>: "deb [options] URI suite components..."
    awk -v base="$base_suite" -v newer="$NEWER_SUITE" '
      { sub(/#.*/, "") }
      $1 != "deb" { next }
      { i = 2
        if ($2 ~ /^\[/) { while (i <= NF && $i !~ /\]$/) i++; i++ }
        line = $0; sub(/^[ \t]*deb/, "deb-src", line); print line
        if ($(i + 1) == base && base != newer) {
          $1 = "deb-src"; $(i + 1) = newer; print
        } }' "$1"
  }
  n=0
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    n=$((n + 1))
    derive_deb822 "$f" >"$apt_dir/parts/derived-$n.sources"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    n=$((n + 1))
    derive_oneline "$f" >"$apt_dir/parts/derived-$n.list"
  done
  grep -qs . "$apt_dir"/parts/* || die "no deb entries found in /etc/apt/sources.list{,.d/} to derive source entries from"

  APT=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts="$apt_dir/parts"
       -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
       -o APT::Sandbox::User=root)   # the private directories are root's only
  log "updating the private source lists"
  run apt apt-get "${APT[@]}" update
}

check_dsc() {  # <dsc>: every file it lists, by SHA-256
  awk '/^Checksums-Sha256:/ {on = 1; next} /^[^ ]/ {on = 0} on && NF == 3 {print $1 "  " $3}' "$1" \
    | (cd "$src_cache" && sha256sum --quiet -c -) >>"$logs/fetch.log" 2>&1 \
    || die "checksum mismatch for the files of $1 (see $logs/fetch.log)"
}

debian_sources_fetch() {
  log "fetching sources"
  if ! (cd "$src_cache" && apt-get "${APT[@]}" source --download-only "$@") >>"$logs/fetch.log" 2>&1; then
    tail -n 20 "$logs/fetch.log" >&2
    die "apt-get source failed; a pinned version may have left the archive: update the pins"
  fi
  local pin name ver dsc
  for pin in "$@"; do
    name=${pin%%=*} ver=$(noepoch "${pin#*=}")
    dsc=$src_cache/${name}_$ver.dsc
    [ -f "$dsc" ] || die "$dsc was not fetched"
    check_dsc "$dsc"
  done
}

debian_sources_unpack() {
  local srcroot=$1 pin name dsc
  shift
  for pin in "$@"; do
    name=${pin%%=*}
    dsc=$src_cache/${name}_$(noepoch "${pin#*=}").dsc
    run unpack dpkg-source --no-copy -x "$dsc" "$srcroot/$name"   # applies Debian's patches
    SRC[$name]=$srcroot/$name
  done
}
