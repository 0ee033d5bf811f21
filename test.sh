#!/usr/bin/env bash
# Sets everything up and runs every test (run from any folder): the suite in
# the normal build, with the Windows build's tests under Wine, then the whole
# suite again built with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, with the fuzz targets.
source "$(dirname "${BASH_SOURCE[0]}")/tools/setup.sh"
install_missing "${build_packages[@]}" "${test_packages[@]}"
echo "== the Windows build (its SDL libraries are built once and cached)"
bash "$KESTRELON_ROOT/packaging/build-windows.sh"
build_game "$KESTRELON_BUILD" -DKESTRELON_TESTS=ON -DKESTRELON_WINDOWS_BUILD="$KESTRELON_ROOT/build-windows"
ctest --test-dir "$KESTRELON_BUILD" --output-on-failure -j2

echo "== the same tests under AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzzers"
sanitized="$KESTRELON_ROOT/build-sanitize"
CC=clang CXX=clang++ build_game "$sanitized" -DCMAKE_BUILD_TYPE=Debug -DKESTRELON_SANITIZE=ON -DKESTRELON_FUZZ=ON -DKESTRELON_TESTS=ON \
  -DKESTRELON_DATA_DIR="$sanitized/data"
# The real-window test is left to the normal build: the X server's GL driver
# keeps memory that leak checks cannot name.
LSAN_OPTIONS="suppressions=$KESTRELON_ROOT/tests/lsan.supp" UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$sanitized" --output-on-failure -j2 -E 'app\.real_'
