#!/usr/bin/env bash
# The command line and a machine without a display: --help, --version and a
# bad option answer at once without a window, data or the single-instance
# lock; the game started with no display says so and ends with 1.
#   command_line_test.sh BUILD_DIR
set -u
game="$1/kestrelon"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/run" "$work/empty"
fail() { echo "FAIL: $*"; exit 1; }

# No display, no data folder, a lock folder of its own: whatever opens a
# window, loads a file or takes the lock shows here.
run() {   # run NAME ARGS...: stdout, stderr and the exit code in $work
  local name=$1
  shift
  (cd "$work/empty" && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER XDG_RUNTIME_DIR="$work/run" \
     timeout 60 "$game" "$@" >"$work/$name.out" 2>"$work/$name.err")
  echo $? >"$work/$name.code"
}
code() { cat "$work/$1.code"; }
no_lock() { [ -z "$(ls -A "$work/run")" ] || fail "$1 left $(ls "$work/run") in XDG_RUNTIME_DIR"; }

run help --help
[ "$(code help)" -eq 0 ] || fail "--help ended with $(code help): $(cat "$work/help.err")"
grep -q '^Usage: kestrelon' "$work/help.out" || fail "--help printed no usage line"
for word in --version Space Escape F12 scores.txt screen000.bmp; do
  grep -q -- "$word" "$work/help.out" || fail "--help does not mention $word"
done
[ ! -s "$work/help.err" ] || fail "--help wrote to stderr: $(cat "$work/help.err")"
no_lock --help

run version --version
[ "$(code version)" -eq 0 ] || fail "--version ended with $(code version)"
[ "$(cat "$work/version.out")" = "kestrelon 0.3" ] || fail "--version printed '$(cat "$work/version.out")'"
no_lock --version

run bogus --bogus
[ "$(code bogus)" -eq 2 ] || fail "a bad option ended with $(code bogus)"
[ ! -s "$work/bogus.out" ] || fail "a bad option wrote to stdout"
grep -q -- "--bogus" "$work/bogus.err" || fail "the bad option was not named: $(cat "$work/bogus.err")"
grep -q -- "--help" "$work/bogus.err" || fail "no hint of --help after a bad option"
no_lock --bogus

# The game itself, with no display: one line, exit 1, no lock left. (It has
# no data folder either; the display is what it must trip over first.)
run nodisplay
[ "$(code nodisplay)" -eq 1 ] || fail "without a display the game ended with $(code nodisplay)"
grep -q "no display" "$work/nodisplay.err" || fail "without a display it said: $(cat "$work/nodisplay.err")"
grep -q "DISPLAY" "$work/nodisplay.err" && grep -q "WAYLAND_DISPLAY" "$work/nodisplay.err" ||
  fail "the no-display line names neither DISPLAY nor WAYLAND_DISPLAY"
[ "$(wc -l <"$work/nodisplay.err")" -eq 1 ] || fail "without a display it said more than one line: $(cat "$work/nodisplay.err")"
no_lock "the game without a display"

# Over ssh there may be no XDG_RUNTIME_DIR either: still that one line (no
# word from the Wayland library about it), and the lock in /tmp goes too.
(cd "$work/empty" && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u XDG_RUNTIME_DIR \
   timeout 60 "$game" >"$work/bare.out" 2>"$work/bare.err")
[ $? -eq 1 ] || fail "without a display or XDG_RUNTIME_DIR the game did not end with 1"
[ "$(cat "$work/bare.err")" = "$(cat "$work/nodisplay.err")" ] ||
  fail "without XDG_RUNTIME_DIR it said: $(cat "$work/bare.err")"
echo "command line and no display: as expected"
