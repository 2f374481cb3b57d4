#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, run and test VELTRA.
# Run as root. Packages already present are left alone.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  libglfw3-dev libglew-dev libglm-dev libbullet-dev libassimp-dev libstb-dev
  libinih-dev libopenal-dev libsndfile1-dev zlib1g-dev libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils imagemagick sox libsox-fmt-mp3 lame
  clang libclang-rt-14-dev python3 python3-numpy python3-pil fonts-dejavu-core gnuplot-nox
)

"$(dirname "$0")/install-packages.sh" "${packages[@]}"
