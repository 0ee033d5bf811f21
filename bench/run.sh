#!/usr/bin/env bash
# Kestrelon's benchmarks: builds what they need into build/ (or
# $KESTRELON_BENCH_BUILD), measures, and prints one table of figures against
# their goals. Figures, not tests: the exit status is 0 whatever they are.
# With KESTRELON_BENCH_BASELINE naming the build folder of another version
# (built with -DKESTRELON_BENCH=ON), the render, replay, start-up and memory
# rows measure it too, in turns with this one, and print the ratio.
#   bash bench/run.sh
source "$(dirname "${BASH_SOURCE[0]}")/../tools/setup.sh"
set +e +o pipefail
root=$KESTRELON_ROOT
build=${KESTRELON_BENCH_BUILD:-$root/build}
testsprite=${TESTSPRITE2:-/usr/libexec/installed-tests/SDL2/testsprite2}

install_missing "${build_packages[@]}" "${bench_packages[@]}" >&2 || exit 1
cmake -S "$root" -B "$build" -DKESTRELON_BENCH=ON >/dev/null || exit 1
cmake --build "$build" -j2 --target bench >/dev/null || { echo "bench: the build failed" >&2; exit 1; }
bench="$build/kestrelon-bench"
preload="$build/bench/libkestrelon-bench-first-present.so"
baseline=${KESTRELON_BENCH_BASELINE:-}
[ -z "$baseline" ] || [ -x "$baseline/kestrelon-bench" ] || { echo "bench: no $baseline/kestrelon-bench" >&2; exit 1; }
# baseline_row NAME OURS THEIRS UNIT: the same figure of the baseline build, and ours over it.
baseline_row() {
  [ -n "$baseline" ] && [ -n "$3" ] && row "  $1, baseline build" "$3 $4" "(ours / baseline)" "$(calc "%.3f" "$2 / $3")" ""
}

work=$(mktemp -d)
# The game as it comes, whatever the settings of whoever runs the bench.
export XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"
xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/game" "$work/run"
# The data the build made: in the source tree unless configured elsewhere.
data_dir=$(sed -n 's/^KESTRELON_DATA_DIR:[A-Z]*=//p' "$build/CMakeCache.txt")
cp -r "${data_dir:-$root/data}" "$work/game/data"
cp "$root/tests/support/scores.txt" "$work/game/data/scores.txt"
export XDG_RUNTIME_DIR="$work/run"
scenarios="$root/tests/replay/scenarios"

# key=value out of a line of kestrelon-bench output
field() { sed -n "s/.*\b$1=\([^ ]*\).*/\1/p" <<<"$2" | head -1; }
# max / min of numbers (empty arguments skipped)
best_max() { printf '%s\n' "$@" | awk 'NF && ($1 > m || !s) {m = $1; s = 1} END {if (s) print m}'; }
best_min() { printf '%s\n' "$@" | awk 'NF && ($1 < m || !s) {m = $1; s = 1} END {if (s) print m}'; }
calc() { awk "BEGIN {printf \"$1\", $2}"; }

rows=()
notes=()
# row NAME FIGURE GOAL RATIO MET
row() { rows+=("$1|$2|$3|$4|$5"); }
# A figure that should be at least `goal`: ratio figure/goal.
at_least() { calc "%.2f" "$1 / $2"; }
# A figure that should be at most `goal`: ratio goal/figure, so above 1 is met too.
met_if() { awk "BEGIN {print ($1) ? \"yes\" : \"NO\"}"; }

offscreen=(env SDL_VIDEODRIVER=offscreen SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0)

