#!/usr/bin/env bash
# The installation as a distribution would make it: `cmake --install` with the
# prefix /usr into a DESTDIR, then checked part by part.
#   stage                  installs (the fixture the other checks use)
#   layout                 every file where it belongs and nothing more; the
#                          desktop entry, metainfo, icons and game agree
#   icons                  every hicolor size, transparent round the ship, and
#                          the same bytes from a second run of the generator
#   desktop_file_validate  desktop-file-validate       (skipped without it)
#   appstream_validate     appstreamcli validate       (skipped without it)
#   manual                 the manual page: this version, paths that exist,
#                          no groff warnings
#   installed              the installed game, started from anywhere (moved,
#                          through a link), finds its data, keeps the player's
#                          files in the player's folder and touches nothing
#                          else: old folders of links, a linked data folder,
#                          a dangling score table
# install_test.sh CHECK BUILD_DIR SOURCE_DIR DATA_DIR CMAKE BINDIR LIBEXECDIR DATADIR VERSION MANDIR
set -u
check=$1 build=$(cd "$2" && pwd) source=$3 data=$4 cmake=$5 version=$9
stage="$build/test-artifacts/install"
root="$stage/root"
id=org.example.kestrelon
sizes="16 24 32 48 64 128 256"

# Install folders as GNUInstallDirs gave them, relative to the prefix or not.
under_usr() { case "$1" in /*) echo "$root$1" ;; *) echo "$root/usr/$1" ;; esac; }
bindir=$(under_usr "$6")
libexecdir=$(under_usr "$7")
datadir=$(under_usr "$8")
mandir=$(under_usr "${10}")
game="$bindir/kestrelon"
shipped="$datadir/kestrelon/data"
desktop="$datadir/applications/$id.desktop"
metainfo="$datadir/metainfo/$id.metainfo.xml"
manual="$mandir/man6/kestrelon.6"
example="$datadir/doc/kestrelon/examples/settings.conf"
icon() { echo "$datadir/icons/hicolor/$1x$1/apps/$id.png"; }

problems=0
bad() { echo "FAIL: $*"; problems=$((problems + 1)); }
finish() { [ "$problems" -eq 0 ] && echo "ok" || { echo "$problems problem(s)"; exit 1; }; exit 0; }
skip() { echo "SKIP: $*"; exit 77; }

# Every file the game opens under data/, straight from its sources (the
# temporary score file is the game's own business).
game_data_files() {
  grep -rhoE '"data/[^"]+"' "$source/src" | tr -d '"' | sed 's|^data/||' | grep -v '\.tmp$' | sort -u
}

desktop_key() { sed -n "s/^$1=//p" "$desktop" | head -n 1; }
xml_text() { sed -n "s|.*<$1[^>]*>\([^<]*\)</$1>.*|\1|p" "$metainfo" | head -n 1; }

case "$check" in
stage)
  rm -rf "$stage"
  mkdir -p "$stage"
  DESTDIR="$root" "$cmake" --install "$build" --prefix /usr >"$stage/install.log" 2>&1 \
    || { cat "$stage/install.log"; exit 1; }
  echo "staged $(find "$root" ! -type d | wc -l) files in $root"
  ;;

layout)
  expected=$(
    echo "${game#$root/}"
    game_data_files | sed "s|^|${shipped#$root/}/|"
    echo "${desktop#$root/}"
    echo "${metainfo#$root/}"
    echo "${manual#$root/}"
    echo "${example#$root/}"
    for n in $sizes; do f=$(icon "$n"); echo "${f#$root/}"; done
  )
  missing_or_extra=$(diff <(sort <<<"$expected") <(cd "$root" && find . ! -type d | sed 's|^\./||' | sort))
  [ -z "$missing_or_extra" ] || bad "installed files differ from the expected ones (< missing, > extra):
$missing_or_extra"

  [ -x "$game" ] && [ "$(head -c 4 "$game" | od -An -c | tr -d ' ')" = "177ELF" ] \
    || bad "$game is not an executable program"

  # The pictures and sounds are the build's; the score table is the
  # generator's pristine one, not whatever was played into data/ meanwhile.
  while IFS= read -r name; do
    [ "$name" = scores.txt ] && continue
    cmp -s "$data/$name" "$shipped/$name" || bad "installed $name differs from $data/$name"
  done < <(game_data_files)
  fresh=$(mktemp -d)
  trap 'rm -rf "$fresh"' EXIT
  "$build/kestrelon-assetgen" --out "$fresh" --scores-only
  cmp -s "$fresh/scores.txt" "$shipped/scores.txt" || bad "installed scores.txt is not the default table"

  # The pieces name each other: a desktop shows the icon, starts the program
  # and links the software centre's entry to the menu entry only if so.
  exec_word=$(desktop_key Exec | cut -d ' ' -f 1)
  [ "$exec_word" = kestrelon ] && [ -x "$bindir/$exec_word" ] || bad "Exec=$exec_word is not the installed game"
  [ "$(desktop_key Icon)" = "$id" ] || bad "Icon=$(desktop_key Icon) is not the installed icon name $id"
  case "$(desktop_key Categories)" in *Game\;*ArcadeGame\;*) ;; *) bad "Categories lack Game;ArcadeGame;" ;; esac
  [ "$(xml_text id)" = "$id" ] || bad "metainfo id $(xml_text id) is not $id"
  [ "$(xml_text launchable)" = "$(basename "$desktop")" ] || bad "metainfo launchable $(xml_text launchable) is not the desktop file"
  [ "$(xml_text binary)" = kestrelon ] || bad "metainfo names the binary $(xml_text binary)"
  # The newest release comes first and is the version being installed.
  release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
  [ "$release" = "$version" ] || bad "metainfo's newest release is $release, the project is $version"
  finish
  ;;

icons)
  for n in $sizes; do
    f=$(icon "$n")
    [ -f "$f" ] || { bad "no $n px icon"; continue; }
    # PNG header: width and height (big-endian), then colour type 6 = RGBA.
    read -r w0 w1 w2 w3 h0 h1 h2 h3 <<<"$(od -An -tu1 -j16 -N8 "$f")"
    type=$(od -An -tu1 -j25 -N1 "$f" | tr -d ' ')
    w=$(((w0 << 24) | (w1 << 16) | (w2 << 8) | w3)) h=$(((h0 << 24) | (h1 << 16) | (h2 << 8) | h3))
    [ "$w.$h.$type" = "$n.$n.6" ] || bad "$f is ${w}x$h colour type $type, not a ${n}x$n RGBA picture"
    if command -v convert >/dev/null; then
      last=$((n - 1)) middle=$((n / 2))
      corners=$(convert "$f" -format "%[fx:p{0,0}.a+p{$last,0}.a+p{0,$last}.a+p{$last,$last}.a]" info:)
      centre=$(convert "$f" -format "%[fx:p{$middle,$middle}.a > 0.9]" info:)
      [ "$corners" = 0 ] || bad "$n px icon: the corners are not transparent"
      [ "$centre" = 1 ] || bad "$n px icon: no ship in the middle"
    fi
  done
  command -v convert >/dev/null || echo "note: ImageMagick missing, transparency not checked"
  again=$(mktemp -d)
  trap 'rm -rf "$again"' EXIT
  "$build/kestrelon-assetgen" --icons "$again" --icon-name "$id" || bad "the generator failed to draw the icons"
  for n in $sizes; do
    cmp -s "$(icon "$n")" "$again/hicolor/${n}x$n/apps/$id.png" || bad "$n px icon differs on a second run"
  done
  finish
  ;;

desktop_file_validate)
  command -v desktop-file-validate >/dev/null || skip "desktop-file-validate is not installed"
  desktop-file-validate "$desktop" || bad "desktop-file-validate $desktop"
  finish
  ;;

appstream_validate)
  command -v appstreamcli >/dev/null || skip "appstreamcli is not installed"
  appstreamcli validate --no-net "$metainfo" || bad "appstreamcli validate $metainfo"
  # The tree check also finds the desktop file the metainfo launches.
  appstreamcli validate-tree --no-net "$root/usr" || bad "appstreamcli validate-tree $root/usr"
  finish
  ;;

manual)
  [ -f "$manual" ] || { bad "no manual page $manual"; finish; }
  # The title line and the --version text name the version being installed.
  th_version=$(sed -n 's/^\.TH KESTRELON 6 [^ ]* "Kestrelon \([^"]*\)".*/\1/p' "$manual")
  [ "$th_version" = "$version" ] || bad "the page's title line names version '$th_version', the project is $version"
  grep -q "kestrelon $version" "$manual" || bad "the page does not give 'kestrelon $version' as the --version text"
  # Every installed path the page names is there (the stage's prefix is /usr).
  named=$(sed 's/\\-/-/g' "$manual" | grep -oE '/usr/[A-Za-z0-9_./-]*[A-Za-z0-9_/]' | sort -u)
  [ -n "$named" ] || bad "the page names no installed path"
  for path in $named; do
    [ -e "$root$path" ] || bad "the page names $path, which is not installed"
  done
  if command -v groff >/dev/null; then
    warnings=$(groff -ww -man -z "$manual" 2>&1)
    [ -z "$warnings" ] || bad "groff warns about the page: $warnings"
  else
    echo "note: groff missing, the page's markup not checked"
  fi
  finish
  ;;

installed)
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/home" "$work/run" "$work/elsewhere"
  folder="$work/home/.local/share/kestrelon"

  # The game without a display or sound card. It quits at once, naming the
  # file, when one it needs is missing, so still running when stopped means
  # it found every file.
  play() {   # GAME [VAR=VALUE...] [-- ARGUMENTS]: the exit code, 124 when stopped
    local program=$1
    shift
    local vars=()
    while [ $# -gt 0 ] && [ "$1" != -- ]; do vars+=("$1"); shift; done
    [ "${1:-}" = -- ] && shift
    (cd "$work/elsewhere" && env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_DATA_HOME HOME="$work/home" \
      XDG_RUNTIME_DIR="$work/run" SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "${vars[@]}" \
      timeout 3 "$program" "$@" >"$work/game.log" 2>&1)
  }
  # Every file and link under the folders given, with its kind, size, link
  # target and contents' sum: two listings are equal when nothing changed.
  listing() {
    find "$@" -printf '%p %y %s %l\n' | sort
    find "$@" -type f -exec md5sum {} + | sort
  }
  user_writable() { [ $((0$(stat -c %a "$1") & 0200)) -ne 0 ]; }

  # First start: XDG_DATA_HOME unset, so ~/.local/share/kestrelon, made with
  # the player's own copy of the default table and nothing else.
  play "$game"
  status=$?
  [ "$status" -eq 124 ] || bad "the first start ended with $status instead of playing on: $(cat "$work/game.log")"
  scores="$folder/data/scores.txt"
  [ -f "$scores" ] && [ ! -L "$scores" ] || { bad "data/scores.txt is not a file of the player's own"; finish; }
  cmp -s "$scores" "$shipped/scores.txt" || bad "data/scores.txt is not a copy of the installed table"
  user_writable "$scores" || bad "the player cannot write data/scores.txt"
  made=$(cd "$folder" && find . | sort | tr '\n' ' ')
  [ "$made" = ". ./data ./data/scores.txt " ] || bad "the first start made more than the table: $made"
  [ -z "$(ls "$work/elsewhere")" ] || bad "the game wrote into the folder it was started from: $(ls "$work/elsewhere")"

  # The player set a score; the installation moved; the game is started
  # through a link to it: the scores are kept, the data found.
  printf '1 ZED 9999\r\n' >"$work/table"
  sed -n '2,10p' "$scores" >>"$work/table"
  cp "$work/table" "$scores"
  cp -a "$root" "$work/moved"
  ln -s "$work/moved/${game#$root/}" "$work/kestrelon"
  play "$work/kestrelon" XDG_DATA_HOME="$work/home/.local/share"
  status=$?
  [ "$status" -eq 124 ] || bad "the moved game ended with $status instead of playing on: $(cat "$work/game.log")"
  cmp -s "$scores" "$work/table" || bad "the second start did not keep the player's scores"
  rm -rf "$work/moved" "$work/kestrelon"

  # A folder made by the old launcher: data/ full of links into the
  # installation (one dangling, left by a removed file), and the player's
  # own picture in place of a shipped one. It keeps working, and nothing in
  # it or anywhere else changes.
  while IFS= read -r name; do
    [ "$name" = scores.txt ] && continue
    mkdir -p "$(dirname "$folder/data/$name")"
    ln -sfn "$shipped/$name" "$folder/data/$name"
  done < <(game_data_files)
  ln -s "$work/gone/retired.bmp" "$folder/data/retired.bmp"
  rm "$folder/data/spaceship.png"
  printf 'my own ship\n' >"$folder/data/spaceship.png"
  before=$(listing "$work/home" "$work/elsewhere" "$root")
  play "$game"
  status=$?
  [ "$status" -eq 124 ] || bad "an old folder of links ended the game with $status: $(cat "$work/game.log")"
  [ "$(listing "$work/home" "$work/elsewhere" "$root")" = "$before" ] || bad "starting in an old folder of links changed files:
$(diff <(echo "$before") <(listing "$work/home" "$work/elsewhere" "$root"))"

  # data/ a link to another folder of the player's, holding files named as
  # the game's: they are neither read nor touched, and the table there is
  # the one played with.
  rm -rf "$folder/data"
  mkdir -p "$work/mine/sound"
  printf 'my own ship\n' >"$work/mine/spaceship.png"
  printf 'my own jingle\n' >"$work/mine/sound/_1up.wav"
  cp "$work/table" "$work/mine/scores.txt"
  ln -s "$work/mine" "$folder/data"
  before=$(listing "$work/home" "$work/mine" "$work/elsewhere")
  play "$game"
  status=$?
  [ "$status" -eq 124 ] || bad "a linked data folder ended the game with $status: $(cat "$work/game.log")"
  [ "$(listing "$work/home" "$work/mine" "$work/elsewhere")" = "$before" ] || bad "a linked data folder was changed:
$(diff <(echo "$before") <(listing "$work/home" "$work/mine" "$work/elsewhere"))"

  # The table a link to a drive that is not there: the game says so and
  # ends; nothing is made, deleted or replaced.
  rm "$folder/data"
  mkdir "$folder/data"
  ln -s "$work/unmounted/scores.txt" "$folder/data/scores.txt"
  before=$(listing "$work/home" "$work/elsewhere")
  play "$game"
  status=$?
  [ "$status" -eq 1 ] || bad "a dangling score table ended the game with $status instead of 1"
  grep -q "scores.txt" "$work/game.log" || bad "the game did not name the score table: $(cat "$work/game.log")"
  [ "$(listing "$work/home" "$work/elsewhere")" = "$before" ] || bad "a dangling score table link was touched"
  rm "$folder/data/scores.txt"
  cp "$work/table" "$scores"

  # A recording named on the command line goes where the player typed it.
  play "$game" -- --record "my game.rec"
  [ -f "$work/elsewhere/my game.rec" ] || bad "--record \"my game.rec\" did not write into the folder the game was started in"
  finish
  ;;

*)
  echo "unknown check $check"
  exit 2
  ;;
esac
