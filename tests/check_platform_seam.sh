#!/usr/bin/env bash
# Fails when a file outside src/platform/sdl/ includes an SDL or fontconfig
# header (the SDL backend is the only code that talks to those libraries),
# or when a file outside src/platform/ includes an operating system's own
# header or asks which system it is built for (only the platform layer
# knows; it keeps each system's side in a file of its own).
set -u
root="${1:-.}"
if [ ! -d "$root/src" ]; then
  echo "no src/ under $root" >&2
  exit 2
fi
failed=0
include='^[[:space:]]*#[[:space:]]*include[[:space:]]*'
hits=$(grep -rn -E "$include[<\"](SDL2?/|SDL[_.]|SDL\\.h|fontconfig/)" \
  "$root/src" "$root/tools/replay" --include='*.cpp' --include='*.h' 2>/dev/null | grep -v "^$root/src/platform/sdl/")
if [ -n "$hits" ]; then
  echo "SDL or fontconfig included outside src/platform/sdl/:"
  echo "$hits"
  failed=1
fi
system_headers='(windows|shlobj|shellapi|io|direct|unistd|fcntl|dlfcn|signal|pwd|dirent|sys/[a-z_]+)\.h|csignal'
hits=$(grep -rn -E "$include<($system_headers)>|_WIN32|_MSC_VER|__MINGW|__linux__|__unix__|__APPLE__" \
  "$root/src" "$root/tools/replay" --include='*.cpp' --include='*.h' 2>/dev/null | grep -v "^$root/src/platform/")
if [ -n "$hits" ]; then
  echo "an operating system's own header, or a test of which system, outside src/platform/:"
  echo "$hits"
  failed=1
fi
[ "$failed" -eq 0 ] && echo "platform seam intact"
exit $failed
