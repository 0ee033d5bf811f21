#!/usr/bin/env bash
# The Debian package, unpacked with dpkg -x into a scratch root: its control
# fields, and every file where the pieces that name it expect it (the desktop
# entry's Exec= and Icon=, the data folder the game finds from its own place,
# the manual page's paths), with no maintainer script reaching into players'
# folders; and the unpacked game plays.
# package_test.sh SOURCE_DIR VERSION
# Builds the package with packaging/build-deb.sh (minutes), or checks the one
# KESTRELON_DEB names.
set -u
source=$1 version=$2
problems=0
bad() { echo "FAIL: $*"; problems=$((problems + 1)); }
finish() { [ "$problems" -eq 0 ] && echo "ok" || { echo "$problems problem(s)"; exit 1; }; exit 0; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ -n "${KESTRELON_DEB:-}" ]; then
  deb=$KESTRELON_DEB
else
  bash "$source/packaging/build-deb.sh" >"$work/build.log" 2>&1 \
    || { tail -n 60 "$work/build.log"; echo "FAIL: packaging/build-deb.sh failed"; exit 1; }
  deb=$(tail -n 1 "$work/build.log")
fi
[ -f "$deb" ] || { echo "FAIL: no package at '$deb'"; exit 1; }
echo "checking $deb"

root="$work/root"
dpkg -x "$deb" "$root" || { echo "FAIL: dpkg -x $deb"; exit 1; }
dpkg-deb -e "$deb" "$work/control" || { echo "FAIL: dpkg-deb -e $deb"; exit 1; }

# Every file the game opens under data/, straight from its sources (the
# temporary score file is the game's own business).
game_data_files() {
  grep -rhoE '"data/[^"]+"' "$source/src" | tr -d '"' | sed 's|^data/||' | grep -v '\.tmp$' | sort -u
}
field() { dpkg-deb -f "$deb" "$1"; }

# Control fields: this version, a game, the libraries found by dpkg-shlibdeps
# and the fonts the game asks fontconfig for.
[ "$(field Package)" = kestrelon ] || bad "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || bad "the package is version $(field Version), the project $version (debian/changelog)"
case "$(field Section)" in *games) ;; *) bad "Section: $(field Section) is not a games section" ;; esac
depends=$(field Depends)
for needed in libsdl2-2.0-0 libsdl2-mixer-2.0-0 libsdl2-ttf-2.0-0 libsdl2-image-2.0-0 fonts-liberation2; do
  grep -qE "(^|, )$needed( |,|$)" <<<"$depends" || bad "Depends lacks $needed: $depends"
done

# Only /usr: nothing in /usr/local, /etc or a home folder.
outside=$(cd "$root" && find . -mindepth 1 -maxdepth 1 ! -name usr)
[ -z "$outside" ] || bad "files outside /usr: $outside"
[ -e "$root/usr/local" ] && bad "the package ships /usr/local"

# The game is on a Debian user's PATH, once.
games=$(cd "$root" && ls -d usr/games/kestrelon usr/bin/kestrelon 2>/dev/null)
[ "$(wc -w <<<"$games")" = 1 ] || { bad "not one kestrelon in usr/games or usr/bin: '$games'"; finish; }
game="$root/$games"
bindir=$(dirname "$game")
[ -f "$game" ] && [ -x "$game" ] && [ "$(head -c 4 "$game" | od -An -c | tr -d ' ')" = "177ELF" ] \
  || bad "$games is not an executable program"

# The data where the game looks for it: share/kestrelon/data beside its bin.
data=$(cd "$bindir/../share/kestrelon/data" 2>/dev/null && pwd -P) || { bad "no share/kestrelon/data beside $games"; finish; }
# Every file the game opens and the default score table, and nothing else
# (no screenshot or played-in table from a developer's data/).
expected=$( (game_data_files; echo scores.txt) | sort -u)
shipped=$(cd "$data" && find . ! -type d | sed 's|^\./||' | sort)
[ "$expected" = "$shipped" ] || bad "the data folder differs from the files the game opens (< missing, > extra):
$(diff <(echo "$expected") <(echo "$shipped"))"
data_abs="/${data#$root/}"

# The desktop entry starts the game by name and shows an installed icon.
desktops=("$root"/usr/share/applications/*.desktop)
[ -f "${desktops[0]}" ] || { bad "no desktop entry"; finish; }
for desktop in "${desktops[@]}"; do
  exec_word=$(sed -n 's/^Exec=//p' "$desktop" | head -n 1 | cut -d ' ' -f 1)
  [ "$exec_word" = "$(basename "$game")" ] || bad "$(basename "$desktop"): Exec=$exec_word is not the game"
  icon=$(sed -n 's/^Icon=//p' "$desktop" | head -n 1)
  # 48x48 is the size every icon theme must fall back to.
  [ -f "$root/usr/share/icons/hicolor/48x48/apps/$icon.png" ] || bad "$(basename "$desktop"): no 48x48 icon $icon"
  for metainfo in "$root"/usr/share/metainfo/*.xml; do
    grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$metainfo" \
      || bad "$(basename "$metainfo") does not launch $(basename "$desktop")"
  done
done

# `man kestrelon`: the page is named after the command, in section 6, for
# this version, and every installed path it names (the data folder among
# them) is in the package.
page="$root/usr/share/man/man6/$(basename "$game").6.gz"
if [ -f "$page" ]; then
  text=$(zcat "$page")
  grep -qF "\"Kestrelon $version\"" <<<"$text" || bad "the manual page's title line is not for version $version"
  named=$(sed 's/\\-/-/g' <<<"$text" | grep -oE '/usr/[A-Za-z0-9_./-]*[A-Za-z0-9_/]' | sort -u)
  grep -qx "$data_abs" <<<"$named" || bad "the manual page does not name the data folder $data_abs"
  for path in $named; do
    [ -e "$root$path" ] || bad "the manual page names $path, which the package lacks"
  done
else
  bad "no manual page usr/share/man/man6/$(basename "$game").6.gz"
fi

# The players' scores outlive the package: no maintainer script goes near
# their folders.
for script in preinst postinst prerm postrm; do
  [ -f "$work/control/$script" ] || continue
  grep -nE 'HOME|\.local|XDG_|/home|/root' "$work/control/$script" \
    && bad "the $script script touches players' folders"
done
[ -f "$root/usr/share/doc/kestrelon/copyright" ] || bad "no /usr/share/doc/kestrelon/copyright"
[ -f "$root/usr/share/doc/kestrelon/examples/settings.conf" ] || bad "no example settings file"

# The unpacked game plays (no display or sound card needed): still running
# when stopped means it found every file, and the player got a table.
mkdir -p "$work/home" "$work/run"
(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_DATA_HOME HOME="$work/home" XDG_RUNTIME_DIR="$work/run" \
  SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy timeout 3 "$game" >"$work/game.log" 2>&1)
status=$?
[ "$status" -eq 124 ] || bad "the packaged game ended with $status instead of playing on: $(cat "$work/game.log")"
cmp -s "$work/home/.local/share/kestrelon/data/scores.txt" "$data/scores.txt" \
  || bad "the packaged game gave the player no copy of the default table"
finish