# --- Render: our play frames against testsprite2, interleaved, best of 3 ---
# Both on the software renderer, asked for by name; each side's own word on
# what it drew with is printed, and no ratio is made if they differ.
play_fps=() base_fps=() sprite_fps=() allocs="" best_round_fps=0 theirs_renderer="" ours_renderer=""
render_script="$scenarios/novice_game.script"
for round in 1 2 3; do
  if [ -x "$testsprite" ]; then
    # It never stops by itself and prints its frame rate every 5 s.
    out=$(cd "$(dirname "$testsprite")" && "${offscreen[@]}" timeout 6 "./$(basename "$testsprite")" \
            --renderer software --info render --geometry 1024x768 70 2>&1)
    sprite_fps+=("$(sed -n 's/.* \([0-9.]*\) frames per second.*/\1/p' <<<"$out" | head -1)")
    theirs_renderer=$(awk '/Current renderer:/ {getline; sub(/.*Renderer /, ""); sub(/:.*/, ""); print; exit}' <<<"$out")
  fi
  if [ -n "$baseline" ]; then
    out=$("$baseline/kestrelon-bench" render --dir "$work/game" --script "$render_script" --frames 4347 2>/dev/null)
    base_fps+=("$(field play_fps "$out")")
  fi
  out=$("$bench" render --dir "$work/game" --script "$render_script" --frames 4347 2>/dev/null)
  fps=$(field play_fps "$out")
  play_fps+=("$fps")
  allocs=$(field allocations_per_play_frame "$out")
  alloc_count=$(field play_allocations "$out")
  play_frames=$(field play_frames "$out")
  ours_renderer=$(field renderer "$out")
  # The frame times of the best round.
  if awk "BEGIN {exit !($fps > $best_round_fps)}"; then
    best_round_fps=$fps
    pacing="$(field frame_ms_p50 "$out") / $(field frame_ms_p99 "$out") / $(field frame_ms_p999 "$out") / $(field frame_ms_worst "$out")"
  fi
done
ours=$(best_max "${play_fps[@]}")
theirs=$(best_max "${sprite_fps[@]:-}")
if [ -z "$theirs" ]; then
  row "render: play frames per second" "$ours fps" ">= half of testsprite2" "" "skipped: no $testsprite"
elif [ "$ours_renderer" != "$theirs_renderer" ]; then
  row "render: play frames per second" "$ours fps" ">= half of testsprite2" "" \
      "no ratio: renderers differ (ours $ours_renderer, testsprite2 ${theirs_renderer:-unknown})"
  row "  testsprite2, 70 sprites" "$theirs fps" "(yardstick)" "" ""
else
  goal=$(calc "%.1f" "$theirs / 2")
  row "render: play frames per second" "$ours fps" ">= $goal fps (half of testsprite2)" \
      "$(at_least "$ours" "$goal")" "$(met_if "$ours >= $goal")"
  row "  testsprite2, 70 sprites" "$theirs fps" "(yardstick)" "" ""
fi
baseline_row "play frames per second" "$ours" "$(best_max "${base_fps[@]:-}")" fps
row "  renderers: ours / testsprite2's" "$ours_renderer / ${theirs_renderer:--}" "(the same)" "" ""
row "  play frame ms: median/99th/99.9th/worst" "$pacing" "(best round)" "" ""
row "  heap allocations per play frame" "$allocs" "0" "" "$(met_if "$allocs == 0")"
row "    in all the play frames" "$alloc_count" "(whole game)" "" ""
notes+=("render: novice_game.script ($play_frames play frames; countdown and closing screens left out), drawn by the real frame driver on the offscreen driver, 1024 x 768, renderer as SDL_GetRendererInfo names it; testsprite2 --renderer software --geometry 1024x768 70 on the same driver, its own 5-second figure and its own 'Current renderer' line; each best of 3, run in turns. Frame times: each play frame's, sorted, of the fastest round. Allocations: every malloc/calloc/realloc of the process (game and SDL) during play frames.")

# --- Logic: the three play steps per second over a full field ---
out=$("$bench" logic --dir "$work/game" --seconds 1 2>/dev/null)
steps=$(field steps_per_second "$out")
empty=$(field empty_field_steps_per_second "$out")
row "logic: play steps per second" "$steps" ">= 1000000" "$(at_least "$steps" 1000000)" "$(met_if "$steps >= 1000000")"
row "  the same over an empty field" "$empty" "(yardstick)" "" ""
row "  full field / empty field" "$(calc "%.3f" "$steps / $empty")" "(machine-free)" "" ""
notes+=("logic: updateWorld + resolveCollisions + scrollMap with 10 asteroids and 50 shots in flight, the ship sweeping and firing; after each step missing shots are re-armed and lives, level points and ammunition put back (that re-arming is inside the timing); the yardstick is the same steps in the same run over an empty field (no asteroid, no shot), so the ratio tells what a full field costs whatever the machine's speed; best of three 1-second rounds of each, in turns.")

