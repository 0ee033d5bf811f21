# A placed game played in the real game, for the Windows tests; source it
# after screens.sh. play_a_placed_game LABEL TABLE SCREENSHOT COMMAND...
# starts COMMAND (the game), which reads and saves its table in TABLE and
# saves an F12 screenshot as SCREENSHOT: with every place of the table below
# zero, a game is started, F12 pressed in play, the game lost and placed
# first as KES, the table shown, Space back to the menu, the window closed,
# exit 0. The table is then checked: KES first, every line ending in CR LF
# as the game always writes it; and the screenshot: a 1024 x 768 picture of
# play.
table_saved_with() {   # table, first line
  [ "$(head -n 1 "$1" 2>/dev/null)" = "$2"$'\r' ]
}
playing() {   # capture: "Get ready" gone
  [ "$(count "$1" 462 384 160 30 "$grey")" -lt 60 ]
}
screenshot_written() {   # file
  [ "$(stat -c %s "$1" 2>/dev/null)" = $((54 + 1024 * 768 * 3)) ]
}

play_a_placed_game() {
  local label=$1 table=$2 screenshot=$3
  shift 3
  every_place_below_zero "$table"
  rm -f "$screenshot"
  "$@" >"$work/$label.log" 2>&1 &
  game_pid=$!
  wait_for "$label-window" 60 game_window
  wait_for "$label-menu" 60 first_menu_ready "$label-menu" $new_game_item
  start_a_novice_game "$label"
  wait_for_screen "$label-play" 30 playing
  key F12
  wait_for "$label-screenshot" 30 screenshot_written "$screenshot"
  lose_the_game_to_the_name_prompt "$label"
  type_letter "$label" k
  type_letter "$label" e
  type_letter "$label" s
  key Return
  wait_for "$label-saved" 30 table_saved_with "$table" "1 KES 0"
  wait_for_screen "$label-table" 30 table_shown
  key space
  wait_for_screen "$label-menu-again" 30 menu_ready $new_game_item
  close_game "$label"

  grep -q -v $'\r$' "$table" && fail "$label: a line of $table does not end in CR LF: $(od -c "$table" | head)"
  [ "$(grep -c . "$table")" -eq 10 ] || fail "$label: $table does not hold ten places: $(cat "$table")"
  [[ "$(identify -format '%m %wx%h' "$screenshot")" =~ ^BMP[0-9]?\ 1024x768$ ]] || fail "$label: $screenshot is not a 1024x768 BMP"
  cp "$screenshot" "$work/screenshot.bmp"
  expect_some "$label: the screenshot's HUD" screenshot 875 115 140 60 "$grey"
  expect_drawn "$label: the screenshot's ammunition column" screenshot 0 736 32 32
  convert "$screenshot" "$artifacts/$label-screen000.png"
  echo "$label: a placed game saved in $table (CR LF), a screenshot of play in $screenshot"
}
