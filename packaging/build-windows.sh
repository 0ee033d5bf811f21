#!/usr/bin/env bash
# Builds Kestrelon for 64-bit Windows on this Debian machine (run from any
# folder): the game and kestrelon-replay cross-compiled with MinGW-w64
# against SDL libraries built from Debian's sources (cached, see
# windows/build-libraries.sh), the pictures, sounds and icon drawn by this
# machine's build of the asset generator. Installs what is missing through
# apt. Leaves in build-windows/:
#   kestrelon-VERSION-win64.zip        the game to unpack and play anywhere
#   kestrelon-VERSION-win64-setup.exe  its installer (per user, no administrator)
#   stage/Kestrelon-VERSION/           what both hold, as the zip unpacks
# The last two lines printed are the zip's path and the installer's.
source "$(dirname "${BASH_SOURCE[0]}")/../tools/setup.sh"
exec 3>&1 1>&2 # fd 3 is the real stdout, for the two paths alone

here="$KESTRELON_ROOT/packaging/windows"
out="$KESTRELON_ROOT/build-windows"
version=$(sed -n 's/^project(kestrelon VERSION \([0-9.]*\).*/\1/p' "$KESTRELON_ROOT/CMakeLists.txt")
fonts=/usr/share/fonts/truetype/liberation2

install_missing "${build_packages[@]}" g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 ninja-build \
  nsis zip imagemagick
mkdir -p "$out"

echo "== the asset generator, built for this machine"
cmake -S "$KESTRELON_ROOT" -B "$out/host" -DKESTRELON_TESTS=OFF -DKESTRELON_BENCH=OFF \
  -DKESTRELON_DATA_DIR="$out/host/data" >/dev/null
cmake --build "$out/host" -j2 --target kestrelon-assetgen

echo "== the icon"
rm -rf "$out/icons"
"$out/host/kestrelon-assetgen" --icons "$out/icons" --icon-name kestrelon
icon="$out/kestrelon.ico"
convert $(for size in 16 24 32 48 64 128 256; do echo "$out/icons/hicolor/${size}x$size/apps/kestrelon.png"; done) "$icon"

echo "== the SDL libraries for Windows"
libraries=$(bash "$here/build-libraries.sh" | tail -n 1)

echo "== the game for Windows"
cmake -S "$KESTRELON_ROOT" -B "$out/win64" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" -DCMAKE_PREFIX_PATH="$libraries" \
  -DKESTRELON_WINDOWS_ICON="$icon" >/dev/null
cmake --build "$out/win64" -j2 --target kestrelon kestrelon-replay

echo "== staging"
name="Kestrelon-$version"
stage="$out/stage/$name"
rm -rf "$out/stage"
mkdir -p "$stage/fonts" "$stage/licences"
for program in kestrelon kestrelon-replay; do
  x86_64-w64-mingw32-strip -o "$stage/$program.exe" "$out/win64/$program.exe"
done
cp "$libraries"/bin/SDL2.dll "$libraries"/bin/SDL2_image.dll "$libraries"/bin/SDL2_ttf.dll \
  "$libraries"/bin/SDL2_mixer.dll "$stage/"
# The pictures, sounds and a new player's score table, freshly made.
"$out/host/kestrelon-assetgen" --out "$stage/data"
# For a Windows without Arial or Courier New: the fonts made to their metrics.
cp "$fonts/LiberationSans-Regular.ttf" "$fonts/LiberationMono-Regular.ttf" "$stage/fonts/"
# Text files in Windows' line ends, for Notepad.
crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }
crlf /usr/share/doc/fonts-liberation2/copyright "$stage/fonts/LICENCE.txt"
crlf "$KESTRELON_ROOT/debian/copyright" "$stage/licences/Kestrelon.txt"
for library in SDL2 SDL2_image SDL2_ttf SDL2_mixer; do
  crlf "$libraries/share/licenses/$library/LICENSE.txt" "$stage/licences/$library.txt"
done
crlf "$libraries/share/licenses/freetype/copyright" "$stage/licences/FreeType (in SDL2_ttf).txt"
sed "s/@VERSION@/$version/g" "$here/README.txt.in" | sed 's/\r*$/\r/' >"$stage/README.txt"
crlf "$KESTRELON_ROOT/install/settings.conf" "$stage/settings-example.conf"

echo "== the zip"
zip_file="$out/kestrelon-$version-win64.zip"
rm -f "$zip_file"
(cd "$out/stage" && zip -q -r -X "$zip_file" "$name")

echo "== the installer"
setup="$out/kestrelon-$version-win64-setup.exe"
# The uninstaller removes what was installed, file by file, and nothing else.
(cd "$stage" && find . -type f | sed 's|^\./||; s|/|\\|g' | sort |
  sed 's/.*/  Delete "$INSTDIR\\&"/') >"$out/uninstall-files.nsh"
(cd "$stage" && find . -mindepth 1 -type d | sed 's|^\./||; s|/|\\|g' | sort -r |
  sed 's/.*/  RMDir "$INSTDIR\\&"/') >>"$out/uninstall-files.nsh"
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DICON="$icon" -DOUTFILE="$setup" \
  -DUNINSTALL_FILES="$out/uninstall-files.nsh" "$here/kestrelon.nsi"

echo "$zip_file" >&3
echo "$setup" >&3