# --- Replay: 10 000 headless frames of one long game ---
out=$("$bench" pilot --dir "$work/game" --out "$work/long.script" --frames 10000 2>/dev/null)
polls=$(field polls "$out")
[ "${polls:-0}" -ge 10000 ] || notes+=("replay: the pilot's game ended after ${polls:-0} polls, short of 10000: the rest of the replay is menu frames.")
replay_args=(--dir "$work/game" --script "$work/long.script" --start novice --trace /dev/null)
long=() short=() base_long=() base_short=()
for round in 1 2 3; do
  out=$("$bench" launch -- "$build/kestrelon-replay" "${replay_args[@]}" --frames 10000)
  long+=("$(field exit_ms "$out")")
  out=$("$bench" launch -- "$build/kestrelon-replay" "${replay_args[@]}" --frames 1)
  short+=("$(field exit_ms "$out")")
  if [ -n "$baseline" ]; then
    out=$("$bench" launch -- "$baseline/kestrelon-replay" "${replay_args[@]}" --frames 10000)
    base_long+=("$(field exit_ms "$out")")
    out=$("$bench" launch -- "$baseline/kestrelon-replay" "${replay_args[@]}" --frames 1)
    base_short+=("$(field exit_ms "$out")")
  fi
done
long_ms=$(best_min "${long[@]}")
short_ms=$(best_min "${short[@]}")
frames_ms=$(calc "%.1f" "$long_ms - $short_ms")
speed=$(calc "%.0f" "200000 / ($frames_ms > 0 ? $frames_ms : 1)")
whole=$(calc "%.0f" "200000 / $long_ms")
row "replay: times faster than real time" "${speed}x" ">= 1000x" "$(at_least "$speed" 1000)" "$(met_if "$speed >= 1000")"
if [ -n "$baseline" ]; then
  base_frames_ms=$(calc "%.1f" "$(best_min "${base_long[@]}") - $(best_min "${base_short[@]}")")
  baseline_row "times faster than real time" "$speed" "$(calc "%.0f" "200000 / ($base_frames_ms > 0 ? $base_frames_ms : 1)")" x
fi
row "  with start-up and shutdown" "${whole}x" "(whole process)" "" ""
game_ms=()
for round in 1 2 3; do
  out=$("$bench" replay --dir "$work/game" --script "$work/long.script" --frames 10000 2>/dev/null)
  game_ms+=("$(field frames_ms "$out")")
done
game_ms=$(best_min "${game_ms[@]}")
row "  the game alone (no call log, no trace)" "$(calc "%.0f" "200000 / $game_ms")x" "(in-process)" "" ""
notes+=("replay: kestrelon-replay --frames 10000 --trace /dev/null (headless, call log on as always) over a ${polls}-poll novice game played beforehand by 'kestrelon-bench pilot'; 200 s of play over (10000-frame run - 1-frame run) = $frames_ms ms of frames; whole process $long_ms ms; the game alone: the same frames in-process with the call log off and no trace line, $game_ms ms; best of 3.")

# --- Start-up: process start to the first presented frame ---
ours_ms=() minimal_ms=() linked_ms=() base_ms=()
for round in 1 2 3; do
  out=$(cd "$work/game" && "${offscreen[@]}" KESTRELON_BENCH_PRESENT_FILE="$work/present" LD_PRELOAD="$preload" \
          "$bench" launch --present-file "$work/present" -- "$build/kestrelon")
  ours_ms+=("$(field first_present_ms "$out")")
  if [ -n "$baseline" ]; then
    out=$(cd "$work/game" && "${offscreen[@]}" KESTRELON_BENCH_PRESENT_FILE="$work/present" LD_PRELOAD="$preload" \
            "$bench" launch --present-file "$work/present" -- "$baseline/kestrelon")
    base_ms+=("$(field first_present_ms "$out")")
  fi
  out=$("${offscreen[@]}" KESTRELON_BENCH_PRESENT_FILE="$work/present" LD_PRELOAD="$preload" \
          "$bench" launch --present-file "$work/present" -- "$build/kestrelon-bench-minimal-sdl")
  minimal_ms+=("$(field first_present_ms "$out")")
  out=$("${offscreen[@]}" KESTRELON_BENCH_PRESENT_FILE="$work/present" LD_PRELOAD="$preload" \
          "$bench" launch --present-file "$work/present" -- "$build/kestrelon-bench-minimal-linked")
  linked_ms+=("$(field first_present_ms "$out")")
