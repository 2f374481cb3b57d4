#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, run and test VELTRA.
# Run as root. Packages already present are left alone. The list is checked
# on a clean Debian root (tests/linux/test_fresh_machine.sh): a package a
# stocked machine happens to have hides its absence anywhere else.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  libglfw3-dev libglew-dev libglm-dev libbullet-dev libassimp-dev libstb-dev
  libinih-dev libopenal-dev libsndfile1-dev libgtest-dev libgmock-dev libbenchmark-dev
  # Assimp's CMake package links zlib's library by full path without
  # libassimp-dev depending on it.
  zlib1g-dev
  xvfb xauth xdotool x11-utils imagemagick sox libsox-fmt-mp3 lame
  clang libclang-rt-14-dev python3 python3-numpy python3-pil fonts-dejavu-core gnuplot-nox
)

"$(dirname "$0")/install-packages.sh" "${packages[@]}"
