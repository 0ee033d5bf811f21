#!/usr/bin/env bash
# Fails when a file outside src/platform/ includes an SDL or fontconfig header.
set -u
root="${1:-.}"
hits=$(grep -rn -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](SDL2?/|SDL[_.]|SDL\.h|fontconfig/)' \
  "$root/src" "$root/tools/replay" --include='*.cpp' --include='*.h' 2>/dev/null | grep -v "^$root/src/platform/")
if [ -n "$hits" ]; then
  echo "SDL or fontconfig included outside src/platform/:"
  echo "$hits"
  exit 1
fi
echo "platform seam intact"