done
ours=$(best_min "${ours_ms[@]}")
minimal=$(best_min "${minimal_ms[@]}")
goal=$(calc "%.1f" "$minimal * 5")
row "start-up: to the first frame" "$ours ms" "<= $goal ms (5 x minimal)" "$(calc "%.2f" "$goal / $ours")" \
    "$(met_if "$ours <= $goal")"
row "  ours / minimal" "$(calc "%.2f" "$ours / $minimal") x" "(information)" "" ""
baseline_row "to the first frame" "$ours" "$(best_min "${base_ms[@]:-}")" ms
row "  minimal SDL program" "$minimal ms" "(yardstick)" "" ""
row "  the same, loading the game's libraries" "$(best_min "${linked_ms[@]}") ms" "(yardstick)" "" ""
notes+=("start-up: from fork/exec to the return of the first SDL_RenderPresent (a preloaded shim notes the time and ends the process there), the real build/kestrelon against bench/minimal_sdl.c (window, renderer, clear, present), and that program again linked with every library the game links (SDL_image, SDL_ttf, SDL_mixer and fontconfig, with theirs), all on the offscreen driver with the software renderer, one thread each, start-up in the order the game gives it; SDL picks the audio driver as it would for a player; best of 3, in turns.")

# --- Start-up in an X server: exec to the first frame a player sees ---
# The game and testsprite2 in turns in one Xvfb of their own, each as a
# player would start it (no preload, SDL's own choice of renderer), timed by
# an eye on the window's pixels; then the same on SDL's software renderer.
median() { printf '%s\n' "$@" | awk 'NF' | sort -g | awk '{v[NR] = $1} END {if (NR) print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2)}'; }
# Starts Xvfb on the first free display from $1 on; sets visible_display and
# xvfb_pid. Ready once it answers, not once its socket is there.
start_visible_xvfb() {
  local display
  for display in $(seq "$1" $(($1 + 49))); do
    [ -e "/tmp/.X11-unix/X$display" ] && continue
    Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 300); do
      DISPLAY=":$display" xwininfo -root >/dev/null 2>&1 && { visible_display=":$display"; return 0; }
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
  done
  return 1
}
first_visible="$build/kestrelon-bench-first-visible"
visible_starts=5
# first_visible_run SIDE [ENV...]: one start of the game (SIDE ours) or of
# testsprite2 (theirs), printing first-visible's line.
first_visible_run() {
  local side=$1
  shift
  if [ "$side" = ours ]; then
    (cd "$work/game" && env DISPLAY="$visible_display" "$@" "$first_visible" --timeout 20 \
       --expect 412,384,260,50,FFFF00 --view 1024x768 -- "$build/kestrelon" 2>>"$work/visible.log")
  else
    (cd "$(dirname "$testsprite")" && env DISPLAY="$visible_display" "$@" "$first_visible" --timeout 20 \
       -- "./$(basename "$testsprite")" --geometry 1024x768 2>>"$work/visible.log")
  fi
}
# The renderer SIDE draws its first frame with (one start of its own, ended
# at that frame by the first-present shim).
renderer_of() {
  local side=$1
  shift
  rm -f "$work/renderer"
  if [ "$side" = ours ]; then
    (cd "$work/game" && env DISPLAY="$visible_display" "$@" LD_PRELOAD="$preload" KESTRELON_BENCH_PRESENT_FILE="$work/present" \
       KESTRELON_BENCH_RENDERER_FILE="$work/renderer" timeout 20 "$build/kestrelon" >/dev/null 2>&1)
  else
    (cd "$(dirname "$testsprite")" && env DISPLAY="$visible_display" "$@" LD_PRELOAD="$preload" \
       KESTRELON_BENCH_PRESENT_FILE="$work/present" KESTRELON_BENCH_RENDERER_FILE="$work/renderer" \
       timeout 20 "./$(basename "$testsprite")" --geometry 1024x768 >/dev/null 2>&1)
  fi
  cat "$work/renderer" 2>/dev/null || echo unknown
}
visible_row() {
  visible_skip=""
  command -v Xvfb >/dev/null && command -v xwininfo >/dev/null || { visible_skip="skipped: Xvfb or xwininfo missing"; return; }
  [ -x "$first_visible" ] || { visible_skip="skipped: no $first_visible (Xlib missing at build time)"; return; }
  [ -x "$testsprite" ] || { visible_skip="skipped: no $testsprite"; return; }
  start_visible_xvfb 231 || { visible_skip="skipped: Xvfb did not start"; return; }
  local software=(SDL_RENDER_DRIVER=software) round out
  vis_ours=() vis_theirs=() vis_ours_sw=() vis_theirs_sw=() vis_highlight=() vis_mapped=() vis_mapped_theirs=()
  vis_cold_ours=() vis_cold_theirs=() vis_failed=0
  # First, as each side's first start, which renderer it draws with: this
  # also fills the caches the timed starts then find, as a player's second
  # start would.
  vis_renderers="$(renderer_of ours) / $(renderer_of theirs)"
  vis_renderers_sw="$(renderer_of ours "${software[@]}") / $(renderer_of theirs "${software[@]}")"
  for round in $(seq "$visible_starts"); do
    out=$(first_visible_run ours)
    vis_ours+=("$(field first_visible_ms "$out")")
    vis_highlight+=("$(field expected_ms "$out")")
    vis_mapped+=("$(field mapped_ms "$out")")
    [[ "$out" == *status=ok* ]] || vis_failed=$((vis_failed + 1))
    out=$(first_visible_run theirs)
    vis_theirs+=("$(field first_visible_ms "$out")")
    vis_mapped_theirs+=("$(field mapped_ms "$out")")
    [[ "$out" == *status=ok* ]] || vis_failed=$((vis_failed + 1))
    out=$(first_visible_run ours "${software[@]}")
    vis_ours_sw+=("$(field first_visible_ms "$out")")
    [[ "$out" == *status=ok* ]] || vis_failed=$((vis_failed + 1))
    out=$(first_visible_run theirs "${software[@]}")
    vis_theirs_sw+=("$(field first_visible_ms "$out")")
    [[ "$out" == *status=ok* ]] || vis_failed=$((vis_failed + 1))
    # A player's very first start: an empty cache folder, so neither
    # fontconfig's nor Mesa's compiled shaders are kept from before.
    out=$(first_visible_run ours XDG_CACHE_HOME="$work/visible-cache-ours-$round")
    vis_cold_ours+=("$(field first_visible_ms "$out")")
    [[ "$out" == *status=ok* ]] || vis_failed=$((vis_failed + 1))
    out=$(first_visible_run theirs XDG_CACHE_HOME="$work/visible-cache-theirs-$round")
    vis_cold_theirs+=("$(field first_visible_ms "$out")")
    [[ "$out" == *status=ok* ]] || vis_failed=$((vis_failed + 1))
  done
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
}
visible_row
if [ -n "$visible_skip" ]; then
  row "start-up: first visible frame in an X server" "-" "<= 1.3 x testsprite2" "" "$visible_skip"
