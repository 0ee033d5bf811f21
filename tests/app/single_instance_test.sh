#!/usr/bin/env bash
# The single-instance lock lives where only the player can write: in
# XDG_RUNTIME_DIR, else in the player's own game folder, never in /tmp,
# where another user could hold its name. A lock that cannot be made lets
# the game run, with one line saying so. The game runs on SDL's offscreen
# driver: no display is needed.
#   single_instance_test.sh BUILD_DIR DATA_DIR
set -u
game="$1/kestrelon"
work=$(mktemp -d)
first=""
trap 'kill $first 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; for log in "$work"/*.log; do echo "--- $log"; cat "$log"; done; exit 1; }
mkdir -p "$work/folder"
cp -r "$2" "$work/folder/data"

start() {   # start NAME [VAR=VALUE...]: the game in its folder, in the background
  local name=$1
  shift
  (cd "$work/folder" && exec env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR SDL_VIDEODRIVER=offscreen \
     SDL_AUDIODRIVER=dummy "$@" "$game" >"$work/$name.log" 2>&1) &
}
wait_until() {   # wait_until WHAT SECONDS TEST...: polls until TEST holds
  local what=$1 tries=$(($2 * 10))
  shift 2
  for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
  fail "gave up waiting for $what"
}
ended() { ! kill -0 "$1" 2>/dev/null; }

# Another user holds the name the game once used in /tmp: no matter.
foreign="/tmp/kestrelon-$(id -u).lock"
[ -e "$foreign" ] || { touch "$foreign"; made_foreign=1; }
exec 9>"$foreign"
flock -n 9 || echo "note: $foreign is locked by someone already"

start first
first=$!
held() { [ -e "$1" ] && ! flock -n "$1" true; }
wait_until "the lock held in the game folder" 60 held "$work/folder/kestrelon.lock"

# A second copy is refused by the lock in the folder.
start second
second=$!
wait_until "the second copy to end" 60 ended $second
wait $second
[ $? -eq 0 ] || fail "the refused second copy did not end with 0"
grep -q "Application already running!" "$work/second.log" || fail "the second copy was not refused"
# Ended from outside, the game ends normally: 0 (a failed start ends with 1).
kill -TERM $first
wait $first
[ $? -eq 0 ] || fail "the first copy did not end with 0"
first=""
exec 9>&-
[ -n "${made_foreign:-}" ] && rm -f "$foreign"

# No lock to be had: the game runs, and says so in one line.
start nolock XDG_RUNTIME_DIR="$work/no/such/folder"
first=$!
wait_until "the line about the lock" 60 grep -q "cannot lock" "$work/nolock.log"
kill -TERM $first
wait $first
[ $? -eq 0 ] || fail "without a lock the game did not run: $(cat "$work/nolock.log")"
first=""
[ "$(grep -c . "$work/nolock.log")" -eq 1 ] || fail "more than one line without a lock"
echo "the lock is the player's own"
