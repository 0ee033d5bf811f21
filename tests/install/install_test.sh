#!/usr/bin/env bash
# The installation as a distribution would make it: `cmake --install` with the
# prefix /usr into a DESTDIR, then checked part by part.
#   stage                  installs (the fixture the other checks use)
#   layout                 every file where it belongs and nothing more; the
#                          desktop entry, metainfo, icons and launcher agree
#   icons                  every hicolor size, transparent round the ship, and
#                          the same bytes from a second run of the generator
#   desktop_file_validate  desktop-file-validate       (skipped without it)
#   appstream_validate     appstreamcli validate       (skipped without it)
#   manual                 the manual page: this version, paths that exist,
#                          no groff warnings
#   launcher               the installed launcher runs the installed game in
#                          the player's own folder, with no display
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
launcher="$bindir/kestrelon"
shipped="$datadir/kestrelon/data"
desktop="$datadir/applications/$id.desktop"
metainfo="$datadir/metainfo/$id.metainfo.xml"
manual="$mandir/man6/kestrelon.6"
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
    echo "${launcher#$root/}"
    echo "${libexecdir#$root/}/kestrelon/kestrelon"
    game_data_files | sed "s|^|${shipped#$root/}/|"
    echo "${desktop#$root/}"
    echo "${metainfo#$root/}"
    echo "${manual#$root/}"
    for n in $sizes; do f=$(icon "$n"); echo "${f#$root/}"; done
  )
  missing_or_extra=$(diff <(sort <<<"$expected") <(cd "$root" && find . ! -type d | sed 's|^\./||' | sort))
  [ -z "$missing_or_extra" ] || bad "installed files differ from the expected ones (< missing, > extra):
$missing_or_extra"

  [ -x "$launcher" ] && [ "$(head -c 2 "$launcher")" = "#!" ] || bad "$launcher is not an executable script"
  game="$libexecdir/kestrelon/kestrelon"
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
  [ "$exec_word" = kestrelon ] && [ -x "$bindir/$exec_word" ] || bad "Exec=$exec_word is not the installed launcher"
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

launcher)
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/home" "$work/run" "$work/elsewhere"
  folder="$work/home/.local/share/kestrelon"

  # The game without a display or sound card. It quits at once, naming the
  # file, when one in data/ is missing, so still running when stopped means
  # it found every file through the player's folder.
  play() {   # LAUNCHER [VAR=VALUE...]: the launcher's exit code, 124 when stopped
    local launcher=$1
    shift
    (cd "$work/elsewhere" && env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_DATA_HOME HOME="$work/home" \
      XDG_RUNTIME_DIR="$work/run" SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$@" \
      timeout 3 "$launcher" >"$work/game.log" 2>&1)
  }
  # Every installed file but the score table is linked from data/.
  links_into() {   # INSTALL_DATA_FOLDER
    local name target
    while IFS= read -r name; do
      [ "$name" = scores.txt ] && continue
      [ -L "$folder/data/$name" ] || { bad "data/$name is not a link"; continue; }
      target=$(readlink -f "$folder/data/$name")
      [ "$target" = "$(readlink -f "$1/$name")" ] || bad "data/$name links to $target, not into $1"
    done < <(game_data_files)
  }
  user_writable() { [ $((0$(stat -c %a "$1") & 0200)) -ne 0 ]; }

  # First start: XDG_DATA_HOME unset, so ~/.local/share/kestrelon.
  play "$launcher"
  status=$?
  [ "$status" -eq 124 ] || bad "the first start ended with $status instead of playing on: $(cat "$work/game.log")"
  [ -d "$folder/data" ] || { bad "no $folder/data"; finish; }
  links_into "$shipped"
  scores="$folder/data/scores.txt"
  # (Written through, a link would change the installed table: stop here.)
  [ -f "$scores" ] && [ ! -L "$scores" ] || { bad "data/scores.txt is not a file of the player's own"; finish; }
  cmp -s "$scores" "$shipped/scores.txt" || bad "data/scores.txt is not a copy of the installed table"
  user_writable "$scores" && user_writable "$folder/data" || bad "the player cannot write data/ or data/scores.txt"

  # Meanwhile the player set a score, a file was dropped from the game, and
  # the installation moved; the game is started through a link to the launcher.
  printf '1 ZED 9999\r\n' >"$work/table"
  sed -n '2,10p' "$scores" >>"$work/table"
  cp "$work/table" "$scores"
  ln -s "$work/gone/retired.bmp" "$folder/data/retired.bmp"
  cp -a "$root" "$work/moved"
  ln -s "$work/moved/${launcher#$root/}" "$work/kestrelon"
  play "$work/kestrelon" XDG_DATA_HOME="$work/home/.local/share"
  status=$?
  [ "$status" -eq 124 ] || bad "the second start ended with $status instead of playing on: $(cat "$work/game.log")"
  cmp -s "$scores" "$work/table" || bad "the second start did not keep the player's scores"
  links_into "$work/moved/${shipped#$root/}"
  [ -L "$folder/data/retired.bmp" ] && bad "the dangling link data/retired.bmp was kept"
  [ -e "$folder/data/scores.txt.new" ] && bad "a temporary score file was left behind"

  # The game runs in the player's folder, yet a recording named on the
  # command line is where the player typed it. A stand-in game lists its
  # folder and arguments.
  cp -a "$root" "$work/stubbed"
  stub="$work/stubbed/${libexecdir#$root/}/kestrelon/kestrelon"
  printf '#!/bin/sh\nprintf "%%s\\n" "$PWD" "$@" >"%s"\n' "$work/args" >"$stub"
  (cd "$work/elsewhere" && env -u XDG_DATA_HOME HOME="$work/home" "$work/stubbed/${launcher#$root/}" \
    --record "my game.txt" --watch=sub/w.txt --watch /abs/x.txt --record= plain) \
    || bad "the launcher failed with a stand-in game"
  expected_args=$(printf '%s\n' "$folder" --record "$work/elsewhere/my game.txt" \
    "--watch=$work/elsewhere/sub/w.txt" --watch /abs/x.txt --record= plain)
  [ "$(cat "$work/args" 2>/dev/null)" = "$expected_args" ] || bad "the game was started with
$(cat "$work/args" 2>/dev/null)
instead of
$expected_args"
  finish
  ;;

*)
  echo "unknown check $check"
  exit 2
  ;;
esac
