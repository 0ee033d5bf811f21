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
#   platform/sdl/  platform/headless/  platform/tape/   (the backends)
#   platform/                           (the seam)
#   check_layers.sh [ROOT]
set -u
root="${1:-.}"
# A wrong folder must not pass for a tree with nothing wrong in it.
if [ ! -d "$root/src" ]; then
  echo "no src/ under $root" >&2
  exit 2
fi

# Every quoted include of src/, as "file<TAB>header", judged in one pass.
problems=$(cd "$root/src" && grep -rE --include='*.cpp' --include='*.h' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' . |
  sed -E 's|^\./([^:]*):[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)".*|\1\t\2|' |
  while IFS=$'\t' read -r file header; do [ -e "$header" ] && printf '%s\t%s\n' "$file" "$header"; done |
  awk -F'\t' '
    function layer(path) {
      if (path ~ /^platform\/sdl\//) return "platform/sdl"
      if (path ~ /^platform\/headless\//) return "platform/headless"
      if (path ~ /^platform\/tape\//) return "platform/tape"
      sub(/\/.*/, "", path)
      return path
    }
    BEGIN {
      floor["app"] = 8; floor["screens"] = 7; floor["scores"] = 6; floor["game"] = 5; floor["render"] = 4
      floor["input"] = 3; floor["audio"] = 3; floor["platform/sdl"] = 2; floor["platform/headless"] = 2; floor["platform/tape"] = 2
      floor["platform"] = 1
    }
    {
      own = layer($1); theirs = layer($2)
      if (!(own in floor) || !(theirs in floor)) {
        # A new folder must be given its floor before anything in it counts as checked.
        if ($1 ~ /\// && !(own in floor)) printf "src/%s: %s/ is on no floor of this check\n", $1, own
        if ($2 ~ /\// && !(theirs in floor)) printf "src/%s: includes %s, and %s/ is on no floor of this check\n", $1, $2, theirs
        next
      }
      if (floor[theirs] > floor[own] || (floor[theirs] == floor[own] && theirs != own))
        printf "src/%s: %s/ includes %s (%s/)\n", $1, own, $2, theirs
    }')

if [ -n "$problems" ]; then
  echo "includes that climb a layer or cross a floor:"
  echo "$problems"
  exit 1
fi
echo "every include points down"
