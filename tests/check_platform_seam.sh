#!/usr/bin/env bash
# Fails when a file outside src/platform/sdl/ includes an SDL or fontconfig
# header: the SDL backend is the only code that talks to those libraries.
set -u
root="${1:-.}"
if [ ! -d "$root/src" ]; then
  echo "no src/ under $root" >&2
  exit 2
fi
hits=$(grep -rn -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](SDL2?/|SDL[_.]|SDL\.h|fontconfig/)' \
  "$root/src" "$root/tools/replay" --include='*.cpp' --include='*.h' 2>/dev/null | grep -v "^$root/src/platform/sdl/")
if [ -n "$hits" ]; then
  echo "SDL or fontconfig included outside src/platform/sdl/:"
  echo "$hits"
  exit 1
fi
echo "platform seam intact"
