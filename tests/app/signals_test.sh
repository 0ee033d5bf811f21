#!/usr/bin/env bash
# Ctrl+C and SIGTERM end the game in every state: a second copy whose
# "Application already running!" box waits for the player ends at once with
# 0, the code it ends with anyway; the running game takes either as a close
# of its window and ends normally with 0. And when the display itself goes
# away under the game (a session ending), the game ends as Xlib ends it, with
# 1, not with an abort and a core.
#   signals_test.sh BUILD_DIR DATA_DIR
set -u
build="$1"
source "$(dirname "${BASH_SOURCE[0]}")/../support/xserver.sh"
game_folder signals "$2"
start_xvfb 171 1280x1024x24

cd "$work"
"$build/kestrelon" >"$work/first.log" 2>&1 &
game_pid=$!
game_window_shown() { [ -n "$(window_titled "Kestrelon v0.3")" ]; }
wait_for "the game's window" 60 game_window_shown

box_shown() { [ -n "$(window_titled Error)" ]; }
box_gone() { [ -z "$(window_titled Error)" ]; }
for signal in TERM INT; do
  "$build/kestrelon" >"$work/second-$signal.log" 2>&1 &
  second_pid=$!
  wait_for "the second copy's box" 60 box_shown
  kill -s "$signal" "$second_pid"
  wait_for "the second copy to end on SIG$signal" 10 ended "$second_pid"
  wait "$second_pid"
  code=$?
  second_pid=""
  [ "$code" -eq 0 ] || fail "SIG$signal to the second copy's box gave exit code $code"
  # The box is gone with its process (SDL may draw it in a child of its own).
  wait_for "the box to go with SIG$signal" 10 box_gone
  ended $game_pid && fail "SIG$signal to the second copy ended the first"
done

kill -s TERM $game_pid
wait_for "the game to end on SIGTERM" 20 ended "$game_pid"
wait "$game_pid"
code=$?
game_pid=""
[ "$code" -eq 0 ] || fail "SIGTERM to the running game gave exit code $code"

"$build/kestrelon" >"$work/display-gone.log" 2>&1 &
game_pid=$!
wait_for "the game's window again" 60 game_window_shown
kill -s TERM $xvfb_pid
wait_for "the game to end with its display" 20 ended "$game_pid"
wait "$game_pid"
code=$?
game_pid=""
[ "$code" -eq 1 ] || fail "the display going away ended the game with $code: $(cat "$work/display-gone.log")"
echo "signals, and the display going away, end the game as they should"
