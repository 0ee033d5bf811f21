#!/usr/bin/env bash
# The real game in an X server: its window and title, a second copy refused
# while the first plays on, closing the window (exit 0), the same on the
# software renderer, and a missing data file (exit 1, named on stderr). Screenshots are kept in the build folder.
#   window_test.sh BUILD_DIR DATA_DIR
set -u
build="$1"
data="$2"
source "$(dirname "${BASH_SOURCE[0]}")/../support/xserver.sh"
game_folder window "$data"
start_xvfb 91 1280x1024x24

game_window() {
  window=$(window_titled "Kestrelon v0.3")
  [ -n "$window" ]
}

# The menu is drawn (New game highlighted) in the window as it is now (see
# window_titled).
menu_shown() {   # capture
  game_window && capture "$1" && [ "$(count "$1" 412 384 260 50 "#FFFF00")" -gt 150 ]
}

# The refused second copy shows a message box "Error", or ends at once when
# no box can be shown.
box_or_ended() {   # pid
  box=$(window_titled "Error")
  [ -n "$box" ] || ended "$1"
}

cd "$work"
"$build/kestrelon" >"$work/first.log" 2>&1 &
game_pid=$!
wait_for window 60 game_window
wait_for first 60 menu_shown first

# A second copy is refused with a message and ends with 0; the first plays on.
"$build/kestrelon" >"$work/second.log" 2>&1 &
second_pid=$!
wait_for second-copy 30 box_or_ended $second_pid
import -window root "$artifacts/second-copy.png"
[ -n "$box" ] && "$build/kestrelon-xclose" "$box"
wait_for second-copy-end 30 ended $second_pid
wait $second_pid
[ $? -eq 0 ] || fail "the second copy did not end with exit code 0"
grep -q "Application already running!" "$work/second.log" || fail "the second copy said: $(cat "$work/second.log")"
[ "$(xwininfo -root -tree | grep -c '"Kestrelon v0.3":')" -eq 1 ] || fail "the second copy made a window"
kill -0 $game_pid 2>/dev/null || fail "the first copy ended"

# Closing the window ends the game normally.
"$build/kestrelon-xclose" "$window"
wait_for end-on-close 30 ended $game_pid
wait $game_pid
code=$?
game_pid=""
[ $code -eq 0 ] || fail "closing the window gave exit code $code"

# The software renderer, whose textures live in memory SDL took from the
# pool warmed while the game starts: the same menu, and a normal end.
SDL_RENDER_DRIVER=software "$build/kestrelon" >"$work/software.log" 2>&1 &
game_pid=$!
wait_for software-window 60 game_window
wait_for software-menu 60 menu_shown software
"$build/kestrelon-xclose" "$window"
wait_for end-on-close-software 30 ended $game_pid
wait $game_pid
code=$?
game_pid=""
[ $code -eq 0 ] || fail "closing the software-drawn window gave exit code $code"

# A missing data file stops start-up with 1 and names the file.
rm "$work/data/skill1.bmp"
"$build/kestrelon" >"$work/missing.log" 2>&1 &
game_pid=$!
wait_for end-on-missing-file 60 ended $game_pid
wait $game_pid
code=$?
game_pid=""
[ $code -eq 1 ] || fail "a missing file gave exit code $code"
grep -q "data/skill1.bmp" "$work/missing.log" || fail "the missing file was not named: $(cat "$work/missing.log")"
echo "window tests passed"
