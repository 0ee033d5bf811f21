#!/usr/bin/env bash
# Rewrites the expected traces from the scripts, after a change that is meant
# to change what the game does. Look at the difference before committing it.
#   refresh.sh BUILD_DIR DATA_DIR
set -eu
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$2" "$work/data"
grep -v '^#' "$here/scenarios.txt" | while read -r name start frames _; do
  rm -f "$work/data/scores.txt"
  cp "$here/../../support/scores.txt" "$work/data/scores.txt"
  start_option=(--start "$start")
  input="$here/$name.script"
  [ "$start" = menu ] && start_option=()
  # A recording plays from where it was recorded (it stays as it is).
  [ "$start" = recording ] && start_option=() input="$here/$name.rec"
  "$1/kestrelon-replay" --dir "$work" --script "$input" --trace "$work/$name.jsonl" \
    "${start_option[@]}" --frames "$frames" --draws
  gzip -9 -n -c "$work/$name.jsonl" > "$here/$name.trace.gz"
  echo "$name: $(wc -l < "$work/$name.jsonl") frames"
done
