#!/usr/bin/env bash
# Runs a test against the Windows build under Wine:
#   under_wine.sh TEMPLATE_PREFIX STAGE COMMAND...
# in a Wine prefix of its own, a copy of TEMPLATE_PREFIX (made once by
# make_prefix.sh, never played in), with KESTRELON_WINE_GAME naming the
# staged Windows game STAGE (see tests/support/xserver.sh). The prefix and
# everything running in it go when the test ends.
set -u
template="$1" stage="$2"
shift 2
[ -d "$template/drive_c" ] || { echo "FAIL: no Wine prefix in $template"; exit 1; }
[ -f "$stage/kestrelon.exe" ] || { echo "FAIL: no Windows game in $stage"; exit 1; }
source "$(dirname "${BASH_SOURCE[0]}")/wine_environment.sh"
home=$(mktemp -d)
export WINEPREFIX="$home/prefix" KESTRELON_WINE_GAME="$stage"
cp -a "$template" "$WINEPREFIX"
"$@"
code=$?
wineserver -k 2>/dev/null
rm -rf "$home"
exit $code