else
  ours=$(median "${vis_ours[@]}")
  theirs=$(median "${vis_theirs[@]}")
  ours_sw=$(median "${vis_ours_sw[@]}")
  theirs_sw=$(median "${vis_theirs_sw[@]}")
  if [ -z "$ours" ] || [ -z "$theirs" ]; then
    row "start-up: first visible frame in an X server" "${ours:--} ms" "<= 1.3 x testsprite2" "" \
        "no figure: see $work/visible.log"
  else
    goal=$(calc "%.1f" "$theirs * 1.3")
    row "start-up: first visible frame in an X server" "$ours ms" "<= $goal ms (1.3 x testsprite2)" \
        "$(calc "%.2f" "$goal / $ours")" "$(met_if "$ours <= $goal")"
    row "  testsprite2 --geometry 1024x768" "$theirs ms" "(yardstick)" "" ""
    row "  ours / testsprite2" "$(calc "%.2f" "$ours / $theirs") x" "<= 1.3 x" "" ""
  fi
  row "  renderers: ours / testsprite2's" "$vis_renderers" "(SDL's default)" "" ""
  row "  its window mapped: ours / testsprite2" "$(median "${vis_mapped[@]}") / $(median "${vis_mapped_theirs[@]}") ms" \
      "(information)" "" ""
  row "  the menu's highlighted item (ours)" "$(median "${vis_highlight[@]}") ms" "(information)" "" ""
  row "  software renderer: ours / testsprite2" "${ours_sw:--} / ${theirs_sw:--} ms" "(information)" "" ""
  [ -n "$ours_sw" ] && [ -n "$theirs_sw" ] &&
    row "    ours / testsprite2" "$(calc "%.2f" "$ours_sw / $theirs_sw") x" "(information)" "" ""
  row "    renderers: ours / testsprite2's" "$vis_renderers_sw" "(SDL_RENDER_DRIVER)" "" ""
  cold_ours=$(median "${vis_cold_ours[@]}")
  cold_theirs=$(median "${vis_cold_theirs[@]}")
  row "  the very first start: ours / testsprite2" "${cold_ours:--} / ${cold_theirs:--} ms" "(information)" "" ""
  [ -n "$cold_ours" ] && [ -n "$cold_theirs" ] &&
    row "    ours / testsprite2" "$(calc "%.2f" "$cold_ours / $cold_theirs") x" "(information)" "" ""
  [ "$vis_failed" -gt 0 ] && notes+=("start-up in an X server: $vis_failed of $((6 * visible_starts)) starts showed no frame within 20 s (left out of the medians).")
