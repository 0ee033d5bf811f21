#!/usr/bin/env bash
# Sets everything up and runs every test (run from any folder).
source "$(dirname "${BASH_SOURCE[0]}")/tools/setup.sh"
install_missing "${build_packages[@]}" "${test_packages[@]}"
build_game
ctest --test-dir "$KESTRELON_BUILD" --output-on-failure -j2
