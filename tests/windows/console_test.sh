#!/usr/bin/env bash
# The Windows game started from a console (cmd in a terminal, under Wine)
# ends on Ctrl+C there as a close of its window does: a placed score's name,
# two letters typed so far, is kept in the table. (Closing the console is
# the same request to the game on Windows; Wine's console window ends the
# programs attached to it without making one, so it is not tried here.)
#   console_test.sh BUILD_DIR DATA_DIR   (under under_wine.sh)
set -u
build="$1"
source "$(dirname "${BASH_SOURCE[0]}")/../support/xserver.sh"
game_folder console "$2"
start_xvfb 271 1024x768x24
source "$(dirname "${BASH_SOURCE[0]}")/../support/screens.sh"
cd "$work"

# cmd in a terminal of its own (script's), typed into through a FIFO. The
# terminal stays when cmd ends: its end would hang up the game with it,
# which Windows does not do.
console_pid=""
trap_before=$(trap -p EXIT | sed "s/^trap -- '//; s/' EXIT$//")
trap 'exec 7>&- 2>/dev/null; kill $console_pid 2>/dev/null; '"$trap_before" EXIT
open_console() {
  rm -f "$work/console.in"
  mkfifo "$work/console.in"
  script -qfc "wine cmd; sleep 3600" /dev/null <"$work/console.in" >"$work/console.log" 2>&1 &
  console_pid=$!
  exec 7>"$work/console.in"
  # Typed only at the prompt: earlier, the terminal is not yet cmd's.
  wait_for console-prompt 60 prompt_in_console
}
prompt_in_console() { grep -q '>' "$work/console.log"; }
# The game cmd started, in this test's Wine prefix (other tests may run
# theirs meanwhile).
game_of_the_console() {
  local pid
  game_pid=""
  for pid in $(pgrep -f 'kestrelon\.exe'); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && game_pid=$pid
  done
  [ -n "$game_pid" ]
}

# The game, started by typing its name, to a placed score's name, two
# letters typed; then Ctrl+C.
open_console
every_place_below_zero "$work/data/scores.txt"
printf 'kestrelon.exe\r' >&7
wait_for window 60 game_window
wait_for game 30 game_of_the_console
wait_for menu 60 first_menu_ready menu $new_game_item
start_a_novice_game play
lose_the_game_to_the_name_prompt play
type_letter play k
type_letter play e
printf '\003' >&7
wait_for "the game to end on Ctrl+C" 60 ended "$game_pid"
game_pid=""
[ "$(head -n 1 "$work/data/scores.txt")" = $'1 KE 0\r' ] || fail "Ctrl+C lost the name typed: $(cat "$work/data/scores.txt")"

echo "Ctrl+C in the console ends the game as closing its window does"
