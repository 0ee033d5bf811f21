#!/usr/bin/env bash
# A whole session of the real game in an X server, driven by key presses as
# a person makes them (down, a moment, up), every screen checked by its
# pixels: menu, difficulty, countdown, play, a shot, Escape to the menu with
# Continue, Continue, Quit, the credits, Enter and exit code 0. A second copy
# started meanwhile is refused and the first plays on. The screenshots stay
# in the build folder.
#   session_test.sh BUILD_DIR DATA_DIR SCORES_FILE
set -u
build="$1"
artifacts="$build/test-artifacts/session"
rm -rf "$artifacts"
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'kill $game_pid $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/run"
export XDG_RUNTIME_DIR="$work/run"
cp -r "$2" "$work/data"
cp "$3" "$work/data/scores.txt"
game_pid=""

source "$(dirname "${BASH_SOURCE[0]}")/../support/xserver.sh"
start_xvfb 141 1024x768x24

key() { xdotool keydown "$1"; sleep 0.12; xdotool keyup "$1"; sleep 0.25; }

shot() { import -window "$window" "$artifacts/$1.png" || fail "no screenshot $1"; }

# How many pixels of the box (x y w h) are within 12 % of the colour.
count() {
  convert "$artifacts/$1.png" -crop "${4}x${5}+${2}+${3}" +repage -fuzz 12% \
    -fill black +opaque "$6" -fill white -opaque "$6" -format '%[fx:round(mean*w*h)]' info:
}

expect_some() {   # what screenshot x y w h colour
  local n
  n=$(count "$2" "$3" "$4" "$5" "$6" "$7")
  [ "$n" -gt 0 ] || fail "$1: no $7 in ${5}x${6}+${3}+${4} of $2.png"
}

expect_none() {
  local n
  n=$(count "$2" "$3" "$4" "$5" "$6" "$7")
  [ "$n" -eq 0 ] || fail "$1: $n pixels of $7 in ${5}x${6}+${3}+${4} of $2.png"
}

# Not the dark sky: some pixel brighter than 40 % in the box.
expect_drawn() {   # what screenshot x y w h
  local bright
  bright=$(convert "$artifacts/$2.png" -crop "${5}x${6}+${3}+${4}" +repage -colorspace gray -format '%[fx:maxima]' info:)
  awk -v b="$bright" 'BEGIN { exit !(b > 0.4) }' || fail "$1: nothing drawn in ${5}x${6}+${3}+${4} of $2.png"
}

# How many pixels of the box are brighter than half.
bright() {
  convert "$artifacts/$1.png" -crop "${4}x${5}+${2}+${3}" +repage -colorspace gray -threshold 50% \
    -format '%[fx:round(mean*w*h)]' info:
}

yellow="#FFFF00"
grey="#72745F"

cd "$work"
"$build/kestrelon" >"$work/game.log" 2>&1 &
game_pid=$!
window=$(find_window "Kestrelon v0.3" 60) || { describe_missing_window $game_pid; fail "no window within 60 s"; }
sleep 1.5

shot menu
expect_some "menu: New game highlighted" menu 412 384 260 50 "$yellow"
expect_none "menu: nothing else highlighted" menu 412 434 260 180 "$yellow"
expect_some "menu: the other items" menu 412 444 260 170 "$grey"
expect_drawn "menu: the logo" menu 312 134 540 180
# The sky has a few pixels near the text colour; a drawn "Continue" has hundreds.
[ "$(count menu 412 324 260 50 "$grey")" -lt 60 ] || fail "menu: Continue shown without a game"

# A second copy is refused; the first plays on.
"$build/kestrelon" >"$work/second.log" 2>&1 &
second_pid=$!
box=$(find_window "Error" 10) && "$build/kestrelon-xclose" "$box"
for _ in $(seq 100); do kill -0 $second_pid 2>/dev/null || break; sleep 0.1; done
wait $second_pid
[ $? -eq 0 ] || fail "the second copy did not end with 0"
grep -q "Application already running!" "$work/second.log" || fail "the second copy was not refused"
kill -0 $game_pid 2>/dev/null || fail "the first copy ended"

key Return
sleep 0.3
shot difficulty
expect_some "difficulty: Novice highlighted" difficulty 412 384 200 50 "$yellow"
expect_some "difficulty: the title" difficulty 412 324 400 50 "$grey"

key Return
sleep 1.2
shot countdown
expect_some "countdown: Get ready" countdown 462 384 160 30 "$grey"
sleep 2.6

shot play
expect_drawn "play: the ship at its start" play 449 576 127 152
expect_some "play: the HUD" play 875 115 140 60 "$grey"
[ "$(bright play 0 0 32 32)" -gt 80 ] || fail "play: the ammunition column's top icon is missing"
expect_drawn "play: the ammunition column's bottom icon" play 0 736 32 32

key space
sleep 0.2
shot fired
# 23 units left: the column's top icon is gone.
# (A star of the sky may pass there; an icon is far more than that.)
[ "$(bright fired 0 0 32 28)" -lt 30 ] || fail "a shot: the top icon is still there"

key Escape
sleep 0.3
shot escape
[ "$(count escape 412 324 260 50 "$grey")" -gt 150 ] || fail "Escape: no Continue offered"
expect_some "Escape: the HUD on the menu" escape 875 115 140 60 "$grey"

key Up
key Return
sleep 0.5
shot continued
expect_none "Continue: no menu item" continued 412 324 260 290 "$yellow"
expect_drawn "Continue: the ship" continued 0 0 1024 768

key Escape
for _ in 1 2 3 4; do key Down; done
key Return
sleep 7
shot credits
expect_some "credits: the lines" credits 100 140 600 480 "$grey"
expect_drawn "credits: the small logo" credits 412 20 270 90
key Return
for _ in $(seq 100); do kill -0 $game_pid 2>/dev/null || break; sleep 0.1; done
kill -0 $game_pid 2>/dev/null && fail "the game did not end after the credits"
wait $game_pid
code=$?
game_pid=""
[ $code -eq 0 ] || fail "exit code $code after Quit"
echo "session passed; screenshots in $artifacts"
