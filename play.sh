#!/usr/bin/env bash
# Sets everything up and starts Kestrelon (run from any folder); options
# after it go to the game (bash play.sh --mute).
source "$(dirname "${BASH_SOURCE[0]}")/tools/setup.sh"
install_missing "${build_packages[@]}"
build_game "$KESTRELON_BUILD" -DKESTRELON_TESTS=OFF -DKESTRELON_BENCH=OFF
cd "$KESTRELON_ROOT"
exec "$KESTRELON_BUILD/kestrelon" "$@"
