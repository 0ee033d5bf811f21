#!/usr/bin/env bash
# The two structure checks catch what they are there to catch: each wrong
# include below, put into a copy of src/, makes one of them fail.
#   check_layers_test.sh SOURCE_DIR
set -u
source_dir="$1"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
# expect_caught CHECK FILE INCLUDE: the check fails once FILE includes INCLUDE.
expect_caught() {
  rm -rf "$work/src"
  cp -r "$source_dir/src" "$work/src"
  echo "#include $3" >>"$work/src/$2"
  if "$here/$1" "$work" >"$work/out.txt"; then
    echo "FAIL: $1 let src/$2 include $3"
    failures=$((failures + 1))
  elif ! grep -q "src/$2" "$work/out.txt"; then
    echo "FAIL: $1 failed, but did not name src/$2:"
    cat "$work/out.txt"
    failures=$((failures + 1))
  fi
}

expect_caught check_layers.sh game/ship.cpp '"app/frame_driver.h"'
expect_caught check_layers.sh scores/name_entry.cpp '"screens/hud.h"'
expect_caught check_layers.sh input/input.cpp '"audio/sound.h"'
expect_caught check_layers.sh platform/clock.cpp '"platform/sdl/sdl_internal.h"'
expect_caught check_layers.sh platform/headless/call_log_kept.cpp '"platform/sdl/sdl_internal.h"'
expect_caught check_layers.sh platform/tape/playback_tape.cpp '"platform/sdl/sdl_internal.h"'
expect_caught check_platform_seam.sh game/world.cpp '<SDL.h>'
expect_caught check_platform_seam.sh platform/headless/video_none.cpp '<SDL_image.h>'
expect_caught check_platform_seam.sh scores/score_table.cpp '<windows.h>'
expect_caught check_platform_seam.sh app/main.cpp '<unistd.h>'
expect_caught check_platform_seam.sh render/assets.cpp '<sys/stat.h>'
# A test of the system the build is for names the file as well.
expect_caught check_platform_seam.sh game/ship.cpp $'"game/world.h"\n#ifdef _WIN32\n#endif'

# A folder with no src/ is refused, not passed as a clean tree.
for check in check_layers.sh check_platform_seam.sh; do
  "$here/$check" "$work/nowhere" >/dev/null 2>&1 && { echo "FAIL: $check passed a folder with no src/"; failures=$((failures + 1)); }
done
# A new folder counts only once it has its floor.
rm -rf "$work/src" && cp -r "$source_dir/src" "$work/src" && mkdir "$work/src/effects"
printf '#include "game/world.h"\n' >"$work/src/effects/sparks.cpp"
"$here/check_layers.sh" "$work" >/dev/null && { echo "FAIL: check_layers.sh passed a folder on no floor"; failures=$((failures + 1)); }

# And the tree as it is passes both.
"$here/check_layers.sh" "$source_dir" >/dev/null || { echo "FAIL: check_layers.sh refuses the tree itself"; failures=$((failures + 1)); }
"$here/check_platform_seam.sh" "$source_dir" >/dev/null || { echo "FAIL: check_platform_seam.sh refuses the tree itself"; failures=$((failures + 1)); }
[ "$failures" -eq 0 ] && echo "both checks catch every planted include"
exit $((failures > 0))
