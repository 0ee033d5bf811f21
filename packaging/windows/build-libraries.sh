#!/usr/bin/env bash
# Cross-builds SDL2, SDL2_image, SDL2_ttf (with FreeType) and SDL2_mixer for
# 64-bit Windows with Debian's MinGW-w64 compilers, from Debian's own source
# packages (apt-get source), as DLLs with import libraries, headers,
# pkg-config files and CMake package files, into a prefix.
#
# The prefix is cached outside the tree, in
#   ${KESTRELON_WINDOWS_LIBRARIES:-${XDG_CACHE_HOME:-$HOME/.cache}/kestrelon/win64-libraries}/<key>/
# where the key names the versions of the five source packages, of the
# compiler and of the MinGW-w64 runtime, and a hash of this script and of the
# toolchain file. With the prefix in place a run fetches and compiles nothing.
#
# The last line on stdout is the prefix's path; everything else goes to stderr:
#   prefix=$(bash packaging/windows/build-libraries.sh | tail -n 1)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/setup.sh"
exec 3>&1 1>&2 # fd 3 is the real stdout, for the prefix's path alone

here="$KESTRELON_ROOT/packaging/windows"
toolchain="$here/mingw-w64-x86_64.cmake"
packages=(libsdl2 libsdl2-image libsdl2-ttf libsdl2-mixer freetype)
cache_root="${KESTRELON_WINDOWS_LIBRARIES:-${XDG_CACHE_HOME:-$HOME/.cache}/kestrelon/win64-libraries}"

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

# dpkg-dev: dpkg-source, which apt-get source runs to unpack and patch.
install_missing g++-mingw-w64-x86-64-posix cmake ninja-build dpkg-dev

