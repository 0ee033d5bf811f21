# Shared by the tests that run the real game in an X server. Source it after
# setting `build` (the build folder), then call game_folder.
game_pid=""
second_pid=""
xvfb_pid=""

# A folder of its own to play in, `work` (its *.log files are shown on
# failure; it goes, and the game and the X server with it, when the test
# ends), with run/ as XDG_RUNTIME_DIR, config/ and state/ as XDG_CONFIG_HOME
# and XDG_STATE_HOME, and a copy of the data folder $2; and
# `artifacts`, the build's test-artifacts/$1 (-wine under Wine), emptied,
# where screenshots are kept.
game_folder() {
  # Under Wine (see game_command) the same test keeps its own screenshots.
  artifacts="$build/test-artifacts/$1${KESTRELON_WINE_GAME:+-wine}"
  rm -rf "$artifacts"
  mkdir -p "$artifacts"
  work=$(mktemp -d)
  # Wine's own processes go before their display does.
  trap 'kill $game_pid $second_pid 2>/dev/null; [ -n "${KESTRELON_WINE_GAME:-}" ] && wineserver -k 2>/dev/null;
    kill $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT
  mkdir -p "$work/run"
  export XDG_RUNTIME_DIR="$work/run"
  # The player's settings and remembered screen mode are the test's own.
  export XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"
  cp -r "$2" "$work/data"
  # The Windows game plays from its own folder, as unpacked from the zip.
  if [ -n "${KESTRELON_WINE_GAME:-}" ]; then
    cp "$KESTRELON_WINE_GAME"/*.exe "$KESTRELON_WINE_GAME"/*.dll "$work/"
    cp -r "$KESTRELON_WINE_GAME/fonts" "$work/fonts"
  fi
}

# The game as the tests start it, with the arguments given, in place of the
# shell that runs it (so `game_command &` leaves the game's pid in $!): this
# build's, or, with KESTRELON_WINE_GAME set (tests/windows/under_wine.sh),
# the Windows game copied into `work`, under Wine.
game_command() {
  if [ -n "${KESTRELON_WINE_GAME:-}" ]; then
    exec wine "$work/kestrelon.exe" "$@"
  fi
  exec "$build/kestrelon" "$@"
}

fail() {
  echo "FAIL: $*"
  for log in "$work"/*.log; do [ -f "$log" ] && { echo "--- $log"; cat "$log"; }; done
  exit 1
}

# Starts Xvfb on the first free display from $1 on, at the size $2; sets
# DISPLAY and xvfb_pid.
start_xvfb() {
  local display ready=""
  for display in $(seq "$1" $(($1 + 49))); do
    [ -e "/tmp/.X11-unix/X$display" ] && continue
    # -noreset: a server resets when its last client leaves, and a client
    # coming during the reset is turned away (the check below is such a
    # last client; the game came next, and found no display).
    Xvfb ":$display" -screen 0 "$2" -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb_pid=$!
    # Ready once it answers, not once its socket is there: on a busy machine
    # a client may come between the two and be turned away. A server still
    # starting after two minutes is no display to test on.
    for _ in $(seq 1200); do
      DISPLAY=":$display" xwininfo -root >/dev/null 2>&1 && { ready=$display; break; }
      kill -0 $xvfb_pid 2>/dev/null || break
      sleep 0.1
    done
    [ -n "$ready" ] && break
    kill $xvfb_pid 2>/dev/null
    wait $xvfb_pid 2>/dev/null
  done
  [ -n "$ready" ] || fail "no Xvfb answered on :$1 to :$(($1 + 49))"
  export DISPLAY=":$ready"
}

# What a failed wait leaves to go on: the X server's windows, and where each
# thread of process $1 is, if it still runs.
describe_game() {
  echo "windows of $DISPLAY:"
  xwininfo -root -tree 2>&1 | head -20
  [ -n "$1" ] || return 0
  if kill -0 "$1" 2>/dev/null; then
    echo "process $1 still runs; its threads wait in:"
    for task in /proc/"$1"/task/*; do echo "  $(cat "$task/comm" 2>/dev/null): $(cat "$task/wchan" 2>/dev/null)"; done
  else
    wait "$1"
    echo "process $1 ended with $?"
  fi
}

# The id of the top-level window titled exactly $1, or nothing. The game
# makes its window twice at start-up (SDL makes it again for the renderer),
# so the first one found may be gone a moment later: look it up again until
# the window shows the game's first screen.
window_titled() {
  xwininfo -root -tree 2>/dev/null | awk -v title="\"$1\":" 'index($0, title) {print $1; exit}'
}

# True once process $1 has ended.
ended() { ! kill -0 "$1" 2>/dev/null; }

# wait_for NAME SECONDS CHECK...
# Runs the command CHECK... again and again until it succeeds, for at most
# SECONDS. A check that looks at the screen captures the window `window` with
# `capture NAME` and reads $work/NAME.bmp (wait_for_screen captures for it);
# the last capture is kept as $artifacts/NAME.png. When time runs out, the
# test fails naming the wait, keeps the last capture (or the whole X screen
# when there is none) as $artifacts/NAME.timed-out.png and describes
# `game_pid` if set. The waits that end well are noted in $work/waits.log,
# shown on failure. `wait_try` counts the tries of the current wait from 0,
# for checks that compare a try with the one before.
wait_for() {
  local name=$1 seconds=$2
  shift 2
  local start=${EPOCHREALTIME/./} kept
  wait_try=0
  last_capture=""
  until "$@"; do
    if (( ${EPOCHREALTIME/./} - start >= seconds * 1000000 )); then
      kept="$artifacts/$name.timed-out.png"
      { [ -n "$last_capture" ] && convert "$last_capture" "$kept" 2>/dev/null; } ||
        timeout 10 import -window root "$kept"
      describe_game "${game_pid:-}"
      fail "waited $seconds s ($wait_try tries) for $name: $*; the last screen is $kept"
    fi
    wait_try=$((wait_try + 1))
    sleep 0.05
  done
  if [ -n "$last_capture" ]; then
    convert "$last_capture" -define png:compression-level=1 "$artifacts/$name.png"
  fi
  echo "$name: $((wait_try + 1)) tries, $(( (${EPOCHREALTIME/./} - start) / 1000 )) ms" >>"$work/waits.log"
  return 0
}

# Captures the window `window` as $work/$1.bmp (a PNG takes a second or more
# to write; this takes a few hundredths). `import` waits for ever, holding the
# X server, when the window goes away under it, hence the time limit.
capture() {
  last_capture="$work/$1.bmp"
  timeout 10 import -window "$window" "$last_capture" 2>/dev/null
}

# wait_for_screen NAME SECONDS CHECK ARGS...: wait_for NAME, each try capturing
# the window as NAME and then running CHECK NAME ARGS...
wait_for_screen() {
  local name=$1 seconds=$2
  shift 2
  wait_for "$name" "$seconds" shows "$name" "$@"
}

shows() {   # name check args...
  local name=$1 check=$2
  shift 2
  capture "$name" && "$check" "$name" "$@"
}

# How many pixels of the box x y w h of capture $1 are within 12 % of the
# colour $6.
count() {
  convert "$work/$1.bmp" -crop "${4}x${5}+${2}+${3}" +repage -fuzz 12% \
    -fill black +opaque "$6" -fill white -opaque "$6" -format '%[fx:round(mean*w*h)]' info:
}