fi
notes+=("start-up in an X server: the real build/kestrelon (in a copy of its game folder, its own XDG_RUNTIME_DIR) and testsprite2 --geometry 1024x768 in one Xvfb (1280x1024x24, Mesa's GL), each as a player starts it: no preload, the renderer SDL picks by default; $visible_starts starts of each, in turns (ours, testsprite2, ours on SDL_RENDER_DRIVER=software, testsprite2 on it, then both with an empty XDG_CACHE_HOME: a player's very first start, nothing kept by the game or by Mesa's shader cache), medians; the other starts find Mesa's shader cache and fontconfig's kept from earlier starts. Timed by kestrelon-bench-first-visible from fork/exec to the first poll (MIT-SHM grab of the window, about every 1-2 ms) in which the newest mapped top-level window shows a drawn frame: over a 32 x 24 grid of its pixels, at least 4 distinct colours (4 bits a channel) and at least 5 % of the points off the commonest colour, which a cleared or merely mapped window never is; then SIGTERM. Window mapped: when the window that showed the frame was first seen mapped (SDL makes the game's window twice, see first_visible.c's windows=). The menu's highlighted item: when 2 % of the box 412,384 260x50 of the view holds New game's #FFFF00. Renderers: from a start of each before the timed ones, with the first-present shim.")

# --- Memory: peak resident size of a whole scripted session ---
out=$("$bench" launch -- "$build/kestrelon-replay" --dir "$work/game" --script "$scenarios/game_lost_named.script" \
        --start novice --frames 4365 --trace /dev/null --render)
rss=$(field max_rss_kib "$out")
rss_mib=$(calc "%.1f" "$rss / 1024")
row "memory: peak resident size" "$rss_mib MiB" "<= 32 MiB" "$(calc "%.2f" "32 / $rss_mib")" "$(met_if "$rss_mib <= 32")"
if [ -n "$baseline" ]; then
  out=$("$bench" launch -- "$baseline/kestrelon-replay" --dir "$work/game" --script "$scenarios/game_lost_named.script" \
          --start novice --frames 4365 --trace /dev/null --render)
  baseline_row "peak resident size" "$rss_mib" "$(calc "%.1f" "$(field max_rss_kib "$out") / 1024")" MiB
fi
notes+=("memory: the peak resident size (getrusage of the child) of kestrelon-replay --render over game_lost_named.script: a whole novice game, game over, name entry, the table and the menu, drawn on the offscreen driver.")