# --- Source entries -----------------------------------------------------------
# When apt knows no deb-src entry at all, ours are copies of the machine's own
# deb entries, so the sources come from the same archive as its binaries.
deb_src_file=/etc/apt/sources.list.d/kestrelon-deb-src
derive_deb_src() {
  local f stanzas lines
  stanzas=$(mktemp) lines=$(mktemp)
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && [ "$f" != "$deb_src_file.sources" ] || continue
    # One deb822 stanza per record; a stanza that is "Enabled: no" or has no
    # "deb" among its Types is left out; comments are dropped.
    awk 'BEGIN { RS = "" }
      { n = split($0, line, "\n"); types = ""; enabled = 1; body = ""
        for (i = 1; i <= n; i++) {
          if (line[i] ~ /^#/) continue
          if (tolower(line[i]) ~ /^types:/) { types = line[i]; continue }
          if (tolower(line[i]) ~ /^enabled:[ \t]*no/) enabled = 0
          body = body line[i] "\n"
        }
        if (enabled && types ~ /[ \t:]deb([ \t]|$)/) printf "Types: deb-src\n%s\n", body
      }' "$f" >>"$stanzas"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && [ "$f" != "$deb_src_file.list" ] || continue
    sed -n -E 's/^[[:space:]]*deb[[:space:]]+/deb-src /p' "$f" >>"$lines"
  done
  [ -s "$stanzas" ] || [ -s "$lines" ] || { echo "build-libraries: apt has no deb entry to derive deb-src entries from" >&2; exit 1; }
  if [ -s "$stanzas" ]; then echo "== writing $deb_src_file.sources"; as_root install -m 644 "$stanzas" "$deb_src_file.sources"; fi
  if [ -s "$lines" ]; then echo "== writing $deb_src_file.list"; as_root install -m 644 "$lines" "$deb_src_file.list"; fi
  rm -f "$stanzas" "$lines"
}

# The newest version of a source package that apt's lists know, or nothing.
newest_source_version() {
  local v best=
  for v in $(apt-cache showsrc --only-source "$1" 2>/dev/null | sed -n 's/^Version: //p'); do
    if [ -z "$best" ] || dpkg --compare-versions "$v" gt "$best"; then best=$v; fi
  done
  echo "$best"
}

declare -A version
read_versions() { # fails, naming it in $unknown, when apt knows one of them not
  for unknown in "${packages[@]}"; do
    version[$unknown]=$(newest_source_version "$unknown")
    [ -n "${version[$unknown]}" ] || return 1
  done
}

if ! read_versions; then
  # No deb-src entries, or their lists not fetched yet.
  if ! apt-get indextargets --format '$(IDENTIFIER)' | grep -qx Sources; then derive_deb_src; fi
  as_root apt-get update
  read_versions || { echo "build-libraries: apt knows no source package $unknown" >&2; exit 1; }
fi

# --- Cache key ------------------------------------------------------------------
gcc_version=$(dpkg-query -W -f='${Version}' gcc-mingw-w64-x86-64-posix)
crt_version=$(dpkg-query -W -f='${Version}' mingw-w64-x86-64-dev)
recipe=$(cat "${BASH_SOURCE[0]}" "$toolchain" | sha256sum | cut -c1-12)
key="sdl2-${version[libsdl2]}_image-${version[libsdl2-image]}_ttf-${version[libsdl2-ttf]}"
key+="_mixer-${version[libsdl2-mixer]}_freetype-${version[freetype]}"
key+="_gcc-${gcc_version}_mingw-${crt_version}_recipe-${recipe}"
key=${key//:/_}  # an epoch's colon has no place in a path list
prefix="$cache_root/$key"
manifest="share/kestrelon-win64-libraries.txt"

if [ -f "$prefix/$manifest" ]; then
  echo "== cached: $prefix"
  echo "$prefix" >&3
  exit 0
fi

# --- Build ------------------------------------------------------------------------
# Everything happens in a work folder beside the cache entries; the prefix is
# installed below it (DESTDIR) and renamed into place only once complete, on
# the same file system, so an interrupted build is never taken for a cached one.
mkdir -p "$cache_root"
for old in "$cache_root"/.building-*; do
  # Left by a run that was killed: its process is gone.
  [ -d "$old" ] || continue
  pid=$(cat "$old/pid" 2>/dev/null || true)
  if [ -z "$pid" ] || ! kill -0 "$pid" 2>/dev/null; then rm -rf "$old"; fi
done
work=$(mktemp -d "$cache_root/.building-XXXXXX")
echo $$ >"$work/pid"
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
stage="$work/stage"
started=$SECONDS

echo "== apt-get source ${packages[*]}"
mkdir "$work/src"
for p in "${packages[@]}"; do
  (cd "$work/src" && apt-get source -q --only-source "$p=${version[$p]}")
done
# The unpacked tree of a source package: <name>-<upstream version>.
src_dir() { local v=${version[$1]#*:}; echo "$work/src/$1-${v%-*}"; }

build() { # name, source folder, CMake options...
  local name=$1 src=$2
  shift 2
  echo "== $name"
  cmake -S "$src" -B "$work/build/$name" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$stage$prefix" "$@"
  cmake --build "$work/build/$name" --parallel 2
  DESTDIR="$stage" cmake --install "$work/build/$name" --strip
}

# FreeType as a static library, linked into SDL2_ttf.dll (one DLL fewer to
# ship); its headers, .a and .pc stay in the prefix because SDL2_ttf.pc names
# freetype2. No HarfBuzz, zlib, libpng, bzip2 nor Brotli: TrueType fonts need
# none (gzip-compressed fonts still load, through FreeType's own inflate).
build freetype "$(src_dir freetype)" -DBUILD_SHARED_LIBS=OFF \
  -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_PNG=ON \
  -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_BROTLI=ON

# SDL2 with its Windows defaults (dummy and offscreen video, dummy and disk
# audio included); only the DLL, no static library.
build SDL2 "$(src_dir libsdl2)" -DSDL_STATIC=OFF -DSDL_SHARED=ON

# PNG (through the built-in stb_image, so no libpng or zlib), BMP and TGA.
image_options=(-DSDL2IMAGE_VENDORED=OFF -DSDL2IMAGE_SAMPLES=OFF -DSDL2IMAGE_TESTS=OFF
  -DSDL2IMAGE_BACKEND_STB=ON -DSDL2IMAGE_BACKEND_WIC=OFF -DSDL2IMAGE_PNG_SAVE=OFF
  -DSDL2IMAGE_PNG=ON -DSDL2IMAGE_BMP=ON -DSDL2IMAGE_TGA=ON)
for format in AVIF GIF JPG JXL LBM PCX PNM QOI SVG TIF WEBP XCF XPM XV; do
  image_options+=("-DSDL2IMAGE_$format=OFF")
done
# SDL2_image 2.6.3's package file looks for libpng whenever PNG is on, so
# find_package(SDL2_image) fails where there is no libpng although stb_image
# decodes PNG; it is made to look only when libpng is used, the condition its
# CMakeLists.txt has.
sed -i 's/^if(SDL2IMAGE_PNG AND NOT SDL2IMAGE_VENDORED AND NOT TARGET PNG::PNG)/if(SDL2IMAGE_PNG AND NOT (SDL2IMAGE_BACKEND_STB OR SDL2IMAGE_BACKEND_WIC OR SDL2IMAGE_BACKEND_IMAGEIO) AND NOT SDL2IMAGE_VENDORED AND NOT TARGET PNG::PNG)/' \
  "$(src_dir libsdl2-image)/SDL2_imageConfig.cmake.in"
build SDL2_image "$(src_dir libsdl2-image)" "${image_options[@]}"

build SDL2_ttf "$(src_dir libsdl2-ttf)" -DSDL2TTF_VENDORED=OFF \
  -DSDL2TTF_HARFBUZZ=OFF -DSDL2TTF_SAMPLES=OFF

# WAV only (Mix_LoadWAV, and WAV music); SDL2MIXER_VORBIS is a choice of
# decoder, OFF for none.
build SDL2_mixer "$(src_dir libsdl2-mixer)" -DSDL2MIXER_VENDORED=OFF \
  -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_WAVE=ON -DSDL2MIXER_CMD=OFF \
  -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MP3=OFF \
  -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS=OFF

# The DLLs get shipped with the game, and their licences with them.
for p in "${packages[@]}"; do
  mkdir -p "$stage$prefix/share/licenses/$p"
  cp "$(src_dir "$p")/debian/copyright" "$stage$prefix/share/licenses/$p/"
done

# --- Checks before the prefix is published -----------------------------------
for f in bin/SDL2.dll bin/SDL2_image.dll bin/SDL2_ttf.dll bin/SDL2_mixer.dll \
  lib/libSDL2.dll.a lib/libSDL2main.a lib/libSDL2_image.dll.a lib/libSDL2_ttf.dll.a lib/libSDL2_mixer.dll.a \
  include/SDL2/SDL.h include/SDL2/SDL_image.h include/SDL2/SDL_ttf.h include/SDL2/SDL_mixer.h \
  lib/cmake/SDL2/SDL2Config.cmake lib/cmake/SDL2_image/SDL2_imageConfig.cmake \
  lib/cmake/SDL2_ttf/SDL2_ttfConfig.cmake lib/cmake/SDL2_mixer/SDL2_mixerConfig.cmake; do
  [ -f "$stage$prefix/$f" ] || { echo "build-libraries: $f was not installed" >&2; exit 1; }
done
# No text file may point into the work folder, which is about to go.
if leaks=$(grep -rlIF "$work" "$stage$prefix"); then
  echo "build-libraries: these files name the temporary build folder:" >&2
  echo "$leaks" >&2
  exit 1
fi

{
  echo "Built by packaging/windows/build-libraries.sh in $((SECONDS - started)) s"
  for p in "${packages[@]}"; do echo "$p ${version[$p]}"; done
  echo "gcc-mingw-w64-x86-64-posix $gcc_version"
  echo "mingw-w64-x86-64-dev $crt_version"
} >"$stage$prefix/$manifest"

# Publish: one rename. Should a parallel run have published first, its prefix
# is the same build and stays.
mv -T "$stage$prefix" "$prefix" 2>/dev/null || [ -f "$prefix/$manifest" ]
echo "== built in $((SECONDS - started)) s: $prefix"
echo "$prefix" >&3
