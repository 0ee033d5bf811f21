#!/usr/bin/env bash
# Shared by play.sh and test.sh: installs the Debian packages that are
# missing (through sudo when not root), then configures and builds.
set -euo pipefail

KESTRELON_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
KESTRELON_BUILD="$KESTRELON_ROOT/build"

# What building and playing the game needs; what the tests add; what the
# benchmarks add.
build_packages=(cmake make g++ pkg-config libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev
  libsdl2-mixer-dev libfontconfig-dev libcairo2-dev fonts-liberation2)
test_packages=(libgtest-dev xvfb xauth xdotool imagemagick sox clang libclang-rt-14-dev libsdl2-tests
  desktop-file-utils appstream x11-utils xfonts-base wine wine64 openbox)
bench_packages=(xvfb xauth xdotool libsdl2-tests x11-utils)

install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Installing missing packages: ${missing[*]}"
  "${sudo[@]}" apt-get update
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

build_game() {
  local build_dir="${1:-$KESTRELON_BUILD}"
  shift || true
  cmake -S "$KESTRELON_ROOT" -B "$build_dir" "$@" >/dev/null
  cmake --build "$build_dir" -j2
}
