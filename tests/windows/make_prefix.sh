#!/usr/bin/env bash
# Makes the Wine prefix the Windows tests copy: make_prefix.sh FOLDER
# (emptied first). Windows' first start in it takes a while; a copy is quick.
set -eu
source "$(dirname "${BASH_SOURCE[0]}")/wine_environment.sh"
rm -rf "$1"
export WINEPREFIX="$1"
timeout 600 wine wineboot.exe --init
timeout 600 wineserver --wait
[ -d "$1/drive_c/windows/system32" ] || { echo "FAIL: wineboot made no prefix in $1"; exit 1; }
echo "Wine prefix made in $1"
