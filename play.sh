#!/usr/bin/env bash
# Sets everything up and starts Kestrelon (run from any folder).
source "$(dirname "${BASH_SOURCE[0]}")/tools/setup.sh"
install_missing "${build_packages[@]}"
build_game "$KESTRELON_BUILD" -DKESTRELON_TESTS=OFF -DKESTRELON_BENCH=OFF
cd "$KESTRELON_ROOT"
exec "$KESTRELON_BUILD/kestrelon"
