#!/usr/bin/env bash
# The real game in an X server: its window and title, a second copy refused
# while the first plays on, closing the window (exit 0), and a missing data
# file (exit 1, named on stderr). Screenshots are kept in the build folder.
#   window_test.sh BUILD_DIR DATA_DIR
set -u
build="$1"
data="$2"
artifacts="$build/test-artifacts/window"
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'kill $xvfb_pid $game_pid 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/run"
export XDG_RUNTIME_DIR="$work/run"
cp -r "$data" "$work/data"

source "$(dirname "${BASH_SOURCE[0]}")/../support/xserver.sh"
start_xvfb 91 1280x1024x24
game_pid=""

wait_exit() {   # pid seconds -> exit code, or fails
  local pid=$1 i
  for i in $(seq $(($2 * 10))); do
    kill -0 "$pid" 2>/dev/null || { wait "$pid"; return $?; }
    sleep 0.1
  done
  fail "process $pid did not end within $2 s"
}

cd "$work"
"$build/kestrelon" >"$work/first.log" 2>&1 &
game_pid=$!
window=$(find_window "Kestrelon v0.3" 60)
[ -n "$window" ] || { describe_missing_window $game_pid; fail "no window titled \"Kestrelon v0.3\" within 60 s"; }
sleep 1
import -window root "$artifacts/first.png"

# A second copy is refused with a message and ends with 0; the first plays on.
"$build/kestrelon" >"$work/second.log" 2>&1 &
second_pid=$!
box=$(find_window "Error" 10)
import -window root "$artifacts/second-copy.png"
[ -n "$box" ] && "$build/kestrelon-xclose" "$box"
wait_exit $second_pid 10
[ $? -eq 0 ] || fail "the second copy did not end with exit code 0"
grep -q "Application already running!" "$work/second.log" || fail "the second copy said: $(cat "$work/second.log")"
[ "$(xwininfo -root -tree | grep -c '"Kestrelon v0.3":')" -eq 1 ] || fail "the second copy made a window"
kill -0 $game_pid 2>/dev/null || fail "the first copy ended"

# Closing the window ends the game normally.
"$build/kestrelon-xclose" "$window"
wait_exit $game_pid 10
code=$?
game_pid=""
[ $code -eq 0 ] || fail "closing the window gave exit code $code"

# A missing data file stops start-up with 1 and names the file.
rm "$work/data/skill1.bmp"
"$build/kestrelon" >"$work/missing.log" 2>&1 &
missing_pid=$!
wait_exit $missing_pid 20
code=$?
[ $code -eq 1 ] || fail "a missing file gave exit code $code"
grep -q "data/skill1.bmp" "$work/missing.log" || fail "the missing file was not named: $(cat "$work/missing.log")"
echo "window tests passed"
