#!/usr/bin/env bash
# A whole session of the real game in an X server, driven by key presses as
# a person makes them (down, a moment, up), every screen checked by its
# pixels: menu, difficulty, countdown, play, a shot, Escape to the menu with
# Continue, Continue, Quit, the credits, Enter and exit code 0. A second copy
# started meanwhile is refused and the first plays on. Each step waits for
# the screen that should answer the next key (see wait_for); the screenshots
# stay in the build folder.
#   session_test.sh BUILD_DIR DATA_DIR SCORES_FILE
set -u
build="$1"
source "$(dirname "${BASH_SOURCE[0]}")/../support/xserver.sh"
game_folder session "$2"
cp "$3" "$work/data/scores.txt"
start_xvfb 141 1024x768x24

source "$(dirname "${BASH_SOURCE[0]}")/../support/screens.sh"

# The refused second copy shows a message box "Error", or ends at once when
# no box can be shown.
box_or_ended() {   # pid
  box=$(window_titled "Error")
  [ -n "$box" ] || ended "$1"
}

cd "$work"
game_command >"$work/game.log" 2>&1 &
game_pid=$!
wait_for window 60 game_window

wait_for menu 60 first_menu_ready menu $new_game_item
expect_none "menu: nothing else highlighted" menu 412 434 260 180 "$yellow"
expect_some "menu: the other items" menu 412 444 260 170 "$grey"
expect_drawn "menu: the logo" menu 312 134 540 180
[ "$(count menu $continue_item "$grey")" -lt 60 ] || fail "menu: Continue shown without a game"

# A second copy is refused; the first plays on.
game_command >"$work/second.log" 2>&1 &
second_pid=$!
wait_for second-copy 30 box_or_ended $second_pid
[ -n "$box" ] && "$build/kestrelon-xclose" "$box"
wait_for second-copy-end 30 ended $second_pid
wait $second_pid
[ $? -eq 0 ] || fail "the second copy did not end with 0"
grep -q "Application already running!" "$work/second.log" || fail "the second copy was not refused"
kill -0 $game_pid 2>/dev/null || fail "the first copy ended"
# The first copy's menu still runs, ready for a key.
wait_for_screen menu-after-second-copy 30 menu_ready $new_game_item

key Return
wait_for_screen difficulty 30 difficulty_ready
expect_some "difficulty: Novice highlighted" difficulty 412 384 200 50 "$yellow"

key Return
wait_for_screen countdown 30 get_ready_shown

wait_for_screen play 30 playing_line_of_fire_clear
expect_drawn "play: the ship at its start" play 449 576 127 152
expect_some "play: the HUD" play 875 115 140 60 "$grey"
[ "$(bright play 0 0 32 32)" -gt 80 ] || fail "play: the ammunition column's top icon is missing"
expect_drawn "play: the ammunition column's bottom icon" play 0 736 32 32

key space
wait_for_screen fired 30 top_icon_gone

key Escape
wait_for_screen escape 30 menu_ready $new_game_item
[ "$(count escape $continue_item "$grey")" -gt 150 ] || fail "Escape: no Continue offered"
expect_some "Escape: the HUD on the menu" escape 875 115 140 60 "$grey"

cursor_to Up continue-highlighted $continue_item
key Return
wait_for_screen continued 30 no_item_highlighted
expect_drawn "Continue: the ship where it was" continued 449 576 127 152

key Escape
wait_for_screen menu-on-continue 30 menu_ready $continue_item
cursor_to Down new-game-highlighted $new_game_item
cursor_to Down highscore-highlighted $highscore_item
cursor_to Down screen-mode-highlighted $screen_mode_item
cursor_to Down quit-highlighted $quit_item
key Return
wait_for_screen credits 60 credits_waiting
expect_some "credits: the lines" credits 100 140 600 480 "$grey"
expect_drawn "credits: the small logo" credits 412 20 270 90

key Return
wait_for game-end 30 ended $game_pid
wait $game_pid
code=$?
game_pid=""
[ $code -eq 0 ] || fail "exit code $code after Quit"
cp "$work/waits.log" "$artifacts/waits.txt"
echo "session passed; screenshots in $artifacts"
