#!/usr/bin/env bash
# The player's volumes, heard through SDL's disk output (what a sound card
# would play, written to a file): on the menu, --music-volume 25 plays the
# menu tune at a quarter of its amplitude, and --mute plays silence. A
# recorded session watched with the volumes down or muted gives the same
# trace as watched without: the game makes every sound call either way. The
# muted one is muted by the settings file, whose wrong lines are named and
# skipped, the file left as it was.
# The game runs on SDL's offscreen driver and software renderer: no display
# is needed.
#   volume_test.sh BUILD_DIR DATA_DIR
set -u
game="$1/kestrelon"
recording="$(dirname "${BASH_SOURCE[0]}")/../replay/scenarios/recorded_game.rec"
work=$(mktemp -d)
pid=""
trap 'kill $pid 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; for log in "$work"/*.log; do echo "--- $log"; cat "$log"; done; exit 1; }
mkdir -p "$work/run"
cp -r "$2" "$work/data"
cd "$work"

# 16-bit stereo at 44.1 kHz: the game's output format.
frame_bytes=4
rate=44100
tune_frames=$(soxi -s data/sound/_menubgnd.wav) || fail "soxi cannot read the menu tune"
audio() {   # audio RAW_FILE SOX_ARGS...: sox on what was played
  local raw=$1
  shift
  sox -t raw -r $rate -e signed -b 16 -c 2 "$raw" "$@"
}
# The byte where the first sound is, or nothing while all is silence.
first_sound() { cmp "$1" /dev/zero 2>/dev/null | awk '/differ/ {gsub(",", "", $5); print $5}'; }
size() { stat -c %s "$1" 2>/dev/null || echo 0; }

start() {   # start NAME OPTIONS...: the game, its sound going to NAME.raw
  local name=$1
  shift
  # The disk output waits 5 ms per buffer: several times real time, yet the
  # silence before the tune stays short while the game loads.
  (exec env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=offscreen SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=disk \
     SDL_DISKAUDIOFILE="$work/$name.raw" SDL_DISKAUDIODELAY=5 XDG_RUNTIME_DIR="$work/run" \
     XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" "$game" "$@" >"$work/$name.log" 2>&1) &
  pid=$!
}
stop() {   # stop NAME: SIGTERM ends the game, with 0
  kill -TERM $pid
  wait $pid
  local code=$?
  pid=""
  [ $code -eq 0 ] || fail "$1: the game ended with $code"
}
wait_until() {   # wait_until WHAT SECONDS TEST...: polls until TEST holds
  local what=$1 tries=$(($2 * 10))
  shift 2
  for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
  fail "gave up waiting for $what"
}
# More than a second past the tune's start and once round it, played.
tune_played_round() {
  local first
  first=$(first_sound "$1")
  [ -n "$first" ] && [ "$(size "$1")" -gt $((first + (2 * rate + tune_frames) * frame_bytes)) ]
}
# The RMS amplitude of exactly one turn of the looping tune, from a second
# after it began: any whole turn has the same samples, whatever the phase.
tune_rms() {
  local first
  first=$(first_sound "$1")
  audio "$1" -n trim $(((first - 1) / frame_bytes + rate))s ${tune_frames}s stat 2>&1 |
    awk '/RMS +amplitude/ {print $3}'
}

# The menu tune, at full volume and at a quarter.
start full
wait_until "the menu tune at full volume" 120 tune_played_round full.raw
stop full
start quarter --music-volume 25
wait_until "the menu tune at a quarter" 120 tune_played_round quarter.raw
stop quarter
full=$(tune_rms full.raw)
quarter=$(tune_rms quarter.raw)
awk -v f="$full" -v q="$quarter" 'BEGIN { exit !(f > 0.05 && q / f > 0.2475 && q / f < 0.2525) }' ||
  fail "--music-volume 25: RMS $quarter against $full at full volume (want a quarter, within 1 %)"
echo "menu tune RMS: $full at full volume, $quarter at --music-volume 25"

# Muted: the output runs, and plays nothing but silence.
start mute --mute
longer_than_seconds() { [ "$(size "$1")" -gt $(($2 * rate * frame_bytes)) ]; }
wait_until "two seconds of muted output" 120 longer_than_seconds mute.raw 2
stop mute
[ -z "$(first_sound mute.raw)" ] || fail "--mute: sound was played (from byte $(first_sound mute.raw))"

# A recorded session watched as it is, with the volumes down, and muted:
# the same trace each time, and sound in the first two only.
watch() {   # watch NAME OPTIONS...
  local name=$1
  shift
  start "$name" --watch "$recording" --trace "$work/$name.jsonl" "$@"
  wait_until "$name: the recording watched to its end" 600 ended
  wait $pid
  local code=$?
  pid=""
  [ $code -eq 0 ] || fail "$name: watching ended with $code"
  [ -s "$work/$name.jsonl" ] || fail "$name: no trace"
}
ended() { ! kill -0 $pid 2>/dev/null; }
watch as-is
# Turned down, and with --vsync, which the offscreen driver's software
# renderer cannot do: its frames are held to the display's rate instead.
watch turned-down --volume 50 --music-volume 25 --effects-volume 10 --vsync
grep -q "no vsync here; frames are held to 60 a second instead" turned-down.log ||
  fail "--vsync without vsync was not said: $(cat turned-down.log)"
# Muted by the settings file this time, among lines that are wrong: each
# named with its file and line, skipped, and the file left as it was.
mkdir -p config/kestrelon
settings=config/kestrelon/settings.conf
printf '# muted for the test\nvolume = loud\nmute = yes\nscreen-mode = sideways\n' >$settings
cp -p $settings settings.before
watch muted
cmp -s settings.before $settings && [ "$(stat -c %Y settings.before)" = "$(stat -c %Y $settings)" ] ||
  fail "the game changed the settings file"
for line in "line 2: volume takes a number from 0 to 100, not 'loud'" "line 4:"; do
  grep -qF "$work/$settings $line" muted.log || fail "the settings file's wrong line was not named as $line: $(cat muted.log)"
done
[ "$(grep -c 'the line is skipped' muted.log)" -eq 2 ] || fail "not exactly the two wrong lines were named"
for name in turned-down muted; do
  cmp -s as-is.jsonl $name.jsonl || fail "$name: the trace differs from the one as is: $(cmp as-is.jsonl $name.jsonl)"
done
[ -n "$(first_sound turned-down.raw)" ] || fail "turned down: nothing was heard"
[ -z "$(first_sound muted.raw)" ] || fail "muted: sound was played while watching"
echo "volumes scale the sound, mute silences it, the traces stay the same"