# --- Waiting: processor time of a blocking screen waiting for a key ---
# Sets `waiting` to the figure or to "skipped: why".
wait_row() {
  waiting="skipped: Xvfb or xdotool missing"
  command -v Xvfb >/dev/null && command -v xdotool >/dev/null || return
  local display
  for display in $(seq 151 199); do
    [ -e "/tmp/.X11-unix/X$display" ] && continue
    Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
    kill -0 "$xvfb_pid" 2>/dev/null && break
  done
  export DISPLAY=":$display"
  (cd "$work/game" && exec "$build/kestrelon" >"$work/wait.log" 2>&1) &
  game_pid=$!
  local window=""
  for _ in $(seq 100); do
    window=$(xdotool search --name "^Kestrelon" 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.1
  done
  waiting="skipped: the game window did not appear"
  [ -n "$window" ] || return
  sleep 2
  xdotool windowfocus --sync "$window" 2>/dev/null
  # From the menu's start cursor (New game): Down to Highscore, Enter. The
  # table then waits for Space.
  xdotool key --delay 150 Down Return
  sleep 2
  local ticks=$(getconf CLK_TCK) before after
  before=$(awk '{print $14 + $15}' "/proc/$game_pid/stat")
  sleep 10
  after=$(awk '{print $14 + $15}' "/proc/$game_pid/stat")
  waiting=$(calc "%.2f" "($after - $before) / $ticks / 10 * 100")
  window_peak=$(awk '/^VmHWM/ {printf "%.1f", $2 / 1024}' "/proc/$game_pid/status")
  # Space leaves the table; then the window is closed as a player would.
  xdotool key space
  sleep 0.5
  [ -x "$build/kestrelon-xclose" ] && "$build/kestrelon-xclose" "$window" >/dev/null 2>&1
  for _ in $(seq 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
  kill "$game_pid" 2>/dev/null
  wait "$game_pid" 2>/dev/null
  game_pid=""
  kill "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
}
wait_row
if [[ "$waiting" == skipped* ]]; then
  row "waiting: processor use" "-" "< 5 % of a core" "" "$waiting"
else
  row "waiting: processor use" "$waiting %" "< 5 % of a core" "$(calc "%.2f" "5 / ($waiting > 0 ? $waiting : 0.01)")" \
      "$(met_if "$waiting < 5")"
fi
[ -n "${window_peak:-}" ] && row "  the real game in Xvfb, menu and table" "$window_peak MiB" "(peak so far, VmHWM)" "" ""
notes+=("waiting: the real build/kestrelon in Xvfb, Down and Enter from the menu (xdotool) to the high-score table, which waits for Space; user + system time of the process over 10 s of waiting (/proc/PID/stat).")

# --- Frame pacing: play at --max-fps 60 against uncapped, in a real window ---
present_times="$build/bench/libkestrelon-bench-present-times.so"
pacing_seconds=10
# pacing_run NAME [OPTION...]: the real game in Xvfb on SDL's software
# renderer, taken into a Novice game by keys; after the countdown,
# $pacing_seconds s of play, then SIGTERM. Every present's time and the
# process's processor time so far go to $work/presents-NAME.
pacing_run() {
  local name=$1
  shift
  (cd "$work/game" && exec env DISPLAY="$visible_display" SDL_RENDER_DRIVER=software LD_PRELOAD="$present_times" \
     KESTRELON_BENCH_PRESENT_TIMES="$work/presents-$name" "$build/kestrelon" "$@" >"$work/pacing-$name.log" 2>&1) &
  game_pid=$!
  local window=""
  for _ in $(seq 100); do
    window=$(DISPLAY="$visible_display" xdotool search --name "^Kestrelon" 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.1
  done
  if [ -n "$window" ]; then
    sleep 2
    DISPLAY="$visible_display" xdotool windowfocus --sync "$window" 2>/dev/null
    # New game, Novice; the countdown; then play as it comes, the ship idle.
    DISPLAY="$visible_display" xdotool key --delay 300 Return Return
    sleep $((5 + pacing_seconds))
  fi
  kill -TERM "$game_pid" 2>/dev/null
  wait "$game_pid" 2>/dev/null
  game_pid=""
}
# Over the last $pacing_seconds s before the end (play): "fps p99_ms cpu_percent".
pacing_figures() {
  [ -s "$1" ] || return
  local summary p99
  summary=$(awk -v span="$pacing_seconds" -v intervals="$1.intervals" '{t[NR] = $1; c[NR] = $2}
    END {
      last = NR - 5   # the last frames may be the game ending
      first = last
      while (first > 1 && t[last] - t[first - 1] <= span) first--
      if (last - first < 2) exit
      for (i = first + 1; i <= last; i++) printf "%.4f\n", (t[i] - t[i - 1]) * 1000 > intervals
      printf "%.2f %.1f\n", (last - first) / (t[last] - t[first]), (c[last] - c[first]) / (t[last] - t[first]) * 100
    }' "$1")
  [ -n "$summary" ] || return
  p99=$(sort -g "$1.intervals" | awk '{v[NR] = $1} END {i = int(NR * 0.99 + 0.5); printf "%.2f", v[i < 1 ? 1 : i]}')
  read -r fps cpu <<<"$summary"
  echo "$fps $p99 $cpu"
}
pacing_skip=""
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null || ! command -v xwininfo >/dev/null; then
  pacing_skip="skipped: Xvfb, xdotool or xwininfo missing"
elif ! start_visible_xvfb 281; then
  pacing_skip="skipped: Xvfb did not start"
else
  pacing_run capped --max-fps 60
  pacing_run uncapped
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
fi
read -r capped_fps capped_p99 capped_cpu <<<"$(pacing_figures "$work/presents-capped")"
read -r free_fps free_p99 free_cpu <<<"$(pacing_figures "$work/presents-uncapped")"
if [ -n "$pacing_skip" ] || [ -z "$capped_cpu" ]; then
  row "pacing: play at --max-fps 60, processor" "-" "<= 15 % of a core" "" "${pacing_skip:-no figure: see $work/pacing-capped.log}"
else
  row "pacing: play at --max-fps 60, processor" "$capped_cpu %" "<= 15 % of a core" \
      "$(calc "%.2f" "15 / ($capped_cpu > 0 ? $capped_cpu : 0.01)")" "$(met_if "$capped_cpu <= 15")"
  row "  frames per second" "$capped_fps fps" "60 +- 2 % (58.8 to 61.2)" "" "$(met_if "$capped_fps >= 58.8 && $capped_fps <= 61.2")"
  row "  frame time, 99th percentile" "$capped_p99 ms" "16.7 +- 2 ms" "" "$(met_if "$capped_p99 >= 14.7 && $capped_p99 <= 18.7")"
  row "  uncapped: processor / fps / 99th ms" "${free_cpu:--} % / ${free_fps:--} / ${free_p99:--}" "(same run)" "" ""
fi
notes+=("pacing: the real build/kestrelon in one Xvfb (1280x1024x24) on SDL_RENDER_DRIVER=software, New game and Novice by xdotool, the ship left idle; first with --max-fps 60, then as it comes (uncapped). A preloaded shim notes every SDL_RenderPresent's time and the process's processor time (all threads); the figures cover the last $pacing_seconds s of play before SIGTERM: frames per second, the 99th percentile of the time between presents, processor time over wall time.")

# --- Where a play frame's time goes (for whoever works on the render figure) ---
parts=$("$bench" parts --dir "$work/game" 2>/dev/null)

# --- The table ---
echo
echo "Kestrelon benchmarks — $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg), $(date '+%Y-%m-%d %H:%M')"
printf '%-46s %-16s %-36s %-7s %s\n' "benchmark" "figure" "goal" "ratio" "met"
printf '%s\n' "$(printf '%.0s-' $(seq 114))"
for r in "${rows[@]}"; do
  IFS='|' read -r name figure goal ratio met <<<"$r"
  printf '%-46s %-16s %-36s %-7s %s\n' "$name" "$figure" "$goal" "$ratio" "$met"
done
echo
echo "ratio: figure/goal for rates, goal/figure for times and sizes; 1 or more meets the goal."
for n in "${notes[@]}"; do echo "- $n"; done
if [ -n "$parts" ]; then
  echo
  echo "Where a play frame's time goes: the same scene drawn with more and more layers (best of 3 x 200 frames)"
  previous=0
  while IFS= read -r line; do
    stage=$(sed -n 's/stage="\([^"]*\)".*/\1/p' <<<"$line")
    ms=$(field ms_per_frame "$line")
    printf '  %-44s %7.3f ms per frame  (%+.3f)  %s allocations\n' "$stage" "$ms" "$(calc "%.3f" "$ms - $previous")" \
      "$(field allocations_per_frame "$line")"
    previous=$ms
  done <<<"$parts"
fi
exit 0
