#!/usr/bin/env bash
# A session of the real game recorded in an X server, driven by key presses:
# the menu, a game with the ship flying and firing, a life lost, Escape and
# Continue, the last life lost, a name typed, the table, full screen and
# back, Quit through the credits. Its live trace must equal, line for line,
# the trace of the recording checked headless by kestrelon-replay and the
# trace of the recording watched in a window; the score typed into the table
# is the final one; and watching leaves the player's score file as it was.
# It is recorded at a frame cap a player might set (60 a second): the
# pacing's sleeps are on the recorded clock, so it replays exactly.
#   recording_test.sh BUILD_DIR DATA_DIR
set -u
build="$1"
source "$(dirname "${BASH_SOURCE[0]}")/../support/xserver.sh"
game_folder recording "$2"
# Every score earns a place, so the game over always asks for a name.
printf '%s\r\n' "1 ACE 5000" "2 NOVA 4000" "3 ORBIT 3000" "4 COMET 2500" "5 STAR 2000" \
  "6 LUNA 1500" "7 VEGA 1000" "8 RIGEL 600" "9 ZED 300" "10 LAST -1" >"$work/data/scores.txt"
start_xvfb 161 1024x768x24
source "$(dirname "${BASH_SOURCE[0]}")/../support/screens.sh"

# The HUD's lives count ("x 5") as it was when play began, to tell a life lost.
lives_text() { convert "$work/$1.bmp" -crop 80x36+945+45 +repage -format '%#' info:; }
lives_changed() { [ "$(lives_text "$1")" != "$lives_at_start" ]; }

