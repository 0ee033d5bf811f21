#!/usr/bin/env bash
# Ctrl+C and SIGTERM end the game in every state: a second copy whose
# "Application already running!" box waits for the player ends at once with
# 0, the code it ends with anyway; the running game takes either as a close
# of its window and ends normally with 0.
#   signals_test.sh BUILD_DIR DATA_DIR
set -u
build="$1"
work=$(mktemp -d)
trap 'kill $game_pid $second_pid $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/run"
export XDG_RUNTIME_DIR="$work/run"
cp -r "$2" "$work/data"
game_pid=""
second_pid=""

source "$(dirname "${BASH_SOURCE[0]}")/../support/xserver.sh"
start_xvfb 171 1280x1024x24

wait_exit() {   # PID SECONDS -> the exit code, or fails
  local i
  for i in $(seq $(($2 * 10))); do
    kill -0 "$1" 2>/dev/null || { wait "$1"; return $?; }
    sleep 0.1
  done
  fail "process $1 did not end within $2 s"
}

cd "$work"
"$build/kestrelon" >"$work/first.log" 2>&1 &
game_pid=$!
find_window "Kestrelon v0.3" 60 >/dev/null || { describe_missing_window $game_pid; fail "no game window"; }

for signal in TERM INT; do
  "$build/kestrelon" >"$work/second-$signal.log" 2>&1 &
  second_pid=$!
  find_window "Error" 60 >/dev/null || fail "the second copy showed no box"
  kill -s "$signal" "$second_pid"
  wait_exit "$second_pid" 10
  code=$?
  second_pid=""
  [ "$code" -eq 0 ] || fail "SIG$signal to the second copy's box gave exit code $code"
  # The box is gone with its process (SDL may draw it in a child of its own).
  for _ in $(seq 100); do xwininfo -root -tree | grep -q '"Error":' || break; sleep 0.1; done
  xwininfo -root -tree | grep -q '"Error":' && fail "SIG$signal left the box on the screen"
  kill -0 $game_pid 2>/dev/null || fail "SIG$signal to the second copy ended the first"
done

kill -s TERM $game_pid
wait_exit $game_pid 20
code=$?
game_pid=""
[ "$code" -eq 0 ] || fail "SIGTERM to the running game gave exit code $code"
echo "signals end the game as they should"
