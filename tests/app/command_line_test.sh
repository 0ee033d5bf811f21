#!/usr/bin/env bash
# The command line and a machine without a display: --help, --version, a
# bad option and a setting's bad value answer at once without a window, data
# or the single-instance lock; the game started with no display says so and
# ends with 1, after naming the settings file's wrong lines.
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
     XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" \
     timeout 60 "$game" "$@" >"$work/$name.out" 2>"$work/$name.err")
  echo $? >"$work/$name.code"
}
code() { cat "$work/$1.code"; }
no_lock() { [ -z "$(ls -A "$work/run")" ] || fail "$1 left $(ls "$work/run") in XDG_RUNTIME_DIR"; }

run help --help
[ "$(code help)" -eq 0 ] || fail "--help ended with $(code help): $(cat "$work/help.err")"
grep -q '^Usage: kestrelon' "$work/help.out" || fail "--help printed no usage line"
for word in --version Space Escape F12 scores.txt screen000.bmp Alt+Enter settings.conf --volume \
    --music-volume --effects-volume --mute --fullscreen --windowed --max-fps --vsync; do
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

# A setting's bad value: one line naming the option and what it takes (a
# control character in it shown as '?'), a hint of --help, exit 2, before
# anything else happens.
bad_setting() {   # what the line must hold, then the arguments
  local want=$1
  shift
  run bad-setting "$@"
  [ "$(code bad-setting)" -eq 2 ] || fail "$* ended with $(code bad-setting)"
  [ ! -s "$work/bad-setting.out" ] || fail "$* wrote to stdout"
  [ "$(wc -l <"$work/bad-setting.err")" -eq 1 ] || fail "$* said more than one line: $(cat "$work/bad-setting.err")"
  grep -qF -- "kestrelon: $want (see kestrelon --help)" "$work/bad-setting.err" ||
    fail "$* said: $(cat "$work/bad-setting.err")"
  no_lock "$*"
}
bad_setting "--volume takes a number from 0 to 100, not '101'" --volume 101
bad_setting "--music-volume takes a number from 0 to 100, not 'loud'" --music-volume loud
bad_setting "--effects-volume takes a number from 0 to 100, not '?[2J'" --effects-volume $'\e[2J'
bad_setting "--max-fps takes a number from 0 (no limit) to 1000, not '-3'" --max-fps -3
bad_setting "option '--max-fps' needs a value" --max-fps
bad_setting "option '--vsync' takes no value" --vsync=yes
bad_setting "--fullscreen and --windowed cannot go together" --fullscreen --windowed

# The settings file's wrong lines: each named with the file and its line,
# skipped; the game goes on (here to the missing display) and leaves the
# file as it was. A damaged state file: one line, and ignored.
mkdir -p "$work/config/kestrelon" "$work/state/kestrelon"
settings="$work/config/kestrelon/settings.conf"
printf 'volume = 50\nmax-fps = fast\n# a comment\n\nfullscreen\nvsync = yes\n' >"$settings"
touch -d '2020-01-01' "$settings"
cp -p "$settings" "$work/settings.before"
run bad-lines
[ "$(code bad-lines)" -eq 1 ] || fail "with wrong settings lines the game did not go on to the display check"
grep -qF "kestrelon: $settings line 2: max-fps takes a number from 0 (no limit) to 1000, not 'fast' (the line is skipped)" \
  "$work/bad-lines.err" || fail "line 2 was not named: $(cat "$work/bad-lines.err")"
grep -qF "kestrelon: $settings line 5: not NAME = VALUE: 'fullscreen' (the line is skipped)" "$work/bad-lines.err" ||
  fail "line 5 was not named: $(cat "$work/bad-lines.err")"
[ "$(wc -l <"$work/bad-lines.err")" -eq 3 ] || fail "more than the two lines and the display's: $(cat "$work/bad-lines.err")"
cmp -s "$settings" "$work/settings.before" && [ "$(stat -c %Y "$settings")" = "$(stat -c %Y "$work/settings.before")" ] ||
  fail "the game touched the settings file"
rm "$settings"
printf 'screen-mode = sideways\n' >"$work/state/kestrelon/state"
run bad-state
[ "$(code bad-state)" -eq 1 ] || fail "with a damaged state file the game did not go on to the display check"
grep -q "state/kestrelon/state is not as the game wrote it" "$work/bad-state.err" ||
  fail "the damaged state file was not named: $(cat "$work/bad-state.err")"
[ "$(cat "$work/state/kestrelon/state")" = "screen-mode = sideways" ] || fail "the damaged state file was not kept"
echo "command line and no display: as expected"