# The big magenta letters of "GAME OVER" in the middle of the screen.
game_over_shown() { [ "$(count "$1" 344 334 336 95 "#602341")" -gt 1000 ]; }

# No HUD: the screens after the game over show no score at the top right.
no_hud() { [ "$(count "$1" 875 115 140 60 "$grey")" -lt 60 ]; }

# (An asteroid in the box is near the text's grey: the HUD tells play apart.)
name_prompt_shown() { no_hud "$1" && [ "$(count "$1" 352 314 420 55 "$grey")" -gt 150 ]; }

# The sweep's own Space may already have left the game-over screen.
game_over_or_name_prompt() { game_over_shown "$1" || name_prompt_shown "$1"; }

# Ten rows of the table: far more text below the name line than name entry has.
table_shown() { no_hud "$1" && [ "$(count "$1" 352 474 480 240 "$grey")" -gt 600 ]; }

# Between two looks at the screen the ship flies at the asteroid (or,
# where the last look did not show it apart, a diagonal), and fires.
sweep_and() {   # check arguments, as for shows
  fly_at_the_asteroid "$1" "$wait_try"
  key space
  shows "$@"
}

cd "$work"
"$build/kestrelon" --max-fps 60 --record "$work/session.rec" --trace "$work/live.jsonl" >"$work/game.log" 2>&1 &
game_pid=$!
wait_for window 60 game_window
wait_for menu 60 first_menu_ready menu $new_game_item

key Return
wait_for_screen difficulty 30 difficulty_ready
key Return
wait_for_screen countdown 30 get_ready_shown
wait_for_screen play 30 playing_line_of_fire_clear
lives_at_start=$(lives_text play)

# Flying and firing, then sweeping until an asteroid takes a life.
hold 0.4 Left
key space
wait_for life-lost 180 sweep_and life-lost lives_changed

key Escape
wait_for_screen escape 30 menu_ready $new_game_item
[ "$(count escape $continue_item "$grey")" -gt 150 ] || fail "Escape: no Continue offered"
cursor_to Up continue-highlighted $continue_item
key Return
wait_for_screen continued 30 no_item_highlighted

# The remaining lives, the same way.
wait_for game-over 300 sweep_and game-over game_over_or_name_prompt
name_prompt_shown game-over || key space
wait_for_screen name-prompt 30 name_prompt_shown
for letter in k e s; do
  key "$letter"
done
key Return
wait_for_screen table 30 table_shown
key space
# Continue is gone with the game: the cursor that was on it is on New game.
wait_for_screen menu-after-game 30 menu_ready $new_game_item
[ "$(count menu-after-game $continue_item "$grey")" -lt 60 ] || fail "Continue offered after the game ended"
cursor_to Down highscore-highlighted $highscore_item
cursor_to Down screen-mode-highlighted $screen_mode_item
# Full screen and back: on this X server's one mode the menu looks the same
# either way, so the traces tell that it switched, live and watched.
key Return
wait_for_screen full-screen 30 menu_ready $screen_mode_item
key Return
wait_for_screen windowed-again 30 menu_ready $screen_mode_item
cursor_to Down quit-highlighted $quit_item
key Return
wait_for_screen credits 60 credits_waiting
key Return
wait_for game-end 30 ended $game_pid
wait $game_pid
code=$?
game_pid=""
[ $code -eq 0 ] || fail "the recorded session ended with $code"
cp "$work/session.rec" "$artifacts/session.rec"

# The score on the table is the game's last: KES holds the final score.
final_score=$(tail -n 1 "$work/live.jsonl" | sed -n 's/.*"score":\([-0-9]*\).*/\1/p')
grep -q "^[0-9]* KES $final_score"$'\r'"\$" "$work/data/scores.txt" ||
  fail "the table does not hold KES with the final score $final_score: $(cat "$work/data/scores.txt")"
grep -q '"lives":0' "$work/live.jsonl" || fail "the live trace never had the last life lost"
grep -q '"fullScreen":true' "$work/live.jsonl" || fail "the screen mode never switched to full screen"

# Held to 60 frames a second: play's frames are 16 or 17 ms apart on the
# game's tick count (uncapped, a few milliseconds).
play_step=$(sed -n 's/^{"n":[0-9]*,"t":\([0-9]*\),.*"mode":"\([a-z]*\)".*/\1 \2/p' "$work/live.jsonl" |
  awk '$2 == "play" && last == "play" {print $1 - t} {t = $1; last = $2}' | sort -n |
  awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}')
[ "${play_step:-0}" -ge 16 ] || fail "at --max-fps 60 play's frames were a median ${play_step:-?} ms apart"

# Checked headless, as fast as it goes: the same trace, line for line.
"$build/kestrelon-replay" --dir "$work" --script "$work/session.rec" --trace "$work/replayed.jsonl" \
  >"$work/replay.log" 2>&1 || fail "kestrelon-replay failed on the recording"
cmp -s "$work/live.jsonl" "$work/replayed.jsonl" ||
  fail "the replayed trace differs from the live one: $(cmp "$work/live.jsonl" "$work/replayed.jsonl" | head -1)"

# Watched in the window, at its own pace: the same trace again, and the
# player's score file as it was.
cp "$work/data/scores.txt" "$work/scores-before-watching"
"$build/kestrelon" --watch "$work/session.rec" --trace "$work/watched.jsonl" >"$work/watch.log" 2>&1 &
game_pid=$!
wait_for watched 600 ended $game_pid
wait $game_pid
code=$?
game_pid=""
[ $code -eq 0 ] || fail "watching ended with $code"
grep -q "ends here" "$work/watch.log" || fail "watching did not say the recording ended"
cmp -s "$work/live.jsonl" "$work/watched.jsonl" ||
  fail "the watched trace differs from the live one: $(cmp "$work/live.jsonl" "$work/watched.jsonl" | head -1)"
cmp -s "$work/data/scores.txt" "$work/scores-before-watching" || fail "watching changed the player's score file"
[ ! -e "$work/screen000.bmp" ] || fail "a screenshot was left in the player's folder"
echo "recorded $(wc -l <"$work/live.jsonl") frames, final score $final_score, $(wc -c <"$work/session.rec") bytes;" \
  "replayed and watched alike"
