# The game's screens as their pixels tell them, and a player's key press,
# for the tests that drive the real game in an X server. Source it after
# xserver.sh; the checks read captures made by wait_for_screen, and some use
# `game_pid` and `window`.

key() { xdotool keydown "$1"; sleep 0.12; xdotool keyup "$1"; }
# Holds keys down together for a while, as a player steering does: hold SECONDS KEY...
hold() {
  local seconds=$1
  shift
  xdotool keydown "$@"
  sleep "$seconds"
  xdotool keyup "$@"
}

expect_some() {   # what capture x y w h colour
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
expect_drawn() {   # what capture x y w h
  local bright
  bright=$(convert "$work/$2.bmp" -crop "${5}x${6}+${3}+${4}" +repage -colorspace gray -format '%[fx:maxima]' info:)
  awk -v b="$bright" 'BEGIN { exit !(b > 0.4) }' || fail "$1: nothing drawn in ${5}x${6}+${3}+${4} of $2.png"
}

# How many pixels of the box are brighter than half.
bright() {
  convert "$work/$1.bmp" -crop "${4}x${5}+${2}+${3}" +repage -colorspace gray -threshold 50% \
    -format '%[fx:round(mean*w*h)]' info:
}

yellow="#FFFF00"
grey="#72745F"
# The menu items' boxes (x y w h), top to bottom; Novice is where New game is.
continue_item="412 324 260 50"
new_game_item="412 384 260 50"
highscore_item="412 444 260 50"
screen_mode_item="412 504 260 50"
quit_item="412 564 260 50"

# What each step waits for; each reads the capture named by its first
# argument. The sky has a few pixels near the text colour; a drawn line of
# text has hundreds.

# The menu's ship (and the difficulty screen's) is animated. A key is sent to
# these screens only once the ship has changed twice in captures that
# already show the screen as it should be (`shown` true): the frame of the
# second change was begun after a frame that showed it was on screen, so the
# game has polled the keyboard after the poll that acted on the last key,
# and after that key went up (all tries come after that). The same key going
# down again before such a poll would read as still held and be lost. And
# right after start-up the first frame is drawn before the keyboard is taken
# (in the next pass): a key tapped at once would be lost as well.
ready() {   # capture, shown (true or false)
  local ship
  [ "$wait_try" -eq 0 ] && ship_before=""
  if ! $2; then
    ship_before="" ship_moves=0
    return 1
  fi
  ship=$(convert "$work/$1.bmp" -crop 166x198+175+400 +repage -format '%#' info:)
  [ -z "$ship_before" ] && ship_moves=0
  [ -n "$ship_before" ] && [ "$ship" != "$ship_before" ] && ship_moves=$((ship_moves + 1))
  ship_before=$ship
  [ "$ship_moves" -ge 2 ]
}

highlighted() {   # capture x y w h
  [ "$(count "$1" "$2" "$3" "$4" "$5" "$yellow")" -gt 150 ]
}

menu_ready() {   # capture, and the box of the item that should be highlighted
  local shown=false
  highlighted "$@" && shown=true
  ready "$1" $shown
}

difficulty_ready() {   # "Select a difficulty" where Continue would be
  local shown=false
  [ "$(count "$1" 412 324 400 50 "$grey")" -gt 150 ] && shown=true
  ready "$1" $shown
}

get_ready_shown() {
  [ "$(count "$1" 462 384 160 30 "$grey")" -gt 150 ]
}

# Play ("Get ready" gone), and a shot fired now cannot hit the asteroid: a
# hit gives ammunition back, and the shot's check below would fail. The shots
# leave the screen within a second; the asteroid drifts 150 pixels a second
# at most. So no 20-pixel square above the ship, within 150 pixels of the two
# lines of fire, may be as bright as an asteroid. (Play starts with the
# asteroid right above the left gun.)
playing_line_of_fire_clear() {
  [ "$(count "$1" 462 384 160 30 "$grey")" -lt 60 ] || return 1
  convert "$work/$1.bmp" -crop 500x560+230+0 +repage -colorspace gray -scale 5% -format '%[fx:maxima]' info: |
    awk '{ exit !($1 < 0.25) }'
}

# 23 units left: the ammunition column's top icon is gone. (A star of the
# sky may pass there; an icon is far more than that.)
top_icon_gone() {
  [ "$(bright "$1" 0 0 32 28)" -lt 30 ]
}

no_item_highlighted() {
  [ "$(count "$1" 412 324 260 290 "$yellow")" -eq 0 ]
}

# The credits' last line is drawn (where the menu has nothing) and the game
# waits for Enter. Enter is sent only then: the wait's first poll compares
# with the menu's last one, in which Enter (the one that chose Quit) was
# down, so an Enter pressed during the roll or before that poll reads as
# still held and is lost. While it waits for a key, the game's main thread
# sleeps a millisecond per poll and so wakes hundreds of times a second;
# after drawing the last line it sleeps 380 ms in one go.
credits_waiting() {
  if [ "$wait_try" -eq 0 ] || [ "$(count "$1" 100 590 300 25 "$grey")" -le 150 ]; then
    sampled_at=""
    return 1
  fi
  local now=${EPOCHREALTIME/./} wakes
  wakes=$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$game_pid/task/$game_pid/status") || return 1
  if [ -z "$sampled_at" ]; then
    sampled_at=$now sampled_wakes=$wakes
    return 1
  fi
  # Over half a second at least: a few wake-ups cannot make the rate.
  (( now - sampled_at >= 500000 )) || return 1
  local per_second=$(( (wakes - sampled_wakes) * 1000000 / (now - sampled_at) ))
  sampled_at=$now sampled_wakes=$wakes
  echo "credits, try $wait_try: the game's main thread woke $per_second times a second" >>"$work/waits.log"
  [ "$per_second" -gt 30 ]
}

game_window() {
  window=$(window_titled "Kestrelon v0.3")
  [ -n "$window" ]
}

# The menu, in the window as it is now (see window_titled).
# Moves the menu's cursor and waits until the item is highlighted:
# cursor_to KEY NAME BOX (NAME also names the capture).
cursor_to() {
  key "$1"
  wait_for_screen "$2" 30 menu_ready "${@:3}"
}

first_menu_ready() {   # capture, box
  game_window && capture "$1" && menu_ready "$@"
}

# A placed game. A score table whose every place is below zero, so that any
# game lost gets the first place: every_place_below_zero FILE.
every_place_below_zero() {
  local place
  for place in 1 2 3 4 5 6 7 8 9 10; do printf '%d LOW -%d\r\n' $place $place; done >"$1"
}
game_over_shown() { [ "$(count "$1" 344 334 336 95 "#DD6D8C")" -gt 150 ]; }
# A game is lost by flying into the asteroid, as a player who wants to lose
# would: each try looks at the screen, finds the ship and the asteroid, and
# flies straight at it for as long as the ship takes to get there (it flies
# about 480 pixels a second, the asteroid 180 at most). Sweeping blindly
# instead may miss the lone asteroid of the first level for minutes.
# Where the asteroid cannot be told apart (touching the ship, or gone), a
# diagonal is flown, the next of four each time.
chased_until_game_over() {
  fly_at_the_asteroid "$1" "$wait_try"
  capture "$1" && game_over_shown "$1"
}
# One move of the chase, from what the capture showed: fly_at_the_asteroid
# CAPTURE TRY (TRY picks the diagonal when the asteroid is not seen).
fly_at_the_asteroid() {
  local move diagonals=("Up Left" "Down Right" "Up Right" "Down Left")
  move=$(way_to_the_asteroid "$1") || move="0.4 ${diagonals[$(($2 % 4))]}"
  # shellcheck disable=SC2086
  hold $move
}
# The ship and the asteroid as the bright blobs of a capture at half size:
# the ship the biggest, the asteroid the biggest of the rest that is clear
# of the ship, leaving out the HUD, the ammunition column and the corner's
# icon. Prints how long to fly and the keys (0.35 Right Up), or fails.
way_to_the_asteroid() {   # capture
  [ -f "$work/$1.bmp" ] || return 1
  convert "$work/$1.bmp" -scale 50% -colorspace gray -threshold 30% \
    -define connected-components:verbose=true -define connected-components:area-threshold=40 \
    -connected-components 8 null: 2>/dev/null |
    awk '
      $NF == "gray(255)" {
        split($3, c, ",")
        x = c[1] * 2; y = c[2] * 2
        if (x < 36 || (x > 860 && y < 200) || (x > 915 && y > 700)) next
        n++; bx[n] = x; by[n] = y; area[n] = $4
      }
      END {
        ship = 0
        for (i = 1; i <= n; i++) if (!ship || area[i] > area[ship]) ship = i
        if (!ship) exit 1
        rock = 0
        for (i = 1; i <= n; i++) {
          if (i == ship || area[i] < 100) continue
          dx = bx[i] - bx[ship]; dy = by[i] - by[ship]
          if (dx < 80 && dx > -80 && dy < 80 && dy > -80) continue
          if (!rock || area[i] > area[rock]) rock = i
        }
        if (!rock) exit 1
        dx = bx[rock] - bx[ship]; dy = by[rock] - by[ship]
        keys = ""
        if (dx > 20) keys = keys " Right"; else if (dx < -20) keys = keys " Left"
        if (dy > 20) keys = keys " Down"; else if (dy < -20) keys = keys " Up"
        far = (dx < 0 ? -dx : dx); if ((dy < 0 ? -dy : dy) > far) far = (dy < 0 ? -dy : dy)
        seconds = far / 480; if (seconds > 0.6) seconds = 0.6; if (seconds < 0.1) seconds = 0.1
        printf "%.2f%s\n", seconds, keys
      }'
}
prompt_shown() { [ "$(count "$1" 352 314 400 50 "$grey")" -gt 150 ] && ! game_over_shown "$1"; }
name_grew() {   # capture: the name line has more text than at the last letter
  local now
  now=$(count "$1" 352 374 500 50 "$grey")
  [ "$now" -gt "$((name_pixels + 40))" ] && name_pixels=$now
}
# From the menu ready for a key: New game, Novice, and the countdown (a
# label for the captures).
start_a_novice_game() {
  key Return
  wait_for_screen "$1-difficulty" 30 difficulty_ready
  key Return
  wait_for_screen "$1-countdown" 30 get_ready_shown
}
# From a game started: the game lost, Space, and the prompt for a name.
lose_the_game_to_the_name_prompt() {
  wait_for_screen "$1-game-over" 240 chased_until_game_over
  key space
  wait_for_screen "$1-prompt" 30 prompt_shown
  name_pixels=$(count "$1-prompt" 352 374 500 50 "$grey")
}
# The window closed as a player closes it; the game must end with 0:
# close_game LABEL.
close_game() {
  "$build/kestrelon-xclose" "$window"
  wait_for "$1-end" 60 ended $game_pid
  wait $game_pid
  local code=$?
  game_pid=""
  [ $code -eq 0 ] || fail "$1: closing the window ended the game with $code"
}
# The high-score table: the tenth place's line is drawn.
table_shown() { [ "$(count "$1" 352 674 300 45 "$grey")" -gt 150 ]; }
# A letter of the name typed, and seen on the prompt: type_letter LABEL KEY.
type_letter() {
  key "$2"
  wait_for_screen "$1-letter-$2" 30 name_grew
}
