#!/usr/bin/env bash
# The Windows game as unpacked from the zip, under Wine: a placed game
# writes data\scores.txt beside the program with CR LF line ends, and F12
# writes screen000.bmp there (see placed_game.sh).
#   placed_game_test.sh BUILD_DIR DATA_DIR   (under under_wine.sh)
set -u
build="$1"
source "$(dirname "${BASH_SOURCE[0]}")/../support/xserver.sh"
game_folder placed-game "$2"
start_xvfb 231 1024x768x24
source "$(dirname "${BASH_SOURCE[0]}")/../support/screens.sh"
source "$(dirname "${BASH_SOURCE[0]}")/placed_game.sh"
cd "$work"
play_a_placed_game portable "$work/data/scores.txt" "$work/screen000.bmp" game_command
