#!/usr/bin/env bash
# Every committed scenario replayed by the Windows kestrelon-replay.exe under
# Wine gives, byte for byte, the trace committed beside it, which the Linux
# build gives too (replay.scenarios): the same game on both systems.
#   scenarios_test.sh SCENARIOS_DIR SCORES_FILE   (under under_wine.sh)
set -u
scenarios="$1" scores="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$KESTRELON_WINE_GAME" "$work/game"
failed=0 count=0
while read -r name start frames _; do
  cp "$scores" "$work/game/data/scores.txt"
  start_option=(--start "$start")
  input="$scenarios/$name.script"
  [ "$start" = menu ] && start_option=()
  [ "$start" = recording ] && start_option=() input="$scenarios/$name.rec"
  # Wine reads a path from the root as one on its drive Z:, the whole file system.
  if ! (cd "$work/game" && wine kestrelon-replay.exe --dir . --script "$input" --trace "$work/$name.jsonl" \
      "${start_option[@]}" --frames "$frames" --draws </dev/null >"$work/$name.log" 2>&1); then
    echo "FAIL: $name: kestrelon-replay.exe ended with $?:"
    cat "$work/$name.log"
    failed=$((failed + 1))
  elif ! gzip -dc "$scenarios/$name.trace.gz" | cmp - "$work/$name.jsonl"; then
    echo "FAIL: $name: the trace under Wine differs from the committed one (first difference above)"
    failed=$((failed + 1))
  else
    echo "$name: $(wc -l <"$work/$name.jsonl") frames, the same trace"
  fi
  count=$((count + 1))
done < <(grep -v '^#' "$scenarios/scenarios.txt")
[ "$count" -gt 0 ] || { echo "FAIL: no scenario listed in $scenarios/scenarios.txt"; exit 1; }

# Paths are Unicode: a trace named in letters outside Windows' code page is
# written under that very name.
named="$work/trace é ✓ ж.jsonl"
cp "$scores" "$work/game/data/scores.txt"
(cd "$work/game" && wine kestrelon-replay.exe --dir . --script "$scenarios/menu_flow.script" --trace "$named" \
  --frames 114 --draws </dev/null >"$work/named.log" 2>&1)
if ! gzip -dc "$scenarios/menu_flow.trace.gz" | cmp -s - "$named"; then
  echo "FAIL: the trace named in Unicode is not where it was named: $(ls "$work")"
  cat "$work/named.log"
  failed=$((failed + 1))
fi
echo "$((count - failed)) of $count scenarios give the same trace under Wine"
[ "$failed" -eq 0 ]
