#!/usr/bin/env bash
# The Windows game under Wine: its programs' resources and DLLs; --version
# and --help print where it was
# started from and end with 0; its window is titled "Kestrelon v0.3" and
# shows the menu as the Linux game shows it (the two captures compared pixel
# by pixel, the animated ship left out: at most 1 % of the pixels may differ
# by more than 10 %, the text drawn by each system's font rasteriser and the
# pictures scaled by each system's renderer). A fresh Wine has no Arial, so
# the game draws with the Liberation font it ships, as Linux does; given an
# Arial in Windows' Fonts folder, it draws with that.
#   window_test.sh BUILD_DIR DATA_DIR   (under under_wine.sh)
set -u
build="$1"
source "$(dirname "${BASH_SOURCE[0]}")/../support/xserver.sh"
game_folder menu-match "$2"
start_xvfb 211 1024x768x24
source "$(dirname "${BASH_SOURCE[0]}")/../support/screens.sh"
cd "$work"

# Each program carries the game's icon and version information, and needs
# no DLL but the SDL ones shipped beside it and Windows' own.
for program in "$KESTRELON_WINE_GAME"/*.exe; do
  x86_64-w64-mingw32-objdump -p "$program" >"$work/objdump.txt" || fail "objdump cannot read $program"
  resources=$(sed -n '/The .rsrc Resource Directory/,/^$/p' "$work/objdump.txt")
  grep -q "Entry: ID: 0x00000e," <<<"$resources" || fail "$(basename "$program") carries no icon"
  grep -q "Entry: ID: 0x000010," <<<"$resources" || fail "$(basename "$program") carries no version information"
  for dll in $(sed -n 's/^[[:space:]]*DLL Name: //p' "$work/objdump.txt"); do
    [ -n "$(find "$KESTRELON_WINE_GAME" "$WINEPREFIX/drive_c/windows/system32" -maxdepth 1 -iname "$dll" -print -quit)" ] ||
      fail "$(basename "$program") needs $dll, neither shipped nor Windows' own"
  done
done

(game_command --version) >"$work/version.log" 2>&1 || fail "--version ended with $?"
[ "$(tr -d '\r' <"$work/version.log")" = "kestrelon 0.3" ] || fail "--version printed: $(cat "$work/version.log")"
(game_command --help) >"$work/help.log" 2>&1 || fail "--help ended with $?"
grep -q "^Usage: kestrelon" "$work/help.log" || fail "--help printed no usage"
grep -q 'LOCALAPPDATA%\\Kestrelon' "$work/help.log" || fail "--help does not say where a Windows player's files are"
grep -q 'APPDATA%\\Kestrelon\\settings.conf' "$work/help.log" || fail "--help does not say where Windows keeps the settings"

# The menu ready for a key, New game highlighted, captured as $1; then the
# window is closed and the game must end with 0.
capture_menu() {   # name, then the game's command
  local name=$1
  shift
  "$@" >"$work/$name.log" 2>&1 &
  game_pid=$!
  wait_for "$name-window" 60 game_window
  wait_for "$name-menu" 60 first_menu_ready "$name" $new_game_item
  cp "$work/$name.bmp" "$work/$name-menu.bmp"
  close_game "$name"
}
linux_game() { exec "$build/kestrelon"; }
capture_menu linux linux_game
capture_menu windows game_command

ship="166x198+175+400"
for side in linux windows; do
  convert "$work/$side-menu.bmp" -fill black -draw "rectangle 175,400 340,597" "$work/$side-masked.png"
done
differing=$(compare -metric AE -fuzz 10% "$work/linux-masked.png" "$work/windows-masked.png" "$work/difference.png" 2>&1)
cp "$work/linux-masked.png" "$work/windows-masked.png" "$work/difference.png" "$artifacts/"
echo "menu: $differing of $((1024 * 768)) pixels differ by more than 10 % between Linux and Wine (ship $ship left out)"
[ "$differing" -le $((1024 * 768 / 100)) ] || fail "the menu under Wine differs from Linux's in $differing pixels; see $artifacts"

# Windows' own Arial comes before the shipped font: another face put in the
# Fonts folder as arial.ttf changes the menu's text.
fonts_folder="$(winepath -u 'C:\windows\Fonts')"
mkdir -p "$fonts_folder"
cp /usr/share/fonts/truetype/liberation2/LiberationMono-Regular.ttf "$fonts_folder/arial.ttf"
capture_menu system-font game_command
rm "$fonts_folder/arial.ttf"
changed=$(compare -metric AE -fuzz 10% -crop 400x250+412+380 "$work/windows-menu.bmp" "$work/system-font-menu.bmp" null: 2>&1)
convert "$work/system-font-menu.bmp" "$artifacts/system-font-menu.png"
[ "$changed" -gt 1000 ] || fail "an arial.ttf in Windows' Fonts folder left the menu's text as it was ($changed pixels)"
echo "the Windows game's window and menu are the Linux game's; Windows' own Arial is used where there is one"
