# A clean, minimal Debian root of this machine's own release, for checks that
# must not lean on what this machine happens to have installed. Sourced by
# the tests in tests/linux/; run as root.
#
#   source tools/linux/debian-root.sh
#   debian_root_make "$work/root"      # sets $debian_root
#   in_root apt-get update -qq
#   debian_root_display                # a virtual display the root reaches
#   debian_root_cleanup                # in the caller's exit trap, before
#                                      # removing the root (rm --one-file-system)
#
# The base root (debootstrap, variant minbase) is cached as a tarball and the
# packages apt downloads inside it are kept, both outside the checkout below
# ${VELTRA_DEPS_CACHE:-/var/cache/veltra}. The tarball's name carries what it
# depends on: the suite, the mirror, the archive's release file as this
# machine last fetched it, and debootstrap's version. The root's apt uses
# exactly this machine's sources and keys, so no archive is named here.

debian_root=""
debian_root_mounts=()
debian_root_xvfb=""

debian_root_fail() { echo "FAIL: $*" >&2; exit 1; }

# The first deb URI of the suite this machine runs, as its apt knows it.
debian_root_mirror() {
  apt-get indextargets --format '$(SITE) $(RELEASE)' 'Created-By: Packages' 2>/dev/null |
    awk -v suite="$1" '$2 == suite { print $1; exit }'
}

debian_root_make() {  # directory
  local dir=$1 suite mirror release cache key tarball log
  "$(dirname "${BASH_SOURCE[0]}")/../install-packages.sh" debootstrap
  suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
  mirror=$(debian_root_mirror "$suite")
  if [ -z "$mirror" ]; then
    # A machine whose lists were never fetched knows no index targets yet.
    apt-get update -qq >&2
    mirror=$(debian_root_mirror "$suite")
  fi
  [ -n "$mirror" ] || debian_root_fail "no deb entry for $suite in this machine's apt configuration"
  release=$(find /var/lib/apt/lists -maxdepth 1 -name "*_dists_${suite}_*Release" -exec cat {} + | sha256sum | cut -c1-16)
  cache=${VELTRA_DEPS_CACHE:-/var/cache/veltra}
  key=$(printf '%s\n' "$suite" "$mirror" "$release" "$(dpkg-query -W -f='${Version}' debootstrap)" |
    sha256sum | cut -c1-16)
  tarball="$cache/debian-root/$suite-minbase-$key.tar"
  mkdir -p "$cache/debian-root" "$cache/apt-archives-$suite/partial" "$dir"

  debian_root=$(realpath "$dir")
  if [ -f "$tarball" ]; then
    tar -xf "$tarball" -C "$debian_root" --numeric-owner
  else
    log="$debian_root.debootstrap.log"
    debootstrap --variant=minbase "$suite" "$debian_root" "$mirror" >"$log" 2>&1 ||
      debian_root_fail "debootstrap: $(tail -n 5 "$log")"
    rm -f "$debian_root/var/cache/apt/archives/"*.deb "$log"
    # Older tarballs of the suite are stale once the archive has moved on.
    rm -f "$cache/debian-root/$suite-minbase-"*.tar
    tar -cf "$tarball.part" -C "$debian_root" --numeric-owner . && mv "$tarball.part" "$tarball"
  fi

  rm -f "$debian_root/etc/apt/sources.list"
  cp -a /etc/apt/sources.list.d/. "$debian_root/etc/apt/sources.list.d/"
  [ ! -f /etc/apt/sources.list ] || cp /etc/apt/sources.list "$debian_root/etc/apt/"
  cp -a /usr/share/keyrings/. "$debian_root/usr/share/keyrings/"
  [ ! -d /etc/apt/trusted.gpg.d ] || cp -a /etc/apt/trusted.gpg.d/. "$debian_root/etc/apt/trusted.gpg.d/"
  for fs in proc dev dev/pts dev/shm; do
    mkdir -p "$debian_root/$fs"
    mount --bind "/$fs" "$debian_root/$fs"
    debian_root_mounts+=("$debian_root/$fs")
  done
  mount --bind "$cache/apt-archives-$suite" "$debian_root/var/cache/apt/archives"
  debian_root_mounts+=("$debian_root/var/cache/apt/archives")
}

# Starts Xvfb on this machine on a free display and exports DISPLAY; the
# root's programs reach it through the X socket folder, bound into the root.
debian_root_display() {
  local display=90
  "$(dirname "${BASH_SOURCE[0]}")/../install-packages.sh" xvfb x11-utils
  while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  debian_root_xvfb=$!
  export DISPLAY=":$display"
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  xdpyinfo >/dev/null 2>&1 || debian_root_fail "Xvfb did not start on $DISPLAY"
  mkdir -p "$debian_root/tmp/.X11-unix"
  mount --bind /tmp/.X11-unix "$debian_root/tmp/.X11-unix"
  debian_root_mounts+=("$debian_root/tmp/.X11-unix")
}

debian_root_cleanup() {
  local i
  [ -z "$debian_root_xvfb" ] || kill "$debian_root_xvfb" 2>/dev/null || true
  debian_root_xvfb=""
  for ((i = ${#debian_root_mounts[@]} - 1; i >= 0; i--)); do
    umount -l "${debian_root_mounts[i]}" 2>/dev/null || true
  done
  debian_root_mounts=()
}

# A command inside the root with a clean environment, as root, at /root.
in_root() {
  chroot "$debian_root" env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 ${DISPLAY:+DISPLAY="$DISPLAY"} sh -c 'cd /root && exec "$@"' in_root "$@"
}
