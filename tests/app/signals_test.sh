#!/usr/bin/env bash
# Ctrl+C, SIGTERM and SIGHUP end the game in every state: a second copy whose
# "Application already running!" box waits for the player ends at once with
# 0, the code it ends with anyway; the running game takes any of them as a
# close of its window and ends normally with 0. And when the display itself
# goes away under the game (a session ending), the game ends as Xlib ends it,
# with 1, not with an abort and a core. A hang-up (SIGHUP: a closed terminal,
# a logout) or the display going away while a placed score's name is typed
# keeps the letters typed so far in the table.
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
  wait_for "the second copy to end on SIG$signal" 60 ended "$second_pid"
  wait "$second_pid"
  code=$?
  second_pid=""
  [ "$code" -eq 0 ] || fail "SIG$signal to the second copy's box gave exit code $code"
  # The box is gone with its process (SDL may draw it in a child of its own).
  wait_for "the box to go with SIG$signal" 60 box_gone
  ended $game_pid && fail "SIG$signal to the second copy ended the first"
done

for signal in TERM HUP; do
  kill -s $signal $game_pid
  wait_for "the game to end on SIG$signal" 60 ended "$game_pid"
  wait "$game_pid"
  code=$?
  game_pid=""
  [ "$code" -eq 0 ] || fail "SIG$signal to the running game gave exit code $code"
  [ $signal = HUP ] && break
  "$build/kestrelon" >"$work/again.log" 2>&1 &
  game_pid=$!
  wait_for "the game's window again" 60 game_window_shown
done

# A game lost by flying diagonals across the field into the asteroids (a
# few seconds; standing still may take minutes), its score 0 placed first:
# every place of the table is below zero. Its name is being typed, two
# letters so far, when the game is ended; the letters are kept.
source "$(dirname "${BASH_SOURCE[0]}")/../support/screens.sh"
lose_a_game_typing() {   # a label for the captures
  every_place_below_zero "$work/data/scores.txt"
  "$build/kestrelon" >"$work/$1.log" 2>&1 &
  game_pid=$!
  wait_for "$1: window" 60 game_window
  wait_for "$1: menu" 60 first_menu_ready "$1-menu" $new_game_item
  start_a_novice_game "$1"
  lose_the_game_to_the_name_prompt "$1"
  type_letter "$1" k
  type_letter "$1" e
}

# name_kept WHAT CODE: the game ended with CODE, the two letters in place 1.
name_kept() {
  wait_for "the game to end on $1 while a name is typed" 60 ended "$game_pid"
  wait "$game_pid"
  code=$?
  game_pid=""
  [ "$code" -eq "$2" ] || fail "$1 during name entry gave exit code $code"
  [ "$(head -n 1 "$work/data/scores.txt")" = $'1 KE 0\r' ] || fail "$1 lost the name typed: $(cat "$work/data/scores.txt")"
}
lose_a_game_typing hangup
kill -s HUP $game_pid
name_kept SIGHUP 0
lose_a_game_typing display-gone
kill -s TERM $xvfb_pid
name_kept "the display going away" 1
start_xvfb 171 1280x1024x24

cp "$2/scores.txt" "$work/data/scores.txt"
"$build/kestrelon" >"$work/display-gone.log" 2>&1 &
game_pid=$!
wait_for "the game's window again" 60 game_window_shown
kill -s TERM $xvfb_pid
wait_for "the game to end with its display" 60 ended "$game_pid"
wait "$game_pid"
code=$?
game_pid=""
[ "$code" -eq 1 ] || fail "the display going away ended the game with $code: $(cat "$work/display-gone.log")"
echo "signals, and the display going away, end the game as they should"
