#!/usr/bin/env bash
# Smoke check of the win64 libraries: builds smoke/ against the prefix of
# build-libraries.sh with the MinGW-w64 toolchain file and runs it under Wine,
# in a fresh private 64-bit Wine prefix in a temporary folder, once with the
# offscreen video and disk audio drivers and once with the dummy ones. Works
# with or without an X display: SDL's drivers used here open no window that
# Wine would have to show.
#
# Exits 0 when both runs print OK; the last line counts the runs that passed
# and failed.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/setup.sh"

here="$KESTRELON_ROOT/packaging/windows"
font=/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf

install_missing wine wine64 fonts-liberation2
prefix=$(bash "$here/build-libraries.sh" | tail -n 1)

work=$(mktemp -d "${TMPDIR:-/tmp}/kestrelon-win64-smoke.XXXXXX")
export WINEPREFIX="$work/wine" WINEARCH=win64 WINEDEBUG=-all
# No prompt to install Mono or Gecko while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  # Only this prefix's wineserver, and with it its processes.
  [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f s", b - a }'; }

echo "== building smoke/ against $prefix"
cmake -S "$here/smoke" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/build" --parallel 2 >/dev/null

# Windows finds DLLs beside the .exe first.
run="$work/run"
mkdir "$run"
cp "$work/build/smoke.exe" "$prefix"/bin/*.dll "$font" "$run/"

echo "== making a Wine prefix (DISPLAY=${DISPLAY:-none})"
started=$(now)
timeout 300 wine wineboot.exe --init
timeout 300 wineserver --wait # until wineboot's processes are done
echo "   $(since "$started")"

# Every DLL that the .exe and the DLLs beside it import must be beside it or
# one of Windows' own (as Wine's system32 has them): a DLL of the compiler's
# runtime (libstdc++-6, libgcc_s_seh-1, libwinpthread-1) would be neither.
missing=0
for file in "$run"/*.exe "$run"/*.dll; do
  for dll in $(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
    if [ -z "$(find "$run" "$WINEPREFIX/drive_c/windows/system32" -maxdepth 1 -iname "$dll" -print -quit)" ]; then
      echo "FAILED $(basename "$file") imports $dll, which is neither shipped beside it nor part of Windows"
      missing=1
    fi
  done
done

passed=0 failed=0
for drivers in "offscreen disk" "dummy dummy"; do
  read -r video audio <<<"$drivers"
  echo "== smoke.exe with SDL_VIDEODRIVER=$video SDL_AUDIODRIVER=$audio"
  started=$(now)
  if [ "$missing" -eq 0 ] && (cd "$run" && SDL_VIDEODRIVER=$video SDL_AUDIODRIVER=$audio \
    timeout 120 wine smoke.exe LiberationSans-Regular.ttf); then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
  echo "   $(since "$started")"
done

echo "smoke-test: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
