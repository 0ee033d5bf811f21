#!/usr/bin/env bash
# Builds Kestrelon's Debian package (run from any folder). Installs what is
# missing of the packaging tools and of debian/control's Build-Depends
# (through sudo when not root), builds in a temporary copy of the tree, checks
# the package with lintian and leaves it in build-deb/. The last line printed
# is the package's path.
#
# The copy holds the files git tracks plus new ones it does not ignore, so a
# developer's build folders and generated data/ stay out, and the files
# dpkg-buildpackage writes beside the tree go away with the copy.
source "$(dirname "${BASH_SOURCE[0]}")/../tools/setup.sh"

install_missing build-essential dpkg-dev debhelper fakeroot lintian git

# The rest of Build-Depends, as dpkg sees it: names only, without versions,
# architectures, profiles, alternatives or ":native".
unmet=$(dpkg-checkbuilddeps "$KESTRELON_ROOT/debian/control" 2>&1 >/dev/null \
  | sed -n 's/.*Unmet build dependencies: //p' \
  | sed -E 's/\([^)]*\)//g; s/\[[^]]*\]//g; s/<[^>]*>//g; s/\|[[:space:]]*[^[:space:]]+//g; s/:[a-z0-9]+//g') || true
read -ra unmet_names <<<"$unmet"
install_missing "${unmet_names[@]}"

version=$(dpkg-parsechangelog -l "$KESTRELON_ROOT/debian/changelog" -S Version)
arch=$(dpkg-architecture -qDEB_HOST_ARCH)
work=$(mktemp -d "${TMPDIR:-/tmp}/kestrelon-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT
tree="$work/kestrelon-$version"
mkdir "$tree"

echo "== copying the tree to $tree"
(cd "$KESTRELON_ROOT" && git ls-files -z --cached --others --exclude-standard \
  | while IFS= read -r -d '' file; do
      # A tracked file deleted in the working tree is left out.
      if [ -e "$file" ] || [ -L "$file" ]; then printf '%s\0' "$file"; fi
    done \
  | tar --null --no-recursion -T - -cf -) | tar -xf - -C "$tree"

echo "== dpkg-buildpackage"
(cd "$tree" && dpkg-buildpackage -us -uc -b -j"$(nproc)")
deb="$work/kestrelon_${version}_${arch}.deb"
[ -f "$deb" ] || { echo "build-deb: dpkg-buildpackage made no $(basename "$deb")" >&2; exit 1; }

echo "== lintian"
lintian --fail-on error "$deb"

out="$KESTRELON_ROOT/build-deb"
mkdir -p "$out"
cp "$deb" "$out/"
echo "$out/$(basename "$deb")"
