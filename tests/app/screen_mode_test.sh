#!/usr/bin/env bash
# Alt+Enter in the real game, in an X server with a window manager (full
# screen is the window manager's to grant): in play it switches to full
# screen and play goes on; the menu's "Screen mode" then switches back (the
# same flag); Alt+Enter with "Screen mode" highlighted switches once (its
# Enter chose nothing); in name entry it switches without confirming the
# name. The mode last chosen is remembered: the next start opens in it, and
# --windowed overrides it. Captures of a full-screen window are scaled back
# to the 1024 x 768 view before they are looked at.
#   screen_mode_test.sh BUILD_DIR DATA_DIR
set -u
build="$1"
source "$(dirname "${BASH_SOURCE[0]}")/../support/xserver.sh"
game_folder screen-mode "$2"
start_xvfb 291 1280x1024x24
source "$(dirname "${BASH_SOURCE[0]}")/../support/screens.sh"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
# The window manager must be managing the screen before the game maps its
# window: SDL waits for the map, and a window asked for while the manager is
# still starting may never be mapped.
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
wait_for window-manager 60 wm_ready
trap_before=$(trap -p EXIT | sed "s/^trap -- '//; s/' EXIT$//")
trap 'kill $wm_pid 2>/dev/null; '"$trap_before" EXIT
cd "$work"

# The window's picture as the game's 1024 x 768 view: a full-screen window
# shows it scaled into the middle of the screen.
capture() {
  last_capture="$work/$1.bmp"
  timeout 10 import -window "$window" "$last_capture" 2>/dev/null || return 1
  local size
  size=$(identify -format '%w %h' "$last_capture") || return 1
  read -r width height <<<"$size"
  [ "$width" = 1024 ] && [ "$height" = 768 ] && return 0
  local view
  view=$(awk -v w="$width" -v h="$height" 'BEGIN {
    s = w / 1024 < h / 768 ? w / 1024 : h / 768
    vw = int(1024 * s + 0.5); vh = int(768 * s + 0.5)
    printf "%dx%d+%d+%d", vw, vh, int((w - vw) / 2), int((h - vh) / 2) }')
  convert "$last_capture" -crop "$view" +repage -resize '1024x768!' "$last_capture"
}
full_screen() {
  xprop -id "$window" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_FULLSCREEN &&
    [ "$(xwininfo -id "$window" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}')" = 1280x1024 ]
}
windowed() {
  ! xprop -id "$window" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_FULLSCREEN &&
    [ "$(xwininfo -id "$window" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}')" = 1024x768 ]
}
alt_enter() { xdotool keydown alt; key Return; xdotool keyup alt; }
remembered() { grep -qx "screen-mode = $1" "$work/state/kestrelon/state" 2>/dev/null; }
start_game() {   # label, options
  local label=$1
  shift
  game_command "$@" >"$work/$label.log" 2>&1 &
  game_pid=$!
  wait_for "$label-window" 60 game_window
  wait_for "$label-menu" 60 first_menu_ready "$label-menu" $new_game_item
}

every_place_below_zero "$work/data/scores.txt"
start_game first
windowed || fail "with no settings the game did not start in a window"
start_a_novice_game first
wait_for_screen play 30 playing_line_of_fire_clear

alt_enter
wait_for full-screen-in-play 30 full_screen
remembered fullscreen || fail "the mode chosen in play was not remembered: $(cat "$work/state/kestrelon/state" 2>&1)"
# Play goes on, drawn in the new mode: a shot leaves the ship.
key space
wait_for_screen fired-in-full-screen 30 top_icon_gone
expect_drawn "full screen: the ship" fired-in-full-screen 449 576 127 152
expect_some "full screen: the HUD" fired-in-full-screen 875 115 140 60 "$grey"
import -window root "$artifacts/play-full-screen.png"

# The menu's Screen mode is the same switch: one choice, back to a window.
key Escape
wait_for_screen menu-in-full-screen 30 menu_ready $new_game_item
cursor_to Down highscore-highlighted $highscore_item
cursor_to Down screen-mode-highlighted $screen_mode_item
key Return
wait_for back-to-a-window 30 windowed
wait_for_screen menu-in-a-window 30 menu_ready $screen_mode_item
# Alt+Enter on that very item: one switch, and no choice of the item (which
# would switch back at once).
alt_enter
wait_for full-screen-from-the-menu 30 full_screen
wait_for_screen menu-after-alt-enter 30 menu_ready $screen_mode_item
sleep 1   # a second switch, had the Enter chosen the item, would show by now
full_screen || fail "Alt+Enter on Screen mode also chose it"
# Continue: the game resumes where it was.
cursor_to Up highscore-again $highscore_item
cursor_to Up new-game-again $new_game_item
cursor_to Up continue-highlighted $continue_item
key Return
wait_for_screen continued 30 no_item_highlighted
expect_drawn "Continue: the ship" continued 449 576 127 152

# Name entry: Alt+Enter switches and the name is not confirmed by it.
lose_the_game_to_the_name_prompt lost
type_letter lost k
alt_enter
wait_for window-in-name-entry 30 windowed
wait_for_screen still-the-prompt 30 prompt_shown
type_letter lost e
key Return
wait_for name-saved 30 grep -q "^1 KE 0" "$work/data/scores.txt"
wait_for_screen table 30 table_shown
key space
wait_for_screen menu-after-the-table 30 menu_ready $new_game_item
remembered windowed || fail "the mode chosen in name entry was not remembered"
alt_enter
wait_for full-screen-again 30 full_screen
wait_for_screen menu-full-screen-again 30 menu_ready $new_game_item
close_game first
remembered fullscreen || fail "the last mode chosen was not remembered"

# The next start opens in the mode last chosen; --windowed overrides it.
start_game second
full_screen || fail "the game did not open in the mode last chosen (full screen)"
close_game second
start_game third --windowed
windowed || fail "--windowed did not override the mode last chosen"
close_game third
remembered fullscreen || fail "starting with --windowed was taken as the player's choice"
echo "screenshot of full-screen play in $artifacts"
echo "Alt+Enter switches on every screen, the menu follows, the mode is remembered"
