#!/usr/bin/env bash
# The installer's round trip under Wine, in a prefix nothing was installed in:
# a silent install (/S) puts the game in %LOCALAPPDATA%\Programs\Kestrelon
# with a Start-menu entry and an uninstaller; the installed game, started
# from elsewhere, gives the player a copy of the default table in
# %LOCALAPPDATA%\Kestrelon and keeps its placed game and screenshot there,
# never in its installation; the silent uninstall removes the game, its
# entry and its registration and leaves the player's files.
#   installer_test.sh BUILD_DIR DATA_DIR SETUP_EXE   (under under_wine.sh)
set -u
build="$1" setup="$3"
source "$(dirname "${BASH_SOURCE[0]}")/../support/xserver.sh"
game_folder installer "$2"
start_xvfb 251 1024x768x24
source "$(dirname "${BASH_SOURCE[0]}")/../support/screens.sh"
source "$(dirname "${BASH_SOURCE[0]}")/placed_game.sh"
cd "$work"

# A Windows folder by its variable, as a path here.
folder_of() { winepath -u "$(wine cmd /c echo "%$1%" | tr -d '\r')" 2>/dev/null; }
local_app_data=$(folder_of LOCALAPPDATA)
start_menu="$(folder_of APPDATA)/Microsoft/Windows/Start Menu/Programs"
installed="$local_app_data/Programs/Kestrelon"
player="$local_app_data/Kestrelon"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrelon'
[ -d "$local_app_data" ] || fail "no %LOCALAPPDATA% in the Wine prefix ($local_app_data)"
[ -e "$installed" ] || [ -e "$player" ] && fail "the prefix is not fresh: $installed or $player exists"

timeout 300 wine "$setup" /S >"$work/setup.log" 2>&1 || fail "the installer ended with $?"
for file in kestrelon.exe kestrelon-replay.exe SDL2.dll data/spacemap.bmp data/scores.txt fonts/LiberationSans-Regular.ttf \
  README.txt licences/Kestrelon.txt kestrelon.installed uninstall.exe; do
  [ -f "$installed/$file" ] || fail "the installer did not install $file"
done
[ -f "$start_menu/Kestrelon.lnk" ] || fail "no Start-menu entry in $start_menu"
wine reg query "$uninstall_key" /v UninstallString >"$work/registry.log" 2>&1 || fail "no uninstall entry in the registry"
cp "$installed/data/scores.txt" "$work/default-table.txt"

installed_game() { exec wine "$(winepath -w "$installed/kestrelon.exe")"; }
# The first start: the player's folder made, the default table copied there.
installed_game >"$work/first-start.log" 2>&1 &
game_pid=$!
wait_for first-start-window 60 game_window
wait_for first-start-menu 60 first_menu_ready first-start-menu $new_game_item
cmp -s "$player/data/scores.txt" "$work/default-table.txt" || fail "the player was not given the default table"
"$build/kestrelon-xclose" "$window"
wait_for first-start-end 60 ended $game_pid
wait $game_pid || fail "closing the installed game's window ended it with $?"
game_pid=""

play_a_placed_game installed "$player/data/scores.txt" "$player/screen000.bmp" installed_game
cmp -s "$installed/data/scores.txt" "$work/default-table.txt" || fail "the installed game wrote its installation's table"
[ -e "$installed/screen000.bmp" ] && fail "the installed game saved its screenshot in its installation"
cp "$player/data/scores.txt" "$work/played-table.txt"

# The uninstaller runs a copy of itself from the temporary folder and
# returns at once: its work is done when the installation is gone.
timeout 300 wine "$(winepath -w "$installed/uninstall.exe")" /S >"$work/uninstall.log" 2>&1 || fail "the uninstaller ended with $?"
installation_gone() { [ ! -e "$installed" ]; }
wait_for uninstalled 120 installation_gone
[ -e "$start_menu/Kestrelon.lnk" ] && fail "the uninstaller left the Start-menu entry"
wine reg query "$uninstall_key" >/dev/null 2>&1 && fail "the uninstaller left its registry entry"
cmp -s "$player/data/scores.txt" "$work/played-table.txt" || fail "uninstalling changed or removed the player's scores"
[ -f "$player/screen000.bmp" ] || fail "uninstalling removed the player's screenshot"
echo "installed, played (the scores in $player), uninstalled: the scores remain"
