#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, run and test VELTRA.
# Run as root. Packages already present are left alone.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  libglfw3-dev libglew-dev libglm-dev libbullet-dev libassimp-dev libstb-dev
  libinih-dev libopenal-dev libsndfile1-dev libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils imagemagick sox libsox-fmt-mp3 lame
  clang libclang-rt-14-dev python3 python3-numpy python3-pil fonts-dejavu-core gnuplot-nox
)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
