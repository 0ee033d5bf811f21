#!/usr/bin/env bash
# Fails when a file of src/ includes a header of a layer above its own. The
# layers, top to bottom; a layer may include its own headers and any layer's
# below it, never one above, and the two layers that share a floor never
# include each other:
#   app/
#   screens/
#   scores/
#   game/
#   render/
#   input/  audio/
#   platform/sdl/  platform/headless/   (the backends)
#   platform/                           (the seam)
#   check_layers.sh [ROOT]
set -u
root="${1:-.}"

layer_of() {   # a path under src/ -> its layer
  case "$1" in
    platform/sdl/*) echo platform/sdl ;;
    platform/headless/*) echo platform/headless ;;
    *) echo "${1%%/*}" ;;
  esac
}

floor_of() {
  case "$1" in
    app) echo 8 ;;
    screens) echo 7 ;;
    scores) echo 6 ;;
    game) echo 5 ;;
    render) echo 4 ;;
    input | audio) echo 3 ;;
    platform/sdl | platform/headless) echo 2 ;;
    platform) echo 1 ;;
    *) echo 0 ;;
  esac
}

problems=""
while IFS= read -r file; do
  own=$(layer_of "${file#"$root/src/"}")
  own_floor=$(floor_of "$own")
  [ "$own_floor" -eq 0 ] && continue
  while IFS= read -r line; do
    header=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' <<<"$line")
    [ -n "$header" ] || continue
    [ -e "$root/src/$header" ] || continue
    theirs=$(layer_of "$header")
    their_floor=$(floor_of "$theirs")
    if [ "$their_floor" -gt "$own_floor" ] || { [ "$their_floor" -eq "$own_floor" ] && [ "$theirs" != "$own" ]; }; then
      problems+="${file#"$root/"}: $own/ includes $header ($theirs/)"$'\n'
    fi
  done < <(grep -E '^[[:space:]]*#[[:space:]]*include' "$file")
done < <(find "$root/src" -type f \( -name '*.cpp' -o -name '*.h' \) | sort)

if [ -n "$problems" ]; then
  echo "includes that climb a layer or cross a floor:"
  printf '%s' "$problems"
  exit 1
fi
echo "every include points down"
